#include "model_choice.h"

#include <cstdio>
#include <vector>

#include "bar_text.h"
#include "card_target.h"
#include "driver_binding.h"
#include "failure.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

int ReportProblems(const std::string& path, const std::vector<card_model::Problem>& problems) {
    std::string lines;
    cli::Json texts = cli::Json::array();
    for (const card_model::Problem& problem : problems) {
        lines += "\n" + cli::Shown(problem.Text());
        texts.push_back(problem.Text());
    }
    const std::string count =
        std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems");
    return cli::Fail("the card model " + path + " does not load (" + count + ")", ":" + lines,
                     cli::Json{{"problems", texts}});
}

// The model the driver-access library names for the target's window.
ModelPointer DriverModel(const cli::Target& target) {
    const std::optional<quorel::inspect::Card> card = TargetCard(target);
    const std::string path = card ? driver_binding::WindowModel(Bar0Address(card->function)) : "";
    if (path.empty())
        return nullptr;
    std::vector<card_model::Problem> problems;
    ModelPointer model = card_model::ReadCardModel(path, &problems);
    const std::string shown = cli::Shown(path);
    if (!model)
        std::fprintf(stderr,
                     "quorel: note: the driver-access library says this card follows the model "
                     "%s, which does not load here (`quorel model check %s` says why); its "
                     "registers go unnamed\n",
                     shown.c_str(), shown.c_str());
    return model;
}

}  // namespace

ModelPointer LoadModel(const std::string& path) {
    std::vector<card_model::Problem> problems;
    ModelPointer model = card_model::ReadCardModel(path, &problems);
    if (!model)
        ReportProblems(path, problems);
    return model;
}

bool TargetModel(const cli::Args& args, ModelPointer& model) {
    model = args.model.empty() ? DriverModel(args.target) : LoadModel(args.model);
    return model || args.model.empty();
}

std::function<std::optional<uint8_t>(uint8_t index)> UnchangingReads(
    const cli::Target& target, const card_model::CardModel& model) {
    return [&model, target](uint8_t index) -> std::optional<uint8_t> {
        const card_model::Register* reg = model.FindRegister(index);
        if (reg && reg->ReadHasSideEffect())
            return std::nullopt;
        return static_cast<uint8_t>(ReadRegister(target, index));
    };
}

}  // namespace commands
