#!/usr/bin/env python3
"""Draws the pictures of the settings dialog: every setting is labelled with
a small picture instead of text.

    python3 tools/make_dialog_art.py

writes into resources/dialog/
  - icons <id>-<name>.ico, each with 16 and 32 px at 4 bits, 16/32/48 px at
    8 bits (both with an AND mask) and 16/32/48 px at 32 bits with alpha;
  - bitmaps <id>-<name>.bmp, 24 bits, bottom-up, uncompressed: the switch
    pictures and gust graphs (70 x 37) and the three sleigh sizes, which are
    cut from the sleigh sprites in resources/sprites/;
and docs/dialog-art-sheet.png, every picture at 1x and 2x (icons over the
grey 192 and grey 240 of old and new dialogs) to look at.

Everything is drawn here from scratch: 32 px designs as shapes rendered with
4 x 4 supersampling (48 px is the same design scaled), 16 px designs as hand
placed pixels. Nothing random, so two runs write identical files.
"""
import math
import os
import struct
import sys
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
OUT_DIR = os.path.join(ROOT, 'resources', 'dialog')
SPRITE_DIR = os.path.join(ROOT, 'resources', 'sprites')
SHEET = os.path.join(ROOT, 'docs', 'dialog-art-sheet.png')

# --------------------------------------------------------------------------
# Palette: one family for every picture.

NAVY = (22, 34, 70)          # outlines, axes, hands
SNOW = (255, 255, 255)
ICE = (196, 220, 246)        # shade on snow
ICE_DARK = (150, 184, 226)
FLAKE = (40, 104, 196)       # flakes on the transparent icons
FLAKE_DARK = (24, 70, 150)
TRAIL = (110, 140, 190)      # paths and speed lines on icons
SKY_TOP = (104, 138, 198)    # backdrop of the bitmaps
SKY_BOTTOM = (160, 190, 232)
FRAME = (36, 52, 98)
FIR = (34, 128, 62)
FIR_DARK = (18, 84, 40)
TRUNK = (112, 70, 38)
RED = (206, 32, 34)
RED_DARK = (132, 18, 22)
WOOD = (122, 80, 42)
WOOD_DARK = (82, 52, 26)
GOLD = (250, 204, 56)
MARK = (236, 104, 16)      # what a graph marks
DEER = (160, 104, 58)
DEER_LIGHT = (214, 170, 120)
DEER_DARK = (100, 62, 32)
NOSE = (255, 28, 28)
SKIN = (246, 200, 170)
BLACK = (14, 14, 18)
PIC_SKY = (126, 192, 244)
PIC_HILL = (70, 168, 70)
PIC_HILL_DARK = (40, 120, 48)
PIC_SUN = (255, 214, 40)
DESK = (72, 80, 100)
SCREEN_FRAME = (60, 66, 80)
GLASS = (62, 94, 160)        # window panes at night
GLINT = (128, 164, 220)
CELL = (226, 232, 240)       # empty cells of the mask grid
CARROT = (240, 120, 20)

# --------------------------------------------------------------------------
# Supersampled canvas.


