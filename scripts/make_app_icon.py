#!/usr/bin/env python3
"""Draws Brenlow's window icon "AAA" (a blue rounded tile with a white download arrow over a tray)
at each size it is shown in and writes it as PNG files into resources/app/ (16 to 128 pixels, the
window's) and resources/icons/ (256 pixels, and brenlow.svg, the same shapes for any size: the
icon the desktop's menu shows). Pure Python, no libraries."""
import math
import os
import struct
import zlib

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
OUT = os.path.join(RESOURCES, "app")
SIZES = (16, 32, 48, 64, 128)
LARGE = 256
SS = 4  # supersampling per axis


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1


def inside_polygon(x, y, pts):
    inside = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# Shapes in a unit square (0..1), shared by the pixel renderer and the SVG.
TILE = (0.04, 0.04, 0.96, 0.96, 0.18)
HIGHLIGHT = (0.08, 0.08, 0.92, 0.5, 0.15)
HIGHLIGHT_BOTTOM = 0.45
TRAY_OUTER = (0.20, 0.58, 0.80, 0.84, 0.06)
TRAY_INNER = (0.29, 0.52, 0.71, 0.76, 0.03)
TOP, BOTTOM = (74, 144, 226), (24, 78, 170)  # the tile's vertical gradient
TRAY = (255, 214, 90)
ARROW = [(0.40, 0.16), (0.60, 0.16), (0.60, 0.44), (0.75, 0.44), (0.50, 0.70), (0.25, 0.44), (0.40, 0.44)]


def sample(u, v):
    """Colour (r, g, b, a) of the icon at unit coordinates."""
    if not inside_round_rect(u, v, *TILE):
        return (0, 0, 0, 0)
    if inside_polygon(u, v, ARROW):
        return (255, 255, 255, 255)
    # The tray: a U under the arrow.
    tray_outer = inside_round_rect(u, v, *TRAY_OUTER)
    tray_inner = inside_round_rect(u, v, *TRAY_INNER)
    if tray_outer and not tray_inner:
        return TRAY + (255,)
    t = v  # vertical gradient from light to deep blue
    r, g, b = (int(a + (z - a) * t) for a, z in zip(TOP, BOTTOM))
    # A soft highlight on the upper half.
    if v < HIGHLIGHT_BOTTOM and inside_round_rect(u, v, *HIGHLIGHT):
        r, g, b = (min(255, c + 18) for c in (r, g, b))
    return (r, g, b, 255)


def render(size):
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    u = (x + (sx + 0.5) / SS) / size
                    v = (y + (sy + 0.5) / SS) / size
                    c = sample(u, v)
                    a = c[3]
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += a
            n = SS * SS
            a = acc[3]
            if a == 0:
                row += bytes(4)
            else:
                row += bytes([acc[0] // a, acc[1] // a, acc[2] // a, a // n])
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, raw):
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    head = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def svg():
    """The same icon as vector shapes on a 256 x 256 canvas."""
    n = LARGE

    def rr(x0, y0, x1, y1, r, extra=""):
        return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g"%s/>' % (
            x0 * n, y0 * n, (x1 - x0) * n, (y1 - y0) * n, r * n, extra)

    def rgb(c, lift=0):
        return "#%02x%02x%02x" % tuple(min(255, v + lift) for v in c)

    arrow = " ".join("%g,%g" % (x * n, y * n) for x, y in ARROW)
    return "\n".join([
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % (n, n, n, n),
        "<defs>",
        '<linearGradient id="tile" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="%d">' % n,
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>' % (rgb(TOP), rgb(BOTTOM)),
        "</linearGradient>",
        '<linearGradient id="lit" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="%d">' % n,
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>' % (rgb(TOP, 18), rgb(BOTTOM, 18)),
        "</linearGradient>",
        '<clipPath id="upper"><rect x="0" y="0" width="%d" height="%g"/></clipPath>' % (n, HIGHLIGHT_BOTTOM * n),
        '<mask id="tray" maskUnits="userSpaceOnUse" x="0" y="0" width="%d" height="%d">' % (n, n),
        rr(*TRAY_OUTER, extra=' fill="#fff"'),
        rr(*TRAY_INNER, extra=' fill="#000"'),
        "</mask>",
        "</defs>",
        rr(*TILE, extra=' fill="url(#tile)"'),
        rr(*HIGHLIGHT, extra=' fill="url(#lit)" clip-path="url(#upper)"'),
        rr(*TRAY_OUTER, extra=' fill="%s" mask="url(#tray)"' % rgb(TRAY)),
        '<polygon points="%s" fill="#ffffff"/>' % arrow,
        "</svg>",
        "",
    ])


def main():
    os.makedirs(OUT, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(OUT, "aaa-%d.png" % size), "wb") as f:
            f.write(png(size, render(size)))
    icons = os.path.join(RESOURCES, "icons")
    with open(os.path.join(icons, "brenlow.png"), "wb") as f:
        f.write(png(LARGE, render(LARGE)))
    with open(os.path.join(icons, "brenlow.svg"), "w") as f:
        f.write(svg())


if __name__ == "__main__":
    main()
