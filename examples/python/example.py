"""Opens the first card, writes and reads a register, then every board by ID.

Needs the quorel package (pip install the wheel for your platform, see
docs/python.md). Installed from the Linux wheel it runs on the simulated PC;
on Windows it needs the card maker's driver-access library. The argument, if
given, names the library to load instead of the package's.
"""
import sys

import quorel

REGISTER = 5  # the byte at offset 20 of the card's window


def single_card(q):
    q.open(0)
    q.write(REGISTER, 0xA5)
    value = q.read(REGISTER)
    print(f"register {REGISTER}: 0x{value:02X}, status 0x{q.status():02X}")
    q.close()
    return value == 0xA5


def every_board(q):
    q.open_boards()
    ok = True
    for board in q.boards():
        q.write_board(board, REGISTER, 0x50 + board)
        value = q.read_board(board, REGISTER)
        print(f"board {board}: register {REGISTER} 0x{value:02X}, status 0x{q.status():02X}")
        ok = ok and value == 0x50 + board
    q.close_boards()
    return ok


def main():
    q = quorel.load(sys.argv[1] if len(sys.argv) > 1 else None)
    major, minor = q.version()
    try:
        ok = single_card(q) and every_board(q)
    except quorel.QuorelError as error:
        print(error, file=sys.stderr)
        return 1
    print(f"library version {major}.{minor}: {'all values read back' if ok else 'a value did not read back'}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