class Mask:
    """Covered samples of one shape (bytearray) with the rows it touches."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.bits = bytearray(w * h)
        self.y0, self.y1 = h, -1

    def span(self, row, a, b):
        if a < 0:
            a = 0
        if b > self.w:
            b = self.w
        if b <= a:
            return
        base = row * self.w
        self.bits[base + a:base + b] = b'\x01' * (b - a)
        if row < self.y0:
            self.y0 = row
        if row > self.y1:
            self.y1 = row

    def intersect(self, other):
        for i in range(len(self.bits)):
            if self.bits[i] and not other.bits[i]:
                self.bits[i] = 0


class Canvas:
    """RGBA drawing surface of w x h pixels, kept at ss x ss samples per
    pixel. Shapes are given in design units: pixel = unit * scale + offset."""

    def __init__(self, w, h, ss=4, scale=1.0):
        self.w, self.h, self.ss = w, h, ss
        self.W, self.H = w * ss, h * ss
        self.scale = scale
        n = self.W * self.H
        self.r = [0.0] * n
        self.g = [0.0] * n
        self.b = [0.0] * n
        self.a = [0.0] * n
        self.clip = None

    # ---- geometry to samples
    def _pt(self, p):
        k = self.scale * self.ss
        return (p[0] * k, p[1] * k)

    def mask(self):
        return Mask(self.W, self.H)

    def _fill_contours(self, m, contours):
        edges = []
        ylo, yhi = 1e9, -1e9
        for pts in contours:
            sp = [self._pt(p) for p in pts]
            n = len(sp)
            for i in range(n):
                x0, y0 = sp[i]
                x1, y1 = sp[(i + 1) % n]
                if y0 == y1:
                    continue
                d = 1 if y1 > y0 else -1
                if y0 > y1:
                    x0, y0, x1, y1 = x1, y1, x0, y0
                edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), d))
                ylo, yhi = min(ylo, y0), max(yhi, y1)
        if not edges:
            return
        j0 = max(0, int(math.ceil(ylo - 0.5)))
        j1 = min(self.H - 1, int(math.ceil(yhi - 0.5)) - 1)
        for j in range(j0, j1 + 1):
            yc = j + 0.5
            xs = []
            for (y0, y1, x0, k, d) in edges:
                if y0 <= yc < y1:
                    xs.append((x0 + (yc - y0) * k, d))
            if not xs:
                continue
            xs.sort()
            wind = 0
            start = 0.0
            for x, d in xs:
                before = wind
                wind += d
                if before == 0 and wind != 0:
                    start = x
                elif before != 0 and wind == 0:
                    m.span(j, int(math.ceil(start - 0.5)), int(math.ceil(x - 0.5)))

    # ---- shape builders (into a mask)
    def m_poly(self, m, *contours):
        self._fill_contours(m, contours)
        return m

    def m_ellipse(self, m, cx, cy, rx, ry, n=None):
        if n is None:
            n = max(24, int(8 * max(rx, ry) * self.scale))
        pts = [(cx + rx * math.cos(2 * math.pi * i / n), cy + ry * math.sin(2 * math.pi * i / n))
               for i in range(n)]
        self._fill_contours(m, [pts])
        return m

    def m_circle(self, m, cx, cy, r):
        return self.m_ellipse(m, cx, cy, r, r)

    def m_line(self, m, p0, p1, w, cap='round'):
        (x0, y0), (x1, y1) = p0, p1
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy)
        hw = w / 2.0
        if ln > 0:
            nx, ny = -dy / ln * hw, dx / ln * hw
            if cap == 'square':
                ex, ey = dx / ln * hw, dy / ln * hw
                x0, y0, x1, y1 = x0 - ex, y0 - ey, x1 + ex, y1 + ey
            self._fill_contours(m, [[(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                                     (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]])
        if cap == 'round':
            self.m_circle(m, p0[0], p0[1], hw)
            self.m_circle(m, p1[0], p1[1], hw)
        return m

    def m_polyline(self, m, pts, w, closed=False, cap='round'):
        n = len(pts)
        segs = n if closed else n - 1
        for i in range(segs):
            self.m_line(m, pts[i], pts[(i + 1) % n], w, cap='butt')
        hw = w / 2.0
        for i, p in enumerate(pts):
            end = not closed and (i == 0 or i == n - 1)
            if end and cap == 'butt':
                continue
            if end and cap == 'square':
                continue
            self.m_circle(m, p[0], p[1], hw)
        if not closed and cap == 'square' and n >= 2:
            self.m_line(m, pts[0], pts[1], w, cap='square')
            self.m_line(m, pts[-2], pts[-1], w, cap='square')
        return m

    # ---- painting
    def paint(self, m, col, alpha=1.0, clip=None):
        clip = clip if clip is not None else self.clip
        cr, cg, cb = col
        W = self.W
        R, G, B, A = self.r, self.g, self.b, self.a
        bits = m.bits
        cbits = clip.bits if clip is not None else None
        for j in range(m.y0, m.y1 + 1):
            base = j * W
            row = bits[base:base + W]
            i = row.find(1)
            while i != -1:
                k = base + i
                if cbits is None or cbits[k]:
                    if alpha >= 1.0:
                        R[k], G[k], B[k], A[k] = cr, cg, cb, 1.0
                    else:
                        a0 = A[k]
                        na = alpha + a0 * (1 - alpha)
                        if na > 0:
                            f0 = a0 * (1 - alpha)
                            R[k] = (cr * alpha + R[k] * f0) / na
                            G[k] = (cg * alpha + G[k] * f0) / na
                            B[k] = (cb * alpha + B[k] * f0) / na
                        A[k] = na
                i = row.find(1, i + 1)

    # ---- one-call conveniences
    def poly(self, pts, col, alpha=1.0):
        self.paint(self.m_poly(self.mask(), pts), col, alpha)

    def ellipse(self, cx, cy, rx, ry, col, alpha=1.0):
        self.paint(self.m_ellipse(self.mask(), cx, cy, rx, ry), col, alpha)

    def circle(self, cx, cy, r, col, alpha=1.0):
        self.ellipse(cx, cy, r, r, col, alpha)

    def rect(self, x0, y0, x1, y1, col, alpha=1.0):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], col, alpha)

    def line(self, p0, p1, w, col, cap='round', alpha=1.0):
        self.paint(self.m_line(self.mask(), p0, p1, w, cap), col, alpha)

    def polyline(self, pts, w, col, closed=False, cap='round', alpha=1.0):
        self.paint(self.m_polyline(self.mask(), pts, w, closed, cap), col, alpha)

    def outlined_poly(self, pts, fill, outline=NAVY, w=1.0):
        """Filled shape with an outline of width w centred on its edge."""
        self.poly(pts, fill)
        self.polyline(pts, w, outline, closed=True)

    def outlined_ellipse(self, cx, cy, rx, ry, fill, outline=NAVY, w=1.0):
        self.ellipse(cx, cy, rx + w / 2.0, ry + w / 2.0, outline)
        self.ellipse(cx, cy, rx - w / 2.0, ry - w / 2.0, fill)

    def image(self):
        """Box-filtered down to w x h RGBA pixels (top row first)."""
        ss, W = self.ss, self.W
        n = float(ss * ss)
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                sr = sg = sb = sa = 0.0
                for j in range(y * ss, y * ss + ss):
                    base = j * W + x * ss
                    for k in range(base, base + ss):
                        a = self.a[k]
                        if a:
                            sa += a
                            sr += self.r[k] * a
                            sg += self.g[k] * a
                            sb += self.b[k] * a
                if sa <= 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((int(round(sr / sa)), int(round(sg / sa)),
                                int(round(sb / sa)), int(round(sa / n * 255))))
            out.append(row)
        return Image(self.w, self.h, out)


class Image:
    def __init__(self, w, h, rows):
        self.w, self.h, self.rows = w, h, rows
        assert len(rows) == h and all(len(r) == w for r in rows)

    def px(self, x, y):
        return self.rows[y][x]


def pixel_art(lines, colours):
    """An Image from rows of characters; '.' is transparent."""
    rows = []
    for line in lines:
        row = []
        for ch in line:
            if ch == '.':
                row.append((0, 0, 0, 0))
            else:
                c = colours[ch]
                row.append((c[0], c[1], c[2], 255))
        rows.append(row)
    return Image(len(lines[0]), len(lines), rows)


# --------------------------------------------------------------------------
# Shared drawing helpers (design units).


def snowflake(c, cx, cy, r, col, w=1.5, branches=True):
    """Six arms; a V of side branches on each arm when big enough."""
    m = c.mask()
    for k in range(6):
        a = math.radians(90 + 60 * k)
        ex, ey = cx + r * math.cos(a), cy - r * math.sin(a)
        c.m_line(m, (cx, cy), (ex, ey), w)
        if branches and r >= 4:
            d = 0.55 * r
            bx, by = cx + d * math.cos(a), cy - d * math.sin(a)
            bl = 0.38 * r
            for side in (-1, 1):
                b = a + side * math.radians(50)
                c.m_line(m, (bx, by), (bx + bl * math.cos(b), by - bl * math.sin(b)), w * 0.85)
    c.paint(m, col)


def arrow_head(c, tip, direction, size, col):
    dx, dy = direction
    ln = math.hypot(dx, dy)
    dx, dy = dx / ln, dy / ln
    bx, by = tip[0] - dx * size, tip[1] - dy * size
    nx, ny = -dy * size * 0.6, dx * size * 0.6
    c.poly([tip, (bx + nx, by + ny), (bx - nx, by - ny)], col)


def dashed(c, p0, p1, w, col, dash=2.0, gap=2.0, cap='butt'):
    (x0, y0), (x1, y1) = p0, p1
    ln = math.hypot(x1 - x0, y1 - y0)
    if ln == 0:
        return
    ux, uy = (x1 - x0) / ln, (y1 - y0) / ln
    m = c.mask()
    t = 0.0
    while t < ln - 1e-6:
        e = min(ln, t + dash)
        c.m_line(m, (x0 + ux * t, y0 + uy * t), (x0 + ux * e, y0 + uy * e), w, cap=cap)
        t += dash + gap
    c.paint(m, col)


def dashed_path(c, pts, w, col, dash=2.5, gap=2.0, cap='round'):
    """A dashed polyline, the dash pattern running on across corners."""
    m = c.mask()
    on, left = True, dash
    cur = []
    for i in range(len(pts) - 1):
        (x0, y0), (x1, y1) = pts[i], pts[i + 1]
        ln = math.hypot(x1 - x0, y1 - y0)
        t = 0.0
        while t < ln - 1e-9:
            step = min(left, ln - t)
            p = (x0 + (x1 - x0) * t / ln, y0 + (y1 - y0) * t / ln)
            q = (x0 + (x1 - x0) * (t + step) / ln, y0 + (y1 - y0) * (t + step) / ln)
            if on:
                if not cur:
                    cur.append(p)
                cur.append(q)
            t += step
            left -= step
            if left <= 1e-9:
                if on and len(cur) >= 2:
                    c.m_polyline(m, cur, w, cap=cap)
                cur = []
                on = not on
                left = dash if on else gap
    if on and len(cur) >= 2:
        c.m_polyline(m, cur, w, cap=cap)
    c.paint(m, col)


# --------------------------------------------------------------------------
# File formats.

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

# The 16-colour entries: each pixel takes its nearest design colour, which
# stands for one of the 16 standard colours chosen by eye. Blends between
# design colours are not wanted there: 16 colours cannot show them.
VGA_BLACK, VGA_MAROON, VGA_GREEN, VGA_OLIVE, VGA_NAVY = VGA16[0:5]
VGA_SILVER, VGA_GREY, VGA_RED, VGA_YELLOW, VGA_BLUE = VGA16[7], VGA16[8], VGA16[9], VGA16[11], VGA16[12]
VGA_CYAN, VGA_WHITE = VGA16[14], VGA16[15]
FOUR_BIT = {
    NAVY: VGA_BLACK, SNOW: VGA_WHITE, ICE: VGA_SILVER, ICE_DARK: VGA_SILVER,
    FLAKE: VGA_BLUE, FLAKE_DARK: VGA_NAVY, TRAIL: VGA_GREY,
    FIR: VGA_GREEN, FIR_DARK: VGA_GREEN, TRUNK: VGA_MAROON,
    RED: VGA_RED, RED_DARK: VGA_MAROON, WOOD: VGA_MAROON, WOOD_DARK: VGA_MAROON,
    GOLD: VGA_YELLOW, DEER: VGA_MAROON, DEER_LIGHT: VGA_OLIVE, DEER_DARK: VGA_BLACK,
    NOSE: VGA_RED, SKIN: VGA_WHITE, BLACK: VGA_BLACK,
    PIC_SKY: VGA_CYAN, PIC_HILL: VGA_GREEN, PIC_SUN: VGA_YELLOW,
    DESK: VGA_GREY, SCREEN_FRAME: VGA_GREY, GLASS: VGA_NAVY, GLINT: VGA_SILVER,
    CELL: VGA_SILVER, CARROT: VGA_RED,
}

MATTE = 216          # edge pixels of the masked entries are blended onto this grey
OPAQUE_FROM = 128    # alpha at or above which a masked entry's pixel is drawn


def _dist(c1, c2):
    dr, dg, db = c1[0] - c2[0], c1[1] - c2[1], c1[2] - c2[2]
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db


def _matte(p):
    r, g, b, a = p
    if a >= 255:
        return (r, g, b)
    f = a / 255.0
    return tuple(int(round(v * f + MATTE * (1 - f))) for v in (r, g, b))


def _median_cut(colours, n):
    """colours: {rgb: count}. Returns up to n representative colours."""
    boxes = [sorted(colours.items())]
    while len(boxes) < n:
        best, best_i, best_ch = -1, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                lo = min(c[0][ch] for c in box)
                hi = max(c[0][ch] for c in box)
                score = (hi - lo) * (1 + math.log(sum(c[1] for c in box)))
                if score > best:
                    best, best_i, best_ch = score, i, ch
        if best_i < 0 or best <= 0:
            break
        box = sorted(boxes[best_i], key=lambda c: (c[0][best_ch], c[0]))
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for k, c in enumerate(box):
            acc += c[1]
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes[best_i:best_i + 1] = [box[:cut], box[cut:]]
    out = []
    for box in boxes:
        t = sum(c[1] for c in box)
        out.append(tuple(int(round(sum(c[0][ch] * c[1] for c in box) / t)) for ch in range(3)))
    return out


def four_bit(c):
    near = min(FOUR_BIT, key=lambda d: (_dist(c, d), d))
    return FOUR_BIT[near]


def _palette_for(img, bits):
    if bits == 4:
        return list(VGA16)
    counts = {}
    for row in img.rows:
        for p in row:
            if p[3] >= OPAQUE_FROM:
                c = _matte(p)
                counts[c] = counts.get(c, 0) + 1
    if len(counts) <= 255:
        pal = sorted(counts)
    else:
        pal = _median_cut(counts, 255)
    pal = [(0, 0, 0)] + [c for c in pal if c != (0, 0, 0)]
    pal = pal[:256]
    return pal + [(0, 0, 0)] * (256 - len(pal))


def _and_mask(img, threshold):
    stride = ((img.w + 31) // 32) * 4
    out = bytearray()
    for y in range(img.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(img.w):
            if img.px(x, y)[3] < threshold:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def nearest_vga(c):
    return min(VGA16, key=lambda v: (_dist(c, v), v))


def ico_image(img, bits, to_16=four_bit):
    """One icon entry: BITMAPINFOHEADER, palette, XOR bits, AND mask.
    to_16 picks the standard colour of a pixel in a 16-colour entry."""
    w, h = img.w, img.h
    if bits == 32:
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = img.px(x, y)
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
        mask = _and_mask(img, OPAQUE_FROM)
        pal = b''
    else:
        palette = _palette_for(img, bits)
        cache = {}

        def index(c):
            if c not in cache:
                best = min(range(1, len(palette)) if bits == 8 else range(16),
                           key=lambda i: (_dist(c, palette[i]), i))
                if bits == 8 and c == (0, 0, 0):
                    best = 0
                cache[c] = best
            return cache[c]
        per_byte = 8 // bits
        stride = ((w * bits + 31) // 32) * 4
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(stride)
            for x in range(w):
                p = img.px(x, y)
                if p[3] < OPAQUE_FROM:
                    i = 0
                elif bits == 4:
                    i = index(to_16(p[:3]))
                else:
                    i = index(_matte(p))
                if bits == 8:
                    row[x] = i
                else:
                    row[x // per_byte] |= i << (4 * (1 - (x & 1)))
            xor += row
        mask = _and_mask(img, OPAQUE_FROM)
        pal = b''.join(struct.pack('<BBBB', c[2], c[1], c[0], 0) for c in palette)
        assert len(palette) == 1 << bits
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 1 << bits if bits < 16 else 0, 0)
    return header + pal + bytes(xor) + mask


def ico_file(entries, to_16=four_bit):
    """entries: list of (Image, bits)."""
    images = [(img, bits, ico_image(img, bits, to_16)) for img, bits in entries]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, bits, data in images:
        out += struct.pack('<BBBBHHII', img.w % 256, img.h % 256, 16 if bits == 4 else 0, 0,
                           1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return out


def bmp_file(img):
    """24-bit bottom-up BMP of an opaque Image."""
    stride = (img.w * 3 + 3) & ~3
    body = bytearray()
    for y in range(img.h - 1, -1, -1):
        row = bytearray()
        for x in range(img.w):
            r, g, b, _ = img.px(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        body += row
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + bytes(body)


def png_file(img):
    raw = bytearray()
    for row in img.rows:
        raw.append(0)
        for p in row:
            raw += bytes(p[:3])

    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', img.w, img.h, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


# ---- readers (sprites in, and every written file read back to check it)

def _dib_rows(data, off, bits, w, h, palette):
    """Rows of a DIB, top row first, as lists of RGB or palette indexes."""
    stride = ((w * bits + 31) // 32) * 4
    rows = []
    for y in range(h):
        p = off + y * stride
        line = data[p:p + stride]
        row = []
        for x in range(w):
            if bits == 32:
                b, g, r, a = line[4 * x:4 * x + 4]
                row.append((r, g, b, a))
            elif bits == 24:
                b, g, r = line[3 * x:3 * x + 3]
                row.append((r, g, b))
            else:
                per = 8 // bits
                byte = line[x // per]
                shift = 8 - bits * (x % per + 1)
                row.append(palette[(byte >> shift) & ((1 << bits) - 1)])
        rows.append(row)
    return rows


def read_bmp(path):
    """(width, height, bits, rows of RGB top first) of an uncompressed BMP."""
    with open(path, 'rb') as f:
        data = f.read()
    assert data[:2] == b'BM', path
    pix_off = struct.unpack_from('<I', data, 10)[0]
    size, w, h, planes, bits, comp = struct.unpack_from('<IiiHHI', data, 14)
    assert comp == 0 and bits in (1, 4, 8, 24, 32), (path, bits, comp)
    used = struct.unpack_from('<I', data, 14 + 32)[0]
    palette = []
    if bits <= 8:
        n = used or (1 << bits)
        for i in range(n):
            b, g, r, _ = data[14 + size + 4 * i:14 + size + 4 * i + 4]
            palette.append((r, g, b))
    rows = _dib_rows(data, pix_off, bits, w, abs(h), palette)
    if h > 0:
        rows.reverse()
    return w, abs(h), bits, size, rows


def read_ico(path):
    """Entries (w, h, bits, rgb rows, and-mask rows) of an .ico file."""
    with open(path, 'rb') as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    assert reserved == 0 and kind == 1, path
    out = []
    for i in range(count):
        dw, dh, ncol, _, planes, dbits, size, off = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        hsize, w, h2, _, bits, comp = struct.unpack_from('<IiiHHI', data, off)
        assert hsize == 40 and comp == 0 and h2 == 2 * w
        assert (dw or 256) == w and dbits == bits and planes == 1
        h = w
        palette = []
        p = off + 40
        if bits <= 8:
            for k in range(1 << bits):
                b, g, r, _ = data[p + 4 * k:p + 4 * k + 4]
                palette.append((r, g, b))
            p += 4 << bits
        xor = _dib_rows(data, p, bits, w, h, palette)
        xor.reverse()
        p += ((w * bits + 31) // 32) * 4 * h
        mask = _dib_rows(data, p, 1, w, h, [0, 1])
        mask.reverse()
        assert p + ((w + 31) // 32) * 4 * h == off + size
        out.append((w, h, bits, xor, mask))
    return out


def ico_over(entry, grey):
    """What Windows shows of an icon entry drawn on a grey background."""
    w, h, bits, xor, mask = entry
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            if bits == 32:
                r, g, b, a = xor[y][x]
                f = a / 255.0
                row.append(tuple(int(round(v * f + grey * (1 - f))) for v in (r, g, b)) + (255,))
            else:
                keep = 0xFF if mask[y][x] else 0
                row.append(tuple((grey & keep) ^ v for v in xor[y][x]) + (255,))
        rows.append(row)
    return Image(w, h, rows)


# --------------------------------------------------------------------------
# Backdrop and frame shared by all bitmaps.


def backdrop(c, w, h):
    for y in range(h):
        t = y / max(1, h - 1)
        col = tuple(int(round(SKY_TOP[i] + (SKY_BOTTOM[i] - SKY_TOP[i]) * t)) for i in range(3))
        c.rect(0, y, w, y + 1, col)


def frame(c, w, h):
    m = c.mask()
    c.m_poly(m, [(0, 0), (w, 0), (w, h), (0, h)], [(1, 1), (1, h - 1), (w - 1, h - 1), (w - 1, 1)])
    c.paint(m, FRAME)


# --------------------------------------------------------------------------
# A 5 x 7 letter set for the labels of the contact sheet.

GLYPHS = {
    'A': ['.###.', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'B': ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.'],
    'C': ['.###.', '#...#', '#....', '#....', '#....', '#...#', '.###.'],
    'D': ['####.', '#...#', '#...#', '#...#', '#...#', '#...#', '####.'],
    'E': ['#####', '#....', '#....', '####.', '#....', '#....', '#####'],
    'F': ['#####', '#....', '#....', '####.', '#....', '#....', '#....'],
    'G': ['.###.', '#...#', '#....', '#.###', '#...#', '#...#', '.####'],
    'H': ['#...#', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'I': ['.###.', '..#..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    'J': ['..###', '...#.', '...#.', '...#.', '...#.', '#..#.', '.##..'],
    'K': ['#...#', '#..#.', '#.#..', '##...', '#.#..', '#..#.', '#...#'],
    'L': ['#....', '#....', '#....', '#....', '#....', '#....', '#####'],
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'N': ['#...#', '#...#', '##..#', '#.#.#', '#..##', '#...#', '#...#'],
    'O': ['.###.', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'P': ['####.', '#...#', '#...#', '####.', '#....', '#....', '#....'],
    'Q': ['.###.', '#...#', '#...#', '#...#', '#.#.#', '#..#.', '.##.#'],
    'R': ['####.', '#...#', '#...#', '####.', '#.#..', '#..#.', '#...#'],
    'S': ['.####', '#....', '#....', '.###.', '....#', '....#', '####.'],
    'T': ['#####', '..#..', '..#..', '..#..', '..#..', '..#..', '..#..'],
    'U': ['#...#', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'V': ['#...#', '#...#', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'W': ['#...#', '#...#', '#...#', '#.#.#', '#.#.#', '#.#.#', '.#.#.'],
    'X': ['#...#', '#...#', '.#.#.', '..#..', '.#.#.', '#...#', '#...#'],
    'Y': ['#...#', '#...#', '.#.#.', '..#..', '..#..', '..#..', '..#..'],
    'Z': ['#####', '....#', '...#.', '..#..', '.#...', '#....', '#####'],
    '0': ['.###.', '#...#', '#..##', '#.#.#', '##..#', '#...#', '.###.'],
    '1': ['..#..', '.##..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    '2': ['.###.', '#...#', '....#', '...#.', '..#..', '.#...', '#####'],
    '3': ['####.', '....#', '....#', '.###.', '....#', '....#', '####.'],
    '4': ['...#.', '..##.', '.#.#.', '#..#.', '#####', '...#.', '...#.'],
    '5': ['#####', '#....', '####.', '....#', '....#', '#...#', '.###.'],
    '6': ['.###.', '#....', '#....', '####.', '#...#', '#...#', '.###.'],
    '7': ['#####', '....#', '...#.', '..#..', '.#...', '.#...', '.#...'],
    '8': ['.###.', '#...#', '#...#', '.###.', '#...#', '#...#', '.###.'],
    '9': ['.###.', '#...#', '#...#', '.####', '....#', '....#', '.###.'],
    '-': ['.....', '.....', '.....', '.###.', '.....', '.....', '.....'],
    '.': ['.....', '.....', '.....', '.....', '.....', '.##..', '.##..'],
    ':': ['.....', '.##..', '.##..', '.....', '.##..', '.##..', '.....'],
    '/': ['....#', '....#', '...#.', '..#..', '.#...', '#....', '#....'],
    '(': ['...#.', '..#..', '.#...', '.#...', '.#...', '..#..', '...#.'],
    ')': ['.#...', '..#..', '...#.', '...#.', '...#.', '..#..', '.#...'],
    ' ': ['.....'] * 7,
}


class Sheet:
    """An opaque RGB page to paste pictures and labels on."""

    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.rows = [[bg] * w for _ in range(h)]

    def fill(self, x0, y0, x1, y1, col):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.rows[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = col

    def text(self, x, y, s, col=(0, 0, 0)):
        for ch in s.upper():
            g = GLYPHS.get(ch, GLYPHS[' '])
            for j, line in enumerate(g):
                for i, v in enumerate(line):
                    if v == '#' and 0 <= y + j < self.h and 0 <= x + i < self.w:
                        self.rows[y + j][x + i] = col
            x += 6

    def paste(self, img, x, y, zoom=1):
        for j in range(img.h * zoom):
            for i in range(img.w * zoom):
                p = img.px(i // zoom, j // zoom)
                if 0 <= y + j < self.h and 0 <= x + i < self.w:
                    self.rows[y + j][x + i] = p[:3]

    def image(self):
        return Image(self.w, self.h, [[tuple(p) + (255,) for p in r] for r in self.rows])


# --------------------------------------------------------------------------
# Sleigh, reindeer, fir: shared by several pictures. Local units, facing
# right, placed with (x, y) as the top left corner and k as the zoom.


def sleigh(c, x, y, k=1.0, santa=True, tilt=0.0):
    ca, sa = math.cos(math.radians(tilt)), math.sin(math.radians(tilt))

    def P(px, py):
        px, py = px - 11, py - 6
        return (x + (11 + px * ca + py * sa) * k, y + (6 - px * sa + py * ca) * k)
    lw = max(0.9, 0.8 * k)
    # runner with its front curl and two struts
    c.polyline([P(5, 10), P(5, 13)], 1.1 * k, WOOD_DARK)
    c.polyline([P(16, 10), P(16, 13)], 1.1 * k, WOOD_DARK)
    run = [P(0.5, 13)] + [P(20 + 3 * math.sin(t), 10 + 3 * math.cos(t))
                           for t in [i * math.pi / 8 for i in range(0, 9)]]
    c.polyline(run, 1.3 * k, WOOD_DARK)
    if santa:
        # Santa: coat, white cuff, face, beard, cap
        c.outlined_ellipse(*P(9.5, 4.6), 3.2 * k, 3.0 * k, RED, NAVY, lw)
        c.outlined_ellipse(*P(10.6, 0.4), 1.7 * k, 1.7 * k, SKIN, NAVY, lw)
        c.ellipse(*P(11.3, 1.8), 1.5 * k, 1.3 * k, SNOW)
        c.poly([P(8.6, -0.3), P(12.4, -0.3), P(9.0, -3.4)], RED)
        c.circle(*P(8.8, -3.4), 0.8 * k, SNOW)
        c.rect(*P(8.5, -0.7), *P(12.5, 0.2), SNOW)
    body = [P(0.5, 0.8), P(3.8, 0.8), P(4.6, 5.8), P(15.5, 5.8), P(18.5, 4.8), P(20.2, 3.0),
            P(21.8, 3.6), P(21.2, 6.0), P(18.6, 9.2), P(16.0, 10.4), P(3.0, 10.4), P(1.0, 8.8)]
    c.outlined_poly(body, RED, NAVY, lw)
    c.line(P(2.6, 7.9), P(17.6, 7.9), 1.1 * k, GOLD)


def reindeer(c, x, y, k=1.0, nose=DEER_DARK):
    def P(px, py):
        return (x + px * k, y + py * k)
    lw = max(0.8, 0.7 * k)
    legs = [((10.2, 7.0), (14.0, 8.6)), ((9.4, 7.6), (12.6, 10.0)),
            ((4.0, 7.2), (0.4, 8.4)), ((4.8, 7.8), (1.4, 10.2))]
    for a, b in legs:
        c.line(P(*a), P(*b), 1.2 * k, DEER_DARK)
    # antlers
    for a, b in [((13.2, 0.6), (11.4, -3.4)), ((12.5, -0.9), (10.2, -1.6)),
                 ((11.9, -2.2), (13.4, -3.8)), ((14.0, 0.5), (14.6, -1.6))]:
        c.line(P(*a), P(*b), 0.9 * k, DEER_DARK)
    neck = [P(9.6, 4.0), P(12.6, 0.8), P(14.4, 1.6), P(12.0, 6.0)]
    c.outlined_poly(neck, DEER, NAVY, lw)
    c.outlined_ellipse(*P(6.8, 5.8), 4.8 * k, 2.5 * k, DEER, NAVY, lw)
    c.poly(neck, DEER)
    c.outlined_ellipse(*P(14.4, 1.6), 2.1 * k, 1.3 * k, DEER, NAVY, lw)
    c.circle(*P(16.3, 1.9), 0.8 * k, nose)
    c.circle(*P(2.0, 4.6), 0.9 * k, SNOW)
    c.line(P(10.0, 3.6), P(11.0, 7.0), 0.9 * k, RED)


def fir(c, cx, top, height, width, snow=True):
    """A fir of three tiers on a short trunk."""
    h, w = height, width
    c.rect(cx - w * 0.08, top + h * 0.84, cx + w * 0.08, top + h, TRUNK)
    tiers = [(0.00, 0.40, 0.55), (0.22, 0.64, 0.78), (0.44, 0.88, 1.00)]
    for t0, t1, wf in tiers:
        half = w * wf / 2
        pts = [(cx, top + h * t0), (cx + half, top + h * t1), (cx - half, top + h * t1)]
        c.outlined_poly(pts, FIR, FIR_DARK, 1.0)
        if snow:
            c.poly([(cx - half * 0.55, top + h * (t1 - 0.05)), (cx + half * 0.55, top + h * (t1 - 0.05)),
                    (cx + half * 0.9, top + h * t1), (cx - half * 0.9, top + h * t1)], SNOW)


def mini_picture(c, x0, y0, x1, y1):
    """The stand-in for 'your picture': sky, sun and a green hill."""
    w, h = x1 - x0, y1 - y0
    m = c.mask()
    c.m_poly(m, [(x0, y0), (x1, y0), (x1, y1), (x0, y1)])
    c.paint(m, PIC_SKY)
    hill = c.mask()
    c.m_ellipse(hill, x0 + w * 0.30, y1 + h * 0.25, w * 0.62, h * 0.62)
    hill.intersect(m)
    c.paint(hill, PIC_HILL)
    sun = c.mask()
    c.m_circle(sun, x0 + w * 0.74, y0 + h * 0.32, min(w, h) * 0.18)
    sun.intersect(m)
    c.paint(sun, PIC_SUN)


# --------------------------------------------------------------------------
# Icons, 32 x 32 design (48 px draws the same at 1.5 x).


def i_many(c):
    for cx, cy, r in [(9.5, 9.5, 7.5), (24.5, 7.5, 4.5), (23.5, 23.0, 7.5),
                      (8.5, 25.0, 4.5), (28.5, 15.5, 2.2), (17.0, 2.6, 2.0),
                      (16.0, 29.2, 2.2), (2.6, 17.5, 2.0)]:
        snowflake(c, cx, cy, r, FLAKE, 1.6 if r > 3 else 1.3, branches=r > 5)


def i_wobble(c):
    pts = [(16 + 7 * math.sin(t * 2.6 * math.pi / 17.0), 1 + t) for t in [i * 0.5 for i in range(38)]]
    dashed_path(c, pts, 1.8, TRAIL, dash=2.6, gap=2.0, cap='butt')
    snowflake(c, 16, 24.5, 6.8, FLAKE, 1.8)


def i_drift(c):
    dashed_path(c, [(1.5, 1.5), (15.5, 15.5)], 1.8, TRAIL, dash=2.6, gap=2.0, cap='butt')
    snowflake(c, 23.5, 23.5, 7.0, FLAKE, 1.8)


def i_speed(c):
    for x, y0, y1 in [(9, 4, 14), (16, 1, 13), (23, 4, 14)]:
        c.line((x, y0), (x, y1), 2.0, TRAIL)
    snowflake(c, 16, 23.5, 7.5, FLAKE, 1.8)


def i_window(c):
    # frame, two by two panes of night sky, a glint on each upper pane
    c.rect(5, 1, 27, 22, NAVY)
    c.rect(6, 2, 26, 21, SNOW)
    c.rect(8, 4, 24, 21, GLASS)
    for x0 in (8, 16.5):
        c.poly([(x0 + 1, 4), (x0 + 4.5, 4), (x0 + 1, 8.5)], GLINT)
    c.rect(15.5, 2, 16.5, 21, SNOW)
    c.rect(6, 11.5, 26, 12.5, SNOW)
    # sill with icicles under it
    c.rect(2, 21, 30, 25, NAVY)
    c.rect(3, 22, 29, 24, WOOD)
    for x, ln in [(7, 4.5), (12, 2.5), (22, 3.5), (26, 2.0)]:
        c.poly([(x - 1.2, 24.5), (x + 1.2, 24.5), (x, 24.5 + ln)], ICE_DARK)
    # the snow lying on it
    top = lambda x: 16.8 + 0.9 * math.sin(x * 0.55 + 0.4) + 2.2 * ((x - 16) / 14.0) ** 4
    xs = [2.5 + i * 0.5 for i in range(55)]
    pts = [(x, top(x)) for x in xs]
    ends = [(29.5, 21.6), (2.5, 21.6)]
    c.poly(pts + ends, SNOW)
    m = c.mask()
    c.m_poly(m, [(x, 20.0 + 0.5 * math.sin(x * 0.8)) for x in xs] + ends)
    c.paint(m, ICE)
    c.polyline([(2.5, 21.4)] + pts + [(29.5, 21.4)], 1.1, NAVY)


def i_ground(c):
    # a heap of snow on the ground, cut off on the right where its depth is
    # measured with a dimension arrow
    top = lambda x: 15.5 + 1.2 * math.sin(x * 0.45 + 0.8) + 0.5 * math.sin(x * 1.1)
    xs = [0.5 + i * 0.5 for i in range(42)]
    pts = [(x, top(x)) for x in xs]
    right = [(21.5 + 3.2 * math.sin(t), top(21.0) + (28.5 - top(21.0)) * (1 - math.cos(t)))
             for t in [i * math.pi / 12 for i in range(7)]]
    outline = pts + right
    c.poly(outline + [(0.5, 28.5)], SNOW)
    m = c.mask()
    c.m_poly(m, [(x, 24.0 + 0.8 * math.sin(x * 0.5)) for x in xs] + [(25.5, 28.5), (0.5, 28.5)])
    m.intersect(c.m_poly(c.mask(), outline + [(0.5, 28.5)]))
    c.paint(m, ICE)
    c.polyline(outline, 1.2, NAVY)
    c.rect(0, 28.5, 32, 31, WOOD_DARK)
    x, t = 28.5, top(21.0) - 0.6
    dashed(c, (21.0, t), (31.5, t), 1.0, NAVY, dash=1.5, gap=1.0)
    c.line((x, t + 3.0), (x, 25.0), 1.4, NAVY, cap='butt')
    arrow_head(c, (x, t + 0.3), (0, -1), 4.0, NAVY)
    arrow_head(c, (x, 28.6), (0, 1), 4.0, NAVY)
    snowflake(c, 8.5, 6.5, 4.5, FLAKE, 1.5, branches=False)
    snowflake(c, 19.5, 4.5, 2.4, FLAKE, 1.3, branches=False)


def i_sleigh_speed(c):
    sleigh(c, 8.6, 10.0, 1.0)
    for y, x0 in [(9.5, 1.0), (14.5, 0.0), (19.5, 2.0)]:
        c.line((x0, y), (x0 + 5.2, y), 1.6, TRAIL)


def i_red_nose(c):
    # antlers
    for s in (-1, 1):
        X = lambda v: 16 + s * v
        c.polyline([(X(4.0), 9.5), (X(7.5), 5.0), (X(9.5), 1.2)], 1.7, DEER_DARK)
        c.line((X(7.5), 5.0), (X(12.0), 4.0), 1.5, DEER_DARK)
        c.line((X(5.7), 7.3), (X(4.6), 2.6), 1.5, DEER_DARK)
    # ears
    for s in (-1, 1):
        ear = [(16 + s * 5.0, 11.0), (16 + s * 12.0, 9.0), (16 + s * 10.0, 13.4), (16 + s * 5.5, 14.6)]
        c.outlined_poly(ear, DEER, NAVY, 1.0)
        c.poly([(16 + s * 6.5, 11.8), (16 + s * 10.4, 10.4), (16 + s * 9.2, 12.6), (16 + s * 6.5, 13.4)],
               DEER_LIGHT)
    # head and muzzle
    c.outlined_ellipse(16, 17.0, 7.0, 8.0, DEER, NAVY, 1.1)
    c.outlined_ellipse(16, 24.0, 6.0, 4.6, DEER_LIGHT, NAVY, 1.1)
    c.poly([(10.2, 20.6), (21.8, 20.6), (21.0, 23.0), (11.0, 23.0)], DEER_LIGHT)
    for s in (-1, 1):
        c.circle(16 + s * 3.4, 15.5, 1.5, NAVY)
        c.circle(16 + s * 3.4 - 0.5, 15.0, 0.5, SNOW)
    # the nose: bright red with a shine and a soft glow
    c.circle(16, 23.0, 6.0, NOSE, alpha=0.22)
    c.outlined_ellipse(16, 23.2, 4.2, 3.6, NOSE, RED_DARK, 1.0)
    c.ellipse(14.6, 22.0, 1.4, 1.0, SNOW)


def i_clock(c):
    c.outlined_ellipse(16, 16, 14, 14, SNOW, NAVY, 2.0)
    for h in range(12):
        a = math.radians(h * 30)
        r0 = 9.6 if h % 3 else 8.6
        c.line((16 + r0 * math.sin(a), 16 - r0 * math.cos(a)),
               (16 + 11.6 * math.sin(a), 16 - 11.6 * math.cos(a)), 1.6 if h % 3 == 0 else 1.0,
               NAVY if h % 3 == 0 else TRAIL, cap='butt')
    # ten past ten is too busy at this size: the hands stand at four o'clock
    c.line((16, 16), (16 + 6.0 * math.sin(math.radians(120)), 16 - 6.0 * math.cos(math.radians(120))),
           2.4, NAVY)
    c.line((16, 16), (16, 5.5), 1.8, NAVY)
    c.circle(16, 16, 1.8, RED)


SCR = (3, 5, 29, 23)      # inside of the little screen


def screen(c, inside=DESK):
    x0, y0, x1, y1 = SCR
    c.rect(13, 24, 19, 28, SCREEN_FRAME)
    c.rect(8, 27, 24, 30, NAVY)
    c.rect(9, 28, 23, 29, SCREEN_FRAME)
    c.rect(x0 - 2, y0 - 2, x1 + 2, y1 + 2, NAVY)
    c.rect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, SCREEN_FRAME)
    c.rect(x0, y0, x1, y1, inside)


def i_stretch(c):
    screen(c)
    x0, y0, x1, y1 = SCR
    mini_picture(c, x0, y0, x1, y1)
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    for sx, sy in [(-1, -1), (1, -1), (-1, 1), (1, 1)]:
        tip = (cx + sx * 11.0, cy + sy * 7.0)
        base = (cx + sx * 3.0, cy + sy * 1.9)
        c.line(base, tip, 3.6, NAVY)
        arrow_head(c, (tip[0] + sx * 1.6, tip[1] + sy * 1.0), (sx * 11, sy * 7), 5.6, NAVY)
        c.line(base, tip, 1.6, SNOW)
        arrow_head(c, (tip[0] + sx * 0.2, tip[1] + sy * 0.1), (sx * 11, sy * 7), 3.6, SNOW)


def i_centre(c):
    screen(c)
    mini_picture(c, 10, 9, 22, 19)
    c.polyline([(9.5, 8.5), (22.5, 8.5), (22.5, 19.5), (9.5, 19.5)], 1.0, SNOW, closed=True)


def i_tile(c):
    screen(c)
    x0, y0, x1, y1 = SCR
    tw, th = (x1 - x0) / 3.0, (y1 - y0) / 2.0
    for j in range(2):
        for i in range(3):
            mini_picture(c, x0 + i * tw, y0 + j * th, x0 + (i + 1) * tw, y0 + (j + 1) * th)
    for i in (1, 2):
        c.line((x0 + i * tw, y0), (x0 + i * tw, y1), 0.6, SNOW, cap='butt', alpha=0.8)
    c.line((x0, y0 + th), (x1, y0 + th), 0.6, SNOW, cap='butt', alpha=0.8)


MASK_TWO = ['.#####.', '##...##', '....##.', '...##..', '..##...', '.##....', '#######']


def i_mask_detail(c):
    """The mask's black shape as the rectangles it is made of."""
    c.rect(2, 2, 31, 31, NAVY)
    c.rect(3, 3, 30, 30, SNOW)
    for j in range(7):
        for i in range(7):
            x, y = 3 + 4 * i, 3 + 4 * j
            c.rect(x, y, x + 3, y + 3, BLACK if MASK_TWO[j][i] == '#' else CELL)


