// `quorel list` and `quorel tree`: what the bus scan found.
#include <cstdio>
#include <string>

#include "api/inspect.h"
#include "bar_text.h"
#include "commands.h"
#include "json_text.h"
#include "peer_note.h"
#include "scan_diagnosis.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace inspect = quorel::inspect;
constexpr char kIndent[] = "         ";  // lines under a function's line

// Runs the library's discovery and one registry annotation, as an open
// does; false (after saying why) when it found nothing.
bool Discover() {
    if (!ScanFoundFunctions())
        return false;
    inspect::Annotate();
    return true;
}

void PrintFunctionLine(const inspect::Function& f, const std::string& indent) {
    std::printf("%s%s  %s:%s  %s  %02x   %-3u  %-3s   %s\n", indent.c_str(),
                cli::AddressText(f).c_str(), cli::Hex(f.vendor_id, 4).c_str(),
                cli::Hex(f.device_id, 4).c_str(), cli::Hex(f.class_code, 6).c_str(), f.hdr_type,
                f.irq, f.bus_master ? "yes" : "no", BarsText(f).c_str());
}

// The class GUID as the registry writes it, {XXXXXXXX-XXXX-...}.
std::string GuidText(const inspect::Guid& g) {
    char text[40];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                  g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

// The registry's description and keys, indented under the function's line.
void PrintRegistryLines(const inspect::RegistryTexts& r) {
    if (!r.matched && r.hardware_key.empty() && r.config_manager_key.empty()) {
        std::printf("%s(no registry entry)\n", kIndent);
        return;
    }
    if (!r.device_desc.empty())
        std::printf("%s%s\n", kIndent, cli::Shown(cli::FromLocal(r.device_desc)).c_str());
    if (!r.hardware_key.empty())
        std::printf("%skey: %s\n", kIndent, cli::Shown(cli::FromLocal(r.hardware_key)).c_str());
    if (!r.config_manager_key.empty())
        std::printf("%sConfig Manager entry: %s\n", kIndent,
                    cli::Shown(cli::FromLocal(r.config_manager_key)).c_str());
}

// A card whose window the library would not offer to the driver.
void PrintCardProblem(const inspect::Function& f) {
    const std::string problem = BarProblemText(f.card_bar_problem);
    if (!problem.empty())
        std::printf("%sthe library cannot map this card: %s\n", kIndent, problem.c_str());
}

cli::Json RegistryJson(const inspect::RegistryTexts& r) {
    return cli::Json{{"registry_matched", r.matched},
                     {"device_desc", cli::FromLocal(r.device_desc)},
                     {"hardware_key", cli::FromLocal(r.hardware_key)},
                     {"config_manager_key", cli::FromLocal(r.config_manager_key)},
                     {"class_guid_text", cli::FromLocal(r.class_guid_text)},
                     {"class_guid", GuidText(r.class_guid)}};
}

cli::Json FunctionJson(const inspect::Function& f) {
    cli::Json json{{"bus", f.bus},
                   {"devfn", f.devfn},
                   {"vendor_id", f.vendor_id},
                   {"device_id", f.device_id},
                   {"subsystem_vendor_id", f.subsystem_vendor_id},
                   {"subsystem_id", f.subsystem_id},
                   {"class_code", f.class_code},
                   {"hdr_type", f.hdr_type},
                   {"bus_master", f.bus_master},
                   {"irq", f.irq},
                   {"bar", f.bar},
                   {"rom_bar", f.rom_bar}};
    json.update(RegistryJson(f.registry));
    const std::string problem = BarProblemText(f.card_bar_problem);
    json["location"] = cli::AddressText(f);
    json["bars"] = BarsJson(f);
    json["card_window_problem"] = problem.empty() ? cli::Json() : cli::Json(problem);
    return json;
}

void PrintBus(const inspect::Bus& bus, const std::string& indent) {
    std::printf("%sbus %02x  primary %02x  secondary %02x  subordinate %02x", indent.c_str(),
                bus.number, bus.primary, bus.secondary, bus.subordinate);
    if (bus.bridge)
        std::printf("  via %s", cli::AddressText(*bus.bridge).c_str());
    std::printf("\n");
    for (const inspect::Function& f : bus.functions)
        PrintFunctionLine(f, indent + "  ");
    for (const inspect::Bus& child : bus.children)
        PrintBus(child, indent + "  ");
}

cli::Json BusJson(const inspect::Bus& bus) {
    cli::Json json{{"number", bus.number},
                   {"primary", bus.primary},
                   {"secondary", bus.secondary},
                   {"subordinate", bus.subordinate},
                   {"bridge", bus.bridge ? cli::Json(cli::AddressText(*bus.bridge)) : cli::Json()},
                   {"devices", cli::Json::array()},
                   {"children", cli::Json::array()}};
    for (const inspect::Function& f : bus.functions)
        json["devices"].push_back(cli::AddressText(f));
    for (const inspect::Bus& child : bus.children)
        json["children"].push_back(BusJson(child));
    return json;
}

}  // namespace

int List(const cli::Args& args) {
    if (!Discover())
        return cli::kExitFailure;
    const std::vector<inspect::Function> functions = inspect::Functions();
    if (args.json) {
        cli::Json json = cli::Json::array();
        for (const inspect::Function& f : functions)
            json.push_back(FunctionJson(f));
        std::printf("%s\n", cli::JsonText(json).c_str());
    } else {
        std::printf("LOCATION IDS        CLASS   HDR  IRQ  MASTER  BARS\n");
        for (const inspect::Function& f : functions) {
            PrintFunctionLine(f, "");
            PrintCardProblem(f);
            PrintRegistryLines(f.registry);
        }
    }
    std::fflush(stdout);  // the note on stderr comes after the list
    PrintUnreachedNote();
    return cli::kExitOk;
}

int Tree(const cli::Args& args) {
    if (!Discover())
        return cli::kExitFailure;
    if (args.json)
        std::printf("%s\n", cli::JsonText(BusJson(inspect::RootBus())).c_str());
    else
        PrintBus(inspect::RootBus(), "");
    return cli::kExitOk;
}

}  // namespace commands
