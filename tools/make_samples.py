#!/usr/bin/env python3
"""Draws two sample files for the screenshots: a 24-bit picture (a night
landscape: sky gradient, moon, two rows of hills), 400 x 260, and a 1-bit
mask (a house with a chimney and two fir trees), 640 x 480.

    python3 tools/make_samples.py OUTDIR
"""
import math
import os
import struct
import sys


def bmp24(width, height, pixel):
    stride = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def bmp1(width, height, black):
    stride = (width + 31) // 32 * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(b'\xff' * stride)
        for x in range(width):
            if black(x, y):
                row[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
        data += row
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 62
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    return header + info + palette + bytes(data)


def landscape(x, y, w=400, h=260):
    t = y / h
    sky = (int(10 + 40 * t), int(20 + 50 * t), int(60 + 90 * t))
    if math.hypot(x - 310, y - 60) < 26:
        return (235, 230, 200)
    far = 170 + 18 * math.sin(x / 37.0) + 9 * math.sin(x / 13.0 + 1)
    near = 205 + 14 * math.sin(x / 55.0 + 2) + 6 * math.sin(x / 19.0)
    if y > near:
        return (30, 55, 40)
    if y > far:
        return (50, 70, 95)
    return sky


def house_and_trees(x, y):
    # House: walls, roof, chimney; a door and two windows stay white.
    if 240 <= x < 420 and 260 <= y < 380:
        door = 310 <= x < 350 and 310 <= y < 380
        window = (260 <= x < 295 or 365 <= x < 400) and 285 <= y < 315
        return not (door or window)
    if 225 <= x < 435 and 170 <= y < 260 and abs(x - 330) <= (y - 170) * 105 / 90:
        return True
    if 380 <= x < 405 and 175 <= y < 225:
        return True
    # Fir trees: three stacked triangles and a trunk each.
    for cx in (120, 540):
        if cx - 8 <= x < cx + 8 and 340 <= y < 380:
            return True
        for top, height, half in ((180, 70, 40), (220, 70, 55), (260, 80, 70)):
            if top <= y < top + height and abs(x - cx) <= (y - top) * half / height:
                return True
    return False


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else '.'
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, 'sample-picture.bmp'), 'wb') as f:
        f.write(bmp24(400, 260, landscape))
    with open(os.path.join(out, 'sample-mask.bmp'), 'wb') as f:
        f.write(bmp1(640, 480, house_and_trees))


if __name__ == '__main__':
    main()