def i_snowman(c):
    c.outlined_ellipse(16, 24, 7.5, 6.5, SNOW, NAVY, 1.2)
    c.outlined_ellipse(16, 13.5, 5.0, 4.6, SNOW, NAVY, 1.2)
    c.rect(10.5, 7.8, 21.5, 9.4, NAVY)
    c.rect(12.5, 1.5, 19.5, 8.6, NAVY)
    c.rect(13.5, 6.0, 18.5, 7.0, RED)
    c.circle(14.3, 12.6, 0.8, NAVY)
    c.circle(17.7, 12.6, 0.8, NAVY)
    c.poly([(16, 14.2), (21.5, 15.4), (16, 15.8)], CARROT)
    for y in (21.5, 25.0):
        c.circle(16, y, 0.9, NAVY)


# --------------------------------------------------------------------------
# Switch pictures, 70 x 37, drawn on the shared framed backdrop.

BW, BH = 70, 37


def snow_dots(c, dots):
    for x, y, r in dots:
        c.circle(x, y, r, SNOW)


def b_snowfall(c):
    snowflake(c, 35, 17.5, 11.5, SNOW, 2.0)
    snowflake(c, 13, 11, 6.0, SNOW, 1.6, branches=False)
    snowflake(c, 58, 24, 6.0, SNOW, 1.6, branches=False)
    snow_dots(c, [(8, 28, 1.5), (20, 24, 1.2), (56, 7, 1.5), (64, 13, 1.2), (50, 31, 1.2),
                  (22, 4, 1.0), (47, 5, 1.0), (27, 32, 1.2), (4.5, 18, 1.0), (64, 32, 1.0)])


