#!/usr/bin/env python3
"""Draws the tool's icon, a cookie with a bite taken out of it, and writes it
as a Windows .ico with a 48x48 and a 32x32 image of 256 colours (8 bits per
pixel), in that order, so that the resource compiler numbers them 1 and 2.

    python3 resources/make_icon.py resources/quillfen.ico

The drawing is pure arithmetic, so the same file comes out on every run.
"""
import math
import struct
import sys

SIZES = (48, 32)
SAMPLES = 4  # per pixel side, for a smooth outline

# Everything is drawn on a unit square, y pointing down.
COOKIE = (0.48, 0.53, 0.43)
BITES = ((0.80, 0.17, 0.21), (0.93, 0.40, 0.15))
CHIPS = ((0.30, 0.36, 0.075), (0.52, 0.30, 0.06), (0.26, 0.62, 0.07), (0.50, 0.55, 0.075),
         (0.70, 0.68, 0.07), (0.44, 0.80, 0.06), (0.66, 0.50, 0.05))

DOUGH_LIGHT = (238, 196, 120)
DOUGH_DARK = (196, 132, 58)
RIM = (140, 84, 30)
CHIP = (82, 46, 22)
CHIP_SHINE = (128, 80, 44)


def inside(circle, x, y):
    cx, cy, r = circle
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_cookie(x, y):
    return inside(COOKIE, x, y) and not any(inside(b, x, y) for b in BITES)


def distance_to_edge(x, y):
    """How far a point of the cookie lies from its outline, bite included."""
    cx, cy, r = COOKIE
    edge = r - math.hypot(x - cx, y - cy)
    for bx, by, br in BITES:
        edge = min(edge, math.hypot(x - bx, y - by) - br)
    return edge


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def colour_at(x, y, pixel):
    if distance_to_edge(x, y) < 1.2 * pixel:
        return RIM
    for chip in CHIPS:
        if inside(chip, x, y):
            cx, cy, r = chip
            shine = (x - cx) + (y - cy) < -0.5 * r
            return CHIP_SHINE if shine else CHIP
    light = min(1.0, max(0.0, (x + y) / 1.6))
    return mix(DOUGH_LIGHT, DOUGH_DARK, light)


def draw(size):
    """Rows top to bottom of (colour or None for transparent)."""
    pixel = 1.0 / size
    rows = []
    for row in range(size):
        line = []
        for column in range(size):
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column + (sx + 0.5) / SAMPLES) * pixel
                    y = (row + (sy + 0.5) / SAMPLES) * pixel
                    covered += in_cookie(x, y)
            if covered * 2 < SAMPLES * SAMPLES:
                line.append(None)
            else:
                line.append(colour_at((column + 0.5) * pixel, (row + 0.5) * pixel, pixel))
        rows.append(line)
    return rows


def palette_of(images):
    colours = sorted({c for rows in images for line in rows for c in line if c is not None})
    assert len(colours) < 256, "too many colours for one palette"
    return [(0, 0, 0)] + colours + [(0, 0, 0)] * (255 - len(colours))


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def icon_image(rows, palette):
    size = len(rows)
    index = {c: i for i, c in reversed(list(enumerate(palette)))}
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 8, 0, 0, 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    pixels = b""
    mask = b""
    for line in reversed(rows):  # bottom-up
        pixels += padded(bytes(0 if c is None else index[c] for c in line))
        bits = 0
        packed = bytearray()
        for column, c in enumerate(line):
            bits = (bits << 1) | (c is None)
            if column % 8 == 7:
                packed.append(bits)
                bits = 0
        mask += padded(bytes(packed))
    return header + colours + pixels + mask


def icon_file(images, palette):
    bodies = [icon_image(rows, palette) for rows in images]
    out = struct.pack("<HHH", 0, 1, len(bodies))
    offset = 6 + 16 * len(bodies)
    for rows, body in zip(images, bodies):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(body), offset)
        offset += len(body)
    return out + b"".join(bodies)


def main():
    images = [draw(size) for size in SIZES]
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file(images, palette_of(images)))


if __name__ == "__main__":
    main()
