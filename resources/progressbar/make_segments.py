#!/usr/bin/env python3
"""Writes the progress bar's sixteen segment bitmaps (PRG10.bmp ... PRG81.bmp) beside this script.

Each colour set is a glossy band of ten row colours. "PRGn0" is the horizontal segment, 8 x 10
pixels, every column carrying the ten rows from top to bottom. "PRGn1" is the vertical segment,
10 x 8 pixels: the horizontal one turned a quarter turn, so its columns from left to right carry
the rows from bottom to top. All are 24 bits per pixel, uncompressed.

For screens of twice the density each is drawn again at twice the size ("PRGn0@2x.bmp", 16 x 20,
and "PRGn1@2x.bmp", 20 x 16): the band sampled at twice the density, each row blended from the two
design rows nearest to it, so the gloss runs in steps of half a pixel instead of doubled rows.

Run it again after changing a colour; the bitmaps are committed beside it.
"""

import os
import struct

# Row colours, top to bottom, as RGB hexadecimal.
COLOUR_SETS = {
    1: "90E890 7FE07F 60D86F 4FD850 30D03F 2FD02F 2FD030 40D040 5FD85F 70E070",  # green
    2: "4098FF 3098FF 2090FF 0080FF 0078F0 0070EF 0078F0 0080FF 2090FF 3098FF",  # blue
    3: "5F90BF 4080AF 306890 20587F 104850 104030 104040 1F506F 2F608F 3F78A0",  # steel blue
    4: "EFD0A0 E0C87F DFB850 DFB02F DFA82F DFA82F DFA82F DFA82F DFB84F E0C070",  # amber
    5: "90B08F A0D09F C0E0BF A0D09F 8FB880 80A870 70A06F 80A870 8FB880 9FC88F",  # sage green
    6: "CECECE B7B7B7 A4A4A4 8F8F8F 7A7A7A 6E6E6E 737373 828282 979797 AAAAAA",  # grey
    7: "FFE998 FFE581 FFE06C FFDB54 FFD63D FFD331 FFD435 FFD848 FFDE60 FFE279",  # yellow
    8: "EFA87F EF986F E08850 E08040 E08040 E0804F E0905F EF9870 EFA880 EFB89F",  # orange
}

SEGMENT_LENGTH = 8


def bmp_bytes(pixels):
    """pixels: rows from top to bottom, each a list of (r, g, b)."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # BMP rows run bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + bytes(body)


def parse_rows(text):
    return [tuple(int(h[i:i + 2], 16) for i in (0, 2, 4)) for h in text.split()]


def dense_rows(rows, scale):
    """The band sampled `scale` times as densely: each row at its centre, blended linearly between
    the two design rows whose centres lie around it (the outermost rows keep their colour)."""
    out = []
    for y in range(len(rows) * scale):
        t = (y + 0.5) / scale - 0.5
        i = max(0, min(len(rows) - 1, int(t // 1)))
        j = min(len(rows) - 1, i + 1)
        f = max(0.0, min(1.0, t - i))
        out.append(tuple(int(round(a + (b - a) * f)) for a, b in zip(rows[i], rows[j])))
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for number, text in COLOUR_SETS.items():
        design = parse_rows(text)
        assert len(design) == 10
        for scale, suffix in ((1, ""), (2, "@2x")):
            rows = dense_rows(design, scale)
            length = SEGMENT_LENGTH * scale
            horizontal = [[colour] * length for colour in rows]
            vertical = [list(reversed(rows)) for _ in range(length)]
            for digit, pixels in (("0", horizontal), ("1", vertical)):
                with open(os.path.join(here, "PRG%d%s%s.bmp" % (number, digit, suffix)), "wb") as f:
                    f.write(bmp_bytes(pixels))


if __name__ == "__main__":
    main()
