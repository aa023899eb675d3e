#include "doctor/report.h"

#include <cstdio>

#include "text_encoding.h"

namespace doctor {

namespace {

constexpr int kLabelWidth = 22;

std::string Label(std::string key) {
    for (char& c : key)
        if (c == '_')
            c = ' ';
    return key;
}

}  // namespace

FactList& FactList::Text(const std::string& key, const std::string& value) {
    facts_.push_back({key, Kind::kText, 0, {value}});
    return *this;
}

FactList& FactList::Number(const std::string& key, long long value) {
    return Number(key, value, std::to_string(value));
}

FactList& FactList::Number(const std::string& key, long long value, const std::string& text) {
    facts_.push_back({key, Kind::kNumber, value, {text}});
    return *this;
}

FactList& FactList::Flag(const std::string& key, bool value) {
    facts_.push_back({key, Kind::kFlag, value ? 1 : 0, {value ? "yes" : "no"}});
    return *this;
}

FactList& FactList::List(const std::string& key, const std::vector<std::string>& values) {
    facts_.push_back({key, Kind::kList, 0, values});
    return *this;
}

void FactList::Print(const std::string& indent) const {
    for (const Fact& f : facts_) {
        const int width = kLabelWidth - static_cast<int>(indent.size());
        if (f.kind != Kind::kList) {
            std::printf("%s%-*s %s\n", indent.c_str(), width, Label(f.key).c_str(), cli::Shown(f.texts[0]).c_str());
            continue;
        }
        std::printf("%s%-*s %s\n", indent.c_str(), width, Label(f.key).c_str(),
                    f.texts.empty() ? "none" : cli::Shown(f.texts[0]).c_str());
        for (size_t i = 1; i < f.texts.size(); ++i)
            std::printf("%s%-*s %s\n", indent.c_str(), width, "", cli::Shown(f.texts[i]).c_str());
    }
}

cli::Json FactList::ToJson() const {
    cli::Json json = cli::Json::object();
    for (const Fact& f : facts_) {
        if (f.kind == Kind::kNumber)
            json[f.key] = f.number;
        else if (f.kind == Kind::kFlag)
            json[f.key] = f.number != 0;
        else if (f.kind == Kind::kText)
            json[f.key] = f.texts[0];
        else
            json[f.key] = f.texts;
    }
    return json;
}

Section& Report::Add(const std::string& key) {
    sections.push_back(Section{key, {}, {}, {}, {}});
    return sections.back();
}

void Report::Print(bool json) const {
    if (json) {
        cli::Json out = cli::Json::object();
        for (const Section& s : sections) {
            out[s.key] = s.facts.ToJson();
            if (!s.items_key.empty())
                out[s.key][s.items_key] = cli::Json::array();
            for (const FactList& item : s.items)
                out[s.key][s.items_key].push_back(item.ToJson());
        }
        out["ok"] = ok;
        out["reason"] = reason;
        std::printf("%s\n", cli::JsonText(out).c_str());
        return;
    }
    for (const Section& s : sections) {
        std::printf("%s\n", Label(s.key).c_str());
        s.facts.Print("  ");
        for (size_t i = 0; i < s.items.size(); ++i) {
            std::printf("  %s %u\n", s.item_title.c_str(), static_cast<unsigned>(i));
            s.items[i].Print("    ");
        }
    }
    std::printf("verdict: %s\n", cli::Shown(reason).c_str());
}

}  // namespace doctor
