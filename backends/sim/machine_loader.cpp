#include "machine_loader.h"

#include <filesystem>
#include <map>
#include <new>

#include "default_machine.h"
#include "environment.h"
#include "card_model/card_model.h"
#include "machine_parser.h"
#include "replay_loader.h"

namespace quorel::sim {

namespace {

LoadedMachine Refused(std::string source, const std::string& problem, bool said = false) {
    LoadedMachine refused{nullptr, std::move(source), problem, {}};
    if (!said)
        refused.notes.push_back(problem);
    return refused;
}

LoadedMachine Parse(std::string_view text, const std::string& name, const std::string& source) {
    std::string error, warning;
    std::unique_ptr<Machine> machine;
    try {
        machine = ParseMachine(text, name, &error, &warning);
    } catch (const std::bad_alloc&) {
        error = name + ": out of memory while loading the machine";
    }
    if (!machine)
        return Refused(source, error);
    LoadedMachine loaded{std::move(machine), source, "", {}};
    if (!warning.empty())
        loaded.notes.push_back(warning);
    return loaded;
}

struct ModelOrProblem {
    std::shared_ptr<const card_model::CardModel> model;
    std::string problem;  // when refused: the first problem, and how many more
};

ModelOrProblem LoadModel(const std::string& path) {
    std::vector<card_model::Problem> problems;
    ModelOrProblem loaded{card_model::ReadCardModel(path, &problems), ""};
    if (loaded.model || problems.empty())
        return loaded;
    loaded.problem = "model refused: " + problems.front().Text();
    if (problems.size() > 1)
        loaded.problem += " (and " + std::to_string(problems.size() - 1) +
                          " more: `quorel model check " + path + "` lists them)";
    return loaded;
}

// The machine file's own directive, relative to its folder; else, for the
// card, QUOREL_SIM_MODEL as given (relative to the working folder).
std::string ResolveModelPath(const Function& function, const std::string& machine_file,
                             const std::string& everyone) {
    if (function.model_path.empty())
        return IsCard(function) ? everyone : "";
    const std::filesystem::path own = std::filesystem::u8path(function.model_path);
    if (own.is_absolute() || machine_file.empty())
        return function.model_path;
    return (std::filesystem::u8path(machine_file).parent_path() / own).u8string();
}

bool CanReadAgain(const std::string& path) {
    std::error_code code;
    return std::filesystem::is_regular_file(std::filesystem::u8path(path), code);
}

}  // namespace

bool MachineLoader::ReadFile(const std::string& path, std::string* text, std::string* why) {
    if (!kept_path_.empty() && path == kept_path_) {
        *text = kept_text_;
        return true;
    }
    if (!ReadTextFile(path, text, why))
        return false;
    if (!CanReadAgain(path)) {
        kept_path_ = path;
        kept_text_ = *text;
    }
    return true;
}

LoadedMachine MachineLoader::Load() {
    const std::string own = GetEnvironment(kSimMachine);
    const std::string snapshot = GetEnvironment(kSimSnapshot);
    if (own.empty() && snapshot.empty()) {
        LoadedMachine loaded = Parse(kDefaultMachineText, kDefaultMachineName, "the default machine");
        LoadModels("", &loaded);
        AttachReplay(&loaded);
        return loaded;
    }
    if (!own.empty())
        return LoadFile(own, "the machine file " + own);
    const std::string source = "the snapshot " + snapshot;
    const std::string problem = process_env::SnapshotProblem();  // said there
    if (!problem.empty())
        return Refused(source, problem, true);
    return LoadFile(process_env::SnapshotFile(settings::kSnapshotMachineFile), source);
}

LoadedMachine MachineLoader::LoadFile(const std::string& path, const std::string& source) {
    std::string text, why;
    if (!ReadFile(path, &text, &why))
        return Refused(source, path + ": cannot read the machine file: " + why);
    LoadedMachine loaded = Parse(text, path, source);
    LoadModels(path, &loaded);
    AttachReplay(&loaded);
    return loaded;
}

void MachineLoader::LoadModels(const std::string& machine_file, LoadedMachine* loaded) {
    if (!loaded->machine)
        return;
    const std::string everyone = GetEnvironment(kSimModel);
    std::map<std::string, ModelOrProblem> models;  // each file read once per load
    for (const Address& at : loaded->machine->Addresses()) {
        Function& function = *loaded->machine->Find(at);
        function.model_path = ResolveModelPath(function, machine_file, everyone);
        if (function.model_path.empty())
            continue;
        auto found = models.find(function.model_path);
        if (found == models.end())
            found = models.emplace(function.model_path, LoadModel(function.model_path)).first;
        function.model = found->second.model;
        if (!function.model)
            loaded->notes.push_back(FormatAddress(at) + " stays plain memory: " + found->second.problem);
    }
}

}  // namespace quorel::sim
