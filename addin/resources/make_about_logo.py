#!/usr/bin/env python3
"""Draws the about box's logo: a block squeezed between two arrows above the
word TESSORA, on a night-blue gradient. Writes a 148 x 88 pixel, 24 bits a
pixel Windows bitmap (bottom-up rows, each padded to 4 bytes).

Usage: make_about_logo.py OUTPUT.bmp
The output is deterministic; the committed about_logo.bmp is its result.
"""
import struct
import sys

WIDTH, HEIGHT = 148, 88

# 5 x 7 capitals, one string a row, '#' for a lit pixel.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
}


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def make_canvas():
    top, bottom = (18, 36, 74), (6, 12, 30)
    return [[blend(top, bottom, y / (HEIGHT - 1)) for _ in range(WIDTH)] for y in range(HEIGHT)]


def put(canvas, x, y, colour):
    if 0 <= x < WIDTH and 0 <= y < HEIGHT:
        canvas[y][x] = colour


def fill_polygon(canvas, points, colour):
    """Even-odd scanline fill of a polygon given by integer corners."""
    ys = [p[1] for p in points]
    for y in range(min(ys), max(ys) + 1):
        crossings = []
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 <= y < y1) or (y1 <= y < y0):
                crossings.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
        crossings.sort()
        for left, right in zip(crossings[0::2], crossings[1::2]):
            for x in range(round(left), round(right) + 1):
                put(canvas, x, y, colour)


def draw_block(canvas, cx, top):
    """A flat isometric block: the compacted envelope."""
    w, d, h = 22, 11, 14
    top_face = [(cx, top), (cx + w, top + d), (cx, top + 2 * d), (cx - w, top + d)]
    left_face = [(cx - w, top + d), (cx, top + 2 * d), (cx, top + 2 * d + h), (cx - w, top + d + h)]
    right_face = [(cx, top + 2 * d), (cx + w, top + d), (cx + w, top + d + h), (cx, top + 2 * d + h)]
    fill_polygon(canvas, top_face, (236, 178, 64))
    fill_polygon(canvas, left_face, (196, 128, 36))
    fill_polygon(canvas, right_face, (150, 92, 24))


def draw_arrow(canvas, tip_x, mid_y, direction):
    """A chevron arrow pointing at the block; direction +1 right, -1 left."""
    colour = (120, 196, 236)
    for shaft in range(18):
        for dy in (-2, -1, 0, 1, 2):
            put(canvas, tip_x - direction * (6 + shaft), mid_y + dy, colour)
    for step in range(8):
        for dy in range(-step, step + 1):
            put(canvas, tip_x - direction * step, mid_y + dy, colour)


def draw_text(canvas, text, top, scale, colour):
    advance = 6 * scale
    left = (WIDTH - (len(text) * advance - scale)) // 2
    for i, letter in enumerate(text):
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit != "#":
                    continue
                for sy in range(scale):
                    for sx in range(scale):
                        put(canvas, left + i * advance + col * scale + sx, top + row * scale + sy, colour)


def draw_rule(canvas, y, colour):
    for x in range(16, WIDTH - 16):
        put(canvas, x, y, colour)


def bitmap_bytes(canvas):
    row_size = (WIDTH * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(canvas):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_size - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    canvas = make_canvas()
    draw_block(canvas, WIDTH // 2, 8)
    draw_arrow(canvas, WIDTH // 2 - 30, 26, +1)
    draw_arrow(canvas, WIDTH // 2 + 30, 26, -1)
    draw_rule(canvas, 56, (60, 90, 140))
    draw_text(canvas, "TESSORA", 62, 2, (232, 238, 248))
    with open(sys.argv[1], "wb") as out:
        out.write(bitmap_bytes(canvas))


if __name__ == "__main__":
    main()
