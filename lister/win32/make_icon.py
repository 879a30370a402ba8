#!/usr/bin/env python3
"""Writes the program's icon file (32 x 32, 16 colours) from the XPM image both windows use.

usage: make_icon.py PROGRAM_ICON.xpm OUTPUT.ico
"""
import re
import struct
import sys

# The 16-colour palette in its usual order; the image uses only these colours.
PALETTE = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
           0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]


def main():
    source, output = sys.argv[1], sys.argv[2]
    strings = re.findall(r'"([^"]*)"', open(source, encoding="ascii").read())
    width, height, colours, _ = (int(v) for v in strings[0].split())
    index = {}
    for line in strings[1:1 + colours]:
        key, value = line[0], line.split()[-1]
        index[key] = None if value == "None" else PALETTE.index(int(value[1:], 16))
    rows = strings[1 + colours:1 + colours + height]
    # Bottom-up rows: 4 bits per pixel, then the 1-bit transparency mask in 32-bit lines.
    xor = b"".join(bytes((index[r[x]] or 0) << 4 | (index[r[x + 1]] or 0)
                         for x in range(0, width, 2)) for r in reversed(rows))
    mask = b""
    for r in reversed(rows):
        bits = 0
        for x in range(width):
            bits = bits << 1 | (index[r[x]] is None)
        mask += bits.to_bytes(width // 8, "big").ljust(4 * ((width + 31) // 32), b"\0")
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, c >> 8 & 0xFF, c >> 16, 0) for c in PALETTE)
    image = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 4, 0, len(xor) + len(mask),
                        0, 0, 16, 0) + palette + xor + mask
    header = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4,
                                                        len(image), 22)
    with open(output, "wb") as out:
        out.write(header + image)


if __name__ == "__main__":
    main()
