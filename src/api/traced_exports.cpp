// The trace flavour's sixteen exports. Its .def exports each name from the
// wrapper here (Quorel_out_traced for "Quorel_out"), which calls the
// library's own function and writes the call's line: one line per call of
// the application, since the library's calls among its own functions
// (Quorel_in2 to Quorel_in) do not pass through the wrappers.
#include <cstdarg>
#include <cstdint>

#include "pci/device_list.h"
#include "quorel.h"
#include "trace/open_facts.h"
#include "trace/writer.h"

using namespace quorel;
using quorel::trace::Text;

namespace {

enum class Shown { kStatus, kRegister };  // a result in decimal, or a register byte in hex

__attribute__((format(printf, 4, 5))) int Report(int64_t start, int result, Shown shown,
                                                   const char* call, ...) {
    Text text;
    va_list args;
    va_start(args, call);
    text.AddV(call, args);
    va_end(args);
    text.Add(shown == Shown::kRegister ? " = 0x%02X" : " = %d", result);
    trace::WriteCall(start, text.c_str(), "");
    return result;
}

// An open's line and what it found: the device list's counts (every open
// annotates it anew) and the hooks' notes.
int ReportOpen(int64_t start, bool discovered, int result, const char* call) {
    unsigned long functions = 0, matched = 0;
    for (const DeviceRecord* r = device_list; r; r = r->next) {
        ++functions;
        matched += r->registry_matched == 1;
    }
    Text summary, details;
    summary.Add("    functions found: %lu; registry: %lu of them matched\n", functions, matched);
    trace::AddOpenDetails(details, discovered, summary.c_str());
    Text text;
    text.Add("%s = %d", call, result);
    trace::WriteCall(start, text.c_str(), details.c_str());
    return result;
}

unsigned long long Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

}  // namespace

extern "C" int QUOREL_CALL Quorel_open_traced(int index) {
    const int64_t start = trace::CallStart();
    const bool discovered = discovery_done == 0;
    trace::BeginOpen();
    const int result = Quorel_open(index);
    Text call;
    call.Add("Quorel_open(%d)", index);
    return ReportOpen(start, discovered, result, call.c_str());
}

extern "C" int QUOREL_CALL Quorel_open2_traced(void) {
    const int64_t start = trace::CallStart();
    const bool discovered = discovery_done == 0;
    trace::BeginOpen();
    return ReportOpen(start, discovered, Quorel_open2(), "Quorel_open2()");
}

extern "C" int QUOREL_CALL Quorel_close_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_close(), Shown::kStatus, "Quorel_close()");
}

extern "C" int QUOREL_CALL Quorel_close2_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_close2(), Shown::kStatus, "Quorel_close2()");
}

extern "C" int QUOREL_CALL Quorel_in_traced(int index) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_in(index), Shown::kRegister, "Quorel_in(%d)", index);
}

extern "C" int QUOREL_CALL Quorel_out_traced(int index, int value) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_out(index, value), Shown::kStatus, "Quorel_out(%d, 0x%X)", index,
                  value);
}

extern "C" int QUOREL_CALL Quorel_in2_traced(int board, int index) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_in2(board, index), Shown::kRegister, "Quorel_in2(%d, %d)", board,
                  index);
}

extern "C" int QUOREL_CALL Quorel_out2_traced(int board, int index, int value) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_out2(board, index, value), Shown::kStatus,
                  "Quorel_out2(%d, %d, 0x%X)", board, index, value);
}

extern "C" int QUOREL_CALL Quorel_srst_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_srst(), Shown::kStatus, "Quorel_srst()");
}

extern "C" int QUOREL_CALL Quorel_enint_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_enint(), Shown::kStatus, "Quorel_enint()");
}

extern "C" int QUOREL_CALL Quorel_disint_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_disint(), Shown::kStatus, "Quorel_disint()");
}

extern "C" int QUOREL_CALL Quorel_ackint_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_ackint(), Shown::kStatus, "Quorel_ackint()");
}

extern "C" int QUOREL_CALL Quorel_sts_traced(void) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_sts(), Shown::kRegister, "Quorel_sts()");
}

extern "C" int QUOREL_CALL Quorel_setwr2wrdly_traced(double delay) {
    const int64_t start = trace::CallStart();
    return Report(start, Quorel_setwr2wrdly(delay), Shown::kStatus, "Quorel_setwr2wrdly(%g)", delay);
}

// The pointers as passed, then what the call stored through them.
extern "C" int QUOREL_CALL Quorel_LibVersion_traced(int* major, int* minor) {
    const int64_t start = trace::CallStart();
    const int result = Quorel_LibVersion(major, minor);
    Text text;
    text.Add("Quorel_LibVersion(0x%llX, 0x%llX) = %d", Address(major), Address(minor), result);
    if (result == QUOREL_SUCCESS)
        text.Add(", version %d.%02d", *major, *minor);
    trace::WriteCall(start, text.c_str(), "");
    return result;
}

extern "C" int QUOREL_CALL Quorel_getvalidid2_traced(int* ids) {
    const int64_t start = trace::CallStart();
    const int result = Quorel_getvalidid2(ids);
    Text text;
    text.Add("Quorel_getvalidid2(0x%llX) = %d", Address(ids), result);
    if (result == QUOREL_SUCCESS)
        text.Add(", ids {%d, %d, %d, %d}", ids[0], ids[1], ids[2], ids[3]);
    trace::WriteCall(start, text.c_str(), "");
    return result;
}
