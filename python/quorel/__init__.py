"""Register access to the QUOREL PCI card.

    import quorel
    q = quorel.load()           # the library for this interpreter's bitness
    q.open(0)                   # raises quorel.QuorelError when it fails
    q.write(5, 0xA5)
    print(hex(q.read(5)))
    q.close()

load() takes the library from this package: Quorel_64.dll or Quorel_32D.dll
on Windows, chosen by the interpreter's pointer size, or libquorel.so on
Linux. Where the package holds none (run from a source tree) it looks on
PATH (Windows) or LD_LIBRARY_PATH (Linux); load(path) takes a file or folder.

The driver: on Windows the card maker's driver-access library
(Ulvexa64.dll / Ulvexa32.dll), looked for beside the DLL, in the current
folder, System32 and on PATH, or in load(driver_dir=FOLDER);
load(driver="sim") uses the stand-in shipped here, which simulates a PC with
three cards. On Linux the default is that simulated PC and
load(driver="sysfs") drives this machine's own PCI bus.

A file that cannot be used raises quorel.LoadError (an OSError) naming the
file, its bitness and this Python's, or that it is truncated or damaged, or
which of the two libraries was missing and every folder tried.

The methods refuse what the quorel tool refuses (ValueError, or
OverflowError for a number no C int holds): a register index outside
0..254, a value outside 0..255, a board ID outside 0..3.

Threads: the library keeps one process-wide state and takes no locks, so
every method holds one process-wide lock, quorel.LOCK, for the call. A
register read through q.read() takes 0.41 µs against 0.15 µs for the bare
ctypes call; the lock is 0.11 µs of the difference, the result check the
rest (native, idle machine; bench/python_call_overhead.py). Every C function is also
reachable as declared, q.c.Quorel_open(0) and so on, without the lock: hold
quorel.LOCK around those where several threads use the card.

python -m quorel lists the cards.
"""
from ._api import BOARD_COUNT, LOCK, MAP_FAILED, NOTHING_TO_ACT_ON, SUCCESS, Quorel, QuorelError
from ._loader import LoadError

__all__ = ["BOARD_COUNT", "LOCK", "LoadError", "MAP_FAILED", "NOTHING_TO_ACT_ON", "Quorel", "QuorelError",
           "SUCCESS", "load"]


def load(path=None, driver=None, driver_dir=None):
    """Loads the library: the file or folder given, else the package's own.

    driver: None (Windows: the maker's driver-access library; Linux: the
    simulated PC), "sim" (the simulated PC) or "sysfs" (Linux: this
    machine's PCI bus). driver_dir: the folder of the maker's Ulvexa64.dll
    or Ulvexa32.dll (Windows)."""
    return Quorel(path, driver, driver_dir)
