#!/usr/bin/env python3
"""Writes the stub's icon (16x16 and 32x32, 32-bit colour) as a .ico file.

Generated at build time so that no binary file has to live in the source tree.
Usage: make_icon.py OUT.ico
"""
import struct
import sys


def image(size):
    """One BMP-style icon image: a blue box with a light 'package' band."""
    rows = []
    for y in range(size):  # bottom-up, as the icon format stores it
        row = bytearray()
        for x in range(size):
            edge = x in (0, size - 1) or y in (0, size - 1)
            band = size // 3 <= y < size // 3 + max(2, size // 8)
            ribbon = size // 2 - max(1, size // 16) <= x < size // 2 + max(1, size // 16)
            if edge:
                b, g, r = 0x40, 0x20, 0x10
            elif band or ribbon:
                b, g, r = 0x60, 0xD0, 0xF0
            else:
                b, g, r = 0xC0, 0x70, 0x20
            row += bytes((b, g, r, 0xFF))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # all opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    sizes = (16, 32)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
