#!/usr/bin/env python3
"""Draws the program's icon (a folder with a small tree of entries below it)
and writes it as app/dirtree.ico with 32x32 and 16x16 images, 32 bits per
pixel with alpha. Run it again after changing the picture."""
import os
import struct

SIZE = 32
CLEAR = (0, 0, 0, 0)
OUTLINE = (120, 84, 0, 255)
FOLDER = (250, 200, 60, 255)
FOLDER_LIGHT = (255, 226, 130, 255)
LINE = (60, 60, 60, 255)
ENTRY = (255, 255, 255, 255)
ENTRY_EDGE = (40, 90, 170, 255)
ENTRY_TEXT = (40, 90, 170, 255)


def draw():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def box(left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                pixels[y][x] = colour

    def framed(left, top, right, bottom, edge, fill):
        box(left, top, right, bottom, edge)
        box(left + 1, top + 1, right - 1, bottom - 1, fill)

    # The folder: tab, body and a lighter front flap.
    framed(2, 2, 11, 6, OUTLINE, FOLDER)
    framed(2, 4, 21, 14, OUTLINE, FOLDER)
    box(3, 7, 20, 8, FOLDER_LIGHT)
    # The connectors of the tree.
    box(6, 15, 7, 27, LINE)
    box(8, 19, 12, 20, LINE)
    box(8, 26, 12, 27, LINE)
    # Two entries, each a small page with a line of text.
    for top in (16, 23):
        framed(13, top, 29, top + 6, ENTRY_EDGE, ENTRY)
        box(15, top + 3, 26, top + 3, ENTRY_TEXT)
    return pixels


def downsample(pixels):
    half = []
    for y in range(0, SIZE, 2):
        row = []
        for x in range(0, SIZE, 2):
            quad = [pixels[y][x], pixels[y][x + 1], pixels[y + 1][x], pixels[y + 1][x + 1]]
            alpha = sum(p[3] for p in quad)
            if alpha == 0:
                row.append(CLEAR)
                continue
            rgb = tuple(sum(p[i] * p[3] for p in quad) // alpha for i in range(3))
            row.append(rgb + (alpha // 4,))
        half.append(row)
    return half


def bitmap(pixels):
    n = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    mask_row_bytes = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row_bytes)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def main():
    big = draw()
    images = [(SIZE, bitmap(big)), (SIZE // 2, bitmap(downsample(big)))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dirtree.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
