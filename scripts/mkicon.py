#!/usr/bin/env python3
"""Turns the text-art picture of the program's icon into a .ico file:
one 32 x 32 image in the 16 colours of the standard palette (4 bits a
pixel) with its transparency (AND) mask.

Usage: mkicon.py PICTURE.txt OUTPUT.ico
"""
import struct
import sys

SIZE = 32

# The standard 16-colour palette, in its usual order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Picture characters and their palette indices; None is transparent.
COLOURS = {".": None, "K": 0, "r": 1, "G": 2, "R": 9, "g": 10}


def read_picture(path):
    rows = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("#"):
                continue
            if len(line) != SIZE:
                sys.exit(f"{path}:{number}: a row must have {SIZE} pixels, not {len(line)}")
            for c in line:
                if c not in COLOURS:
                    sys.exit(f"{path}:{number}: unknown pixel character {c!r}")
            rows.append([COLOURS[c] for c in line])
    if len(rows) != SIZE:
        sys.exit(f"{path}: the picture must have {SIZE} rows, not {len(rows)}")
    return rows


def icon_bytes(rows):
    # Both bitmaps are stored bottom row first; rows padded to 4 bytes.
    colour_bits = bytearray()
    mask_bits = bytearray()
    for row in reversed(rows):
        for x in range(0, SIZE, 2):
            high = row[x] or 0
            low = row[x + 1] or 0
            colour_bits.append(high << 4 | low)
        mask = 0
        for pixel in row:
            mask = mask << 1 | (1 if pixel is None else 0)
        mask_bits += mask.to_bytes(SIZE // 8, "big")
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    image_size = len(colour_bits) + len(mask_bits)
    # The header gives twice the height: colour bitmap and mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, image_size, 0, 0, 16, 0)
    image = header + palette + bytes(colour_bits) + bytes(mask_bits)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    data = icon_bytes(read_picture(sys.argv[1]))
    with open(sys.argv[2], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
