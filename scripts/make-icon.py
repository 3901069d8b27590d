#!/usr/bin/env python3
"""Draws the module's icons as .ico files:
    kelpack.ico    the module (1055): a package box with a down arrow, 16x16 and 32x32, 16 colours
    uninstall.ico  the uninstall dialog (1056): the same box with an arrow going up out of it
    phase.ico      the uninstall phase marker (1057): a check mark, 9x9, 2 colours
The results are committed; run this again only to change a drawing:
    python3 scripts/make-icon.py ui/resources"""
import os
import struct
import sys

# The standard 16-colour palette as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, NAVY, DARK_YELLOW, GREY, RED, YELLOW, BLUE = 0, 1, 4, 3, 8, 9, 11, 12
TRANSPARENT = None


def canvas(size):
    """Blank rows (top first) and a rect painter in 32-unit coordinates scaled to size."""
    s = size / 32.0
    px = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    return px, rect


def box(rect):
    rect(3, 12, 29, 30, BLACK)        # box outline
    rect(4, 13, 28, 29, DARK_YELLOW)  # box front
    rect(4, 13, 28, 16, YELLOW)       # lid
    rect(14, 13, 18, 29, GREY)        # tape


def draw_module(size):
    px, rect = canvas(size)
    box(rect)
    # Down arrow into the box: shaft, then a widening head.
    rect(13, 1, 19, 8, NAVY)
    rect(14, 2, 18, 8, BLUE)
    for i, y in enumerate(range(8, 13)):
        rect(9 + i, y, 23 - i, y + 1, NAVY)
        rect(10 + i, y, 22 - i, y + 1, BLUE if i < 4 else NAVY)
    return px


def draw_uninstall(size):
    px, rect = canvas(size)
    box(rect)
    # Up arrow out of the box, in red so that it reads apart from the module's icon: head, then shaft.
    for i, y in enumerate(range(0, 6)):
        rect(15 - i, y, 17 + i, y + 1, MAROON)
        if i > 0:
            rect(16 - i, y, 16 + i, y + 1, RED)
    rect(12, 5, 20, 6, MAROON)
    rect(12, 6, 20, 12, MAROON)
    rect(13, 6, 19, 12, RED)
    return px


def draw_phase(_size):
    # A check mark: index 1 (black) on a transparent ground.
    rows = ["........#",
            ".......##",
            "......##.",
            "#....##..",
            "##..##...",
            ".####....",
            "..##.....",
            ".........",
            "........."]
    return [[1 if c == '#' else TRANSPARENT for c in row] for row in rows]


def image(px, bits, palette):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, len(palette), 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    xor_row = (size * bits + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4

    def pack(values, width):
        out, acc, used = b'', 0, 0
        for v in values:
            acc = (acc << width) | v
            used += width
            if used == 8:
                out, acc, used = out + bytes([acc]), 0, 0
        if used:
            out += bytes([acc << (8 - used)])
        return out

    xor, mask = b'', b''
    for row in reversed(px):  # bottom-up
        xor += pack([0 if c is TRANSPARENT else c for c in row], bits).ljust(xor_row, b'\0')
        mask += pack([1 if c is TRANSPARENT else 0 for c in row], 1).ljust(and_row, b'\0')
    return header + colours + xor + mask


def icon(path, images):
    """images: (size, bits, palette, rows) for each image."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, bits, palette, px in images:
        data = image(px, bits, palette)
        out += struct.pack('<BBBBHHII', size, size, len(palette), 0, 1, bits, len(data), offset)
        offset += len(data)
        blobs.append(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


def main(folder):
    for name, draw in (('kelpack.ico', draw_module), ('uninstall.ico', draw_uninstall)):
        icon(os.path.join(folder, name), [(n, 4, PALETTE, draw(n)) for n in (16, 32)])
    icon(os.path.join(folder, 'phase.ico'), [(9, 1, [(255, 255, 255), (0, 0, 0)], draw_phase(9))])


if __name__ == '__main__':
    main(sys.argv[1])
