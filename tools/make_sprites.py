#!/usr/bin/env python3
"""Draws the sleigh and fir-tree sprites and writes them as Windows BMPs.

    python3 tools/make_sprites.py

Run from the repository root. Writes into resources/sprites/:

    sleigh-<small|medium|large>-<plain|red>-<0..3>.bmp       8-bit images
    sleigh-<small|medium|large>-<plain|red>-<0..3>-mask.bmp  1-bit masks
    tree.bmp, tree-mask.bmp

and a contact sheet of every set, composited over a night sky the way the
saver draws them, to docs/sleigh-sheet.png (the tree goes to
docs/tree-sheet.png).

Images are white wherever they are transparent; masks are white where the
sprite is opaque and black where it is transparent. The saver ORs the mask
onto the screen and then ANDs the image, so a transparent pixel must be
white in the image or it would darken the screen.

The small and medium sets and the tree are hand-drawn pixel grids, each
drawn for its own size. In the large set Santa is a grid too; the sleigh and
the reindeer are built from shapes placed by hand (polygons, ellipses, thick
strokes), their legs swung through a four-step gallop. Reins are drawn
between the figures with a sag that changes from frame to frame.
Everything is deterministic: the same files come out on every run.
"""
import math
import os
import struct
import zlib

OUT_DIR = os.path.join("resources", "sprites")
SHEET = os.path.join("docs", "sleigh-sheet.png")
TREE_SHEET = os.path.join("docs", "tree-sheet.png")

SIZES = {"small": (56, 8), "medium": (88, 17), "large": (177, 34)}
TREE_SIZE = (31, 32)
FRAMES = 4

# ---------------------------------------------------------------------------
# Palette. The first entries are the colours the art uses; the rest of the
# 256-entry table is black. Index 1 (white) doubles as "transparent" in the
# images.

PALETTE = [
    ("black",       (0, 0, 0)),
    ("white",       (255, 255, 255)),
    ("red",         (210, 24, 28)),      # Santa's coat and hat
    ("darkred",     (130, 10, 16)),      # coat shading, collars
    ("skin",        (246, 196, 160)),
    ("wood",        (150, 78, 30)),      # sleigh body
    ("darkwood",    (92, 44, 14)),       # sleigh outline, planks
    ("gold",        (236, 184, 40)),     # trim, runners, bells
    ("deer",        (158, 102, 56)),     # reindeer coat
    ("darkdeer",    (96, 58, 28)),       # reindeer shading, legs
    ("pale",        (222, 186, 138)),    # reindeer throat, belly, tail
    ("antler",      (238, 222, 182)),
    ("nose",        (255, 30, 30)),      # the lead reindeer's red nose
    ("green",       (30, 150, 60)),      # presents
    ("blue",        (50, 100, 225)),
    ("yellow",      (250, 214, 40)),
    ("rein",        (186, 120, 56)),     # leather reins and traces
    ("fir",         (34, 124, 52)),
    ("darkfir",     (14, 74, 34)),
    ("lightfir",    (72, 164, 70)),
    ("trunk",       (84, 48, 22)),
    ("darktrunk",   (52, 28, 12)),
    ("sack",        (176, 134, 84)),
    ("hoof",        (40, 24, 12)),
    ("grey",        (200, 200, 210)),    # beard and fur shading
    ("purple",      (150, 60, 180)),
    ("rosy",        (236, 120, 110)),    # Santa's nose
]
C = {name: i for i, (name, _) in enumerate(PALETTE)}
RGB = [rgb for _, rgb in PALETTE] + [(0, 0, 0)] * (256 - len(PALETTE))
WHITE = C["white"]

