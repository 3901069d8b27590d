#!/usr/bin/env python3
"""Draws the module's icon (a package box with a down arrow) as a 16-colour .ico with 16x16 and 32x32
images. The result is committed; run this again only to change the drawing:
    python3 scripts/make-icon.py ui/resources/kelpack.ico"""
import struct
import sys

# The standard 16-colour palette as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, DARK_YELLOW, GREY, YELLOW, BLUE = 0, 4, 3, 8, 11, 12
TRANSPARENT = None


def draw(size):
    """Returns rows (top first) of palette indices or TRANSPARENT."""
    s = size / 32.0
    px = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    rect(3, 12, 29, 30, BLACK)        # box outline
    rect(4, 13, 28, 29, DARK_YELLOW)  # box front
    rect(4, 13, 28, 16, YELLOW)       # lid
    rect(14, 13, 18, 29, GREY)        # tape
    # Down arrow into the box: shaft, then a widening head.
    rect(13, 1, 19, 8, NAVY)
    rect(14, 2, 18, 8, BLUE)
    for i, y in enumerate(range(8, 13)):
        rect(9 + i, y, 23 - i, y + 1, NAVY)
        rect(10 + i, y, 22 - i, y + 1, BLUE if i < 4 else NAVY)
    return px


def image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = b'', b''
    for row in reversed(px):  # bottom-up
        nibbles = [0 if c is TRANSPARENT else c for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += line.ljust(xor_row, b'\0')
        bits = 0
        line = b''
        for x, c in enumerate(row):
            bits = (bits << 1) | (1 if c is TRANSPARENT else 0)
            if x % 8 == 7:
                line += bytes([bits])
                bits = 0
        mask += line.ljust(and_row, b'\0')
    return header + palette + xor + mask


def main(path):
    images = [(16, image(16)), (32, image(32))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
