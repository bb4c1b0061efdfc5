#!/usr/bin/env python3
"""Draws the launcher's icon: one 32 x 32 image in 16 colours, a printer with a sheet of paper.

Usage: make_icon.py OUTPUT.ico [BODY]

BODY is the palette index of the printer's body (7, light grey, by default),
so that another product family's icon can differ.
"""
import struct
import sys

# The standard 16-colour palette (index: B, G, R).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128),
    (128, 0, 0), (128, 0, 128), (128, 128, 0), (192, 192, 192),
    (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, DARK_GREY, LIGHT_GREY, GREEN, WHITE, BLUE = 0, 8, 7, 10, 15, 12
SIZE = 32


def draw(body=LIGHT_GREY):
    """Returns rows top to bottom of palette indices, None for transparent."""
    pixels = [[None] * SIZE for _ in range(SIZE)]

    def box(x0, y0, x1, y1, colour, outline=BLACK):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                pixels[y][x] = outline if edge else colour

    box(9, 2, 22, 13, WHITE)                 # sheet going in
    for y in (5, 7, 9):                      # lines of text on it
        for x in range(11, 21):
            pixels[y][x] = BLUE
    box(2, 12, 29, 25, body)                 # body
    box(5, 16, 26, 18, BLACK, BLACK)         # paper slot
    box(23, 21, 25, 23, GREEN)               # power light
    box(7, 24, 24, 29, WHITE)                # sheet coming out
    return pixels


def ico(pixels):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):             # bitmaps are stored bottom-up
        for x in range(0, SIZE, 2):
            hi, lo = (row[x] or 0), (row[x + 1] or 0)
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico(draw(int(sys.argv[2]) if len(sys.argv) > 2 else LIGHT_GREY)))
