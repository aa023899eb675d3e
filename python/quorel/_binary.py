"""What a library file was built for, and whether it is whole, read from its
headers before loading it.

A DLL of the wrong bitness otherwise fails with "%1 is not a valid Win32
application" and no file name; reading the header lets the error name both.
A file cut short is worse: the Linux loader maps the parts its headers
promise, and the first touch of a page beyond the end of the file kills the
process (SIGBUS). So every extent the headers promise is checked against the
file's size first.
"""
import collections
import os
import struct

# IMAGE_FILE_HEADER.Machine values of the PE files we may meet.
_PE_MACHINES = {0x014C: (32, "x86"), 0x8664: (64, "x64"), 0xAA64: (64, "ARM64"), 0x01C4: (32, "ARM")}
# ELF e_ident[EI_CLASS]: 1 is 32-bit, 2 is 64-bit.
_ELF_CLASSES = {1: (32, "ELF32"), 2: (64, "ELF64")}
# e_ident[EI_DATA]: 1 little-endian, 2 big-endian.
_ELF_ORDERS = {1: "<", 2: ">"}
# Per ELF class: the header after e_ident, one program header, and where
# p_type, p_offset and p_filesz are in it.
_ELF_LAYOUTS = {1: ("HHIIIIIHHHHHH", "8I", (0, 1, 4)), 2: ("HHIQQQIHHHHHH", "IIQQQQQQ", (0, 2, 5))}
_PT_LOAD = 1
_PE_FILE_HEADER = struct.Struct("<4sHHIIIHH")  # "PE\0\0", then IMAGE_FILE_HEADER
_PE_SECTION = struct.Struct("<8sIIII")  # name, VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData
_PE_SECTION_SIZE = 40
_PE_SIZES_AT = 56  # SizeOfImage, SizeOfHeaders: the same place in PE32 and PE32+

Image = collections.namedtuple("Image", "bits machine problem")  # problem: None when whole


class _Damaged(Exception):
    """The headers promise what the file does not hold; the text says what."""


def _read(file, offset, layout):
    file.seek(offset)
    data = file.read(layout.size)
    if len(data) < layout.size:
        raise _Damaged(f"it ends at byte {_size(file)}, inside its headers")
    return layout.unpack(data)


def _size(file):
    return os.fstat(file.fileno()).st_size


def _within(file, extents):
    """extents: (what, end offset) pairs the file must hold."""
    size = _size(file)
    for what, end in extents:
        if end > size:
            raise _Damaged(f"its headers promise {end} bytes ({what}), the file has {size}")


def _elf_extents(file, elf_class, order):
    header_format, entry_format, (kind, offset, length) = _ELF_LAYOUTS[elf_class]
    header = _read(file, 16, struct.Struct(order + header_format))
    phoff, shoff, phentsize, phnum, shentsize, shnum = header[4], header[5], *header[8:12]
    entry = struct.Struct(order + entry_format)
    if phnum == 0 or phentsize < entry.size:
        raise _Damaged(f"its header gives {phnum} program headers of {phentsize} bytes")
    extents = [("the program headers", phoff + phnum * phentsize)]
    if shoff:
        extents.append(("the section header table", shoff + max(shnum, 1) * shentsize))
    _within(file, extents)
    entries = (_read(file, phoff + i * phentsize, entry) for i in range(phnum))
    return [(f"loadable segment at offset {e[offset]}", e[offset] + e[length])
            for e in entries if e[kind] == _PT_LOAD]


def _section_name(raw):
    return raw.rstrip(b"\0").decode("ascii", "replace")


def _pe_extents(file, signature_at, header):
    _, _, sections, _, _, _, optional_size, _ = header
    optional_at = signature_at + _PE_FILE_HEADER.size
    if optional_size < _PE_SIZES_AT + 8:
        raise _Damaged(f"its optional header is {optional_size} bytes, too short for a DLL")
    table_at = optional_at + optional_size
    _within(file, [("the section table", table_at + sections * _PE_SECTION_SIZE)])
    image_size, headers_size = _read(file, optional_at + _PE_SIZES_AT, struct.Struct("<II"))
    extents, image_end = [("its headers (SizeOfHeaders)", headers_size)], 0
    for i in range(sections):
        name, virtual_size, address, raw_size, raw_at = _read(file, table_at + i * _PE_SECTION_SIZE, _PE_SECTION)
        if raw_size:
            extents.append((f"section {_section_name(name)}", raw_at + raw_size))
        image_end = max(image_end, address + (virtual_size or raw_size))
    if image_end > image_size:
        raise _Damaged(f"its sections end at {image_end}, beyond its SizeOfImage of {image_size}")
    return extents


def _elf(file, head):
    if len(head) < 16:
        raise _Damaged(f"it ends at byte {len(head)}, inside its headers")
    if head[4] not in _ELF_CLASSES:
        return None
    bits, name = _ELF_CLASSES[head[4]]
    if head[5] not in _ELF_ORDERS:
        raise _Damaged(f"its byte order {head[5]} is neither of ELF's two")
    _within(file, _elf_extents(file, head[4], _ELF_ORDERS[head[5]]))
    return Image(bits, name, None)


def _pe(file):
    (signature_at,) = _read(file, 0x3C, struct.Struct("<I"))  # e_lfanew
    header = _read(file, signature_at, _PE_FILE_HEADER)
    signature, machine = header[:2]
    if signature != b"PE\0\0":
        return None
    bits, name = _PE_MACHINES.get(machine, (0, f"machine 0x{machine:04X}"))
    _within(file, _pe_extents(file, signature_at, header))
    return Image(bits, name, None)


def examine(path):
    """Image(bits, machine, problem) of a PE or ELF file, e.g. (64, "x64",
    None), or (0, None, what is wrong) when it falls short of what its
    headers promise; None when it is neither a PE nor an ELF file."""
    with open(path, "rb") as file:
        head = file.read(16)
        if head[:4] != b"\x7fELF" and head[:2] != b"MZ":
            return None
        try:
            return _elf(file, head) if head[:4] == b"\x7fELF" else _pe(file)
        except _Damaged as damage:
            return Image(0, None, str(damage))
