"""What a library file was built for, read from its header before loading it.

A DLL of the wrong bitness otherwise fails with "%1 is not a valid Win32
application" and no file name; reading the header lets the error name both.
"""
import struct

# IMAGE_FILE_HEADER.Machine values of the PE files we may meet.
_PE_MACHINES = {0x014C: (32, "x86"), 0x8664: (64, "x64"), 0xAA64: (64, "ARM64"), 0x01C4: (32, "ARM")}
# ELF e_ident[EI_CLASS]: 1 is 32-bit, 2 is 64-bit.
_ELF_CLASSES = {1: (32, "ELF32"), 2: (64, "ELF64")}


def bitness(path):
    """(bits, name) of a PE or ELF file, e.g. (64, "x64"); None when it is neither
    (or too short to tell)."""
    with open(path, "rb") as file:
        head = file.read(64)
        if head[:4] == b"\x7fELF":
            return _ELF_CLASSES.get(head[4])
        if len(head) < 64 or head[:2] != b"MZ":
            return None
        # e_lfanew: where the "PE\0\0" signature and the file header start.
        (offset,) = struct.unpack_from("<I", head, 0x3C)
        file.seek(offset)
        signature = file.read(6)
    if len(signature) < 6 or signature[:4] != b"PE\0\0":
        return None
    (machine,) = struct.unpack_from("<H", signature, 4)
    return _PE_MACHINES.get(machine, (0, f"machine 0x{machine:04X}"))
