#!/usr/bin/env python3
"""Writes the installer's icon: a radio mast on a hill, sending waves.

    make_icon.py OUT.ico

The icon holds two images, 32x32 and 16x16, each with 16 colours (the
standard VGA palette, which every Windows version shows unchanged) and a
transparency mask. Both are drawn from code, so the file is the same on every
run and every machine.
"""

import argparse
import math
import struct
import sys

# The 16-colour VGA palette as (red, green, blue), in its usual index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY = 0, 1, 2, 3, 4
SILVER, GRAY, RED, LIME, YELLOW, BLUE, WHITE = 7, 8, 9, 10, 11, 12, 15

TRANSPARENT = None


class Canvas:
    """A square grid of palette indexes; None marks a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.px = [[TRANSPARENT] * size for _ in range(size)]

    def set(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = colour

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham line, both end points included."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.set(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def arc(self, cx, cy, r, start_deg, end_deg, colour):
        """Arc of radius r around (cx, cy); angles counted from +x towards -y (up)."""
        steps = max(8, int(r * abs(end_deg - start_deg) / 10))
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            self.set(int(round(cx + r * math.cos(a))), int(round(cy - r * math.sin(a))), colour)


def draw_mast(size):
    """Draws the motif on a size x size canvas (size 32 or 16)."""
    c = Canvas(size)
    s = size / 32.0

    def p(v):
        return int(round(v * s))

    # Hill: a filled arc of ground across the bottom with a lighter crest.
    for x in range(size):
        t = (x + 0.5) / size - 0.5
        top = p(26.5 + 10.0 * t * t)
        for y in range(top, size):
            c.set(x, y, GREEN)
        c.set(x, top, LIME)

    # Lattice tower: two legs narrowing towards the top, with cross bracing.
    base_y, top_y = p(28), p(9)
    half_base, half_top = 7.0 * s, 1.5 * s
    mid = size // 2
    left = lambda y: int(round(mid - 0.5 - half_top - (half_base - half_top) * (y - top_y) / (base_y - top_y)))
    right = lambda y: int(round(mid - 0.5 + half_top + (half_base - half_top) * (y - top_y) / (base_y - top_y))) + 1
    c.line(left(base_y), base_y, left(top_y), top_y, MAROON)
    c.line(right(base_y), base_y, right(top_y), top_y, MAROON)
    panels = 3 if size >= 32 else 2
    ys = [int(round(base_y - (base_y - top_y) * i / panels)) for i in range(panels + 1)]
    for y0, y1 in zip(ys, ys[1:]):
        c.line(left(y0), y0, right(y1), y1, MAROON)
        c.line(right(y0), y0, left(y1), y1, MAROON)
        c.line(left(y1), y1, right(y1), y1, MAROON)

    # Mast above the tower with its warning light.
    mast_top = p(4)
    c.line(mid, top_y, mid, mast_top, GRAY)
    c.set(mid, mast_top - 1, RED)
    if size >= 32:
        c.set(mid - 1, mast_top - 1, RED)
        c.set(mid, mast_top - 2, RED)
        c.line(mid - 1, top_y, mid - 1, mast_top, SILVER)

    # Radio waves spreading to both sides from the top of the mast.
    cx, cy = mid, mast_top + p(2)
    radii = (5, 9, 13) if size >= 32 else (3, 6)
    colours = (BLUE, BLUE, NAVY) if size >= 32 else (BLUE, NAVY)
    for r, colour in zip(radii, colours):
        c.arc(cx, cy, r, -35, 35, colour)
        c.arc(cx - 1, cy, r, 145, 215, colour)
    return c


def dib_image(canvas):
    """The icon image resource for one canvas: header, palette, colours, mask."""
    size = canvas.size
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):          # bottom-up rows
        row = canvas.px[y]
        nibbles = [BLACK if v is TRANSPARENT else v for v in row]
        xb = bytearray(xor_stride)
        for x in range(size):
            xb[x // 2] |= nibbles[x] << (4 if x % 2 == 0 else 0)
        ab = bytearray(and_stride)
        for x in range(size):
            if row[x] is TRANSPARENT:
                ab[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xb))
        and_rows.append(bytes(ab))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(pixels), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + pixels


def build_icon(sizes=(32, 16)):
    images = [dib_image(draw_mast(s)) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("output", help="path of the .ico file to write")
    args = ap.parse_args(argv)
    data = build_icon()
    try:
        with open(args.output, "wb") as f:
            f.write(data)
    except OSError as e:
        print("make_icon: cannot write %s: %s" % (args.output, e.strerror), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
