#!/usr/bin/env python3
"""Draws the installer's artwork: the application icon (32x32 and 16x16,
16 colours) and the logo bitmap (148x88, 24-bit).

    make_artwork.py OUTPUT_FOLDER

writes installer_icon.ico and installer_logo.bmp. The pictures are plain
geometry, drawn here so that the build needs no image tools: the icon is a
box with an arrow dropping into it, the logo a stack of bars under a
diagonal band with a stylised "D".
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette (index: (r, g, b)).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, GREY, YELLOW, WHITE = 0, 4, 6, 8, 11, 15
TRANSPARENT = None


def icon_pixels(size):
    """Rows top to bottom of palette indexes (None: transparent)."""
    s = size / 32.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            fx, fy = x / s, y / s
            colour = TRANSPARENT
            # The open box: bottom half, dark outline, teal body.
            if 14 <= fy < 30 and 3 <= fx < 29:
                edge = fy >= 28 or fx < 5 or fx >= 27
                colour = NAVY if edge else TEAL
                if 16 <= fy < 18 and 5 <= fx < 27:
                    colour = GREY  # the rim
            # The arrow: a shaft and a head pointing down into the box.
            if 2 <= fy < 14 and 13 <= fx < 19:
                colour = YELLOW if 14 <= fx < 18 else BLACK
            if 12 <= fy < 22:
                half = 22 - fy
                if abs(fx - 16) < half:
                    colour = YELLOW if abs(fx - 16) < half - 1.5 else BLACK
            row.append(colour)
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit XOR mask, AND mask."""
    rows = icon_pixels(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_mask = bytearray()
    and_mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = BLACK if colour is None else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor_mask += line
        and_mask += bits
    return header + palette + bytes(xor_mask) + bytes(and_mask)


def icon_file():
    images = [(32, icon_image(32)), (16, icon_image(16))]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    for size, data in images:
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b''.join(data for _, data in images)


def logo_pixel(x, y, width, height):
    """(r, g, b) of the logo at x, y (top-left origin)."""
    # Background: a soft vertical gradient from steel blue to pale grey.
    t = y / (height - 1)
    r, g, b = int(70 + 150 * t), int(100 + 125 * t), int(140 + 100 * t)
    # A diagonal band across the picture.
    if 0 <= (x - 2 * y + 60) < 26:
        r, g, b = 235, 190, 40
    # A stylised "D": a vertical bar and a half ring.
    cx, cy = 46, 44
    if 28 <= x < 36 and 18 <= y < 70:
        r, g, b = 20, 30, 60
    dx, dy = x - cx + 10, y - cy
    ring = (dx * dx) / (34.0 * 34.0) + (dy * dy) / (26.0 * 26.0)
    if x >= 36 and 0.72 <= ring <= 1.0:
        r, g, b = 20, 30, 60
    # Three bars on the right, like stacked sheets.
    for i, top in enumerate((22, 40, 58)):
        if 92 <= x < 140 - 8 * i and top <= y < top + 10:
            r, g, b = 20 + 30 * i, 60 + 30 * i, 110 + 30 * i
    return r, g, b


def logo_file(width=148, height=88):
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up
        line = bytearray()
        for x in range(width):
            r, g, b = logo_pixel(x, y, width, height)
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_artwork.py OUTPUT_FOLDER')
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / 'installer_icon.ico').write_bytes(icon_file())
    (out / 'installer_logo.bmp').write_bytes(logo_file())


if __name__ == '__main__':
    main()
