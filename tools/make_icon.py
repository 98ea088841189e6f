#!/usr/bin/env python3
"""Draws the program's icon: a white six-armed snowflake on a night-blue
square, 32 x 32 at 24 bits, written as a Windows .ico file."""
import math
import struct
import sys

SIZE = 32


def pixels():
    sky = (0x60, 0x30, 0x10)      # blue, green, red
    snow = (0xFF, 0xFF, 0xFF)
    img = [[sky for _ in range(SIZE)] for _ in range(SIZE)]
    c = (SIZE - 1) / 2.0

    def dot(x, y):
        xi, yi = int(round(x)), int(round(y))
        if 0 <= xi < SIZE and 0 <= yi < SIZE:
            img[yi][xi] = snow

    for arm in range(6):
        a = math.radians(arm * 60 + 90)
        for t in range(0, 140):
            r = t / 10.0
            dot(c + r * math.cos(a), c - r * math.sin(a))
        for branch in (5.5, 9.5):
            bx, by = c + branch * math.cos(a), c - branch * math.sin(a)
            for side in (-1, 1):
                b = a + side * math.radians(45)
                for t in range(0, 35):
                    r = t / 10.0
                    dot(bx + r * math.cos(b), by - r * math.sin(b))
    return img


def ico(img):
    xor = bytearray()
    for row in reversed(img):            # bottom-up rows
        for b, g, r in row:
            xor += bytes((b, g, r))
    and_row = ((SIZE + 31) // 32) * 4
    and_mask = bytes(and_row * SIZE)     # fully opaque
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 24, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + bytes(xor) + and_mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'resources/nivalo.ico'
    with open(out, 'wb') as f:
        f.write(ico(pixels()))
