#!/usr/bin/env python3
"""Writes viewer/res/vistrel.ico, the viewer's class icon (group 1000): one 32 x 32 image
in 16 colours, a television set showing colour bars.

Run from anywhere: tools/make_vistrel_icon.py [output path]
"""
import struct
import sys
from pathlib import Path

SIZE = 32

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GRAY, LIGHT_GRAY, WHITE = 0, 8, 7, 15
BARS = [15, 11, 14, 10, 13, 9, 12]  # white, yellow, cyan, green, magenta, red, blue


def picture():
    """Rows top to bottom of (colour index or None for transparent)."""
    px = [[None] * SIZE for _ in range(SIZE)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                px[y][x] = colour

    # Antenna: two diagonal rods meeting above the set.
    for i in range(6):
        px[1 + i][10 + i] = DARK_GRAY
        px[1 + i][21 - i] = DARK_GRAY
    # Cabinet with a dark outline, screen inset, and two knobs on the right.
    fill(1, 7, 31, 29, BLACK)
    fill(2, 8, 30, 28, DARK_GRAY)
    fill(3, 9, 26, 27, BLACK)
    for i, colour in enumerate(BARS):
        fill(4 + 3 * i, 10, 4 + 3 * (i + 1), 22, colour)
    fill(4, 22, 25, 26, LIGHT_GRAY)
    fill(27, 11, 30, 14, LIGHT_GRAY)
    fill(27, 16, 30, 19, LIGHT_GRAY)
    fill(28, 12, 29, 13, WHITE)
    # Feet.
    fill(4, 29, 8, 31, BLACK)
    fill(24, 29, 28, 31, BLACK)
    return px


def ico(px):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        for x in range(0, SIZE, 2):
            hi, lo = row[x] or 0, row[x + 1] or 0
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += bits.to_bytes(SIZE // 8, "big")  # rows of 32 bits are already 4-byte aligned
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "viewer/res/vistrel.ico"
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(ico(picture()))
    print(out)


if __name__ == "__main__":
    main()
