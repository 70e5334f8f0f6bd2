#!/usr/bin/env python3
"""The player's icons: the window icon at 32 x 32, pixel for pixel as the program draws it
(read from ui/WindowImages.cpp; the demo game keeps it as game/ICON.PNG, which is also the
installed 32 x 32 application icon), and the same paper lantern drawn anew for the larger
application icons in dist/icons/ (48, 64, 128 and 256 pixels), with soft edges and a lit
centre.

    tools/icons.py [OUT_DIR]        (default: dist/icons)
"""

import os
import re
import struct
import sys
import zlib

from raster import Canvas, clamp

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
WINDOW_IMAGES = os.path.join(ROOT, 'ui', 'WindowImages.cpp')
DRAWN_SIZES = (48, 64, 128, 256)

# The window icon's 16 colours by hex digit; '.' is transparent.
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]


def window_icon_rows(source=WINDOW_IMAGES):
    """The 32 rows of the window icon's pixel art, as the program draws it."""
    with open(source, encoding='utf-8') as f:
        text = f.read()
    block = re.search(r'kLantern = \{(.*?)\};', text, re.S)
    if not block:
        sys.exit('icons: no kLantern in ' + source)
    rows = re.findall(r'"([0-9A-F.]{32})"', block.group(1))
    if len(rows) != 32:
        sys.exit('icons: kLantern in %s has %d rows, not 32' % (source, len(rows)))
    return rows


def write_png_rgba(path, w, h, pixels):
    """pixels: w * h (r, g, b, a) tuples, rows top to bottom. No dates: the same bytes on
    every run."""
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for r, g, b, a in pixels[y * w:(y + 1) * w]:
            raw += bytes((r, g, b, a))

    def chunk(tag, data):
        return (struct.pack('>I', len(data)) + tag + data +
                struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff))

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(bytes(raw), 9)))
        f.write(chunk(b'IEND', b''))


def pixel_art_icon(rows):
    pixels = []
    for row in rows:
        for ch in row:
            pixels.append((0, 0, 0, 0) if ch == '.' else PALETTE[int(ch, 16)] + (255,))
    return pixels


# The drawn lantern, in the pixel art's 32-unit grid.
ROPE = (40, 26, 22)
CAP = (34, 24, 22)
CAP_BAND = (176, 150, 48)
RIM = (120, 12, 10)
BODY = (222, 44, 32)
SHADE = (160, 24, 18)
LIGHT = (255, 214, 72)
CORE = (255, 246, 200)
TASSEL = (250, 206, 60)


def draw_lantern(cv, s):
    """Draws the lantern on `cv` at `s` pixels per grid unit, by blending only (so that the
    coverage can be recovered as alpha)."""
    cv.rect(15.2 * s, 0, 16.8 * s, 4 * s, ROPE)
    cv.rect(13.5 * s, 0, 18.5 * s, 1.0 * s, ROPE)
    # Caps, top and bottom.
    for top in (3.0, 26.0):
        cv.rect(10 * s, top * s, 22 * s, (top + 3) * s, CAP)
        cv.rect(10.8 * s, (top + 1.1) * s, 21.2 * s, (top + 1.9) * s, CAP_BAND)
    # The paper body: a dark rim, the red paper, its shaded sides and the light inside.
    cv.ellipse(16 * s, 16 * s, 14.3 * s, 10.4 * s, RIM)
    cv.ellipse(16 * s, 16 * s, 13.5 * s, 9.6 * s, SHADE)
    cv.ellipse(16 * s, 16 * s, 11.8 * s, 9.4 * s, BODY)
    cv.ellipse(16 * s, 16 * s, 6.0 * s, 9.2 * s, LIGHT)
    cv.ellipse(16 * s, 15.5 * s, 3.4 * s, 6.5 * s, CORE, 0.7)
    # Ribs of the frame, following the curve of the paper.
    for y in (9.5, 13.0, 16.5, 20.0, 23.0):
        dy = (y - 16) / 10.4
        half = 14.3 * (max(0.0, 1 - dy * dy)) ** 0.5
        points = []
        for k in range(17):
            t = -1 + 2 * k / 16
            points.append(((16 + t * half) * s, (y + 0.5 * (1 - t * t)) * s))
        cv.polyline(points, max(1.0, 0.55 * s), RIM)
    # Tassel.
    cv.rect(14.2 * s, 29 * s, 17.8 * s, 31.2 * s, TASSEL)
    cv.polygon([(14.2 * s, 31.2 * s), (17.8 * s, 31.2 * s), (18.6 * s, 32 * s),
                (13.4 * s, 32 * s)], TASSEL)


def drawn_icon(size):
    """The lantern at `size` pixels, with alpha from drawing it once on black and once on
    white."""
    s = size / 32.0
    black = Canvas(size, size, (0, 0, 0))
    white = Canvas(size, size, (255, 255, 255))
    draw_lantern(black, s)
    draw_lantern(white, s)
    pixels = []
    for (br, bg, bb), (wr, wg, wb) in zip(zip(black.r, black.g, black.b),
                                          zip(white.r, white.g, white.b)):
        alpha = clamp(1 - ((wr - br) + (wg - bg) + (wb - bb)) / (3 * 255.0))
        if alpha <= 0.0:
            pixels.append((0, 0, 0, 0))
            continue
        pixels.append(tuple(int(clamp(c / alpha, 0, 255) + 0.5) for c in (br, bg, bb)) +
                      (int(alpha * 255 + 0.5),))
    return pixels


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(ROOT, 'dist', 'icons')
    os.makedirs(out, exist_ok=True)
    for size in DRAWN_SIZES:
        write_png_rgba(os.path.join(out, '%d.png' % size), size, size, drawn_icon(size))
    print('icons: wrote %s in %s' % (', '.join(map(str, DRAWN_SIZES)), out))


if __name__ == '__main__':
    main(sys.argv)
