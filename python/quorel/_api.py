"""The sixteen functions, declared for ctypes, and one method per function."""
import ctypes
import operator
import threading
import types

from . import _loader

_int = ctypes.c_int
_int_p = ctypes.POINTER(ctypes.c_int)

# The functions' results, named as in quorel.h (QUOREL_SUCCESS and so on).
SUCCESS = 0
NOTHING_TO_ACT_ON = 1  # no card there, none open, an empty board slot, register 255, a null pointer
MAP_FAILED = 2  # Quorel_open only: the register window could not be mapped

# name: (argument types, what NOTHING_TO_ACT_ON means, or None where 1 is
# also a register value or the function cannot fail). Every function returns
# an int.
_FUNCTIONS = {
    "Quorel_open": ([_int], None),  # NOTHING_TO_ACT_ON and MAP_FAILED: see open()
    "Quorel_close": ([], None),
    "Quorel_in": ([_int], None),
    "Quorel_out": ([_int, _int], "no card open"),
    "Quorel_srst": ([], "no card open"),
    "Quorel_enint": ([], "no card open"),
    "Quorel_disint": ([], "no card open"),
    "Quorel_ackint": ([], "no card open"),
    "Quorel_sts": ([], None),
    "Quorel_LibVersion": ([_int_p, _int_p], "null pointer"),
    "Quorel_setwr2wrdly": ([ctypes.c_double], None),
    "Quorel_open2": ([], "no card found"),
    "Quorel_close2": ([], None),
    "Quorel_in2": ([_int, _int], None),
    "Quorel_out2": ([_int, _int, _int], "no card filed under that board ID"),
    "Quorel_getvalidid2": ([_int_p], "null pointer"),
}

_OPEN_FAILURES = {
    NOTHING_TO_ACT_ON: "no card at that position",
    MAP_FAILED: "the card's register window could not be mapped",
}

BOARD_COUNT = 4

# What the methods accept, refused in the quorel tool's words. The library
# would take any C int, count registers and values by their low 8 bits and
# answer 1 for register 255 or a board outside 0..3: a wrong number would
# reach another register, or read as a register holding 1. The functions as
# declared (q.c) still pass any C int on.
_C_INT = (-2**31, 2**31 - 1)
_POSITION = (*_C_INT, f"a card position must fit a C int, {_C_INT[0]} to {_C_INT[1]}")
_REGISTER = (0, 254, "REG must be 0 to 254 (255 is the control/status register)")
_VALUE = (0, 255, "VALUE must be 0 to 255")
_BOARD = (0, BOARD_COUNT - 1, "board ID must be 0 to 3")

# The library keeps one process-wide state and takes no locks, so every
# method holds this one; hold it yourself around q.c calls made from threads.
LOCK = threading.RLock()


def _checked(name, value, rule):
    """value, or ValueError (OverflowError where no C int holds it) naming
    the argument, its value and its range. Non-integers are left to ctypes."""
    low, high, words = rule
    try:
        number = operator.index(value)
    except TypeError:
        return value
    if low <= number <= high:
        return value
    error = ValueError if _C_INT[0] <= number <= _C_INT[1] else OverflowError
    raise error(f"{name} is {number}: {words}")


class QuorelError(RuntimeError):
    """A Quorel function reported failure; .function and .result say which and what."""

    def __init__(self, function, result, reason):
        super().__init__(f"{function} returned {result}: {reason}")
        self.function = function
        self.result = result


def _export_name(name, stdcall):
    # The 32-bit DLL exports Quorel_LibVersion only under its decorated
    # __stdcall name (the others also plain).
    return "_Quorel_LibVersion@8" if stdcall and name == "Quorel_LibVersion" else name


class Quorel:
    """The loaded library, with one method per function. .c holds the
    functions as declared, .path the file loaded."""

    def __init__(self, path=None, driver=None, driver_dir=None):
        self._loaded = _loader.load(path=path, driver=driver, driver_dir=driver_dir)
        self.lib, self.path = self._loaded.library, self._loaded.path
        self.c = types.SimpleNamespace()
        for name, (argtypes, _) in _FUNCTIONS.items():
            function = self.lib[_export_name(name, self._loaded.stdcall)]
            function.argtypes = argtypes
            function.restype = _int
            setattr(self.c, name, function)

    def _call(self, name, *args):
        with LOCK:
            result = getattr(self.c, name)(*args)
        reason = _FUNCTIONS[name][1]
        if reason is not None and result == NOTHING_TO_ACT_ON:
            raise QuorelError(name, result, reason)
        return result

    # One card at a time.
    def open(self, index):
        result = self._call("Quorel_open", _checked("index", index, _POSITION))
        if result in _OPEN_FAILURES:
            raise QuorelError("Quorel_open", result, _OPEN_FAILURES[result])

    def close(self):
        self._call("Quorel_close")

    def read(self, index):
        """The register byte (index 0..254). A 1 may also mean no card is
        open: open first."""
        return self._call("Quorel_in", _checked("index", index, _REGISTER))

    def write(self, index, value):
        self._call("Quorel_out", _checked("index", index, _REGISTER), _checked("value", value, _VALUE))

    def reset(self):
        self._call("Quorel_srst")

    def enable_interrupt(self):
        self._call("Quorel_enint")

    def disable_interrupt(self):
        self._call("Quorel_disint")

    def acknowledge_interrupt(self):
        self._call("Quorel_ackint")

    def status(self):
        """The control/status register byte (1 also when no card is open)."""
        return self._call("Quorel_sts")

    def version(self):
        """(major, minor); the library also prints its banner line."""
        major, minor = _int(), _int()
        self._call("Quorel_LibVersion", ctypes.byref(major), ctypes.byref(minor))
        return major.value, minor.value

    def set_write_delay(self, microseconds):
        """Pause after each write to a 1 KiB-window card (default 1.0, 0 for none).
        An infinite pause is refused: every later write would never return."""
        if microseconds == float("inf"):
            raise ValueError("microseconds is inf: the pause must be finite (0 turns it off)")
        self._call("Quorel_setwr2wrdly", microseconds)

    # Up to four cards, by board ID.
    def open_boards(self):
        self._call("Quorel_open2")

    def close_boards(self):
        self._call("Quorel_close2")

    def read_board(self, board, index):
        """The register byte of a board, which becomes the one status() reads."""
        return self._call("Quorel_in2", _checked("board", board, _BOARD), _checked("index", index, _REGISTER))

    def write_board(self, board, index, value):
        self._call("Quorel_out2", _checked("board", board, _BOARD), _checked("index", index, _REGISTER),
                   _checked("value", value, _VALUE))

    def boards(self):
        """The board IDs present, in order."""
        ids = (ctypes.c_int * BOARD_COUNT)()
        self._call("Quorel_getvalidid2", ids)
        return [board for board in range(BOARD_COUNT) if ids[board]]
