// What an open learns on its way, reported to the trace flavour of the DLLs
// (built with QUOREL_TRACE_BUILD), which writes one line per export call and,
// after an open's line, what the open found. In every other build these are
// empty inline functions: the compiler drops the calls and their arguments,
// and the release objects are the same as without them.
//
// The hooks take plain values so that every layer may call them: this
// header sits at the bottom beside platform/ and includes nothing of the
// library.
#ifndef QUOREL_TRACE_TRACE_H
#define QUOREL_TRACE_TRACE_H

#include <cstdint>

namespace quorel::trace {

#ifdef QUOREL_TRACE_BUILD
// The Windows version GetVersionExW reported and the family it gave.
void WindowsVersion(uint32_t major, uint32_t minor, uint32_t build, int32_t family);
// InitializeUlvexa's result (first open only).
void DriverInitialized(uint8_t result);
// One PciCfgRead call.
void ConfigRead();
// The card search at `position`: the card found (bus, devfn, type, BAR0).
void CardFound(int32_t position, uint8_t bus, uint32_t devfn, int32_t type, uint32_t bar0);
void NoCardAt(int32_t position);
// What was handed to MapPhysToLin and what it returned; or that the BAR
// was not mappable, so it was never asked.
void WindowMapped(uint64_t phys_addr, uint64_t length, const void* window);
void BarNotMappable(uint32_t bar0);
// Quorel_open2: the board-ID register of a mapped card and the board ID it gives.
void BoardFiled(uint8_t board_id_register, int board);
#else
inline void WindowsVersion(uint32_t, uint32_t, uint32_t, int32_t) {}
inline void DriverInitialized(uint8_t) {}
inline void ConfigRead() {}
inline void CardFound(int32_t, uint8_t, uint32_t, int32_t, uint32_t) {}
inline void NoCardAt(int32_t) {}
inline void WindowMapped(uint64_t, uint64_t, const void*) {}
inline void BarNotMappable(uint32_t) {}
inline void BoardFiled(uint8_t, int) {}
#endif

}  // namespace quorel::trace

#endif  // QUOREL_TRACE_TRACE_H
