#!/usr/bin/env python3
"""Draws the program icon (a memory chip with a transfer arrow) and writes it as a Windows
.ico holding 16, 32 and 48 pixel images in 32-bit colour with alpha.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZES = (16, 32, 48)
SUBSAMPLES = 4

BODY = (0x1E, 0x3A, 0x8A)
PIN = (0xB0, 0xB4, 0xBC)
ARROW = (0xFF, 0xFF, 0xFF)
NOTCH = (0x5A, 0x78, 0xC8)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (x - q[0]) * (p[1] - q[1]) - (p[0] - q[0]) * (y - q[1])

    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def colour_at(x, y):
    """Colour of the point (x, y) of the unit square, or None where the icon is transparent."""
    if in_triangle(x, y, (0.54, 0.30), (0.54, 0.70), (0.76, 0.50)) or (
        0.26 <= x <= 0.55 and 0.43 <= y <= 0.57
    ):
        return ARROW
    if (x - 0.5) ** 2 + (y - 0.12) ** 2 <= 0.07 ** 2:
        return NOTCH
    if in_rounded_rect(x, y, 0.18, 0.08, 0.82, 0.92, 0.08):
        return BODY
    for centre in (0.25, 0.42, 0.58, 0.75):
        if abs(y - centre) <= 0.05 and (0.04 <= x <= 0.2 or 0.8 <= x <= 0.96):
            return PIN
    return None


def render(size):
    """Rows of (b, g, r, a) from the top, each pixel averaged over SUBSAMPLES^2 points."""
    rows = []
    n = SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += c[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (t // hits for t in total)
                row.append((b, g, r, 255 * hits // (n * n)))
        rows.append(row)
    return rows


def dib(size):
    """The icon image: BITMAPINFOHEADER of double height, bottom-up BGRA pixels, AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(v for px in row for v in px) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [dib(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