def b_sleigh(c):
    for i, x in enumerate((49.0, 33.5)):
        reindeer(c, x, 9.5 - i * 1.5, 1.0)
    c.line((26.0, 19.0), (43.0, 16.6), 0.9, WOOD_DARK)
    sleigh(c, 4.0, 14.5, 1.05)
    snow_dots(c, [(6, 5, 1.0), (20, 6, 1.2), (62, 30, 1.0), (45, 31, 1.2), (30, 32, 1.0)])


def gust(c, y, x0, x1, curl, w=2.0, col=SNOW):
    """A gust line: a long easy curve ending in a curl."""
    pts = [(x0 + (x1 - x0) * t, y + 1.2 * math.sin(t * math.pi * 2)) for t in [i / 30.0 for i in range(31)]]
    ex, ey = pts[-1]
    r = curl
    spiral = [(ex + r * (1 - 0.22 * a) * math.sin(a), ey - r * (1 - 0.22 * a) * (1 - math.cos(a)) - 0.0)
              for a in [i * math.pi / 10 for i in range(1, 26)]]
    c.polyline(pts + spiral, w, col)


def b_wind(c):
    gust(c, 9.5, 5, 44, 4.2)
    gust(c, 19.5, 14, 54, 4.6)
    gust(c, 28.5, 4, 36, 3.6)
    snowflake(c, 58, 9, 4.2, SNOW, 1.5, branches=False)
    snowflake(c, 60, 27, 3.4, SNOW, 1.4, branches=False)
    snow_dots(c, [(49, 31, 1.2), (65, 18, 1.0)])


