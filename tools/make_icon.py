#!/usr/bin/env python3
"""Draws the program's icon: a white six-armed snowflake on a night-blue
square, written as a Windows .ico file with 16 and 32 px at 4 bits, 16, 32
and 48 px at 8 bits (each with an AND mask) and 16, 32 and 48 px at 32 bits
with alpha.

    python3 tools/make_icon.py [resources/nivalo.ico]

The 32 px picture is plotted dot by dot as it always was; 48 px is the same
flake drawn smoothly at 1.5 x; 16 px is placed by hand, since the arms'
side branches do not survive halving.
"""
import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_dialog_art as art  # noqa: E402  (shared canvas and file writers)

SIZE = 32
SKY = (0x10, 0x30, 0x60)          # red, green, blue
SNOW = (0xFF, 0xFF, 0xFF)

# One quarter of the 16 px flake (top left); the rest is its mirror image.
QUARTER_16 = ['........',
              '.......#',
              '......##',
              '...#...#',
              '.##.#..#',
              '...##..#',
              '..#..###',
              '......##']


def pixels():
    """The 32 px flake as rows of (blue, green, red)."""
    sky = (SKY[2], SKY[1], SKY[0])
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


def image32():
    return art.Image(SIZE, SIZE, [[(r, g, b, 255) for (b, g, r) in row] for row in pixels()])


def image48():
    """The same flake, arms and branches as smooth strokes."""
    c = art.Canvas(48, 48, 4, 1.5)
    c.rect(0, 0, 32, 32, SKY)
    m = c.mask()
    cx = cy = (SIZE - 1) / 2.0 + 0.5      # the dot plot's centre, as a point
    for arm in range(6):
        a = math.radians(arm * 60 + 90)
        c.m_line(m, (cx, cy), (cx + 14.0 * math.cos(a), cy - 14.0 * math.sin(a)), 1.2)
        for branch in (5.5, 9.5):
            bx, by = cx + branch * math.cos(a), cy - branch * math.sin(a)
            for side in (-1, 1):
                b = a + side * math.radians(45)
                c.m_line(m, (bx, by), (bx + 3.5 * math.cos(b), by - 3.5 * math.sin(b)), 1.2)
    c.paint(m, SNOW)
    return c.image()


def image16():
    top = [r + r[::-1] for r in QUARTER_16]
    rows = top + top[::-1]
    return art.pixel_art([r.replace('#', 'W').replace('.', 'B') for r in rows],
                         {'W': SNOW, 'B': SKY})


def ico():
    images = {16: image16(), 32: image32(), 48: image48()}
    return art.ico_file([(images[size], bits) for size, bits in art.ICON_ENTRIES],
                        to_16=art.nearest_vga)


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'resources/nivalo.ico'
    with open(out, 'wb') as f:
        f.write(ico())
    entries = art.check_ico(out)
    assert all(bits in (4, 8, 32) for _, _, bits, _, _ in entries)
