#!/usr/bin/env python3
"""A test game folder with every picture and effect variant that real game folders hold.

    tools/make_variants.py [FOLDER]      (default: tests/data/variants)

Each picture is 16 x 16 pixels: the left half opaque colour A, the right half either
colour B or (in the variants that have transparency) transparent at the top and, where
the format allows, half transparent colour B at the bottom. tests/ui/picture_variants_test.cpp
holds the pixels each one must show. Each effect is a 1500 Hz tone of 0.15 s, except the
one that cannot be decoded. A script wnatu.QOV shows and plays them all one by one, so the
folder can also be played: qov tests/data/variants.

Needs Python 3, ImageMagick's convert and sox; writes the same bytes on every run.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

A = (200, 40, 40)
B = (40, 40, 200)
HIDDEN = (255, 0, 255)  # the colour stored under transparent pixels
SIZE = 16
HALF = 128  # alpha of the half transparent quarter


def pixel(x, y, alpha):
    """(r, g, b, a) of the picture at (x, y); alpha: whether the right half is transparent."""
    if x < SIZE // 2:
        return A + (255,)
    if not alpha:
        return B + (255,)
    return HIDDEN + (0,) if y < SIZE // 2 else B + (HALF,)


# ---- PNG ----

def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def png(depth, colour_type, rows, plte=None, trns=None):
    width = SIZE
    raw = b''.join(b'\0' + row for row in rows)
    out = b'\x89PNG\r\n\x1a\n'
    out += png_chunk(b'IHDR', struct.pack('>IIBBBBB', width, len(rows), depth, colour_type, 0, 0, 0))
    if plte:
        out += png_chunk(b'PLTE', b''.join(bytes(c) for c in plte))
    if trns is not None:
        out += png_chunk(b'tRNS', trns)
    return out + png_chunk(b'IDAT', zlib.compress(raw, 9)) + png_chunk(b'IEND', b'')


def png_variants():
    rgba = [b''.join(bytes(pixel(x, y, True)) for x in range(SIZE)) for y in range(SIZE)]
    rgb16 = [b''.join(struct.pack('>3H', *(c * 257 for c in pixel(x, y, False)[:3]))
                      for x in range(SIZE)) for y in range(SIZE)]
    # Palette: 0 = A, 1 = hidden (transparent), 2 = B at half alpha.
    index = [bytes(0 if x < 8 else (1 if y < 8 else 2) for x in range(SIZE)) for y in range(SIZE)]
    keyed_rgb = [b''.join(bytes(A if x < 8 else HIDDEN) for x in range(SIZE)) for _ in range(SIZE)]
    keyed_grey = [bytes(153 if x < 8 else 255 for x in range(SIZE)) for _ in range(SIZE)]
    grey_alpha = [b''.join(bytes((153, 255) if x < 8 else ((255, 0) if y < 8 else (40, HALF)))
                           for x in range(SIZE)) for y in range(SIZE)]
    opaque_index = [bytes(0 if x < 8 else 2 for x in range(SIZE)) for _ in range(SIZE)]
    return {
        'png_alpha': png(8, 6, rgba),
        'png_grey_alpha': png(8, 4, grey_alpha),
        'png_trns_palette': png(8, 3, index, plte=[A, HIDDEN, B], trns=bytes([255, 0, HALF])),
        'png_trns_rgb': png(8, 2, keyed_rgb, trns=struct.pack('>3H', *HIDDEN)),
        'png_trns_grey': png(8, 0, keyed_grey, trns=struct.pack('>H', 255)),
        'png_16bit': png(16, 2, rgb16),
        'png_palette': png(8, 3, opaque_index, plte=[A, HIDDEN, B]),
    }


# ---- BMP ----

def bmp(depth, rows, info=40, masks=None, palette=None, compression=0, top_down=False,
        data=None):
    """rows: top row first, each already packed; data: the pixel bytes when compressed."""
    core = info == 12
    pal = b''.join(bytes((b, g, r)) + (b'' if core else b'\0') for r, g, b in palette or [])
    if data is None:
        padded = [row + b'\0' * (-len(row) % 4) for row in rows]
        data = b''.join(padded if top_down else padded[::-1])
    height = -SIZE if top_down else SIZE
    if core:
        header = struct.pack('<IHHHH', 12, SIZE, SIZE, 1, depth)
    else:
        header = struct.pack('<IiiHHIIiiII', info, SIZE, height, 1, depth, compression, len(data),
                             2835, 2835, len(palette or []), 0)
        if info > 40:
            header += struct.pack('<4I', *(masks or (0, 0, 0, 0)))[:info - 40]
            header += struct.pack('<I', 0x73524742)[:max(0, info - 56)]  # 'sRGB'
            header += b'\0' * (info - len(header))
    offset = 14 + len(header) + len(pal)
    return b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + header + pal + data


def packed(indices, depth):
    """A row of palette indices packed at 1, 4 or 8 bits."""
    per = 8 // depth
    out = bytearray()
    for i in range(0, len(indices), per):
        byte = 0
        for j, v in enumerate(indices[i:i + per]):
            byte |= v << (8 - depth * (j + 1))
        out.append(byte)
    return bytes(out)


def rle(rows, depth):
    """RLE8 or RLE4 of rows of indices (bottom row first in the file): one run per colour."""
    out = bytearray()
    for row in rows[::-1]:
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            out += bytes((run, row[x] if depth == 8 else row[x] << 4 | row[x]))
            x += run
        out += b'\0\0'
    return bytes(out + b'\0\1')


def palette(count, a_at, b_at):
    """A palette of `count` greys with A and B at the given indices."""
    colours = [(i * 255 // max(1, count - 1),) * 3 for i in range(count)]
    colours[a_at] = A
    colours[b_at] = B
    return colours


def bmp_variants():
    def direct(fmt, alpha, fourth=None):
        rows = []
        for y in range(SIZE):
            row = b''
            for x in range(SIZE):
                r, g, b, a = pixel(x, y, alpha)
                if fourth is not None:
                    a = fourth[(x + y) % len(fourth)]
                row += fmt(r, g, b, a)
            rows.append(row)
        return rows

    def bgra(r, g, b, a):
        return bytes((b, g, r, a))

    def rgb555(r, g, b, _):
        return struct.pack('<H', (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)

    masks = (0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    out = {}
    # Indexed, each depth with A and B at indices that test the whole byte.
    for depth, a_at, b_at in ((1, 0, 1), (4, 3, 12), (8, 200, 17)):
        pal = palette(1 << depth, a_at, b_at)
        indices = [[a_at if x < 8 else b_at for x in range(SIZE)] for _ in range(SIZE)]
        rows = [packed(r, depth) for r in indices]
        out['bmp_%d' % depth] = bmp(depth, rows, palette=pal)
        out['bmp_os2_%d' % depth] = bmp(depth, rows, info=12, palette=pal)
        if depth == 8:
            out['bmp_rle8'] = bmp(8, None, palette=pal, compression=1, data=rle(indices, 8))
        if depth == 4:
            out['bmp_rle4'] = bmp(4, None, palette=pal, compression=2, data=rle(indices, 4))
    bgr = [b''.join(bytes(pixel(x, y, False)[2::-1]) for x in range(SIZE)) for y in range(SIZE)]
    out['bmp_24'] = bmp(24, bgr)
    out['bmp_os2_24'] = bmp(24, bgr, info=12)
    out['bmp_top_down'] = bmp(24, bgr, top_down=True)
    out['bmp_16'] = bmp(16, direct(rgb555, False))
    out['bmp_32'] = bmp(32, direct(bgra, False, fourth=[0]))
    # The fourth byte is unused without a mask: whatever it holds, the picture is opaque.
    out['bmp_32_no_mask'] = bmp(32, direct(bgra, False, fourth=[0, 0x80, 0xFF, 0x01]))
    out['bmp_v3_alpha'] = bmp(32, direct(bgra, True), info=56, masks=masks, compression=3)
    out['bmp_v4_alpha'] = bmp(32, direct(bgra, True), info=108, masks=masks, compression=3)
    out['bmp_v5_alpha'] = bmp(32, direct(bgra, True), info=124, masks=masks, compression=3)
    return out


# ---- GIF and JPEG through ImageMagick ----

def convert(args, source_png, target, tmp):
    src = os.path.join(tmp, 'source.png')
    with open(src, 'wb') as f:
        f.write(source_png)
    out = os.path.join(tmp, 'out')
    subprocess.run(['convert', src] + args + [target + ':' + out], check=True)
    with open(out, 'rb') as f:
        return f.read()


def magick_variants(tmp):
    plain = png(8, 2, [b''.join(bytes(pixel(x, y, False)[:3]) for x in range(SIZE))
                       for y in range(SIZE)])
    keyed = png(8, 2, [b''.join(bytes(A if x < 8 else HIDDEN) for x in range(SIZE))
                       for _ in range(SIZE)])
    other = png(8, 2, [bytes(B) * SIZE for _ in range(SIZE)])
    strip = ['-strip', '-define', 'png:exclude-chunks=date,time']
    jpeg = ['-strip', '-quality', '95', '-sampling-factor', '1x1']
    out = {
        'gif_transparent': convert(strip + ['-transparent', 'rgb%s' % (HIDDEN,)], keyed, 'GIF', tmp),
        'gif_interlaced': convert(strip + ['-interlace', 'GIF'], plain, 'GIF', tmp),
        'jpeg_cmyk': convert(jpeg + ['-colorspace', 'CMYK'], plain, 'JPEG', tmp),
        'jpeg_progressive': convert(jpeg + ['-interlace', 'JPEG'], plain, 'JPEG', tmp),
        'jpeg_grey': convert(jpeg + ['-colorspace', 'Gray'], plain, 'JPEG', tmp),
        'png_adam7': convert(strip + ['-interlace', 'PNG'], plain, 'PNG24', tmp),
    }
    # Two frames; a picture shows the first.
    second = os.path.join(tmp, 'second.png')
    with open(second, 'wb') as f:
        f.write(other)
    first = os.path.join(tmp, 'first.png')
    with open(first, 'wb') as f:
        f.write(plain)
    animated = os.path.join(tmp, 'animated.gif')
    subprocess.run(['convert', '-delay', '20', first, second, '-strip', '-loop', '0',
                    'GIF:' + animated], check=True)
    with open(animated, 'rb') as f:
        out['gif_animated'] = f.read()
    return out


# ---- Effects ----

RATE = 11025
TONE_HZ = 1500
TONE_SECONDS = 0.15


def chunk(kind, data, pad=True):
    odd = len(data) % 2 == 1
    return kind + struct.pack('<I', len(data)) + data + (b'\0' if odd and pad else b'')


def riff(chunks):
    body = b'WAVE' + b''.join(chunks)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def tone8():
    """8-bit unsigned samples of the tone, an odd number of them."""
    count = int(RATE * TONE_SECONDS) | 1
    return bytes(128 + round(100 * math.sin(2 * math.pi * TONE_HZ * i / RATE))
                 for i in range(count))


def fmt(tag, channels, rate, byte_rate, align, bits):
    return chunk(b'fmt ', struct.pack('<HHIIHH', tag, channels, rate, byte_rate, align, bits))


def info(pad):
    """A LIST INFO chunk body with an odd-length software name."""
    return b'INFO' + chunk(b'ISFT', b'qov tools', pad)


def sox(args, tmp):
    out = os.path.join(tmp, 'out.wav')
    subprocess.run(['sox', '-R', '-n', '-r', str(RATE), '-c', '1'] + args +
                   [out, 'synth', str(TONE_SECONDS), 'sine', str(TONE_HZ)], check=True)
    with open(out, 'rb') as f:
        return f.read()


def effect_variants(tmp):
    pcm8 = fmt(1, 1, RATE, RATE, 1, 8)
    data = tone8()
    return {
        'wav_8bit_11k': sox(['-b', '8', '-e', 'unsigned-integer'], tmp),
        'wav_ms_adpcm': sox(['-e', 'ms-adpcm'], tmp),
        'wav_ima_adpcm': sox(['-e', 'ima-adpcm'], tmp),
        'wav_mu_law': sox(['-e', 'mu-law'], tmp),
        'wav_a_law': sox(['-e', 'a-law'], tmp),
        'wav_24bit': sox(['-b', '24', '-e', 'signed-integer'], tmp),
        'wav_float': sox(['-b', '32', '-e', 'floating-point'], tmp),
        # Odd chunks with their pad bytes, and chunks a reader must pass over.
        'wav_extra_chunks': riff([chunk(b'JUNK', b'x' * 7), pcm8,
                                  chunk(b'fact', struct.pack('<I', len(data))),
                                  chunk(b'LIST', info(True)), chunk(b'data', data)]),
        # The same odd chunks written without their pad bytes, one before "fmt ".
        'wav_odd_unpadded': riff([chunk(b'JUNK', b'x' * 7, pad=False), pcm8,
                                  chunk(b'LIST', info(False), pad=False),
                                  chunk(b'data', data, pad=False)]),
        # MPEG layer 3 inside a wave file: the decoder knows no such format.
        'wav_undecodable': riff([fmt(0x55, 1, RATE, 2000, 1, 0),
                                 chunk(b'data', bytes(range(256)) * 4)]),
    }


def script(pictures, effects):
    lines = []
    for name in pictures:
        lines += ['GHG,' + name, 'MES,' + name + '￥']
    for name in effects:
        lines += ['MES,' + name, 'SOUND,' + name + ',0']
    lines += ['MES,おわり￥', 'EXIT']
    return ('\r\n'.join(lines) + '\r\n').encode('cp932')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'tests', 'data',
                                                                'variants')
    os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        pictures = {**png_variants(), **bmp_variants(), **magick_variants(tmp)}
        effects = effect_variants(tmp)
    for name, data in pictures.items():
        with open(os.path.join(folder, name + '.SZG'), 'wb') as f:
            f.write(data)
    for name, data in effects.items():
        with open(os.path.join(folder, name + '.wav'), 'wb') as f:
            f.write(data)
    with open(os.path.join(folder, 'wnatu.QOV'), 'wb') as f:
        f.write(script(sorted(pictures), sorted(effects)))


if __name__ == '__main__':
    main()