def b_scenery(c):
    ground = lambda x: 31.0 + 1.2 * math.sin(x * 0.15)
    fir(c, 35, 2, 31, 24)
    fir(c, 15, 14, 19, 15)
    fir(c, 56, 11, 22, 17)
    c.poly([(x, ground(x)) for x in range(0, 71)] + [(70, 37), (0, 37)], SNOW)
    snow_dots(c, [(6, 6, 1.0), (25, 8, 1.2), (49, 5, 1.0), (64, 7, 1.2), (8, 23, 1.0)])


def b_mask_snow(c):
    """The figures 20 of the mask, snow settled inside them from below."""
    def figures(inset):
        m = c.mask()
        sw = 6.5 - 2 * inset
        arc = [(22.5 + 7.5 * math.cos(a), 11.5 - 7.0 * math.sin(a))
               for a in [math.radians(d) for d in range(200, -41, -10)]]
        c.m_polyline(m, arc + [(14.0, 29.5), (31.5, 29.5)], sw, cap='butt')
        c.m_poly(m, [(11.0 + inset, 26.2 + inset), (15.5, 26.2 + inset), (15.5, 32.8 - inset),
                     (11.0 + inset, 32.8 - inset)])
        c.m_poly(m, [(30.0, 26.2 + inset), (34.0 - inset, 26.2 + inset), (34.0 - inset, 32.8 - inset),
                     (30.0, 32.8 - inset)])
        ring = [(50.5 + 8.0 * math.cos(a), 18.0 - 11.8 * math.sin(a))
                for a in [2 * math.pi * i / 48 for i in range(48)]]
        c.m_polyline(m, ring, sw, closed=True)
        return m
    c.paint(figures(0), BLACK)
    shape = figures(1.0)
    level = lambda x: 24.5 + 0.8 * math.sin(x * 0.7) + (1.0 if x > 40 else 0.0)
    xs = [i * 0.5 for i in range(141)]
    snow = c.m_poly(c.mask(), [(x, level(x)) for x in xs] + [(70, 37), (0, 37)])
    shade = c.m_poly(c.mask(), [(x, level(x) + 4.5) for x in xs] + [(70, 37), (0, 37)])
    snow.intersect(shape)
    shade.intersect(shape)
    c.paint(snow, SNOW)
    c.paint(shade, ICE)
    snowflake(c, 5.5, 7.0, 2.8, SNOW, 1.3, branches=False)
    snowflake(c, 64.0, 6.0, 2.8, SNOW, 1.3, branches=False)
    snowflake(c, 38.5, 4.0, 2.2, SNOW, 1.2, branches=False)
    snow_dots(c, [(5, 22, 1.1), (65, 26, 1.1), (40, 19, 1.0)])


