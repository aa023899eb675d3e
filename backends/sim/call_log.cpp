#include "call_log.h"

#include <cinttypes>

#include "environment.h"
#include "machine_parser.h"

namespace quorel::sim {

namespace {

constexpr size_t kLineSize = 160;

}  // namespace

void CallLog::SetTarget(const std::string& target) {
    if (target == target_)
        return;
    target_ = target;
    complained_ = false;
}

void CallLog::Line(const char* text) {
    if (!On())
        return;
    if (target_ == settings::kToStderr) {
        std::fprintf(stderr, "%s\n", text);
        std::fflush(stderr);
        return;
    }
    // Binary: the same "\n" line ends on every platform for whoever parses it.
    FILE* file = OpenFile(target_, "ab");
    if (!file) {
        if (!complained_)
            Complain(target_ + ": cannot open the call log");
        complained_ = true;
        return;
    }
    std::fprintf(file, "%s\n", text);
    std::fclose(file);
}

void CallLog::Initialize(uint8_t result) {
    char line[kLineSize];
    std::snprintf(line, sizeof(line), "InitializeUlvexa() = %u", result);
    Line(line);
}

void CallLog::Remove() { Line("RemoveUlvexaDriver()"); }

void CallLog::Shutdown() { Line("ShutdownUlvexa()"); }

void CallLog::Map(const PhysMapRecord* record, const uint8_t* window) {
    if (!On())
        return;
    char result[32] = "NULL";
    if (window)
        std::snprintf(result, sizeof(result), "0x%" PRIxPTR, reinterpret_cast<uintptr_t>(window));
    char line[kLineSize];
    if (record)
        std::snprintf(line, sizeof(line),
                      "MapPhysToLin(length=0x%" PRIx64 ", phys_addr=0x%" PRIx64 ") = %s", record->length,
                      record->phys_addr, result);
    else
        std::snprintf(line, sizeof(line), "MapPhysToLin(NULL) = %s", result);
    Line(line);
}

void CallLog::Read(const Address& at, uint16_t offset, uint8_t result, const uint32_t* value) {
    if (!On())
        return;
    char shown[16] = "NULL";
    if (value)
        std::snprintf(shown, sizeof(shown), "0x%08" PRIx32, *value);
    char line[kLineSize];
    std::snprintf(line, sizeof(line), "PciCfgRead(%s, 0x%03x) = %u %s", FormatAddress(at).c_str(),
                  offset, result, shown);
    Line(line);
}

void CallLog::Write(const Address& at, uint16_t offset, uint32_t value, uint8_t result) {
    if (!On())
        return;
    char line[kLineSize];
    std::snprintf(line, sizeof(line), "PciCfgWrite(%s, 0x%03x, 0x%08" PRIx32 ") = %u",
                  FormatAddress(at).c_str(), offset, value, result);
    Line(line);
}

}  // namespace quorel::sim
