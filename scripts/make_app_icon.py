#!/usr/bin/env python3
"""Draws Brenlow's window icon "AAA" (a blue rounded tile with a white download arrow over a tray)
at several sizes and writes them as PNG files into resources/app/. Pure Python, no libraries."""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "app")
SIZES = (16, 32, 48, 64, 128)
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


# Shapes in a unit square (0..1).
ARROW = [(0.40, 0.16), (0.60, 0.16), (0.60, 0.44), (0.75, 0.44), (0.50, 0.70), (0.25, 0.44), (0.40, 0.44)]


def sample(u, v):
    """Colour (r, g, b, a) of the icon at unit coordinates."""
    if not inside_round_rect(u, v, 0.04, 0.04, 0.96, 0.96, 0.18):
        return (0, 0, 0, 0)
    if inside_polygon(u, v, ARROW):
        return (255, 255, 255, 255)
    # The tray: a U under the arrow.
    tray_outer = inside_round_rect(u, v, 0.20, 0.58, 0.80, 0.84, 0.06)
    tray_inner = inside_round_rect(u, v, 0.29, 0.52, 0.71, 0.76, 0.03)
    if tray_outer and not tray_inner:
        return (255, 214, 90, 255)
    t = v  # vertical gradient from light to deep blue
    r = int(74 + (24 - 74) * t)
    g = int(144 + (78 - 144) * t)
    b = int(226 + (170 - 226) * t)
    # A soft highlight on the upper half.
    if v < 0.45 and inside_round_rect(u, v, 0.08, 0.08, 0.92, 0.5, 0.15):
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


def main():
    os.makedirs(OUT, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(OUT, "aaa-%d.png" % size), "wb") as f:
            f.write(png(size, render(size)))


if __name__ == "__main__":
    main()