def b_ground_snow(c):
    top = lambda x: 22.5 + 2.6 * math.sin(x * 0.13 + 0.3) + 1.0 * math.sin(x * 0.41 + 1.0)
    xs = [i * 0.5 for i in range(141)]
    pts = [(x, top(x)) for x in xs]
    c.poly(pts + [(70, 37), (0, 37)], SNOW)
    shade = [(x, top(x) + 4.5 + 1.5 * math.sin(x * 0.25 + 2.0)) for x in xs]
    c.poly(shade + [(70, 37), (0, 37)], ICE)
    c.polyline(pts, 1.0, (92, 124, 184))
    snowflake(c, 13, 9, 4.6, SNOW, 1.5, branches=False)
    snowflake(c, 46, 6, 3.6, SNOW, 1.4, branches=False)
    snow_dots(c, [(28, 13, 1.3), (59, 15, 1.3), (34, 4, 1.0), (63, 5, 1.0), (5, 17, 1.0),
                  (40, 16, 1.0), (22, 5, 1.0)])


def b_desktop_snow(c):
    """The desktop as it was: two windows, the front one lower down, and a
    taskbar; snow lies on the windows' top edges."""
    c.rect(1, 32, 69, 36, SCREEN_FRAME)
    c.rect(3, 33, 8, 35, PIC_HILL)
    for x0, y0, x1, y1 in [(5, 13, 41, 30), (29, 20, 64, 33)]:
        c.rect(x0, y0, x1, y1, NAVY)
        c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 4, FLAKE)
        c.rect(x1 - 4, y0 + 1.8, x1 - 2.2, y0 + 3.2, SNOW)
        c.rect(x0 + 1, y0 + 4, x1 - 1, y1 - 1, CELL)
        for k, y in enumerate((y0 + 7, y0 + 10, y0 + 13)):
            if y < y1 - 2:
                c.rect(x0 + 3, y, x1 - 6 - 5 * (k % 2), y + 1, ICE_DARK)
        # the snow on its top edge, a little deeper in the middle
        top = lambda x: y0 - 2.6 - 0.9 * math.sin((x - x0) * 0.5 + x0) - 0.8 * math.sin((x - x0) * math.pi / (x1 - x0))
        xs = [x0 + i * 0.5 for i in range(int((x1 - x0) * 2) + 1)]
        pts = [(x, top(x)) for x in xs]
        c.poly(pts + [(x1, y0 + 0.5), (x0, y0 + 0.5)], SNOW)
        c.polyline(pts, 0.9, (92, 124, 184))
    snowflake(c, 55, 8, 3.6, SNOW, 1.4, branches=False)
    snowflake(c, 17, 5, 2.8, SNOW, 1.3, branches=False)
    snow_dots(c, [(33, 5, 1.2), (45, 13, 1.1), (65, 15, 1.0), (4, 8, 1.0), (26, 9, 1.0)])


def b_sleigh_wind(c):
    sleigh(c, 31.0, 11.0, 1.3, tilt=9.0)
    gust(c, 7.0, 2, 27, 3.4, 1.8)
    gust(c, 18.5, 4, 24, 3.0, 1.8)
    gust(c, 31.5, 3, 52, 3.4, 1.8)
    snow_dots(c, [(64, 6, 1.0), (45, 4, 1.2), (66, 29, 1.0)])


# --------------------------------------------------------------------------
# Gust graphs, 70 x 37: strength over time on a little pair of axes.

AX0, AY0 = 5.5, 31.5       # origin of the axes (1 px lines on pixel centres)
LINE_W = 2.0               # 2 px graph line on pixel edges


def axes(c):
    c.line((AX0, AY0), (AX0, 4.0), 1.0, NAVY, cap='butt')
    c.line((AX0, AY0), (66.0, AY0), 1.0, NAVY, cap='butt')
    arrow_head(c, (AX0, 1.5), (0, -1), 3.4, NAVY)
    arrow_head(c, (68.5, AY0), (1, 0), 3.4, NAVY)


def span(c, x0, x1, y):
    """A marked stretch of time: |<---->|."""
    c.line((x0, y - 3), (x0, y + 3), 1.0, MARK, cap='butt')
    c.line((x1, y - 3), (x1, y + 3), 1.0, MARK, cap='butt')
    c.line((x0 + 3, y), (x1 - 3, y), 1.0, MARK, cap='butt')
    arrow_head(c, (x0 + 0.5, y), (-1, 0), 4.0, MARK)
    arrow_head(c, (x1 - 0.5, y), (1, 0), 4.0, MARK)


def graph_line(c, pts):
    c.polyline([(x + 0.7, y + 0.7) for x, y in pts], LINE_W, NAVY, alpha=0.3)
    c.polyline(pts, LINE_W, SNOW, cap='butt')


def b_calm(c):
    axes(c)
    graph_line(c, [(AX0 + 0.5, 28), (50, 28), (55, 9), (66, 9)])
    span(c, 7.5, 48.5, 21.5)


def stairs(n, x0, x1, y0, y1):
    pts = [(x0, y0)]
    sw, sh = (x1 - x0) / float(n), (y1 - y0) / float(n)
    for i in range(n):
        x = int(round(x0 + sw * (i + 0.5)))
        pts += [(x, int(round(y0 + sh * i))), (x, int(round(y0 + sh * (i + 1))))]
    pts.append((x1, y1))
    return pts


def step_graph(c, pts, k):
    """The staircase, its k-th riser drawn in the mark colour with a bracket."""
    graph_line(c, pts)
    (x, ya), (_, yb) = pts[2 * k + 1], pts[2 * k + 2]
    lo, hi = min(ya, yb), max(ya, yb)
    c.rect(x - 1, lo - 1, x + 1, hi + 1, MARK)
    bx = x + 4.5
    c.polyline([(bx - 2.5, lo - 0.5), (bx, lo - 0.5), (bx, hi + 0.5), (bx - 2.5, hi + 0.5)], 1.0, MARK,
               cap='butt')


def b_rise_step(c):
    axes(c)
    step_graph(c, stairs(3, AX0 + 0.5, 66, 28, 7), 1)


def b_fall_step(c):
    axes(c)
    step_graph(c, stairs(3, AX0 + 0.5, 66, 7, 28), 1)


def b_rise_time(c):
    axes(c)
    graph_line(c, [(AX0 + 0.5, 26), (18, 26), (48, 8), (66, 8)])
    dashed(c, (48.5, 11), (48.5, 25.0), 1.0, MARK, 1.0, 1.0)
    span(c, 17.5, 48.5, 28.5)


def b_fall_time(c):
    axes(c)
    graph_line(c, [(AX0 + 0.5, 8), (22, 8), (52, 26), (66, 26)])
    dashed(c, (21.5, 11), (21.5, 25.0), 1.0, MARK, 1.0, 1.0)
    span(c, 21.5, 52.5, 28.5)


