#!/usr/bin/env python3
"""Draws the register editor's images into regedit/res: the program icon (1000), the
pointing-hand cursor (1001, 32 x 32 monochrome, hot spot 14, 7) and the link lamp
bitmaps, lit (1002) and idle (1003), 13 x 13. Run it again after changing a drawing;
the results are committed so a build needs no image tools."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "regedit", "res")


def bmp_info(width, height, bits, image_size, height_factor=1):
    return struct.pack("<IiiHHIIiiII", 40, width, height * height_factor, 1, bits, 0,
                       image_size, 0, 0, 0, 0)


def rows_24(pixels, width, height):
    """Bottom-up BGR rows padded to four bytes."""
    out = b""
    for y in reversed(range(height)):
        row = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in pixels[y])
        out += row + b"\0" * ((4 - len(row) % 4) % 4)
    return out


def rows_1(bits, width, height):
    """Bottom-up 1-bit rows padded to four bytes; bits[y][x] is 0 or 1."""
    out = b""
    for y in reversed(range(height)):
        row = bytearray((width + 31) // 32 * 4)
        for x in range(width):
            if bits[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def lamp(colour, rim):
    size, c = 13, 6.0
    background = (192, 192, 192)
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d <= 4.6:
                shine = max(0.0, 1.0 - ((x - 4.5) ** 2 + (y - 4.5) ** 2) ** 0.5 / 3.0)
                row.append(tuple(min(255, int(v + (255 - v) * shine * 0.6)) for v in colour))
            elif d <= 6.0:
                row.append(rim)
            else:
                row.append(background)
        pixels.append(row)
    data = rows_24(pixels, size, size)
    info = bmp_info(size, size, 24, len(data))
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


HAND = [
    "..............##................",
    ".............#..#...............",
    ".............#..#...............",
    ".............#..#...............",
    ".............#..#...............",
    ".............#..###.............",
    ".............#..#..###..........",
    ".............#..#..#..##........",
    ".............#..#..#..#.#.......",
    "..........##.#..#..#..#..#......",
    "..........#..##........#.#......",
    "..........#...#..........#......",
    "...........#..#..........#......",
    "...........#.............#......",
    "............#............#......",
    "............#...........#.......",
    ".............#..........#.......",
    ".............#.........#........",
    "..............#........#........",
    "..............#........#........",
    "..............##########........",
]


def hand_cursor():
    size = 32
    outline = [[0] * size for _ in range(size)]
    inside = [[0] * size for _ in range(size)]
    for y, line in enumerate(HAND):
        for x, ch in enumerate(line):
            outline[y + 6][x] = 1 if ch == "#" else 0
    # Fill between the outline's ends on each row so the hand is white inside.
    for y in range(size):
        xs = [x for x in range(size) if outline[y][x]]
        if len(xs) >= 2:
            for x in range(xs[0] + 1, xs[-1]):
                if not outline[y][x]:
                    inside[y][x] = 1
    # XOR mask: 1 = white (inside), 0 = black (outline); AND mask: 0 where drawn.
    xor = [[inside[y][x] for x in range(size)] for y in range(size)]
    and_ = [[0 if (outline[y][x] or inside[y][x]) else 1 for x in range(size)] for y in range(size)]
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    data = rows_1(xor, size, size) + rows_1(and_, size, size)
    image = bmp_info(size, size, 1, len(data), 2) + palette + data
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, 14, 7, len(image), 6 + 16)
    return header + entry + image


def icon():
    size = 32
    pixels, mask = [], []
    for y in range(size):
        row, mrow = [], []
        for x in range(size):
            chip = 5 <= x <= 26 and 7 <= y <= 24
            pin = (x in (8, 12, 16, 20, 24) or x in (9, 13, 17, 21, 25)) and (3 <= y <= 6 or 25 <= y <= 28)
            if chip:
                edge = x in (5, 26) or y in (7, 24)
                row.append((40, 40, 48) if not edge else (120, 120, 136))
                if 10 <= x <= 21 and 12 <= y <= 19:
                    row[-1] = (0, 64, 255) if (x + y) % 4 else (96, 192, 255)
                mrow.append(0)
            elif pin:
                row.append((200, 200, 200))
                mrow.append(0)
            else:
                row.append((0, 0, 0))
                mrow.append(1)
        pixels.append(row)
        mask.append(mrow)
    data = rows_24(pixels, size, size) + rows_1(mask, size, size)
    image = bmp_info(size, size, 24, len(data), 2) + data
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), 6 + 16)
    return header + entry + image


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        "quorvex.ico": icon(),
        "hand.cur": hand_cursor(),
        "lamp_lit.bmp": lamp((0, 255, 0), (0, 96, 0)),
        "lamp_idle.bmp": lamp((0, 96, 0), (0, 48, 0)),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
