#!/usr/bin/env python3
"""MIDI files as old game folders hold them, for testing the music device.

    tools/music_variants.py OUTDIR     writes one NAME.MID per variant

VARIANTS lists each with what the player must do with it: "heard" (it opens
and sounds), "silent" (it opens and plays, but has no notes) or "closed" (it
cannot be played: the device stays closed and the file is named once on
standard error). tempo_piece() is a format-1 piece with tempo changes, used
for measuring the loop (bench/music-figures).
"""

import os
import struct
import sys

from midi import DIVISION, Track


def header(fmt, ntracks, division=DIVISION, length=6, extra=b''):
    return b'MThd' + struct.pack('>IHHH', length, fmt, ntracks, division) + extra


def melody(channel=0, program=73, start_beat=0, transpose=0):
    """Eight bars of a tune at 4 beats a bar."""
    t = Track('melody', channel=channel, program=program)
    t.line(start_beat, 'D5:1 E5:1 F#5:1 A5:1 B5:2 A5:2 F#5:1 E5:1 D5:2 r:4 '
                       'A4:1 B4:1 D5:1 E5:1 F#5:2 E5:2 D5:1 B4:1 A4:2 D5:4', transpose=transpose)
    return t


def conductor(tempos):
    """A track of tempo changes: [(beat, bpm), ...]."""
    c = Track('conductor', channel=None)
    for beat, bpm in tempos:
        c.meta(beat * DIVISION, 0x51, struct.pack('>I', int(round(60000000 / bpm)))[1:])
    c.meta(0, 0x58, bytes([4, 2, 24, 8]))
    return c


BEATS = 32  # eight bars


def format0():
    t = melody()
    t.meta(0, 0x51, struct.pack('>I', 500000)[1:])
    return header(0, 1) + t.encode(BEATS * DIVISION)


def format1(tempos=((0, 120),)):
    tracks = [conductor(tempos), melody(), melody(channel=1, program=0, transpose=-12)]
    return header(1, len(tracks)) + b''.join(t.encode(BEATS * DIVISION) for t in tracks)


def tempo_piece():
    """Format 1, tempo changes on bar lines and inside a bar: 120, 90, 140, 72, 120 bpm."""
    return format1(tempos=((0, 120), (8, 90), (14.5, 140), (20, 72), (28, 120)))


def format2():
    # Two patterns that follow one another; each starts at 120 bpm unless it says otherwise.
    first = melody()
    second = melody(program=0, transpose=5)
    second.meta(0, 0x51, struct.pack('>I', 400000)[1:])
    return header(2, 2) + first.encode(BEATS * DIVISION) + second.encode(BEATS * DIVISION)


def rmid():
    smf = format1()
    body = b'RMID' + b'data' + struct.pack('<I', len(smf)) + smf + (b'\0' if len(smf) % 2 else b'')
    return b'RIFF' + struct.pack('<I', len(body)) + body


def smpte():
    # 25 frames a second of 40 ticks: 1000 ticks a second; the melody's ticks as they are.
    smf = bytearray(format0())
    smf[12:14] = bytes([0x100 - 25, 40])
    return bytes(smf)


def header8():
    tracks = [conductor(((0, 120),)), melody()]
    return header(1, 2, length=8, extra=b'\0\0') + b''.join(t.encode(BEATS * DIVISION) for t in tracks)


def truncated():
    smf = format1()
    return smf[:len(smf) * 2 // 3]  # inside the last track: what is there plays


def note_free():
    c = conductor(((0, 100),))
    return header(1, 1) + c.encode(8 * DIVISION)  # two bars of nothing


def zero_length():
    return header(0, 1) + b'MTrk' + struct.pack('>I', 4) + b'\x00\xff\x2f\x00'


VARIANTS = [
    ('format0', 'heard', format0),
    ('format1', 'heard', format1),
    ('format2', 'heard', format2),
    ('tempi', 'heard', tempo_piece),
    ('rmid', 'heard', rmid),
    ('smpte', 'heard', smpte),
    ('header8', 'heard', header8),
    ('truncated', 'heard', truncated),
    ('notefree', 'silent', note_free),
    ('zerolength', 'silent', zero_length),
    ('empty', 'closed', lambda: b''),
    ('text', 'closed', lambda: 'これはMIDIではありません\r\n'.encode('cp932')),
    ('cutheader', 'closed', lambda: format1()[:11]),
    ('wave', 'closed', lambda: b'RIFF\x24\0\0\0WAVEfmt ' + bytes(20)),
]


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    for name, _, make in VARIANTS:
        with open(os.path.join(outdir, name + '.MID'), 'wb') as f:
            f.write(make())


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