def b_gust_max(c):
    axes(c)
    cap = 12
    f = lambda x: 29.0 - 26.0 * (1 - math.exp(-(x - AX0) / 17.0))
    xs = [AX0 + 0.5 + i * 0.5 for i in range(int((66 - AX0 - 0.5) * 2) + 1)]
    free = [(x, f(x)) for x in xs]
    dashed_path(c, [p for p in free if p[1] < cap + 0.5], 1.0, SNOW, 1.2, 1.2)
    graph_line(c, [(x, max(y, cap)) for x, y in free])
    dashed(c, (AX0 + 1, cap - 2.5), (67, cap - 2.5), 1.0, MARK, 2.0, 1.5)
    arrow_head(c, (AX0 + 0.5, cap - 2.5), (-1, 0), 3.4, MARK)


# --------------------------------------------------------------------------
# 16 x 16: drawn pixel by pixel, simpler than the 32 px designs.

PIX = {
    'K': NAVY, 'W': SNOW, 'I': ICE, 'i': ICE_DARK, 'B': FLAKE, 't': TRAIL,
    'R': RED, 'r': RED_DARK, 'N': DEER, 'n': DEER_DARK, 'L': DEER_LIGHT, 'E': NOSE,
    'w': WOOD, 'd': WOOD_DARK, 'Y': GOLD, 'S': PIC_SKY, 'H': PIC_HILL, 'U': PIC_SUN,
    'D': DESK, 'F': SCREEN_FRAME, 'G': GLASS, 'g': GLINT,
    'X': BLACK, 'x': CELL, 'k': SKIN, 'O': CARROT,
}

ICON16 = {
    'many': [
        'B..B..B.........',
        '.B.B.B.....B....',
        '..BBB.....BBB...',
        'BBBBBBB....B....',
        '..BBB...........',
        '.B.B.B......B.B.',
        'B..B..B......B..',
        '............B.B.',
        '..B.............',
        '.BBB....B.B.B...',
        '..B......BBB....',
        '........BBBBB...',
        '.........BBB....',
        '...B....B.B.B...',
        '..B.B...........',
        '...B..........B.',
    ],
    'wobble': [
        '.......t........',
        '.........t......',
        '..........t.....',
        '.........t......',
        '.......t........',
        '.....t..........',
        '....t...........',
        '.....t..........',
        '.......t........',
        '....B..B..B.....',
        '.....B.B.B......',
        '......BBB.......',
        '....BBBBBBB.....',
        '......BBB.......',
        '.....B.B.B......',
        '....B..B..B.....',
    ],
    'drift': [
        't...............',
        '.t..............',
        '................',
        '...t............',
        '....t...........',
        '................',
        '......t.........',
        '.......t........',
        '.........B..B..B',
        '..........B.B.B.',
        '...........BBB..',
        '.........BBBBBBB',
        '...........BBB..',
        '..........B.B.B.',
        '.........B..B..B',
        '................',
    ],
    'speed': [
        '.......t........',
        '...t...t...t....',
        '...t...t...t....',
        '...t...t...t....',
        '...t...t...t....',
        '...t...t...t....',
        '.......t........',
        '................',
        '....B..B..B.....',
        '.....B.B.B......',
        '......BBB.......',
        '....BBBBBBB.....',
        '......BBB.......',
        '.....B.B.B......',
        '....B..B..B.....',
        '................',
    ],
    'window': [
        '...KKKKKKKKKK...',
        '...KWWWWWWWWK...',
        '...KWgGWWgGWK...',
        '...KWGGWWGGWK...',
        '...KWWWWWWWWK...',
        '...KWGGWWGGWK...',
        '...KWGGWWGGWK...',
        '..KKKGGWWGGKKK..',
        '.KWWWKKKKKKWWWK.',
        'KWWWWWWWWWWWWWWK',
        'KIIIIIIIIIIIIIIK',
        'KKKKKKKKKKKKKKKK',
        'KwwwwwwwwwwwwwwK',
        'KKKKKKKKKKKKKKKK',
        '...i...ii...i...',
        '...i....i.......',
    ],
    'ground': [
        '.B.B.B..........',
        '..BBB.....B.....',
        '.BBBBB...BBB....',
        '..BBB.....B.....',
        '.B.B.B..........',
        '..............K.',
        '..KKK..KKK...KKK',
        '.KWWWKKWWWK...K.',
        'KWWWWWWWWWWK..K.',
        'KWWWWWWWWWWK..K.',
        'KWWWWWWWWWWK..K.',
        'KIWWWWWWWWIK..K.',
        'KIIIIIIIIIIK.KKK',
        'KIIIIIIIIIIK..K.',
        'dddddddddddddddd',
        'dddddddddddddddd',
    ],
    'sleigh': [
        '................',
        '................',
        '.........W......',
        '.........RR.....',
        '........RRkW....',
        '..KKK...RRWW....',
        '..KRK..RRRRR..KK',
        'tt.KRKKKKKKKKKRK',
        '...KRRRRRRRRRRK.',
        'ttt.KYYYYYYYYYK.',
        '....KRRRRRRRRK..',
        'tt...KKKKKKKK...',
        '......d.....d..d',
        '...dddddddddddd.',
        '................',
        '................',
    ],
    'rednose': [
        '.n.n........n.n.',
        '.n.n.n....n.n.n.',
        '..nnn......nnn..',
        '...nn......nn...',
        '....n.KKKK.n....',
        '.KKKKKNNNNKKKKK.',
        'KLLNKNNNNNNKNLLK',
        '.KKKNKNNNNKNKKK.',
        '...KNWKNNKWNK...',
        '...KNNNNNNNNK...',
        '....KNNNNNNK....',
        '....KLKKKKLK....',
        '...KLKEEEEKLK...',
        '...KLKEWEEKLK...',
        '....KKEEEEKK....',
        '......KKKK......',
    ],
    'clock': [
        '.....KKKKKK.....',
        '...KKWWKKWWKK...',
        '..KWWWWKKWWWWK..',
        '.KWWWWWKKWWWWWK.',
        '.KWWWWWKKWWWWWK.',
        'KWWWWWWKKWWWWWWK',
        'KWWWWWWKKWWWWWWK',
        'KKKWWWWRRWWWWKKK',
        'KKKWWWWRRKWWWKKK',
        'KWWWWWWWWKKWWWWK',
        'KWWWWWWWWWKKWWWK',
        '.KWWWWWWWWWWWWK.',
        '.KWWWWWWWWWWWWK.',
        '..KWWWWWWWWWWK..',
        '...KKWWKKWWKK...',
        '.....KKKKKK.....',
    ],
    'stretch': [
        'KKKKKKKKKKKKKKKK',
        'KSSSSSSSSSSSUSSK',
        'KSWWWSSSSSSWWWSK',
        'KSWWSSSSSSSSWWSK',
        'KSWSWSSSSSSWSWSK',
        'KSSSSWSSSSWSSSSK',
        'KHHHHWHSSSWSSSSK',
        'KHWHWHHHSHHWSWHK',
        'KHWWHHHHHHHHWWHK',
        'KHWWWHHHHHHWWWHK',
        'KHHHHHHHHHHHHHHK',
        'KKKKKKKKKKKKKKKK',
        '.......KK.......',
        '.......KK.......',
        '....KKKKKKKK....',
        '................',
    ],
    'centre': [
        'KKKKKKKKKKKKKKKK',
        'KDDDDDDDDDDDDDDK',
        'KDDDDDDDDDDDDDDK',
        'KDDDWWWWWWWWDDDK',
        'KDDDWSSSSSUWDDDK',
        'KDDDWSSSSSSWDDDK',
        'KDDDWHHSSSSWDDDK',
        'KDDDWHHHHHHWDDDK',
        'KDDDWWWWWWWWDDDK',
        'KDDDDDDDDDDDDDDK',
        'KDDDDDDDDDDDDDDK',
        'KKKKKKKKKKKKKKKK',
        '.......KK.......',
        '.......KK.......',
        '....KKKKKKKK....',
        '................',
    ],
    'tile': [
        'KKKKKKKKKKKKKKKK',
        'KSSSUSSSSUSSSSUK',
        'KSSSSSSSSSSSSSSK',
        'KSSSSSSSSSSSSSSK',
        'KHHSSSHHSSSHHSSK',
        'KHHHHHHHHHHHHHHK',
        'KSSSUSSSSUSSSSUK',
        'KSSSSSSSSSSSSSSK',
        'KSSSSSSSSSSSSSSK',
        'KHHSSSHHSSSHHSSK',
        'KHHHHHHHHHHHHHHK',
        'KKKKKKKKKKKKKKKK',
        '.......KK.......',
        '.......KK.......',
        '....KKKKKKKK....',
        '................',
    ],
    'mask': [
        'KKKKKKKKKKKKKKKK',
        'KXXxXXxXXxXXxxxK',
        'KXXxXXxXXxXXxxxK',
        'KxxxxxxxxxxxxxxK',
        'KxxxxxxxxxxxxXXK',
        'KxxxxxxxxxxxxXXK',
        'KxxxxxxxxxxxxxxK',
        'KxxxXXxXXxXXxxxK',
        'KxxxXXxXXxXXxxxK',
        'KxxxxxxxxxxxxxxK',
        'KXXxxxxxxxxxxxxK',
        'KXXxxxxxxxxxxxxK',
        'KxxxxxxxxxxxxxxK',
        'KXXxXXxXXxXXxXXK',
        'KXXxXXxXXxXXxXXK',
        'KKKKKKKKKKKKKKKK',
    ],
    'snowman': [
        '.....KKKKKK.....',
        '......KKKK......',
        '......KKKK......',
        '....KKKKKKKK....',
        '.....KWWWWK.....',
        '....KWKWWKWK....',
        '....KWWOOOWK....',
        '.....KWWWWK.....',
        '....KKWWWWKK....',
        '...KWWWWWWWWK...',
        '..KWWWWKWWWWWK..',
        '..KWWWWWWWWWWK..',
        '..KWWWWKWWWWWK..',
        '..KIWWWWWWWWIK..',
        '...KIIIIIIIIK...',
        '....KKKKKKKK....',
    ],
}
for _name, _rows in ICON16.items():
    assert len(_rows) == 16 and all(len(r) == 16 for r in _rows), _name


