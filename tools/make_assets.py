#!/usr/bin/env python3
"""Regenerates every asset of the demo game, byte for byte the same each run.

    make_assets.py [--only pictures|music|sound|scripts|items|icons] [--game DIR]

Writes game/*.SZG, game/*.MID, game/*.wav, game/*.QOV,
game/ITEMS.GIF, game/ICON.PNG and the application icons in dist/icons/, then runs
the game check. Needs Python 3 and
ImageMagick's convert (for GIF, JPEG and 8-bit BMP encoding).
"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import audio  # noqa: E402
import check_game  # noqa: E402
import icons  # noqa: E402
import items  # noqa: E402
import music  # noqa: E402
import qovasm  # noqa: E402
import raster  # noqa: E402
import scenes  # noqa: E402
import song  # noqa: E402

# The one picture kept 24-bit; WORKSHOP and OP5 are 8-bit BMPs.
BMP8 = {'WORKSHOP', 'OP5'}


def convert(src_png, dest, fmt):
    """Encodes with ImageMagick; -strip keeps dates out of the files."""
    args = {
        'jpg': ['-strip', '-sampling-factor', '4:2:0', '-quality', '88', 'JPEG:' + dest],
        'gif': ['-strip', '-dither', 'FloydSteinberg', '-colors', '256', 'GIF:' + dest],
        'bmp8': ['-strip', '-dither', 'FloydSteinberg', '-colors', '256', '-type', 'Palette',
                 '-compress', 'None', 'BMP3:' + dest],
    }[fmt]
    subprocess.run(['convert', src_png] + args, check=True)


def make_pictures(game, tmp):
    for name, (fmt, fn) in scenes.SCENES.items():
        cv = fn()
        dest = os.path.join(game, name + '.SZG')
        if fmt == 'png':
            raster.write_png(dest, cv)
        elif fmt == 'bmp' and name not in BMP8:
            raster.write_bmp(dest, cv)
        else:
            png = os.path.join(tmp, name + '.png')
            raster.write_png(png, cv)
            convert(png, dest, 'bmp8' if name in BMP8 else fmt)
        print('  picture %-8s %-4s %dx%d' % (name, 'bmp8' if name in BMP8 else fmt, cv.w, cv.h))


def make_items(game, tmp):
    """The demo game's item sheet and window icon, named in its qov.ini."""
    png = os.path.join(tmp, 'items.png')
    raster.write_png(png, items.item_sheet())
    dest = os.path.join(game, 'ITEMS.GIF')
    convert(png, dest, 'gif')
    print('  item sheet %s' % os.path.relpath(dest, ROOT))
    icon = os.path.join(game, 'ICON.PNG')
    icons.write_png_rgba(icon, 32, 32, icons.pixel_art_icon(icons.window_icon_rows()))
    print('  window icon %s' % os.path.relpath(icon, ROOT))


def make_music(game):
    for name, fn in music.PIECES.items():
        secs = fn(os.path.join(game, name + '.MID'))
        print('  music   %-8s %.1f s' % (name, secs))


def make_sound(game):
    for name, fn in audio.EFFECTS.items():
        audio.write_wav(os.path.join(game, name + '.wav'), fn())
        print('  effect  %s' % name)
    audio.write_wav(os.path.join(game, 'Tv2b.wav'), song.song())
    print('  song    Tv2b (phrases at %s s)' % ', '.join(str(s) for s in song.SECTION_STARTS))


def make_scripts(game):
    src_dir = os.path.join(HERE, 'scripts')
    for src in sorted(os.listdir(src_dir)):
        if not src.endswith('.txt'):
            continue
        with open(os.path.join(src_dir, src), encoding='utf-8') as f:
            lines, _ = qovasm.assemble(f.read(), src)
        qovasm.write_qov(os.path.join(game, src[:-4] + '.QOV'), lines)
        print('  script  %-8s %d lines' % (src[:-4], len(lines)))


def main(argv):
    game = os.path.join(ROOT, 'game')
    only = None
    if '--only' in argv:
        only = argv[argv.index('--only') + 1]
    if '--game' in argv:
        game = argv[argv.index('--game') + 1]
    os.makedirs(game, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix='natsu-assets-')
    try:
        if only in (None, 'items'):
            make_items(game, tmp)
        if only in (None, 'pictures'):
            make_pictures(game, tmp)
        if only in (None, 'music'):
            make_music(game)
        if only in (None, 'sound'):
            make_sound(game)
        if only in (None, 'scripts'):
            make_scripts(game)
        if only in (None, 'icons'):
            icons.main(['icons.py'])
    except qovasm.AsmError as e:
        print('make_assets: %s' % e, file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    return check_game.main(['check_game.py', game, '--quiet'])


if __name__ == '__main__':
    sys.exit(main(sys.argv))
