// What the first open's discovery costs: the driver calls it makes (counted
// in the stand-in's call log) and its time, for the default machine and for
// a machine with 32 buses behind bridges (four root ports, each with a
// seven-port switch below it, one network function on every port's bus).
// Discovery runs once per process: every measurement is a child process of
// its own (this program, given --child), timing inspect::Discover().
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "api/inspect.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 21;  // children per machine; best and median reported
constexpr int kRootPorts = 4, kSwitchPorts = 7;
constexpr int kBusesPerRootPort = 1 + kSwitchPorts;

// A PCI-to-PCI bridge (Intel 8086:3410, header layout 1) with its bus numbers.
std::string BridgeText(int bus, int device, int secondary, int subordinate) {
    char text[400];
    std::snprintf(text, sizeof(text),
                  "%02x:%02x.0\n00: 86 80 10 34 07 00 10 00 00 00 04 06 00 00 01 00\n"
                  "10: 00 00 00 00 00 00 00 00 %02x %02x %02x 00 f0 00 00 00\n"
                  "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
                  "30: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n\n",
                  bus, device, bus, secondary, subordinate);
    return text;
}

// A network function (Intel 8086:10d3) with a memory BAR, alone on its bus.
std::string NetworkText(int bus) {
    char text[400];
    std::snprintf(text, sizeof(text),
                  "%02x:00.0\n00: 86 80 d3 10 06 00 10 00 00 00 00 02 00 00 00 00\n"
                  "10: 00 00 %02x fe 00 00 00 00 00 00 00 00 00 00 00 00\n"
                  "20: 00 00 00 00 00 00 00 00 00 00 00 00 86 80 00 a0\n"
                  "30: 00 00 00 00 00 00 00 00 00 00 00 00 0b 01 00 00\n\n",
                  bus, bus);
    return text;
}

// Root port r leads to bus 1 + 8r, a switch whose ports lead to the next
// seven buses, numbered depth first as firmware does.
std::string BridgedMachineText() {
    std::string text;
    for (int r = 0; r < kRootPorts; ++r) {
        const int upstream = 1 + r * kBusesPerRootPort, last = upstream + kSwitchPorts;
        text += BridgeText(0, 1 + r, upstream, last);
        for (int p = 0; p < kSwitchPorts; ++p) {
            text += BridgeText(upstream, p, upstream + 1 + p, upstream + 1 + p);
            text += NetworkText(upstream + 1 + p);
        }
    }
    return text;
}

int CountBuses(const quorel::inspect::Bus& bus) {
    int count = 1;
    for (const quorel::inspect::Bus& child : bus.children)
        count += CountBuses(child);
    return count;
}

int Child() {
    const auto start = std::chrono::steady_clock::now();
    const unsigned functions = quorel::inspect::Discover();
    const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.1f %u %d\n", micros, functions, CountBuses(quorel::inspect::RootBus()));
    return 0;
}

struct ChildRun {
    double micros = 0;
    int functions = 0, buses = 0;
};

ChildRun RunChild(const std::string& command) {
    ChildRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe && std::fscanf(pipe, "%lf %d %d", &run.micros, &run.functions, &run.buses) != 3)
        run.micros = -1;
    if (pipe)
        pclose(pipe);
    return run;
}

// Lines of the call log, and those of PciCfgRead.
std::pair<int, int> CountCalls(const fs::path& log) {
    std::ifstream in(log);
    std::string line;
    int all = 0, reads = 0;
    while (std::getline(in, line)) {
        ++all;
        reads += line.rfind("PciCfgRead(", 0) == 0;
    }
    return {all, reads};
}

int Measure(const char* self, const char* name, const std::string& machine, const fs::path& folder) {
    const std::string variable = quorel::settings::kSimLog;
    const std::string child = quorel::settings::kSimMachine + ("='" + machine + "' '") + self + "' --child";
    const fs::path log = folder / "calls.log";
    fs::remove(log);  // the stand-in appends to its log
    const ChildRun logged = RunChild(variable + "='" + log.string() + "' " + child);
    const auto [calls, reads] = CountCalls(log);
    std::vector<double> micros;
    for (int i = 0; i < kRuns; ++i)
        micros.push_back(RunChild("env -u " + variable + " " + child).micros);
    std::sort(micros.begin(), micros.end());
    std::printf("| %s | %d | %d | %d | %d | %.0f µs | %.0f µs |\n", name, logged.buses, logged.functions,
                calls, reads, micros.front(), micros[kRuns / 2]);
    return micros.front() < 0 || logged.functions == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--child") == 0)
        return Child();
    const fs::path folder = fs::temp_directory_path() / ("quorel-discovery." + std::to_string(std::rand()));
    fs::create_directories(folder);
    const fs::path bridged = folder / "bridged.lspci";
    std::ofstream(bridged) << BridgedMachineText();
    std::printf("| machine | buses | functions | driver calls | of them PciCfgRead | best | median |\n"
                "|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    int status = Measure(argv[0], "default", "", folder);
    status |= Measure(argv[0], "32 buses behind bridges", bridged.string(), folder);
    fs::remove_all(folder);
    return status;
}