# --------------------------------------------------------------------------
# What is written.

ICONS = [
    # id, file name, 16 px design, 32 px design
    (1020, 'flake-count', 'many', i_many),
    (1021, 'flake-wobble', 'wobble', i_wobble),
    (1022, 'flake-drift', 'drift', i_drift),
    (1023, 'flake-speed', 'speed', i_speed),
    (514, 'window-snow-depth', 'window', i_window),
    (1025, 'ground-snow-depth', 'ground', i_ground),
    (1026, 'sleigh-speed', 'sleigh', i_sleigh_speed),
    (522, 'red-nose', 'rednose', i_red_nose),
    (153, 'frame-period', 'clock', i_clock),
    (1106, 'picture-stretched', 'stretch', i_stretch),
    (1107, 'picture-centred', 'centre', i_centre),
    (1108, 'picture-tiled', 'tile', i_tile),
    (1111, 'mask-detail', 'mask', i_mask_detail),
    (152, 'snowman', 'snowman', i_snowman),
]

SWITCHES = [
    (133, 'snowfall', b_snowfall),
    (134, 'sleigh', b_sleigh),
    (135, 'wind', b_wind),
    (136, 'scenery', b_scenery),
    (137, 'mask-snow', b_mask_snow),
    (138, 'ground-snow', b_ground_snow),
    (139, 'sleigh-in-wind', b_sleigh_wind),
    (140, 'desktop-snow', b_desktop_snow),
    (181, 'gust-pause', b_calm),
    (176, 'gust-rise-step', b_rise_step),
    (180, 'gust-rise-time', b_rise_time),
    (177, 'gust-fall-step', b_fall_step),
    (182, 'gust-fall-time', b_fall_time),
    (178, 'gust-maximum', b_gust_max),
]

SLEIGH_SIZES = [
    (143, 'small', 56, 8),
    (142, 'medium', 88, 17),
    (141, 'large', 177, 34),
]

# (size, bits) of every icon entry, in file order
ICON_ENTRIES = [(16, 4), (32, 4), (16, 8), (32, 8), (48, 8), (16, 32), (32, 32), (48, 32)]


def icon_images(design16, design32):
    small = pixel_art(ICON16[design16], PIX)
    big = {}
    for size in (32, 48):
        c = Canvas(size, size, 4, size / 32.0)
        design32(c)
        big[size] = c.image()
    return [(small if size == 16 else big[size], bits) for size, bits in ICON_ENTRIES]


def switch_image(draw):
    c = Canvas(BW, BH, 4)
    backdrop(c, BW, BH)
    draw(c)
    frame(c, BW, BH)
    return c.image()


def sprite_paths(size):
    base = os.path.join(SPRITE_DIR, 'sleigh-%s-plain-0' % size)
    return base + '.bmp', base + '-mask.bmp'


def sleigh_picture(size, w, h):
    """The sleigh sprite of that size laid over the shared backdrop, the
    frame drawn where the sprite leaves it free. None while the sprite is
    not there yet."""
    img_path, mask_path = sprite_paths(size)
    if not (os.path.exists(img_path) and os.path.exists(mask_path)):
        return None
    sw, sh, _, _, spr = read_bmp(img_path)
    mw, mh, mbits, _, msk = read_bmp(mask_path)
    assert (sw, sh) == (mw, mh) and mbits == 1, (img_path, mask_path)
    c = Canvas(w, h, 1)
    backdrop(c, w, h)
    frame(c, w, h)
    pic = c.image()
    ox, oy = (w - sw) // 2, (h - sh) // 2
    rows = [list(r) for r in pic.rows]
    for y in range(sh):
        for x in range(sw):
            if msk[y][x] == (255, 255, 255) and 0 <= x + ox < w and 0 <= y + oy < h:
                rows[y + oy][x + ox] = spr[y][x] + (255,)
    return Image(w, h, rows)


def sleigh_placeholder(w, h):
    """Stand-in until the sleigh sprites exist: my own sleigh, striped."""
    c = Canvas(w, h, 4)
    backdrop(c, w, h)
    k = min((w - 2) / 23.0, (h - 2) / 15.0)
    sleigh(c, (w - 22 * k) / 2.0, (h - 14.0 * k) / 2.0 + 3.5 * k, k, santa=h >= 17)
    for x in range(-h, w, 8):
        c.line((x, h), (x + h, 0), 1.0, (255, 0, 255), alpha=0.5)
    frame(c, w, h)
    return c.image()


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def check_ico(path):
    entries = read_ico(path)
    got = [(w, bits) for w, h, bits, _, _ in entries]
    assert got == ICON_ENTRIES, (path, got)
    return entries


def check_bmp(path, w, h):
    bw, bh, bits, hsize, rows = read_bmp(path)
    assert (bw, bh, bits, hsize) == (w, h, 24, 40), (path, bw, bh, bits, hsize)
    with open(path, 'rb') as f:
        data = f.read()
    height = struct.unpack_from('<i', data, 22)[0]
    comp = struct.unpack_from('<I', data, 30)[0]
    assert height > 0 and comp == 0, path       # bottom-up, uncompressed
    assert len(data) == 54 + ((w * 3 + 3) & ~3) * h, path
    return rows


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    written = []
    icons = []
    for rid, name, d16, d32 in ICONS:
        path = os.path.join(OUT_DIR, '%d-%s.ico' % (rid, name))
        write(path, ico_file(icon_images(d16, d32)))
        icons.append(('%d %s' % (rid, name), check_ico(path)))
        written.append(path)
    bitmaps = []
    for rid, name, draw in SWITCHES:
        path = os.path.join(OUT_DIR, '%d-%s.bmp' % (rid, name))
        write(path, bmp_file(switch_image(draw)))
        bitmaps.append(('%d %s' % (rid, name), BW, BH, check_bmp(path, BW, BH)))
        written.append(path)
    placeholders = []
    for rid, size, w, h in SLEIGH_SIZES:
        path = os.path.join(OUT_DIR, '%d-sleigh-%s.bmp' % (rid, size))
        img = sleigh_picture(size, w, h)
        if img is None:
            img = sleigh_placeholder(w, h)
            placeholders.append(path)
        write(path, bmp_file(img))
        bitmaps.append(('%d sleigh-%s' % (rid, size), w, h, check_bmp(path, w, h)))
        written.append(path)
    program = os.path.join(ROOT, 'resources', 'nivalo.ico')
    if os.path.exists(program):
        icons.append(('1 program icon', read_ico(program)))
    write(SHEET, png_file(contact_sheet(icons, bitmaps)))
    written.append(SHEET)
    for path in written:
        print(os.path.relpath(path, ROOT))
    for path in placeholders:
        print('placeholder (no sleigh sprite yet): %s' % os.path.relpath(path, ROOT))


# --------------------------------------------------------------------------
# The contact sheet.

GREYS = (192, 240)
PAGE = (255, 255, 255)
INK = (20, 20, 30)
LABEL_W = 150


def contact_sheet(icons, bitmaps):
    gap = 6
    one = sum(w for w, _ in ICON_ENTRIES) + gap * len(ICON_ENTRIES)
    panel_w = 8 + one + 14 + 2 * one + 8
    row_h = 2 * 48 + 16
    icons_w = LABEL_W + 2 * (panel_w + 10)
    # bitmaps: label above; 1x on each grey, then 2x
    cells = []
    for label, w, h, rows in bitmaps:
        cells.append((label, w, h, rows, 8 + w + 8 + w + 8 + 2 * w + 8, 12 + 2 * h + 12))
    width = max(icons_w, 900)
    layout, x, y, line_h = [], 10, 0, 0
    for cell in cells:
        if x + cell[4] > width - 10:
            x, y = 10, y + line_h + 8
            line_h = 0
        layout.append((cell, x, y))
        x += cell[4] + 10
        line_h = max(line_h, cell[5])
    bitmaps_h = y + line_h
    top = 44
    height = top + len(icons) * (row_h + 6) + 30 + bitmaps_h + 20
    sh = Sheet(width, height, PAGE)
    sh.text(10, 8, 'NIVALO DIALOG PICTURES - 1X AND 2X', INK)
    heads = []
    for size, bits in ICON_ENTRIES:
        heads.append('%d' % bits)
    for p, grey in enumerate(GREYS):
        px = LABEL_W + p * (panel_w + 10)
        sh.text(px + 8, top - 12, 'ON GREY %d - 1X THEN 2X: 4-BIT 16 32, 8-BIT 16 32 48, 32-BIT 16 32 48'
                % grey, INK)
    y = top
    for label, entries in icons:
        sh.text(10, y + row_h // 2 - 10, label.split(' ')[0], INK)
        sh.text(10, y + row_h // 2 + 2, label.split(' ', 1)[1], INK)
        for p, grey in enumerate(GREYS):
            px = LABEL_W + p * (panel_w + 10)
            sh.fill(px, y, px + panel_w, y + row_h, (grey,) * 3)
            x = px + 8
            for zoom in (1, 2):
                for e in entries:
                    img = ico_over(e, grey)
                    sh.paste(img, x, y + 8, zoom)
                    x += img.w * zoom + gap
                x += 14
        y += row_h + 6
    y += 24
    for (label, w, h, rows, cw, chh), x, cy in layout:
        sh.text(x, y + cy, label, INK)
        img = Image(w, h, [[tuple(p) + (255,) for p in r] for r in rows])
        bx = x
        for grey in GREYS:
            sh.fill(bx, y + cy + 10, bx + w + 16, y + cy + 10 + h + 16, (grey,) * 3)
            sh.paste(img, bx + 8, y + cy + 18, 1)
            bx += w + 8
        sh.paste(img, bx + 16, y + cy + 10, 2)
    return sh.image()


if __name__ == '__main__':
    main()
