"""The Python package's choice of library and its errors, with the platform,
the pointer size and the files faked: one table."""
import os
import re
import struct
import tempfile
import unittest

from quorel import _loader

PE_MACHINE = {"x86": 0x014C, "x64": 0x8664}


def pe_image(machine):
    """A whole DLL as far as its headers go: one section, its raw data at 0x200..0x400."""
    image = bytearray(0x400)
    image[:2], image[0x3C:0x40] = b"MZ", struct.pack("<I", 0x80)
    image[0x80:0x98] = b"PE\0\0" + struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, 0xF0, 0x2022)
    image[0x98 + 56:0x98 + 64] = struct.pack("<II", 0x2000, 0x200)  # SizeOfImage, SizeOfHeaders
    image[0x188:0x19C] = struct.pack("<8sIIII", b".text", 0x100, 0x1000, 0x200, 0x200)
    return image


def elf_image():
    """A 64-bit shared object's header and one loadable segment, the whole file."""
    header = struct.pack("<16sHHIQQQIHHHHHH", b"\x7fELF\x02\x01\x01", 3, 62, 1, 0, 64, 0, 0, 64, 56, 1, 64, 0, 0)
    return header + struct.pack("<IIQQQQQQ", 1, 5, 0, 0, 0, 0x90, 0x90, 0x1000) + bytes(0x18)


