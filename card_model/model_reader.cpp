// ParseCardModel: the file's TOML, then its parts in turn (model_reader.h).
#include "model_reader.h"

#include <algorithm>

#include "digest.h"

namespace quorel::card_model {

namespace {

// The model file's problems by line, then those of its sequence files.
void SortProblems(const std::string& path, std::vector<Problem>::iterator first,
                  std::vector<Problem>::iterator last) {
    std::stable_sort(first, last, [&](const Problem& a, const Problem& b) {
        return std::make_pair(a.file != path, a.file == path ? a.line : 0) <
               std::make_pair(b.file != path, b.file == path ? b.line : 0);
    });
}

// The text's digest, then each sequence's bytes.
uint64_t Fingerprint(std::string_view text, const CardModel& model) {
    uint64_t digest = Digest(text.data(), text.size());
    for (const Register& reg : model.registers)
        digest = Digest(reg.source.sequence.data(), reg.source.sequence.size(), digest);
    return digest;
}

}  // namespace

std::shared_ptr<const CardModel> ParseCardModel(std::string_view text, const std::string& path,
                                                const ReadFileFunction& read_file,
                                                std::vector<Problem>* problems) {
    const size_t before = problems->size();
    ReadContext context{Problems(path, problems), read_file, CardModel()};
    context.model.file = path;
    Value root;
    size_t line = 0;
    std::string error;
    if (!toml_tree::Parse(text, &root, &line, &error)) {
        context.problems.Add(line, "not TOML: " + error);
        return nullptr;
    }
    const Table table(root, "the model", &context.problems);
    table.AllowOnly({"name", "register", "csr", "command", "interrupt", "event"});
    context.model.name = table.String("name").value_or("");
    ReadRegisters(table, &context);
    ReadBehaviour(table, &context);
    CheckEventCycles(context.model, &context.problems);
    if (context.problems.count()) {
        SortProblems(path, problems->begin() + before, problems->end());
        return nullptr;
    }
    context.model.fingerprint = Fingerprint(text, context.model);
    return std::make_shared<const CardModel>(std::move(context.model));
}

}  // namespace quorel::card_model
