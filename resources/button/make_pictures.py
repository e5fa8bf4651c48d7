#!/usr/bin/env python3
"""Draws the five 32 x 32 button pictures (add, browse, cancel, delete, download) as PNG files,
and each again at twice the size for high-density screens (NAME@2x.png, 64 x 64): the same shapes
sampled at twice the density, not the small picture enlarged.

Everything outside a shape is the mask colour, pure green, which the button leaves transparent.
Edges are hard (no blending with the green), so no fringe of mask colour shows. Only the standard
library is used. Run: python3 make_pictures.py [output folder]
"""
import math
import os
import struct
import sys
import zlib

SIZE = 32
MASK = (0, 255, 0)
# Pixels per unit of the 32 x 32 design; main() draws at 1 and at 2.
SCALE = 1


def new_canvas():
    n = SIZE * SCALE
    return [[MASK for _ in range(n)] for _ in range(n)]


def shade(color, y, top, bottom, amount=0.35):
    """Lighter at the top of a shape, darker at the bottom: a soft glossy ramp."""
    t = 0.0 if bottom <= top else (y - top) / (bottom - top)
    k = amount * (0.5 - t)
    out = []
    for c in color:
        v = c + (255 - c) * k if k > 0 else c * (1 + k)
        out.append(max(0, min(255, int(round(v)))))
    # Never produce the mask colour by accident.
    return tuple(out) if tuple(out) != MASK else (1, 254, 1)


def fill(canvas, inside, color, gloss=True):
    n = SIZE * SCALE
    hit = lambda x, y: inside((x + 0.5) / SCALE, (y + 0.5) / SCALE)
    ys = [y for y in range(n) for x in range(n) if hit(x, y)]
    if not ys:
        return
    top, bottom = min(ys), max(ys)
    for y in range(n):
        for x in range(n):
            if hit(x, y):
                canvas[y][x] = shade(color, y, top, bottom) if gloss else color


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(l, t, r, b):
    return lambda x, y: l <= x < r and t <= y < b


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
        return hit
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def thick_line(x1, y1, x2, y2, w):
    dx, dy = x2 - x1, y2 - y1
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * w / 2, dx / length * w / 2
    return polygon([(x1 + nx, y1 + ny), (x2 + nx, y2 + ny), (x2 - nx, y2 - ny), (x1 - nx, y1 - ny)])


def grow(points, cx, cy, by):
    out = []
    for x, y in points:
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy) or 1
        out.append((x + dx / d * by, y + dy / d * by))
    return out


def draw_add(c):
    fill(c, circle(16, 16, 14.5), (30, 70, 140), gloss=False)
    fill(c, circle(16, 16, 13.3), (60, 130, 220))
    fill(c, union(rect(14, 7, 18, 25), rect(7, 14, 25, 18)), (255, 255, 255), gloss=False)


def draw_browse(c):
    outline = (130, 90, 10)
    back = polygon([(2, 7), (12, 7), (14, 10), (29, 10), (29, 27), (2, 27)])
    fill(c, back, outline, gloss=False)
    fill(c, polygon([(3, 8), (11.5, 8), (13.5, 11), (28, 11), (28, 26), (3, 26)]), (240, 190, 60))
    front = polygon([(5, 14), (31, 14), (28, 27), (2, 27)])
    fill(c, front, outline, gloss=False)
    fill(c, polygon([(6, 15), (29.7, 15), (27.2, 26), (3.3, 26)]), (255, 215, 90))


def draw_cancel(c):
    octagon = [(16 + 14.5 * math.cos(math.radians(22.5 + 45 * i)),
                16 + 14.5 * math.sin(math.radians(22.5 + 45 * i))) for i in range(8)]
    fill(c, polygon(octagon), (110, 10, 10), gloss=False)
    fill(c, polygon(grow(octagon, 16, 16, -1.3)), (215, 40, 40))
    fill(c, rect(8, 14, 24, 18), (255, 255, 255), gloss=False)


def draw_delete(c):
    outline = (50, 50, 60)
    fill(c, rect(6, 7, 26, 11), outline, gloss=False)            # lid
    fill(c, rect(7, 8, 25, 10), (170, 175, 190), gloss=False)
    fill(c, rect(12, 4, 20, 8), outline, gloss=False)            # handle
    fill(c, rect(14, 5, 18, 7), (170, 175, 190), gloss=False)
    body = polygon([(7, 11), (25, 11), (23, 29), (9, 29)])
    fill(c, body, outline, gloss=False)
    fill(c, polygon([(8.3, 12), (23.7, 12), (22, 28), (10, 28)]), (150, 160, 180))
    for x in (12, 16, 20):
        fill(c, rect(x - 0.5, 14, x + 1, 26), (90, 95, 110), gloss=False)


def draw_download(c):
    outline = (20, 60, 120)
    arrow = [(12, 2), (20, 2), (20, 12), (26, 12), (16, 23), (6, 12), (12, 12)]
    fill(c, polygon(arrow), outline, gloss=False)
    fill(c, polygon([(13, 3), (19, 3), (19, 13), (23.6, 13), (16, 21.5), (8.4, 13), (13, 13)]), (70, 150, 235))
    fill(c, rect(3, 24, 29, 30), outline, gloss=False)
    fill(c, rect(4, 25, 28, 29), (120, 130, 145))


def write_png(path, canvas):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in canvas)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    n = len(canvas)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    global SCALE
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for scale, suffix in ((1, ""), (2, "@2x")):
        SCALE = scale
        for name, draw in (("add", draw_add), ("browse", draw_browse), ("cancel", draw_cancel),
                           ("delete", draw_delete), ("download", draw_download)):
            canvas = new_canvas()
            draw(canvas)
            write_png(os.path.join(out, name + suffix + ".png"), canvas)


if __name__ == "__main__":
    main()