def fake_file(path, kind):
    """kind: "x86"/"x64" (PE), "elf64", or "text" (neither)."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image = pe_image(PE_MACHINE[kind]) if kind in PE_MACHINE else elf_image() if kind == "elf64" else bytes(0x90)
    with open(path, "wb") as out:
        out.write(image)


class FakeHost(_loader.Host):
    """Loads as Windows would: the DLL's imports are looked for in its own
    folder and in the folders added (the driver's name decides)."""

    def __init__(self, root, platform, bits, environ):
        super().__init__(platform, bits, environ, os.path.join(root, "cwd"), self.fake_open, self.fake_add)
        self.added = []

    def fake_add(self, folder):
        self.added.append(folder)
        return folder

    def fake_open(self, path, stdcall):
        driver = _loader.file_names(self)[1]
        if driver and not any(os.path.isfile(os.path.join(f, driver)) for f in [os.path.dirname(path)] + self.added):
            raise OSError(f"Could not find module '{path}' (or one of its dependencies)")
        return ("library", path, stdcall)


W64, W32, LINUX = ("win32", 64), ("win32", 32), ("linux", 64)
BUNDLED_64 = {"pkg/lib/Quorel_64.dll": "x64", "pkg/lib/sim/Ulvexa64.dll": "x64"}
# (case, host, files, load() arguments, expected: ("loaded", file, folder added)
# or ("error", message start, which file was missing) or ("refused", message part)).
CASES = [
    ("64-bit, the stand-in asked for", W64, BUNDLED_64, {"driver": "sim"},
     ("loaded", "pkg/lib/Quorel_64.dll", "pkg/lib/sim")),
    ("32-bit, the stand-in asked for", W32, {"pkg/lib/Quorel_32D.dll": "x86", "pkg/lib/sim/Ulvexa32.dll": "x86"},
     {"driver": "sim"}, ("loaded", "pkg/lib/Quorel_32D.dll", "pkg/lib/sim")),
    ("the maker's driver found on PATH, not the stand-in", W64, dict(BUNDLED_64, **{"path1/Ulvexa64.dll": "x64"}), {},
     ("loaded", "pkg/lib/Quorel_64.dll", "path1")),
    ("the maker's driver in driver_dir", W64, {"pkg/lib/Quorel_64.dll": "x64", "maker/Ulvexa64.dll": "x64"},
     {"driver_dir": "maker"}, ("loaded", "pkg/lib/Quorel_64.dll", "maker")),
    ("no package library: the current folder", W64, {"cwd/Quorel_64.dll": "x64", "cwd/Ulvexa64.dll": "x64"}, {},
     ("loaded", "cwd/Quorel_64.dll", "cwd")),
    ("driver missing", W64, BUNDLED_64, {},
     ("error", "{r}pkg/lib/Quorel_64.dll could not be loaded: its driver-access library Ulvexa64.dll was not"
               " found; folders tried: {r}pkg/lib; {r}cwd; {r}win/System32; {r}path1.", "driver")),
    ("32-bit Python, only the 64-bit DLL", W32, BUNDLED_64, {},
     ("error", "Quorel_32D.dll not found; folders tried: {r}pkg/lib; {r}cwd; {r}path1 ({r}pkg/lib/Quorel_64.dll is"
               " there, but it is the 64-bit DLL and this Python is 32-bit", "library")),
    ("the 64-bit DLL given to a 32-bit Python", W32, {"other/Quorel_64.dll": "x64"}, {"path": "other/Quorel_64.dll"},
     ("error", "{r}other/Quorel_64.dll is a 64-bit Windows DLL (x64), but this Python is 32-bit", None)),
    ("a 32-bit driver beside a 64-bit DLL", W64, {"pkg/lib/Quorel_64.dll": "x64", "path1/Ulvexa64.dll": "x86"}, {},
     ("error", "{r}path1/Ulvexa64.dll (the driver-access library) is a 32-bit Windows DLL (x86), but this Python"
               " is 64-bit", None)),
    ("not a DLL", W64, {"pkg/lib/Quorel_64.dll": "text"}, {}, ("error", "{r}pkg/lib/Quorel_64.dll is not a Windows DLL", None)),
    ("Linux: the simulated PC", LINUX, {"pkg/lib/libquorel.so": "elf64", "pkg/lib/sysfs/libquorel.so": "elf64"}, {},
     ("loaded", "pkg/lib/libquorel.so", None)),
    ("Linux: this machine's bus", LINUX, {"pkg/lib/libquorel.so": "elf64", "pkg/lib/sysfs/libquorel.so": "elf64"},
     {"driver": "sysfs"}, ("loaded", "pkg/lib/sysfs/libquorel.so", None)),
    ("Linux, no package library: LD_LIBRARY_PATH", LINUX, {"ld/libquorel.so": "elf64"}, {},
     ("loaded", "ld/libquorel.so", None)),
    ("Linux: sysfs only from the package", LINUX, {"ld/libquorel.so": "elf64"}, {"driver": "sysfs"},
     ("error", "libquorel.so not found; folders tried: {r}pkg/lib/sysfs", "library")),
    ("Linux: not a shared library", LINUX, {"pkg/lib/libquorel.so": "text"}, {},
     ("error", "{r}pkg/lib/libquorel.so is not a shared library", None)),
    ("sysfs on Windows", W64, BUNDLED_64, {"driver": "sysfs"}, ("refused", "driver='sysfs' is the Linux bus")),
    ("driver_dir on Linux", LINUX, {}, {"driver_dir": "maker"}, ("refused", "linked into libquorel.so")),
    ("an unknown driver", LINUX, {}, {"driver": "pci"}, ("refused", "driver must be None, 'sim' or 'sysfs'")),
]


class LoaderTable(unittest.TestCase):
    def test_cases(self):
        for name, (platform, bits), files, arguments, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory(prefix="quorel-") as folder:
                root = folder + os.sep
                for file, kind in files.items():
                    fake_file(root + file, kind)
                environ = {"PATH": root + "path1", "SystemRoot": root + "win", "LD_LIBRARY_PATH": root + "ld"}
                host = FakeHost(root, platform, bits, environ)
                arguments = {key: root + value if key != "driver" else value for key, value in arguments.items()}
                self.check(host, root, arguments, expected)

    def check(self, host, root, arguments, expected):
        def load():
            return _loader.load(host, root + "pkg/lib", **arguments)
        if expected[0] == "refused":
            self.assertRaisesRegex(ValueError, re.escape(expected[1]), load)
        elif expected[0] == "error":
            with self.assertRaises(_loader.LoadError) as caught:
                load()
            self.assertEqual(str(caught.exception)[:len(expected[1].format(r=root))], expected[1].format(r=root))
            self.assertEqual(caught.exception.missing, expected[2])
        else:
            loaded = load()
            self.assertEqual(loaded.library, ("library", root + expected[1], host.stdcall))
            self.assertEqual(host.added, [root + expected[2]] if expected[2] else [])


class Truncated(unittest.TestCase):
    """Cut libraries refused, named; loaded for real, libquorel.so would kill this process."""

    def test_cuts(self):
        with open(os.path.join(os.environ["LD_LIBRARY_PATH"].split(os.pathsep)[0], "libquorel.so"), "rb") as library:
            so = library.read()
        no_sections = so[:0x28] + bytes(8) + so[0x30:0x3C] + bytes(2) + so[0x3E:]  # e_shoff, e_shnum zeroed
        pe = bytes(pe_image(PE_MACHINE["x64"]))
        cuts = [(LINUX, so, n) for n in (64, 200, 1000, 5000, 20000, 100000, len(so) - 1)]
        cuts += [(LINUX, no_sections, n) for n in (1000, 100000)] + [(W64, pe, n) for n in (0x30, 0x84, 0x150, 0x3FF)]
        cuts += [(W64, pe[:0xD0] + struct.pack("<I", 0x1080) + pe[0xD4:], 0x400)]  # SizeOfImage short of the section
        for (platform, bits), image, size in cuts:
            with self.subTest(platform=platform, size=size), tempfile.TemporaryDirectory(prefix="quorel-") as folder:
                host = _loader.this_host() if platform == "linux" else FakeHost(folder, platform, bits, {})
                path = os.path.join(folder, _loader.file_names(host)[0])
                with open(path, "wb") as out:
                    out.write(image[:size])
                with self.assertRaisesRegex(_loader.LoadError, "^" + re.escape(path) + " is truncated or damaged: "):
                    _loader.load(host, folder, path=path)


if __name__ == "__main__":
    unittest.main()
