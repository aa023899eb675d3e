// `quorel list` and `quorel tree`: what the bus scan found.
#include <cstdio>
#include <cstring>
#include <string>

#include "api/inspect.h"
#include "bar_text.h"
#include "list_commands.h"
#include "peer_note.h"
#include "scan_diagnosis.h"
#include "text_encoding.h"

namespace commands {

namespace {

using quorel::BusNode;
using quorel::DeviceRecord;
constexpr unsigned kBarCount = 6;
constexpr char kIndent[] = "         ";  // lines under a record's line

// Runs the library's discovery and one registry annotation, as an open
// does; false (after saying why) when it found nothing.
bool Discover() {
    if (!ScanFoundFunctions())
        return false;
    quorel::inspect::Annotate();
    return true;
}

void PrintRecordLine(const DeviceRecord* r, const std::string& indent) {
    std::printf("%s%s  %s:%s  %s  %02x   %-3u  %-3s   %s\n", indent.c_str(),
                cli::AddressText(r).c_str(), cli::Hex(r->vendor_id, 4).c_str(),
                cli::Hex(r->device_id, 4).c_str(), cli::Hex(r->class_code, 6).c_str(),
                r->hdr_type, r->irq, r->bus_master ? "yes" : "no", BarsText(r).c_str());
}

// A record's 8-bit text field, as UTF-8.
template <size_t N>
std::string Field(const char (&text)[N]) {
    return cli::FromLocal(text);
}

// The class GUID as the registry writes it, {XXXXXXXX-XXXX-...}.
std::string GuidText(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

// The registry's description and keys, indented under the record's line.
void PrintRegistryLines(const DeviceRecord* r) {
    if (!r->registry_matched && !r->hardware_key[0] && !r->config_manager_key[0]) {
        std::printf("%s(no registry entry)\n", kIndent);
        return;
    }
    if (r->device_desc[0])
        std::printf("%s%s\n", kIndent, cli::Shown(Field(r->device_desc)).c_str());
    if (r->hardware_key[0])
        std::printf("%skey: %s\n", kIndent, cli::Shown(Field(r->hardware_key)).c_str());
    if (r->config_manager_key[0])
        std::printf("%sConfig Manager entry: %s\n", kIndent, cli::Shown(Field(r->config_manager_key)).c_str());
}

// A card whose window the library would not offer to the driver.
void PrintCardProblem(const DeviceRecord* r) {
    const std::string problem = CardBarProblem(r);
    if (!problem.empty())
        std::printf("%sthe library cannot map this card: %s\n", kIndent, problem.c_str());
}

void RegistryJson(cli::Json& json, const DeviceRecord* r) {
    json.Key("registry_matched").Int(r->registry_matched)
        .Key("device_desc").String(Field(r->device_desc))
        .Key("hardware_key").String(Field(r->hardware_key))
        .Key("config_manager_key").String(Field(r->config_manager_key))
        .Key("class_guid_text").String(Field(r->class_guid_text))
        .Key("class_guid").String(GuidText(r->class_guid));
}

void RecordJson(cli::Json& json, const DeviceRecord* r) {
    json.BeginObject()
        .Key("bus").Int(r->bus->number)
        .Key("devfn").Int(r->devfn)
        .Key("vendor_id").Int(r->vendor_id)
        .Key("device_id").Int(r->device_id)
        .Key("subsystem_vendor_id").Int(r->subsystem_vendor_id)
        .Key("subsystem_id").Int(r->subsystem_id)
        .Key("class_code").Int(r->class_code)
        .Key("hdr_type").Int(r->hdr_type)
        .Key("bus_master").Int(r->bus_master)
        .Key("irq").Int(r->irq)
        .Key("bar").BeginArray();
    for (unsigned i = 0; i < kBarCount; ++i)
        json.Int(r->bar[i]);
    json.EndArray().Key("rom_bar").Int(r->rom_bar);
    RegistryJson(json, r);
    json.Key("location").String(cli::AddressText(r)).Key("bars");
    BarsJson(json, r);
    const std::string problem = CardBarProblem(r);
    json.Key("card_window_problem");
    if (problem.empty())
        json.Null();
    else
        json.String(problem);
    json.EndObject();
}

// A bus node's children in the order the scan created them (the chain holds
// the newest first).
std::vector<const BusNode*> ChildrenInScanOrder(const BusNode* node) {
    std::vector<const BusNode*> children;
    for (const BusNode* c = node->children; c; c = c->next)
        children.insert(children.begin(), c);
    return children;
}

void PrintBus(const BusNode* node, const std::string& indent) {
    std::printf("%sbus %02x  primary %02x  secondary %02x  subordinate %02x", indent.c_str(),
                node->number, node->primary, node->secondary, node->subordinate);
    if (node->bridge)
        std::printf("  via %s", cli::AddressText(node->bridge).c_str());
    std::printf("\n");
    for (const DeviceRecord* r = node->devices; r; r = r->next_on_bus)
        PrintRecordLine(r, indent + "  ");
    for (const BusNode* child : ChildrenInScanOrder(node))
        PrintBus(child, indent + "  ");
}

void BusJson(cli::Json& json, const BusNode* node) {
    json.BeginObject()
        .Key("number").Int(node->number)
        .Key("primary").Int(node->primary)
        .Key("secondary").Int(node->secondary)
        .Key("subordinate").Int(node->subordinate)
        .Key("bridge");
    if (node->bridge)
        json.String(cli::AddressText(node->bridge));
    else
        json.Null();
    json.Key("devices").BeginArray();
    for (const DeviceRecord* r = node->devices; r; r = r->next_on_bus)
        json.String(cli::AddressText(r));
    json.EndArray().Key("children").BeginArray();
    for (const BusNode* child : ChildrenInScanOrder(node))
        BusJson(json, child);
    json.EndArray().EndObject();
}

}  // namespace

int List(const cli::Args& args) {
    if (!Discover())
        return cli::kExitFailure;
    if (args.json) {
        cli::Json json;
        json.BeginArray();
        for (const DeviceRecord* r = quorel::inspect::Devices(); r; r = r->next)
            RecordJson(json, r);
        std::printf("%s\n", json.EndArray().Text().c_str());
    } else {
        std::printf("LOCATION IDS        CLASS   HDR  IRQ  MASTER  BARS\n");
        for (const DeviceRecord* r = quorel::inspect::Devices(); r; r = r->next) {
            PrintRecordLine(r, "");
            PrintCardProblem(r);
            PrintRegistryLines(r);
        }
    }
    std::fflush(stdout);  // the note on stderr comes after the list
    PrintUnreachedNote();
    return cli::kExitOk;
}

int Tree(const cli::Args& args) {
    if (!Discover())
        return cli::kExitFailure;
    if (args.json) {
        cli::Json json;
        BusJson(json, quorel::inspect::RootBus());
        std::printf("%s\n", json.Text().c_str());
    } else {
        PrintBus(quorel::inspect::RootBus(), "");
    }
    return cli::kExitOk;
}

}  // namespace commands
