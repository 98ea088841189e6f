#!/usr/bin/env python3
"""Draws the built-in mask: the figures 2000 in heavy black sans-serif
digits on white, 640 x 490 at 1 bit per pixel (colour 0 black, colour 1
white), written as a Windows BMP. The digits are built from superellipse
rings, a bar and a slanted stroke; nothing is taken from a font.

    python3 tools/make_mask.py [resources/mask2000.bmp]
"""
import struct
import sys

WIDTH, HEIGHT = 640, 490

DIGIT_W, DIGIT_H = 100, 145   # one digit's box
GAP = 10                      # between digits: 4 x 100 + 3 x 10 = 430
TOP = 153                     # a little above the middle (245 - 72)
LEFT = (WIDTH - (4 * DIGIT_W + 3 * GAP)) // 2

STEM = 31                     # width of the upright strokes
BAR = 29                      # height of the flat strokes
POWER = 2.6                   # superellipse exponent: squarish round shapes
SUB = 4                       # subsamples per pixel edge


def in_superellipse(x, y, cx, cy, a, b, power=POWER):
    if a <= 0 or b <= 0:
        return False
    return (abs(x - cx) / a) ** power + (abs(y - cy) / b) ** power <= 1.0


def in_ring(x, y, cx, cy, a, b, stem, bar):
    return (in_superellipse(x, y, cx, cy, a, b)
            and not in_superellipse(x, y, cx, cy, a - stem, b - bar, POWER - 0.3))


def zero(x, y):
    """A tall rounded ring filling the digit box."""
    return in_ring(x, y, DIGIT_W / 2, DIGIT_H / 2, DIGIT_W / 2, DIGIT_H / 2, STEM, BAR)


def side_of(px, py, ax, ay, bx, by):
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax)


def two(x, y):
    """Bowl on top, open at the lower left; a slanted stroke from its right
    side down to the foot; a flat bar along the bottom."""
    # Foot.
    if DIGIT_H - BAR <= y <= DIGIT_H:
        return True
    # Bowl: the upper ring, cut off on the left a little below its middle
    # (the overhanging end); its right side runs on into the slanted stroke.
    cx, cy, a, b = DIGIT_W / 2, 46.0, DIGIT_W / 2, 46.0
    if in_ring(x, y, cx, cy, a, b, STEM, BAR):
        if y <= cy + 2 or (x >= cx and y <= cy + 14):
            return True
    # Slanted stroke: a band between two lines, from the bowl's right side
    # down to the foot's left end.
    if not (cy <= y <= DIGIT_H - BAR + 1):
        return False
    upper = ((DIGIT_W - 0.5, cy + 14), (STEM + 14.0, DIGIT_H - BAR + 1))
    lower = ((cx + a - STEM, cy), (-2.0, DIGIT_H - BAR + 1))
    inside_upper = side_of(x, y, *upper[0], *upper[1]) >= 0
    inside_lower = side_of(x, y, *lower[0], *lower[1]) <= 0
    return inside_upper and inside_lower


DIGITS = (two, zero, zero, zero)


def black(px, py):
    """Coverage test of one pixel by its subsamples."""
    k = (px - LEFT) // (DIGIT_W + GAP)
    if not 0 <= k < 4:
        return False
    x0 = LEFT + k * (DIGIT_W + GAP)
    if not (x0 <= px < x0 + DIGIT_W and TOP <= py < TOP + DIGIT_H):
        return False
    shape = DIGITS[k]
    hits = 0
    for sy in range(SUB):
        for sx in range(SUB):
            x = px - x0 + (sx + 0.5) / SUB
            y = py - TOP + (sy + 0.5) / SUB
            if shape(x, y):
                hits += 1
    return hits * 2 >= SUB * SUB


def bmp(rows):
    stride = (WIDTH + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):                 # bottom-up
        line = bytearray(stride)
        for x, is_black in enumerate(row):
            if not is_black:
                line[x // 8] |= 0x80 >> (x % 8)   # 1 is white
        for x in range(WIDTH, stride * 8):     # padding white too
            line[x // 8] |= 0x80 >> (x % 8)
        data += line
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    return header + info + palette + bytes(data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'resources/mask2000.bmp'
    rows = [[black(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    with open(out, 'wb') as f:
        f.write(bmp(rows))


if __name__ == '__main__':
    main()
