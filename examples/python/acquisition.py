"""Drives a small acquisition card: reset it, enable its interrupt, then
three times start a conversion, wait until the interrupt is pending,
acknowledge it and read the result.

Without the card, run it against the stand-in with the example card model:
QUOREL_SIM_MODEL=backends/sim/models/acquisition.toml (Linux wheel), or on
Windows with the stand-in's Ulvexa DLL (see docs/card-model.md).
"""
import sys
import time

import quorel

CTRL, RESULT = 5, 8  # the model's CTRL and RESULT registers
START = 0x01         # CTRL bit 0: begin one conversion
PENDING = 0x01       # status bit 0: the interrupt is pending
TIMEOUT_S = 5.0


def wait_for_pending(q):
    deadline = time.monotonic() + TIMEOUT_S
    while time.monotonic() < deadline:
        if q.status() & PENDING:
            return True
    return False


def main(argv):
    q = quorel.load(argv[1] if len(argv) > 1 else None)
    q.open(0)
    q.reset()
    q.enable_interrupt()
    for conversion in range(1, 4):
        q.write(CTRL, START)
        if not wait_for_pending(q):
            sys.exit(f"conversion {conversion}: the interrupt never became pending "
                     f"(status 0x{q.status():02X})")
        q.acknowledge_interrupt()
        print(f"conversion {conversion}: result 0x{q.read(RESULT):02X}, "
              f"status after the acknowledgement 0x{q.status():02X}")
    q.disable_interrupt()
    q.close()


if __name__ == "__main__":
    main(sys.argv)
