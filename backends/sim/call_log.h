// The optional call log: one line per call into the driver-access library,
// with its arguments and result. Each line is appended with the file opened
// and closed around it, so that a crash loses nothing and the file can be
// read, moved or deleted between calls (Windows refuses to delete a file
// that is still open). Tests parse these lines; keep the format stable.
#ifndef QUOREL_SIM_CALL_LOG_H
#define QUOREL_SIM_CALL_LOG_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "ulvexa.h"
#include "machine.h"

namespace quorel::sim {

class CallLog {
public:
    // target: empty (no log), "stderr", or a file to append to.
    void SetTarget(const std::string& target);

    void Initialize(uint8_t result);
    void Remove();
    void Shutdown();
    void Map(const PhysMapRecord* record, const uint8_t* window);
    void Read(const Address& at, uint16_t offset, uint8_t result, const uint32_t* value);
    void Write(const Address& at, uint16_t offset, uint32_t value, uint8_t result);
    // A modelled card's access, as its model describes it.
    void Model(const std::string& line) { Line(line.c_str()); }

private:
    bool On() const { return !target_.empty(); }
    void Line(const char* text);

    std::string target_;
    bool complained_ = false;  // about a file that cannot be opened, once
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_CALL_LOG_H
