"""Finding and loading the Quorel library for this interpreter.

The file is chosen at run time by the interpreter's pointer size and loaded
by absolute path: from Python 3.8 on Windows no longer looks for a DLL's
dependencies on PATH, so the driver-access library's folder is added with
os.add_dll_directory. Everything the loader asks of the running system goes
through a Host, which the tests fake.
"""
import ctypes
import dataclasses
import os
import struct
import sys
import typing

from . import _binary

PACKAGE_LIB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib")
DRIVERS = (None, "sim", "sysfs")


class LoadError(OSError):
    """The library could not be loaded. The message says which file, why and
    what to do; .path is that file (None when none was found), .missing is
    "library" or "driver" when a file was not found (else None), .folders the
    folders searched for it."""

    def __init__(self, message, path=None, missing=None, folders=()):
        super().__init__(message)
        self.path, self.missing, self.folders = path, missing, list(folders)


def _open_with_ctypes(path, stdcall):
    # The 32-bit DLL's functions are __stdcall: WinDLL. Elsewhere there is
    # one calling convention: CDLL.
    return ctypes.WinDLL(path) if stdcall else ctypes.CDLL(path)


@dataclasses.dataclass
class Host:
    """The running system as the loader sees it."""
    platform: str                      # sys.platform
    pointer_bits: int                  # 32 or 64
    environ: typing.Mapping[str, str]
    cwd: str
    open_library: typing.Callable = _open_with_ctypes  # (path, stdcall) -> library; OSError
    add_dll_directory: typing.Optional[typing.Callable] = None

    @property
    def windows(self):
        return self.platform == "win32"

    @property
    def stdcall(self):
        return self.windows and self.pointer_bits == 32


def this_host():
    return Host(sys.platform, struct.calcsize("P") * 8, os.environ, os.getcwd(),
                _open_with_ctypes, getattr(os, "add_dll_directory", None))


@dataclasses.dataclass
class Loaded:
    library: object
    path: str
    stdcall: bool
    driver_folder: typing.Optional[str]
    dll_directory: object = None  # keeps the added folder in the search while we live


def file_names(host, bits=None):
    """(library, driver-access library) for a pointer size; on Linux the
    driver is linked into the library, so the second is None."""
    if not host.windows:
        return "libquorel.so", None
    bits = bits or host.pointer_bits
    return ("Quorel_32D.dll", "Ulvexa32.dll") if bits == 32 else ("Quorel_64.dll", "Ulvexa64.dll")


def _folders(*groups):
    seen, result = set(), []
    for folder in (f for group in groups for f in group):
        key = os.path.normcase(os.path.normpath(folder))
        if folder and key not in seen:
            seen.add(key)
            result.append(folder)
    return result


def _path_list(host, variable):
    return [f for f in host.environ.get(variable, "").split(os.pathsep) if f]


def _library_folders(host, package_lib, driver):
    if not host.windows:
        if driver == "sysfs":
            return [os.path.join(package_lib, "sysfs")]
        return _folders([package_lib], _path_list(host, "LD_LIBRARY_PATH"))
    return _folders([package_lib, host.cwd], _path_list(host, "PATH"))


def _driver_folders(host, package_lib, library_folder, driver, driver_dir):
    if driver == "sim":
        return [os.path.join(package_lib, "sim")]
    if driver_dir:
        return [os.path.abspath(driver_dir)]
    system = os.path.join(host.environ.get("SystemRoot", r"C:\Windows"), "System32")
    return _folders([library_folder, host.cwd, system], _path_list(host, "PATH"))


def _check_arguments(host, driver, driver_dir):
    if driver not in DRIVERS:
        raise ValueError(f"driver must be None, 'sim' or 'sysfs', not {driver!r}")
    if host.windows and driver == "sysfs":
        raise ValueError("driver='sysfs' is the Linux bus; on Windows use the maker's driver or driver='sim'")
    if driver_dir and not host.windows:
        raise ValueError("on Linux the driver is linked into libquorel.so: choose it with driver='sim' or 'sysfs'")
    if driver_dir and driver:
        raise ValueError("give driver_dir (the maker's driver-access library) or driver='sim', not both")