# ---------------------------------------------------------------------------
# A sprite under construction: a grid of palette indices, None = transparent.


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[None] * w for _ in range(h)]

    def set(self, x, y, c):
        x, y = int(x), int(y)
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y][x]
        return None

    def grid(self, rows, x0, y0, keys):
        """Paints a character grid; '.' and ' ' leave pixels alone."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in ". ":
                    continue
                self.set(x0 + dx, y0 + dy, keys[ch])

    def ellipse(self, cx, cy, rx, ry, c):
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                dx = (x + 0.5 - cx) / rx
                dy = (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0:
                    self.set(x, y, c)

    def polygon(self, pts, c):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)) - 1, int(max(ys)) + 2):
            for x in range(int(min(xs)) - 1, int(max(xs)) + 2):
                if inside(pts, x + 0.5, y + 0.5):
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        """A 1-pixel line through pixel centres, 8-connected."""
        n = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        for i in range(n + 1):
            t = i / n
            self.set(math.floor(x0 + (x1 - x0) * t + 0.5),
                     math.floor(y0 + (y1 - y0) * t + 0.5), c)

    def stroke(self, x0, y0, x1, y1, r0, r1, c):
        """A thick stroke: discs of radius r0 tapering to r1 along the line."""
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 3) + 1
        for i in range(n + 1):
            t = i / n
            self.ellipse(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t,
                         r0 + (r1 - r0) * t, r0 + (r1 - r0) * t, c)

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                if other.px[y][x] is not None:
                    self.set(x0 + x, y0 + y, other.px[y][x])


def inside(pts, x, y):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y):
            if x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
        j = i
    return hit


def sag_line(cv, x0, y0, x1, y1, sag, c):
    """A rein from (x0, y0) to (x1, y1) hanging down by `sag` pixels in the
    middle; every column gets a pixel and steep steps are filled in."""
    prev = None
    for x in range(x0, x1 + 1):
        t = (x - x0) / max(1, x1 - x0)
        y = int(math.floor(y0 + (y1 - y0) * t + sag * 4 * t * (1 - t) + 0.5))
        if prev is not None and abs(y - prev) > 1:
            step = 1 if y > prev else -1
            for yy in range(prev + step, y, step):
                cv.set(x if step > 0 else x - 1, yy, c)
        cv.set(x, y, c)
        prev = y


# ---------------------------------------------------------------------------
# Small set, 56 x 8: each figure drawn pixel by pixel at its size.

SMALL_KEYS = {
    "R": C["red"], "W": C["white"], "s": C["skin"], "B": C["wood"],
    "K": C["darkwood"], "Y": C["gold"], "g": C["green"], "y": C["yellow"],
    "b": C["blue"], "D": C["deer"], "d": C["darkdeer"], "a": C["antler"],
    "p": C["pale"], "n": C["darkdeer"],
}

SMALL_SLEIGH = [
    "...............",
    ".......R.......",
    "...by..RRs.....",
    "..gbyyRRWR..K..",
    ".KBBBBBBBBBBK..",
    "..KBBBBBBBBB...",
    "...Y....Y...Y..",
    "..YYYYYYYYYYY..",
]

SMALL_DEER = [
    ".......a.a",
    ".......aa.",
    ".......DDn",
    "..DDDDDD..",
    "..DDDDD...",
]

# Legs below the body (rows 5..7), one grid per frame of the gallop.
SMALL_LEGS = [
    [  # stretched out
        ".d.....d..",
        "d.......d.",
        "..........",
    ],
    [  # front legs reaching down, hind legs trailing
        ".d....d...",
        "d.....d...",
        ".......d..",
    ],
    [  # gathered under the body
        "..d..d....",
        "...dd.....",
        "..........",
    ],
    [  # hind legs under, front legs folded back
        "..d...d...",
        "..d..d....",
        "..d.......",
    ],
]


def draw_small(frame, red):
    w, h = SIZES["small"]
    cv = Canvas(w, h)
    bob = (0, 0, 1, 0)[frame]
    sag = (1, 2, 2, 1)[frame]
    deer_x = (20, 32, 44)
    # Reins first, so the figures cover their ends.
    sag_line(cv, 10, 3 - bob, deer_x[0] + 2, 3, sag, C["gold"])
    for i in range(2):
        sag_line(cv, deer_x[i] + 7, 3, deer_x[i + 1] + 2, 3, sag, C["gold"])
    cv.grid(SMALL_SLEIGH, 0, -bob, SMALL_KEYS)
    for i, x in enumerate(deer_x):
        legs = SMALL_LEGS[(frame + i) % FRAMES]
        cv.grid(legs, x, 5, SMALL_KEYS)
        cv.grid(SMALL_DEER, x, 0, SMALL_KEYS)
    if red:
        cv.set(deer_x[2] + 9, 2, C["nose"])
    return cv


# ---------------------------------------------------------------------------
# Medium set, 88 x 17.

MEDIUM_KEYS = {
    "R": C["red"], "r": C["darkred"], "W": C["white"], "w": C["grey"],
    "s": C["skin"], "B": C["wood"], "K": C["darkwood"], "Y": C["gold"],
    "g": C["green"], "y": C["yellow"], "b": C["blue"], "S": C["sack"],
    "D": C["deer"], "d": C["darkdeer"], "a": C["antler"], "p": C["pale"],
    "n": C["darkdeer"], "k": C["black"], "h": C["hoof"], "P": C["purple"],
}

MEDIUM_SLEIGH = [
    "..........................",
    "...............RRR........",
    ".............WRRRRR.......",
    "..............WWWWWW......",
    "...SS...........ssks......",
    "..SSSSbbb......WsssW......",
    "..SSSSbyb.....RWWWWW......",
    ".gggSSbbbPP..RRRWWWRRkk...",
    ".gygSSbbbPP.RRRRRRRR...KK.",
    "KKKKKKKKKKKKKKKKKKKKKKKYK.",
    "KBBBBBBBBBBBBBBBBBBBBBBKK.",
    "KBYYYYYYYYYYYYYYYYYYYYBK..",
    ".KBBBBBBBBBBBBBBBBBBBBK...",
    "..KKKKKKKKKKKKKKKKKKKK....",
    "...K......K.......K....YY.",
    "..YYYYYYYYYYYYYYYYYYYYYY..",
]

MEDIUM_DEER = [
    "........a..a.a....",
    ".........aa.aa.a..",
    "..........a.a.a...",
    "...........aaa....",
    "...........dDD....",
    "...........DDkDD..",
    "..........DDDDDDDn",
    ".pDDDDDDDDDDDppp..",
    "..DDDDDDDDDDDpp...",
    "..DDDDDDDDDDDD....",
    "..dDDDDDDDDDDd....",
    "...dddpppppdd.....",
]

MEDIUM_LEGS = [
    [  # stretched out
        "..dd........dd....",
        ".dd..........dd...",
        "dd............dd..",
        "h..............h..",
        "..................",
    ],
    [  # front legs reaching down, hind legs trailing
        "..dd.......dd.....",
        ".dd.........d.....",
        "dd..........d.....",
        "h...........dd....",
        ".............h....",
    ],
    [  # gathered
        "...dd......dd.....",
        "....dd....dd......",
        ".....dh..hd.......",
        "..................",
        "..................",
    ],
    [  # front legs tucked up, hind legs pushing off
        "...dd......ddd....",
        "...dd.......dd....",
        "..dd.........h....",
        "..d...............",
        ".hd...............",
    ],
]


def draw_medium(frame, red):
    w, h = SIZES["medium"]
    cv = Canvas(w, h)
    bob = (0, 0, 1, 0)[frame]
    sag = (2, 1, 2, 3)[frame]
    deer_x = (30, 49, 68)
    sag_line(cv, 22, 7 + bob, deer_x[0] + 3, 8, sag, C["rein"])
    for i in range(2):
        sag_line(cv, deer_x[i] + 13, 8, deer_x[i + 1] + 3, 8, sag - 1, C["rein"])
    cv.grid(MEDIUM_SLEIGH, 0, bob, MEDIUM_KEYS)
    for i, x in enumerate(deer_x):
        legs = MEDIUM_LEGS[(frame + i) % FRAMES]
        cv.grid(legs, x, 12, MEDIUM_KEYS)
        cv.grid(MEDIUM_DEER, x, 0, MEDIUM_KEYS)
    if red:
        cv.set(deer_x[2] + 17, 6, C["nose"])
    return cv


# ---------------------------------------------------------------------------
# Large set, 177 x 34: shapes placed by hand.

# The reindeer's outline, facing right, clockwise from the tail.
DEER_BODY = [
    (1, 14), (4, 13), (9, 13.5), (14, 13.5), (17, 12.5), (21, 10.5),
    (23, 8.5), (26, 7.8), (28, 8.2), (30, 9.5), (33, 10.5), (34, 11.5),
    (34, 13), (31, 13.5), (28, 13.5), (26, 14), (26, 16), (26, 19),
    (25, 21.5), (23, 23), (19, 23.5), (13, 24), (8, 23.5), (5, 22.5),
    (2, 20.5), (1, 18), (0.5, 16),
]
DEER_THROAT = [(25.5, 13.5), (28, 13.5), (26.5, 19), (25, 21.5), (23.5, 20)]
DEER_EAR = [(24.5, 9.5), (20.5, 7.0), (21.5, 9.0), (24, 10.5)]
# Antler beams and tines as line segments from the head.
ANTLER = [
    ((26, 8), (24, 5)), ((24, 5), (21, 3)), ((21, 3), (19, 1)),
    ((24, 5), (27, 3)), ((27, 3), (28, 1)), ((21, 3), (22, 1)),
    ((25, 7), (28, 6)),
]
# Leg angles in degrees from straight down, positive pointing forward:
# (upper, lower) for a front leg and a hind leg.
GALLOP = [
    ((65, 85), (-50, -80)),    # stretched out
    ((20, 0), (-35, -70)),     # front reaching down, hind trailing
    ((-25, -80), (40, 10)),    # gathered under the body
    ((70, -15), (-10, -45)),   # front tucked up, hind pushing off
]


def large_leg(cv, jx, jy, pose, col):
    a1, a2 = (math.radians(a) for a in pose)
    kx, ky = jx + 6 * math.sin(a1), jy + 6 * math.cos(a1)
    hx, hy = kx + 5 * math.sin(a2), ky + 5 * math.cos(a2)
    ex, ey = hx + 1.5 * math.sin(a2), hy + 1.5 * math.cos(a2)
    cv.stroke(jx, jy, kx, ky, 1.9, 1.1, col)
    cv.stroke(kx, ky, hx, hy, 0.9, 0.8, col)
    cv.stroke(hx, hy, ex, ey, 0.9, 0.9, C["hoof"])


def large_reindeer(cv, ox, oy, frame, nose):
    """One reindeer facing right, its top-left corner at (ox, oy)."""
    oy += (0, 0, -1, 0)[frame]
    deer, dark, pale = C["deer"], C["darkdeer"], C["pale"]

    def at(pts):
        return [(ox + x, oy + y) for x, y in pts]

    front, hind = GALLOP[frame]
    # The far side's legs are half a step behind.
    nxt = GALLOP[(frame + 1) % FRAMES]
    far_front, far_hind = (tuple((a + b) / 2 for a, b in zip(GALLOP[frame][k], nxt[k]))
                           for k in (0, 1))
    # Far legs first, in shadow.
    large_leg(cv, ox + 22, oy + 21, far_front, dark)
    large_leg(cv, ox + 8, oy + 20, far_hind, dark)
    # Far antler, then the body.
    for (x0, y0), (x1, y1) in ANTLER:
        cv.line(ox + x0 + 3, oy + y0 + 1, ox + x1 + 3, oy + y1 + 1, pale)
    body = Canvas(cv.w, cv.h)
    body.polygon(at(DEER_BODY), deer)
    # Darker underside along the lower edge.
    for y in range(body.h):
        for x in range(body.w):
            if body.px[y][x] is not None and body.get(x, y + 1) is None:
                body.px[y][x] = dark
    cv.paste(body, 0, 0)
    cv.polygon(at(DEER_THROAT), pale)
    cv.set(ox + 0, oy + 14, C["white"])
    cv.set(ox + 1, oy + 14, pale)
    cv.set(ox + 0, oy + 15, pale)
    cv.polygon(at(DEER_EAR), dark)
    cv.set(ox + 28, oy + 10, C["black"])
    cv.line(ox + 30, oy + 13, ox + 33, oy + 13, dark)
    # Nose: a round dot on the tip of the muzzle.
    for dx, dy in ((33, 11), (34, 11), (33, 12), (34, 12), (35, 11.5)):
        cv.set(ox + dx, oy + dy, nose)
    for (x0, y0), (x1, y1) in ANTLER:
        cv.line(ox + x0, oy + y0, ox + x1, oy + y1, C["antler"])
    # Harness: a red collar with a gold bell, and a girth strap.
    cv.stroke(ox + 21.5, oy + 12.5, ox + 24.5, oy + 21, 0.8, 0.8, C["darkred"])
    cv.set(ox + 24, oy + 21, C["gold"])
    for y in range(12, 25):
        if body.get(ox + 15, oy + y) is not None:
            cv.set(ox + 15, oy + y, C["darkred"])
    # Near legs on top.
    large_leg(cv, ox + 21, oy + 21, front, deer)
    large_leg(cv, ox + 7, oy + 20, hind, deer)


LARGE_SANTA_KEYS = {
    "R": C["red"], "r": C["darkred"], "W": C["white"], "w": C["grey"],
    "s": C["skin"], "k": C["black"], "P": C["rosy"],
}

LARGE_SANTA = [
    "......RRRRR.........",
    "....RRRRRRRRR.......",
    "..WRRRRRRRRRRr......",
    ".WWWRrRRRRRRRRr.....",
    "..W.rWWWWWWWWWWW....",
    "....WWWWWWWWWWWWW...",
    ".....Rssssssskss....",
    ".....RssssssssssP...",
    ".....RwWsssWWWWWP...",
    "....RRwWWWWWWWWWW...",
    "...RRRwWWWWWWWWWW...",
    "..RRRRRwWWWWWWWW....",
    ".RRRRRRRwWWWWWWRR...",
    ".RRRRRRRRwWWWWRRRWkk",
    "RRRRRRRRRRwWWRRRRWkk",
    "RRRRRRRRRrrrrrrrrWk.",
    "RRRRRRRRRRRRRRRRR...",
    "RRRRRRRRRRRRRRRR....",
    "RRRRRRRRRRRRRRR.....",
]


def large_sleigh(cv, bob):
    y = bob
    wood, dark, gold = C["wood"], C["darkwood"], C["gold"]
    # Runner with a curl at the front, and its struts.
    for x in range(3, 50):
        cv.set(x, 31 + y, gold)
        cv.set(x, 32 + y, dark)
    curl = [(50, 31), (52, 30), (54, 28), (55, 26), (55, 24), (54, 23), (53, 23)]
    for (ax, ay), (bx, by) in zip(curl, curl[1:]):
        cv.line(ax, ay + y, bx, by + y, gold)
    for sx in (10, 26, 42):
        cv.line(sx, 28 + y, sx, 30 + y, dark)
    # Presents behind Santa.
    cv.ellipse(20, 13 + y, 7, 8, C["sack"])
    cv.line(19, 5 + y, 21, 5 + y, C["darkwood"])
    cv.polygon([(6, 9 + y), (15, 9 + y), (15, 20 + y), (6, 20 + y)], C["green"])
    cv.line(10, 9 + y, 10, 20 + y, C["red"])
    cv.line(6, 14 + y, 15, 14 + y, C["red"])
    cv.polygon([(13, 13 + y), (20, 13 + y), (20, 20 + y), (13, 20 + y)], C["blue"])
    cv.line(16, 13 + y, 16, 20 + y, C["yellow"])
    cv.polygon([(22, 15 + y), (28, 15 + y), (28, 20 + y), (22, 20 + y)], C["purple"])
    cv.line(22, 17 + y, 28, 17 + y, C["white"])
    # Santa, his lower half hidden by the sleigh's side.
    cv.grid(LARGE_SANTA, 27, y, LARGE_SANTA_KEYS)
    # Sleigh body over Santa's lap: a high back on the left, a scroll at
    # the front, planks and a gold stripe.
    body = [(1, 8), (5, 8), (7, 12), (8, 18), (44, 18), (49, 15), (52, 12),
            (55, 13), (54, 17), (50, 24), (46, 28), (4, 28), (1, 24)]
    cv.polygon([(px, py + y) for px, py in body], wood)
    for (ax, ay), (bx, by) in zip(body, body[1:] + body[:1]):
        cv.line(ax, ay + y, bx, by + y, dark)
    for x in range(4, 48):
        cv.set(x, 22 + y, gold)
    for x in range(5, 45):
        cv.set(x, 25 + y, dark)
    cv.ellipse(53.5, 14.5 + y, 1.2, 1.2, gold)


def draw_large(frame, red):
    w, h = SIZES["large"]
    cv = Canvas(w, h)
    bob = (0, 0, 1, 0)[frame]
    sag = (3, 1, 2, 4)[frame]
    deer_x = (62, 101, 140)
    large_sleigh(cv, bob)
    # The reins run over the sleigh's front to the first reindeer's collar,
    # the traces from collar to collar.
    sag_line(cv, 47, 14 + bob, deer_x[0] + 22, 15, sag, C["rein"])
    for i in range(2):
        sag_line(cv, deer_x[i] + 24, 15, deer_x[i + 1] + 22, 15, sag, C["rein"])
    for i, x in enumerate(deer_x):
        nose = C["nose"] if (red and i == 2) else C["darkdeer"]
        large_reindeer(cv, x, 0, (frame + i) % FRAMES, nose)
    return cv


# ---------------------------------------------------------------------------
# The fir tree, 31 x 32.

TREE_KEYS = {"g": C["lightfir"], "G": C["fir"], "D": C["darkfir"],
             "W": C["white"], "T": C["trunk"], "t": C["darktrunk"]}

TREE = [
    "...............W...............",
    "..............gGD..............",
    "..............gGD..............",
    ".............WgGDD.............",
    ".............ggGDD.............",
    "............WggGDDD............",
    "...........gggGGDDDD...........",
    "..........WWggGGGDDWW..........",
    ".........DDgggGGGGDDDD.........",
    "..........ggDDDDDDDDD..........",
    ".........gggWGGGGDDDDD.........",
    "........WggggGGGGGDDDDD........",
    ".......ggggggGGGGGDWDDDD.......",
    "......WWgggggGGGGGGDDDWWW......",
    ".....DDggggGGGGGGGGDDDDDDD.....",
    "........gggDDDDDDDDDDDD........",
    ".......gggggWGGGGGDDDDDD.......",
    "......WggggggGGGGGGDDDDDD......",
    ".....gggggggGGGGGGGDDWDDDD.....",
    "....WWgggggggGGGGGGGDDDDDWW....",
    "...DDgWggggGGGGGGGGGDDDDDDDW...",
    "..DDgggggggGGGGGGGGGGDDDDDDDD..",
    ".....gggggDDDDDDDDDDDDDDDD.....",
    "....gggggggWGGGGGGGDDDDDDDD....",
    "...WgggggggGGGGGGGGGDDDDWDDD...",
    "..ggggggggggGGGGGGGGGGDDDDDDD..",
    ".WWggggWgggGGGGGGGGGGGGDDDDDWW.",
    "DDDgggggggGGGGGGGGGGGGGDDDDDDDD",
    "DD...........TTTtt...........DD",
    ".............TTTtt.............",
    ".............TTTtt.............",
    ".............TTTtt.............",
]


def draw_tree():
    cv = Canvas(*TREE_SIZE)
    cv.grid(TREE, 0, 0, TREE_KEYS)
    return cv


# ---------------------------------------------------------------------------
# BMP files.

def image_and_mask(cv):
    """Palette indices for the image (white where transparent) and mask bits
    (1 = opaque)."""
    img = [[WHITE if p is None else p for p in row] for row in cv.px]
    mask = [[0 if p is None else 1 for p in row] for row in cv.px]
    return img, mask


def bmp8(img):
    h, w = len(img), len(img[0])
    stride = (w + 3) & ~3
    data = bytearray()
    for row in reversed(img):
        data += bytes(row) + b"\0" * (stride - w)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in RGB)
    off = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data),
                       2835, 2835, 256, 0)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    return head + info + table + bytes(data)


def bmp1(mask):
    h, w = len(mask), len(mask[0])
    stride = ((w + 31) // 32) * 4
    data = bytearray()
    for row in reversed(mask):
        line = bytearray(stride)
        for x, bit in enumerate(row):
            if bit:
                line[x >> 3] |= 0x80 >> (x & 7)
        data += line
    table = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    off = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(data),
                       2835, 2835, 2, 0)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    return head + info + table + bytes(data)


def read_bmp(blob):
    """Reads back one of our BMPs: (width, height, bits, rows of RGB)."""
    magic, size, _, _, off = struct.unpack_from("<2sIHHI", blob, 0)
    assert magic == b"BM" and size == len(blob)
    (hsize, w, h, planes, bits, comp, _, _, _, used, _) = struct.unpack_from(
        "<IiiHHIIiiII", blob, 14)
    assert hsize == 40 and planes == 1 and comp == 0 and h > 0
    colours = used or (1 << bits)
    table = [tuple(blob[54 + 4 * i + k] for k in (2, 1, 0)) for i in range(colours)]
    assert off == 54 + 4 * colours
    stride = ((w * bits + 31) // 32) * 4
    assert len(blob) == off + stride * h
    rows = []
    for y in range(h):
        line = blob[off + (h - 1 - y) * stride:off + (h - y) * stride]
        if bits == 8:
            rows.append([table[line[x]] for x in range(w)])
        else:
            rows.append([table[(line[x >> 3] >> (7 - (x & 7))) & 1] for x in range(w)])
    return w, h, bits, table, rows


def check_pair(name, img_blob, mask_blob, size):
    w, h, bits, table, img = read_bmp(img_blob)
    assert (w, h) == size, (name, w, h, size)
    assert bits == 8 and len(table) == 256, name
    assert (255, 255, 255) in table, name
    mw, mh, mbits, mtable, mask = read_bmp(mask_blob)
    assert (mw, mh) == size, (name, "mask", mw, mh)
    assert mbits == 1 and mtable == [(0, 0, 0), (255, 255, 255)], name
    opaque = 0
    for y in range(h):
        for x in range(w):
            if mask[y][x] == (0, 0, 0):
                assert img[y][x] == (255, 255, 255), (name, x, y, img[y][x])
            else:
                assert mask[y][x] == (255, 255, 255)
                opaque += 1
    assert opaque > 0, name
    return img, mask


# ---------------------------------------------------------------------------
# PNG contact sheet.

def png(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


SKY = (36, 62, 140)
RULE = (20, 36, 90)
GAP = 6


class Sheet:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.rows = [[SKY] * w for _ in range(h)]

    def draw(self, img, mask, x0, y0, scale):
        """Screen OR mask, then AND image, as the saver does."""
        for y in range(len(img) * scale):
            for x in range(len(img[0]) * scale):
                m = mask[y // scale][x // scale]
                i = img[y // scale][x // scale]
                s = self.rows[y0 + y][x0 + x]
                s = tuple(a | b for a, b in zip(s, m))
                self.rows[y0 + y][x0 + x] = tuple(a & b for a, b in zip(s, i))


def sheet_layout(sets):
    """Each set: a row of its four frames at 1x, then the four at 4x in a
    2 x 2 block, then a thin rule. Returns the sheet size, the places of the
    frames and the heights of the rules."""
    places, rules = [], []
    y = GAP
    width = 0
    for frames in sets:
        w, h = len(frames[0][0][0]), len(frames[0][0])
        row = []
        for f in range(FRAMES):
            row.append((GAP + f * (w + GAP), y, 1))
        y += h + GAP
        for f in range(FRAMES):
            row.append((GAP + (f % 2) * (4 * w + GAP), y + (f // 2) * (4 * h + GAP), 4))
        y += 2 * (4 * h + GAP)
        rules.append(y)
        y += GAP + 1
        width = max(width, GAP + 2 * (4 * w + GAP), GAP + FRAMES * (w + GAP))
        places.append(row)
    return width, y, places, rules[:-1]


def write_sheet(path, sets):
    width, height, places, rules = sheet_layout(sets)
    sh = Sheet(width, height)
    for y in rules:
        sh.rows[y] = [RULE] * width
    for frames, row in zip(sets, places):
        for f, (img, mask) in enumerate(frames):
            sh.draw(img, mask, *row[f])
            sh.draw(img, mask, *row[FRAMES + f])
    with open(path, "wb") as f:
        f.write(png(sh.rows))


def write_tree_sheet(path, pair):
    """The tree at 1x, five of them in a row as the saver stands them, and
    the tree at 4x."""
    img, mask = pair
    w, h = len(img[0]), len(img)
    sh = Sheet(GAP + 5 * (w + 2) + GAP + 4 * w + GAP, GAP + 4 * h + GAP)
    for i in range(5):
        sh.draw(img, mask, GAP + i * (w + 2), GAP + 3 * h, 1)
    sh.draw(img, mask, GAP + 5 * (w + 2) + GAP, GAP, 4)
    with open(path, "wb") as f:
        f.write(png(sh.rows))


# ---------------------------------------------------------------------------

DRAW = {"small": draw_small, "medium": draw_medium, "large": draw_large}


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    os.makedirs("docs", exist_ok=True)
    loaded = {}
    for size in ("small", "medium", "large"):
        for nose in ("plain", "red"):
            frames = []
            for f in range(FRAMES):
                cv = DRAW[size](f, nose == "red")
                assert (cv.w, cv.h) == SIZES[size]
                img, mask = image_and_mask(cv)
                base = os.path.join(OUT_DIR, "sleigh-%s-%s-%d" % (size, nose, f))
                ib, mb = bmp8(img), bmp1(mask)
                with open(base + ".bmp", "wb") as fh:
                    fh.write(ib)
                with open(base + "-mask.bmp", "wb") as fh:
                    fh.write(mb)
                frames.append(check_pair(base, ib, mb, SIZES[size]))
            loaded[(size, nose)] = frames
    # Red and plain sets differ only at the lead reindeer's nose.
    for size in SIZES:
        for f in range(FRAMES):
            a, b = loaded[(size, "plain")][f], loaded[(size, "red")][f]
            assert a[1] == b[1], (size, f, "masks differ")
            diff = [(x, y) for y in range(len(a[0])) for x in range(len(a[0][0]))
                    if a[0][y][x] != b[0][y][x]]
            assert diff and all(x > SIZES[size][0] * 3 // 4 for x, _ in diff), (size, f)

    tree = draw_tree()
    img, mask = image_and_mask(tree)
    ib, mb = bmp8(img), bmp1(mask)
    with open(os.path.join(OUT_DIR, "tree.bmp"), "wb") as fh:
        fh.write(ib)
    with open(os.path.join(OUT_DIR, "tree-mask.bmp"), "wb") as fh:
        fh.write(mb)
    tree_pair = check_pair("tree", ib, mb, TREE_SIZE)

    blink = [loaded[("large", "red" if f % 2 == 0 else "plain")][f] for f in range(FRAMES)]
    sets = [loaded[("small", "plain")], loaded[("medium", "plain")],
            loaded[("large", "plain")], loaded[("small", "red")],
            loaded[("medium", "red")], loaded[("large", "red")], blink]
    write_sheet(SHEET, sets)
    write_tree_sheet(TREE_SHEET, tree_pair)
    print("wrote %d sprite files to %s, %s and %s"
          % (len(os.listdir(OUT_DIR)), OUT_DIR, SHEET, TREE_SHEET))


if __name__ == "__main__":
    main()
