#include "machine_loader.h"

#include <filesystem>
#include <new>

#include "default_machine.h"
#include "environment.h"
#include "machine_parser.h"

namespace quorel::sim {

namespace {

LoadedMachine Refused(std::string source, const std::string& problem, bool said = false) {
    return LoadedMachine{nullptr, std::move(source), problem, said ? "" : problem};
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
    return LoadedMachine{std::move(machine), source, "", warning};
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
    if (own.empty() && snapshot.empty())
        return Parse(kDefaultMachineText, kDefaultMachineName, "the default machine");
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
    return Parse(text, path, source);
}

}  // namespace quorel::sim
