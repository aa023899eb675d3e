#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "api/inspect.h"
#include "commands.h"
#include "scan_diagnosis.h"
#include "settings/settings.h"
#include "snapshot/files.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace settings = quorel::settings;

bool WriteFile(const std::filesystem::path& folder, const char* name, const std::string& bytes) {
    const std::filesystem::path path = folder / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out)
        return true;
    std::fprintf(stderr, "quorel snapshot: cannot write %s\n", cli::Shown(cli::PathText(path)).c_str());
    return false;
}

// The files of an earlier snapshot in the folder, "about.txt, machine.txt".
std::string EarlierSnapshot(const std::filesystem::path& folder) {
    std::string files;
    for (const char* name :
         {settings::kSnapshotAboutFile, settings::kSnapshotMachineFile, settings::kSnapshotRegistryFile}) {
        std::error_code error;
        if (std::filesystem::exists(folder / name, error))
            files += (files.empty() ? "" : ", ") + std::string(name);
    }
    return files;
}

}  // namespace

int Snapshot(const cli::Args& args) {
    const std::filesystem::path folder = cli::PathOf(args.positional.front());
    const std::string earlier = args.force ? "" : EarlierSnapshot(folder);
    if (!earlier.empty()) {
        std::fprintf(stderr,
                     "quorel snapshot: %s already holds a snapshot (%s); give --force to overwrite "
                     "it, or name another folder\n",
                     cli::Shown(cli::PathText(folder)).c_str(), earlier.c_str());
        return cli::kExitFailure;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "quorel snapshot: cannot make the folder %s: %s\n",
                     cli::Shown(cli::PathText(folder)).c_str(), error.message().c_str());
        return cli::kExitFailure;
    }
    // The configuration reads first, then the registry as the annotation
    // reads it, then the cards opened one by one.
    const quorel::inspect::ConfigCapture capture = quorel::inspect::CaptureConfigSpace();
    quorel::inspect::Annotate();
    const std::string registry = snapshot::RegistryBytes();
    const std::string machine = snapshot::MachineText(capture, args.registers);
    if (!WriteFile(folder, settings::kSnapshotMachineFile, machine) ||
        !WriteFile(folder, settings::kSnapshotRegistryFile, registry) ||
        !WriteFile(folder, settings::kSnapshotAboutFile, snapshot::AboutText(capture)))
        return cli::kExitFailure;
    std::printf("quorel snapshot: %zu functions%s written to %s\n", capture.functions.size(),
                capture.driver_opened ? "" : " (the driver did not initialise)",
                cli::Shown(cli::PathText(folder)).c_str());
    // A scan that found nothing fails as in every command; the files stay.
    return ScanFoundFunctions() && capture.driver_opened ? cli::kExitOk : cli::kExitFailure;
}

}  // namespace commands
