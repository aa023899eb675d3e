// The optional call log: one line per call into the driver-access library,
// with its arguments and result, flushed at once so that a crash loses
// nothing. Tests parse these lines; keep the format stable.
#ifndef QUOREL_SIM_CALL_LOG_H
#define QUOREL_SIM_CALL_LOG_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "ulvexa.h"
#include "machine.h"

namespace quorel::sim {

constexpr char kLogToStderr[] = "stderr";

class CallLog {
public:
    // target: empty (no log), "stderr", or a file to append to. Keeps the
    // open file when the target is unchanged.
    void SetTarget(const std::string& target);

    void Initialize(uint8_t result);
    void Remove();
    void Shutdown();
    void Map(const PhysMapRecord* record, const uint8_t* window);
    void Read(const Address& at, uint16_t offset, uint8_t result, const uint32_t* value);
    void Write(const Address& at, uint16_t offset, uint32_t value, uint8_t result);

private:
    void Line(const char* text);
    void Close();

    std::string target_;
    FILE* file_ = nullptr;
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_CALL_LOG_H