def _first_with(folders, name):
    found = (os.path.join(f, name) for f in folders if os.path.isfile(os.path.join(f, name)))
    return next((os.path.abspath(file) for file in found), None)


def _tried(folders):
    return "; ".join(folders) if folders else "(none)"


def _other_bitness_hint(host, folders):
    if not host.windows:
        return ""
    other_bits = 32 if host.pointer_bits == 64 else 64
    other = _first_with(folders, file_names(host, other_bits)[0])
    if not other:
        return ""
    return (f" ({other} is there, but it is the {other_bits}-bit DLL and this Python is"
            f" {host.pointer_bits}-bit: use a {other_bits}-bit Python, or the {host.pointer_bits}-bit DLL)")


def _check_file(host, path, what):
    """Refuses a file that is not a whole library of this Python's bitness."""
    found = _binary.examine(path)
    kind = "Windows DLL" if host.windows else "shared library"
    if found is None:
        raise LoadError(f"{path}{what} is not a {kind}", path)
    if found.problem:
        raise LoadError(f"{path}{what} is truncated or damaged: {found.problem}. Replace it with an intact"
                        f" copy (the package's own: reinstall the wheel)", path)
    if found.bits != host.pointer_bits:
        raise LoadError(f"{path}{what} is a {found.bits}-bit {kind} ({found.machine}), but this Python is"
                        f" {host.pointer_bits}-bit: use a {found.bits}-bit Python, or the"
                        f" {host.pointer_bits}-bit {kind}", path)


def find_library(host, package_lib, path, driver):
    """The library's absolute path, or LoadError naming the folders tried."""
    name = file_names(host)[0]
    if path and not os.path.isdir(path):
        folders, name = [os.path.dirname(os.path.abspath(path))], os.path.basename(path)
    else:
        folders = [os.path.abspath(path)] if path else _library_folders(host, package_lib, driver)
    found = _first_with(folders, name)
    if not found:
        raise LoadError(f"{name} not found; folders tried: {_tried(folders)}{_other_bitness_hint(host, folders)}",
                        None, "library", folders)
    _check_file(host, found, "")
    return found


def load(host=None, package_lib=PACKAGE_LIB, path=None, driver=None, driver_dir=None):
    """Finds, checks and loads the library; LoadError says what went wrong."""
    host = host or this_host()
    _check_arguments(host, driver, driver_dir)
    library = find_library(host, package_lib, path, driver)
    driver_name, driver_file, folders, handle = file_names(host)[1], None, [], None
    if driver_name:
        folders = _driver_folders(host, package_lib, os.path.dirname(library), driver, driver_dir)
        driver_file = _first_with(folders, driver_name)
        if driver_file:
            _check_file(host, driver_file, " (the driver-access library)")
            if host.add_dll_directory:
                handle = host.add_dll_directory(os.path.dirname(driver_file))
    try:
        loaded = host.open_library(library, host.stdcall)
    except OSError as error:
        raise _load_failure(library, driver_name, driver_file, folders, error) from error
    return Loaded(loaded, library, host.stdcall, driver_file and os.path.dirname(driver_file), handle)


def _load_failure(library, driver_name, driver_file, folders, error):
    if driver_name and not driver_file:
        return LoadError(
            f"{library} could not be loaded: its driver-access library {driver_name} was not found;"
            f" folders tried: {_tried(folders)}. Put the card maker's {driver_name} in one of them or"
            f" give its folder as driver_dir, or use driver='sim' for the simulated PC", library, "driver", folders)
    beside = f"; its driver-access library is {driver_file}" if driver_file else ""
    return LoadError(f"{library} could not be loaded ({error}){beside}", library)
