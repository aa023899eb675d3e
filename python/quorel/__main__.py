"""python -m quorel [--driver sim|sysfs] [--driver-dir FOLDER] [--library PATH]

Lists the cards as Quorel_open counts them, through the exports only: each
position with its board ID (register 6) and status byte, or why it could not
be opened. `quorel cards` also shows each card's type, bus location and BAR0.
Exit code 0 with at least one card, 1 with none, 2 when the library cannot
be loaded.
"""
import argparse
import sys

from . import NOTHING_TO_ACT_ON, LoadError, QuorelError, load

BOARD_ID_REGISTER = 6  # bit 7 adds 2 to the board ID, bit 3 adds 1


def board_id(value):
    return (2 if value & 0x80 else 0) + (1 if value & 0x08 else 0)


def cards(q):
    """(position, board ID or None, status or None, reason or None) per card."""
    position = 0
    while True:
        try:
            q.open(position)
        except QuorelError as error:
            if error.result == NOTHING_TO_ACT_ON:  # past the last card
                return
            yield position, None, None, str(error)
        else:
            yield position, board_id(q.read(BOARD_ID_REGISTER)), q.status(), None
            q.close()
        position += 1


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python -m quorel", description="Lists the QUOREL cards.")
    parser.add_argument("--driver", choices=["sim", "sysfs"])
    parser.add_argument("--driver-dir", help="folder of the maker's driver-access library (Windows)")
    parser.add_argument("--library", help="the Quorel library to load, file or folder")
    args = parser.parse_args(argv)
    try:
        q = load(args.library, args.driver, args.driver_dir)
    except (LoadError, ValueError) as error:
        print(f"python -m quorel: {error}", file=sys.stderr)
        return 2
    found = list(cards(q))
    print("POS  BOARD  STATUS")
    for position, board, status, reason in found:
        print(f"{position:<4} {board:<6} 0x{status:02x}" if reason is None else f"{position:<4} -      -       {reason}")
    if not found:
        print("no card found", file=sys.stderr)
    return 0 if found else 1


if __name__ == "__main__":
    sys.exit(main())
