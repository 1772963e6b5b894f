#!/usr/bin/env python3
"""Moves the PE header of a freshly linked pkgstub.exe to file offset 256.

A package's end pointer lives in the DOS header area at offsets 248-255, and readers
treat a file as an executable image only when "PE" stands at offset 256. The linker puts
the PE header right after its DOS stub (offset 128), so the header and section table are
moved forward into the zero padding that precedes the first section; the image checksum
is recomputed. Usage: place_pe_header.py FILE
"""
import struct
import sys

TARGET = 256


def pe_checksum(data, checksum_offset):
    total = 0
    padded = data + (b"\0" if len(data) % 2 else b"")
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    # The checksum field itself counts as zero.
    for (word,) in struct.iter_unpack("<H", data[checksum_offset:checksum_offset + 4]):
        total -= word
        if total < 0:
            total += 0xFFFF
    total = (total & 0xFFFF) + (total >> 16)
    return (total & 0xFFFF) + len(data)


def main(path):
    data = bytearray(open(path, "rb").read())
    if data[:2] != b"MZ":
        sys.exit(f"{path}: not an executable image")
    old = struct.unpack_from("<I", data, 0x3C)[0]
    if data[old:old + 4] != b"PE\0\0":
        sys.exit(f"{path}: no PE signature")
    if old == TARGET:
        return
    sections = struct.unpack_from("<H", data, old + 6)[0]
    optional_size = struct.unpack_from("<H", data, old + 20)[0]
    length = 24 + optional_size + 40 * sections
    size_of_headers = struct.unpack_from("<I", data, old + 24 + 60)[0]
    if old > TARGET or TARGET + length > size_of_headers:
        sys.exit(f"{path}: no room to move the PE header to offset {TARGET}")
    if any(data[old + length:TARGET + length]):
        sys.exit(f"{path}: the bytes behind the section table are in use")
    header = bytes(data[old:old + length])
    data[old:TARGET + length] = bytes(TARGET + length - old)
    data[TARGET:TARGET + length] = header
    struct.pack_into("<I", data, 0x3C, TARGET)
    checksum_offset = TARGET + 24 + 64
    if struct.unpack_from("<I", data, checksum_offset)[0] != 0:
        struct.pack_into("<I", data, checksum_offset, 0)
        struct.pack_into("<I", data, checksum_offset, pe_checksum(bytes(data), checksum_offset))
    open(path, "wb").write(bytes(data))


if __name__ == "__main__":
    main(sys.argv[1])
