#!/usr/bin/env python3
"""Draws the pictures of the viewer's About and Help boxes and writes them to viewer/res/:

  face_frown.ico  icon 1001, a frowning face, 16 x 16, two colours (Help box)
  face_smile.ico  icon 1002, a smiling face, 16 x 16, two colours (About box)
  keypad.bmp      bitmap 5000, 79 x 58, 16-colour palette: the keypad keys that place the
                  main window in a corner or the centre of the screen (Help box)

Run it from anywhere; the results are committed so a build needs no image tools."""
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "viewer", "res")

# ---- faces ---------------------------------------------------------------------------

FACE_COLOURS = [(0, 0, 0), (255, 224, 0)]  # outline and features, face

# '.' transparent, '#' outline / feature (colour 0), 'o' face (colour 1)
FACE = [
    "................",
    ".....######.....",
    "...##oooooo##...",
    "..#oooooooooo#..",
    ".#oooooooooooo#.",
    ".#ooo##oo##ooo#.",
    "#oooo##oo##oooo#",
    "#oooooooooooooo#",
    "#oooooooooooooo#",
    "#oooooooooooooo#",
    "#oooooooooooooo#",
    ".#oooooooooooo#.",
    ".#oooooooooooo#.",
    "..#oooooooooo#..",
    "...##oooooo##...",
    ".....######.....",
]
SMILE = {9: "#oo#oooooo#oo#", 10: "#ooo#oooo#ooo#", 11: "#oooo####oooo#"}
FROWN = {9: "#oooo####oooo#", 10: "#ooo#oooo#ooo#", 11: "#oo#oooooo#oo#"}


def face(mouth):
    rows = [list(r) for r in FACE]
    for y, text in mouth.items():
        rows[y][1:15] = list(text)
    return ["".join(r) for r in rows]


def write_icon(path, rows):
    size = 16
    stride = 4  # 16 one-bit pixels, padded to 32 bits
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):  # bottom-up
        bits = sum(1 << (15 - x) for x, c in enumerate(row) if c == "o")
        hole = sum(1 << (15 - x) for x, c in enumerate(row) if c == ".")
        xor += struct.pack(">H", bits) + bytes(stride - 2)
        mask += struct.pack(">H", hole) + bytes(stride - 2)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in FACE_COLOURS)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 2, 0, 1, 1, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


# ---- keypad picture ------------------------------------------------------------------

WIDTH, HEIGHT = 79, 58
BACKGROUND, TEXT, ARROW = 0, 1, 2
PALETTE = [(96, 96, 96), (96, 192, 255), (252, 130, 68)] + [(0, 0, 0)] * 13
GRID_X = (0, 26, 52, 78)
GRID_Y = (0, 19, 38, 57)

# A small pixel font: capitals five rows high, small letters four (rows 1-4) with
# ascenders in row 0 and descenders in row 5.
GLYPHS = {
    "H": ["1.1", "1.1", "111", "1.1", "1.1", "..."],
    "P": ["11.", "1.1", "11.", "1..", "1..", "..."],
    "U": ["1.1", "1.1", "1.1", "1.1", "111", "..."],
    "E": ["111", "1..", "11.", "1..", "111", "..."],
    "D": ["11.", "1.1", "1.1", "1.1", "11.", "..."],
    "5": ["111", "1..", "11.", "..1", "11.", "..."],
    "o": ["...", ".1.", "1.1", "1.1", ".1.", "..."],
    "m": [".....", "11.1.", "1.1.1", "1.1.1", "1.1.1", "....."],
    "e": ["...", ".1.", "111", "1..", ".11", "..."],
    "g": ["...", ".11", "1.1", ".11", "..1", "11."],
    "p": ["...", "11.", "1.1", "11.", "1..", "1.."],
    "n": ["...", "11.", "1.1", "1.1", "1.1", "..."],
    "d": ["..1", ".11", "1.1", "1.1", ".11", "..."],
}


def text_width(text):
    return sum(len(GLYPHS[c][0]) for c in text) + len(text) - 1


def draw_text(pixels, x, y, text):
    for c in text:
        glyph = GLYPHS[c]
        for dy, row in enumerate(glyph):
            for dx, bit in enumerate(row):
                if bit == "1":
                    pixels[y + dy][x + dx] = TEXT
        x += len(glyph[0]) + 1


def draw_arrow(pixels, tip, direction, length, head=3):
    """An arrow whose point is at tip, pointing along direction (dx, dy), each -1, 0 or 1."""
    (tx, ty), (dx, dy) = tip, direction
    for k in range(length):
        pixels[ty - k * dy][tx - k * dx] = ARROW
    for k in range(1, head):
        if dx and dy:  # diagonal: the head runs back along both axes
            pixels[ty][tx - k * dx] = ARROW
            pixels[ty - k * dy][tx] = ARROW
        else:  # straight: the head spreads sideways
            for side in (1, -1):
                pixels[ty - k * dy + side * k * dx][tx - k * dx + side * k * dy] = ARROW


def keypad():
    pixels = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]
    for x in GRID_X:
        for y in range(HEIGHT):
            pixels[y][x] = TEXT
    for y in GRID_Y:
        for x in range(WIDTH):
            pixels[y][x] = TEXT
    # Corner keys: an arrow into the outer corner, the name towards the inner side.
    for name, column, row, dx, dy in (("Home", 0, 0, -1, -1), ("PgUp", 2, 0, 1, -1),
                                      ("End", 0, 2, -1, 1), ("PgDn", 2, 2, 1, 1)):
        left, top = GRID_X[column] + 1, GRID_Y[row] + 1
        right, bottom = GRID_X[column + 1] - 1, GRID_Y[row + 1] - 1
        tip = (left + 2 if dx < 0 else right - 2, top + 2 if dy < 0 else bottom - 2)
        draw_arrow(pixels, tip, (dx, dy), 6, head=4)
        width = text_width(name)
        x = right - 1 - width if dx < 0 else left + 2
        y = bottom - 6 if dy < 0 else top + 1
        draw_text(pixels, x, y, name)
    # Centre key: 5 with four arrows pointing inwards.
    cx, cy = (GRID_X[1] + GRID_X[2]) // 2, (GRID_Y[1] + GRID_Y[2]) // 2
    draw_text(pixels, cx - 1, cy - 2, "5")
    draw_arrow(pixels, (cx - 4, cy), (1, 0), 7)
    draw_arrow(pixels, (cx + 4, cy), (-1, 0), 7)
    draw_arrow(pixels, (cx, cy - 5), (0, 1), 4)
    draw_arrow(pixels, (cx, cy + 5), (0, -1), 4)
    return pixels


def write_bitmap(path, pixels):
    stride = (WIDTH * 4 + 31) // 32 * 4
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += line
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(data), 2835, 2835, 16, 3)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + bytes(data))


def main():
    os.makedirs(RES, exist_ok=True)
    write_icon(os.path.join(RES, "face_frown.ico"), face(FROWN))
    write_icon(os.path.join(RES, "face_smile.ico"), face(SMILE))
    write_bitmap(os.path.join(RES, "keypad.bmp"), keypad())


if __name__ == "__main__":
    main()
