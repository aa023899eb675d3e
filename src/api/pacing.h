// Accesses to the 1 KiB-window card variant are followed by a busy wait on
// the performance counter: it gives the card's slow bus interface time to
// settle before the next access.
#ifndef QUOREL_API_PACING_H
#define QUOREL_API_PACING_H

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
// The pause after a register read / write, when CardType asks for one.
void PaceRead();
void PaceWrite();

}  // namespace quorel

#endif  // QUOREL_API_PACING_H
