// A register's source: a sequence file, a counter or a constant.
#include <algorithm>
#include <cctype>

#include "model_reader.h"

namespace quorel::card_model {

namespace {

constexpr size_t kSequenceProblemsListed = 20;

bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() > 1 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':';
    return drive || (!path.empty() && (path[0] == '/' || path[0] == '\\'));
}

// The sequence file's path, relative to the model file's folder.
std::string Resolve(const std::string& model_file, const std::string& path) {
    const size_t slash = model_file.find_last_of("/\\");
    if (IsAbsolute(path) || slash == std::string::npos)
        return path;
    return model_file.substr(0, slash + 1) + path;
}

std::string_view Trim(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

std::optional<uint8_t> SequenceValue(std::string_view line, std::string* why) {
    std::optional<int64_t> value = ParseNumber(line);
    if (!value) {
        *why = "\"" + std::string(line) + "\" is not a number, expected one per line (0x10 or 16)";
        return std::nullopt;
    }
    if (*value > 0xFF) {
        *why = std::string(line) + " is over 255, expected a byte 0..255";
        return std::nullopt;
    }
    return static_cast<uint8_t>(*value);
}

std::vector<uint8_t> ReadSequenceFile(const Table& table, ReadContext* context) {
    const std::string name = *table.String("sequence");
    const size_t line = table.Get("sequence")->line;
    const std::string path = Resolve(context->problems.file(), name);
    std::string text, why = "no way to read files here";
    const size_t before = context->problems.count();
    if (!context->read_file || !context->read_file(path, &text, &why))
        context->problems.Add(line, "cannot read the sequence file " + path + ": " + why);
    else if (std::optional<std::vector<uint8_t>> values = ParseSequence(text, path, &context->problems))
        return *values;
    if (context->problems.count() == before)
        context->problems.Add(line, "the sequence file " + path +
                                        " holds no value, expected one number per line");
    return {};
}

void ReadCounter(const Table& table, Source* source) {
    const Value* counter = table.Typed("counter", Value::Type::kTable, false);
    if (!counter)
        return;
    const Table keys(*counter, "'counter' of " + table.what(), &table.problems());
    keys.AllowOnly({"start", "step"});
    source->start = keys.Byte("start").value_or(0);
    source->step = keys.Byte("step").value_or(1);
}

void ReadKind(const Table& table, Source* source, ReadContext* context) {
    using Kind = Source::Kind;
    if (table.Typed("sequence", Value::Type::kString, false)) {
        source->kind = Kind::kSequence;
        source->file = Resolve(context->problems.file(), table.Get("sequence")->text);
        source->sequence = ReadSequenceFile(table, context);
        source->loop = table.Boolean("loop").value_or(false);
        return;
    }
    if (const Value* loop = table.Get("loop"))
        context->problems.Add(loop->line, "'loop' of " + table.what() + " applies to a sequence only");
    if (table.Get("counter")) {
        source->kind = Kind::kCounter;
        ReadCounter(table, source);
    } else if (std::optional<uint8_t> constant = table.Byte("constant")) {
        source->kind = Kind::kConstant;
        source->constant = *constant;
    }
}

}  // namespace

Source ReadSource(const Value& value, const std::string& owner, ReadContext* context) {
    Source source;
    if (value.type != Value::Type::kTable) {
        context->problems.Add(value.line, "'source' of " + owner + " is " + value.TypeName() +
                                              ", expected a table such as { sequence = \"samples.txt\" }");
        return source;
    }
    const Table table(value, "'source' of " + owner, &context->problems);
    table.AllowOnly({"sequence", "loop", "counter", "constant"});
    const int kinds = !!table.Get("sequence") + !!table.Get("counter") + !!table.Get("constant");
    if (kinds != 1) {
        context->problems.Add(value.line, table.what() + (kinds ? " names more than one source" : " names none") +
                                              ", expected one of sequence, counter, constant");
        return source;
    }
    ReadKind(table, &source, context);
    return source;
}

std::optional<std::vector<uint8_t>> ParseSequence(std::string_view text, const std::string& file,
                                                  Problems* problems) {
    std::vector<uint8_t> values;
    size_t wrong = 0, number = 0, first_unlisted = 0;
    for (size_t start = 0; start <= text.size(); ++number) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        line = Trim(line.substr(0, line.find('#')));
        std::string why;
        if (line.empty())
            continue;
        if (std::optional<uint8_t> value = SequenceValue(line, &why))
            values.push_back(*value);
        else if (++wrong <= kSequenceProblemsListed)
            problems->AddIn(file, number + 1, why);
        else if (!first_unlisted)
            first_unlisted = number + 1;
    }
    if (first_unlisted)
        problems->AddIn(file, first_unlisted, "and " + std::to_string(wrong - kSequenceProblemsListed) +
                                                  " more lines from here on are wrong as those above");
    if (wrong || values.empty())
        return std::nullopt;
    return values;
}

}  // namespace quorel::card_model
