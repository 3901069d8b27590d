#!/usr/bin/env python3
"""Draws the example package's wizard bitmap: a 16-colour bottom-up BMP (bits straight after the colour
table, as the module's painter expects) of a package box under a dithered blue sky. The result is
committed; run this again only to change the drawing:
    python3 scripts/make-wizard-bitmap.py examples/hello/wizard.bmp"""
import struct
import sys

WIDTH, HEIGHT = 112, 280
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, DARK_YELLOW, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 4, 3, 7, 8, 11, 12, 15


def draw():
    """Rows of palette indices, top row first."""
    # Sky: navy at the top to blue, mixed in a 2x2 ordered dither.
    rows = []
    for y in range(HEIGHT):
        level = y * 5 // HEIGHT
        rows.append([BLUE if (x + y) % 2 == 0 and level >= 2 or level >= 4 else NAVY for x in range(WIDTH)])

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                rows[y][x] = colour

    rect(0, 230, WIDTH, HEIGHT, GREY)   # floor
    rect(20, 150, 92, 232, BLACK)       # box outline
    rect(22, 152, 90, 230, DARK_YELLOW)
    rect(22, 152, 90, 164, YELLOW)      # lid
    rect(52, 152, 60, 230, SILVER)      # tape
    for i in range(12):                 # arrow into the box
        rect(45 + i, 120 + i, 67 - i, 121 + i, WHITE)
    rect(51, 60, 61, 120, WHITE)
    return rows


def bmp(rows):
    stride = (WIDTH // 2 + 3) & ~3
    bits = b""
    for row in reversed(rows):  # bottom-up
        packed = bytes(row[x] << 4 | row[x + 1] for x in range(0, WIDTH, 2))
        bits += packed + b"\0" * (stride - len(packed))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + info + colours + bits


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(bmp(draw()))
