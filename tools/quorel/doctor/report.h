// What `quorel doctor` found, kept as named facts so that one report prints
// both as text (aligned "name  value" lines) and as JSON (the same names
// as keys, with '_' where the text has a space).
#ifndef QUOREL_TOOLS_DOCTOR_REPORT_H
#define QUOREL_TOOLS_DOCTOR_REPORT_H

#include <string>
#include <vector>

#include "json_text.h"

namespace doctor {

class FactList {
public:
    FactList& Text(const std::string& key, const std::string& value);
    FactList& Number(const std::string& key, long long value);
    // A number that the text shows in its own form ("0xfd000000", "1 (success)").
    FactList& Number(const std::string& key, long long value, const std::string& text);
    FactList& Flag(const std::string& key, bool value);  // "yes" / "no"
    FactList& List(const std::string& key, const std::vector<std::string>& values);
    void Print(const std::string& indent) const;
    cli::Json ToJson() const;  // an object, the facts its members

private:
    enum class Kind { kText, kNumber, kFlag, kList };
    struct Fact {
        std::string key;
        Kind kind;
        long long number;
        std::vector<std::string> texts;  // one for kText, any for kList
    };
    std::vector<Fact> facts_;
};

// A named group of facts, and optionally of items (one per card, per DLL
// copy): a JSON object with an array `items_key` of objects.
struct Section {
    std::string key;
    FactList facts;
    std::string items_key;
    std::string item_title;  // text heading of each item, numbered from 0
    std::vector<FactList> items;
};

struct Report {
    std::vector<Section> sections;
    bool ok = false;
    std::string reason;  // the verdict, the text's last line

    Section& Add(const std::string& key);
    void Print(bool json) const;
};

}  // namespace doctor

#endif  // QUOREL_TOOLS_DOCTOR_REPORT_H
