// The hooks' side in the trace flavour: they only take notes. Opens are
// serialised by the library's contract (the first must not run beside any
// other call), so the notes need no lock.
#include "trace/open_facts.h"

#include "trace/trace.h"

namespace quorel::trace {

namespace {

struct Facts {
    bool version_known = false;
    uint32_t major = 0, minor = 0, build = 0;
    int32_t family = 0;
    bool driver_initialized = false;
    unsigned driver_result = 0;
    unsigned long config_reads = 0;
    Text search;  // card, mapping and board lines, in order
};
Facts facts;

}  // namespace

void BeginOpen() {
    facts.version_known = facts.driver_initialized = false;
    facts.config_reads = 0;
    facts.search.Clear();
}

void AddOpenDetails(Text& out, bool discovered, const char* summary) {
    if (discovered && facts.driver_initialized)
        out.Add("    driver: InitializeUlvexa() = %u, %lu configuration reads\n", facts.driver_result,
                facts.config_reads);
    else if (discovered)
        out.Add("    driver: not initialised, %lu configuration reads\n", facts.config_reads);
    if (facts.version_known)
        out.Add("    windows: %lu.%lu build %lu, OsFamily %ld\n", (unsigned long)facts.major,
                (unsigned long)facts.minor, (unsigned long)facts.build, (long)facts.family);
    else
        out.Add("    windows: GetVersionExW failed, OsFamily unchanged\n");
    out.Add("%s%s", summary, facts.search.c_str());
}

void WindowsVersion(uint32_t major, uint32_t minor, uint32_t build, int32_t family) {
    facts.version_known = true;
    facts.major = major, facts.minor = minor, facts.build = build, facts.family = family;
}

void DriverInitialized(uint8_t result) {
    facts.driver_initialized = true;
    facts.driver_result = result;
}

void ConfigRead() { ++facts.config_reads; }

void CardFound(int32_t position, uint8_t bus, uint32_t devfn, int32_t type, uint32_t bar0) {
    facts.search.Add("    card %ld: %02x:%02x.%u, type %ld, BAR0 0x%08lX\n", (long)position, bus,
                     (unsigned)(devfn >> 3 & 0x1F), (unsigned)(devfn & 7), (long)type,
                     (unsigned long)bar0);
}

void NoCardAt(int32_t position) { facts.search.Add("    card %ld: none\n", (long)position); }

void WindowMapped(uint64_t phys_addr, uint64_t length, const void* window) {
    facts.search.Add("    MapPhysToLin(address 0x%llX, length 0x%llX) = 0x%llX\n",
                     (unsigned long long)phys_addr, (unsigned long long)length,
                     (unsigned long long)(uintptr_t)window);
}

void BarNotMappable(uint32_t bar0) {
    facts.search.Add("    BAR0 0x%08lX is not mappable memory: MapPhysToLin not called\n",
                     (unsigned long)bar0);
}

void BoardFiled(uint8_t board_id_register, int board) {
    facts.search.Add("    board-ID register 0x%02X: board %d\n", board_id_register, board);
}

}  // namespace quorel::trace
