// Accesses to the 1 KiB-window card variant are followed by a busy wait on
// the performance counter: it gives the card's slow bus interface time to
// settle before the next access.
#ifndef QUOREL_API_PACING_H
#define QUOREL_API_PACING_H

#include "api/card_regs.h"
#include "api/card_state.h"

namespace quorel {

// Microseconds per performance-counter tick; 0.0 until the first open.
extern double MicrosPerTick;
// Pause after each write to a paced card, in microseconds.
extern double Wr2WrDelay;

constexpr double kDefaultWriteDelayMicros = 1.0;
constexpr double kReadDelayMicros = 1.0;  // fixed, not settable

// Sets MicrosPerTick from the counter frequency (all 64 bits of it).
void SetCounterScale();
// Spins until at least `micros` have passed since its first counter reading.
// 0 returns at once without reading the counter; a negative or NaN value
// takes one reading after the start.
void DelayMicroseconds(double micros);
// The pauses themselves (1 us after a read, Wr2WrDelay after a write), out
// of line: only a paced card gets that far. Each hands back `result`, the
// access's own, so that an export can end in a jump to it. On i386 that
// argument travels in a register: calling them then needs no stack slot,
// and the exports' unpaced path no frame.
#if defined(__i386__)
#define QUOREL_WAIT_ABI __attribute__((regparm(1)))
#else
#define QUOREL_WAIT_ABI
#endif
QUOREL_WAIT_ABI int WaitAfterRead(int result);
QUOREL_WAIT_ABI int WaitAfterWrite(int result);

// An export's last step after a register read / write: the pause when
// CardType asks for one, then `result`. Inline, so that an access to an
// unpaced card pays a compare and nothing more: no call, no stack frame.
inline int PaceRead(int result) {
    return CardType == card::kType2 ? WaitAfterRead(result) : result;
}

inline int PaceWrite(int result) {
    return CardType == card::kType2 ? WaitAfterWrite(result) : result;
}

}  // namespace quorel

#endif  // QUOREL_API_PACING_H
