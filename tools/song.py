"""The opening song "Tv2b.wav": about 72 seconds, instrumental.

120 beats a minute, so one beat is half a second and every section starts on
a whole second. The opening shows its pictures and lyric lines at the
seconds 1, 9, 15, 21, 26, 32, 37, 43, 49, 55 and 60; a new phrase starts at
each of them (intro, verses A1-A4, bridge B1-B2, chorus C1-C3, outro), and
the sound fades out between 66 and 70 seconds.
"""

import random

from audio import (RATE, add_bell, add_noise, add_pluck, add_sweep, add_tone, buffer, fade,
                   midi_hz, normalise, reverb, wavetable)
from midi import note_number, parse_line

BEAT = 0.5
LENGTH = 72.0

MOTIF = 'E5:1 G5:1 A5:1.5 G5:0.5 E5:1 D5:1 C5:1 D5:1'
# (start second, chords, melody); melody None = instrumental
SECTIONS = [
    (1, 'C:4 Am:4 F:4 G:4', 'r:12 G4:1 A4:1 C5:1 D5:1'),
    (9, 'C:4 G:4 F:2 G:2', MOTIF + ' E5:2 G5:2'),
    (15, 'C:4 G:4 F:2 C:2', MOTIF + ' E5:1 D5:1 C5:2'),
    (21, 'C:4 G:4 F:2', MOTIF + ' A5:2'),
    (26, 'C:4 G:4 F:2 G:2', MOTIF + ' G5:1 A5:1 C6:2'),
    (32, 'Am:4 F:4 C:2', 'A5:1.5 G5:0.5 E5:2 G5:1.5 E5:0.5 D5:2 C5:2'),
    (37, 'Am:4 F:4 G:4', 'A5:1.5 G5:0.5 E5:1 G5:1 C6:1.5 B5:0.5 A5:2 G5:3 r:1'),
    (43, 'F:4 G:4 C:4', 'C6:1.5 B5:0.5 A5:1 G5:1 A5:1 C6:1 D6:2 E6:3 r:1'),
    (49, 'F:4 G:4 C:4', 'C6:1.5 B5:0.5 A5:1 G5:1 E5:1 G5:1 A5:2 G5:3 r:1'),
    (55, 'F:4 G:6', 'F5:1 A5:1 C6:1 D6:1 E6:2 D6:1 C6:1 D6:2'),
    (60, 'F:4 G:4 Am:2 F:2 C:8', 'C6:1.5 B5:0.5 A5:1 G5:1 A5:1 C6:1 D6:2 E6:2 D6:1 C6:1 C6:4'),
]
SECTION_STARTS = [s for s, _, _ in SECTIONS]

TRIADS = {'C': ('C', (0, 4, 7)), 'G': ('G', (0, 4, 7)), 'F': ('F', (0, 4, 7)),
          'Am': ('A', (0, 3, 7))}


def chords_of(text):
    out = []
    for tok in text.split():
        c, b = tok.split(':')
        out.append((c, float(b)))
    return out


def section_beats(k):
    end = SECTIONS[k + 1][0] if k + 1 < len(SECTIONS) else 70
    return (end - SECTIONS[k][0]) / BEAT


def check_sections():
    """Each section's chords and melody must fill it exactly."""
    for k, (start, chords, mel) in enumerate(SECTIONS):
        want = section_beats(k)
        cb = sum(b for _, b in chords_of(chords))
        mb = sum(b for _, b in parse_line(mel))
        if cb != want or mb > want:
            raise ValueError('section at %d s: %s chord beats, %s melody beats, %s wanted'
                             % (start, cb, mb, want))


def song():
    check_sections()
    rnd = random.Random(2024)
    buf = buffer(LENGTH)
    flute = wavetable([(1, 1.0), (2, 0.28), (3, 0.12), (4, 0.04)])
    pad_tab = wavetable([(1, 1.0), (2, 0.35), (3, 0.18), (4, 0.09), (5, 0.05)])
    bass_tab = wavetable([(1, 1.0), (2, 0.3)])
    for k, (start, chords, mel) in enumerate(SECTIONS):
        intro = k == 0
        outro = k == len(SECTIONS) - 1
        chorus = 7 <= k <= 9
        # a chime marks the start of every phrase
        add_bell(buf, start, 1760.0 if not chorus else 2093.0, 0.06, 1.6,
                 ((1.0, 1.0, 2.0), (2.32, 0.4, 3.0), (4.25, 0.2, 4.5)))
        t = float(start)
        for chord, beats in chords_of(chords):
            root_name, ivs = TRIADS[chord]
            root = note_number(root_name + '3')
            dur = beats * BEAT
            for iv in ivs:
                add_tone(buf, t, dur + 0.15, midi_hz(root + 12 + iv), 0.035, pad_tab,
                         attack=0.25, release=0.3)
            add_tone(buf, t, dur, midi_hz(root - 12), 0.14 if not intro else 0.08, bass_tab,
                     attack=0.01, release=0.1, decay=0.8)
            # koto-like broken chord in eighths
            tones = [root, root + 7, root + 12, root + 12 + ivs[1], root + 19, root + 12 + ivs[1]]
            steps = int(beats * 2)
            for s in range(steps):
                key = tones[s % len(tones)]
                add_pluck(buf, t + s * BEAT / 2, midi_hz(key + 12), 0.10 if s % 2 == 0 else 0.07,
                          0.9, rnd, brightness=0.55)
            # soft percussion: a low drum on 1 and 3, a shaker on the off-beats
            if not intro:
                for s in range(int(beats)):
                    bt = t + s * BEAT
                    if s % 2 == 0:
                        add_sweep(buf, bt, 0.3, 110, 48, 0.32 if chorus else 0.22, decay=12,
                                  curve=0.5)
                    add_noise(buf, bt + BEAT / 2, 0.08, 0.05 if not chorus else 0.07, rnd,
                              decay=40, lowpass=0.9, highpass=0.7)
            t += dur
        # the tune
        t = float(start)
        for key, beats in parse_line(mel):
            dur = beats * BEAT
            if key is not None:
                add_tone(buf, t, dur * 0.97, midi_hz(key), 0.16 if not outro else 0.15, flute,
                         attack=0.04, release=0.09, vibrato=0.006)
                add_tone(buf, t, dur * 0.97, midi_hz(key) * 1.003, 0.05, flute,
                         attack=0.06, release=0.1)
            t += dur
        if chorus or outro:
            # a second voice a third below in the chorus
            t = float(start)
            for key, beats in parse_line(mel):
                dur = beats * BEAT
                if key is not None and beats >= 1:
                    add_tone(buf, t, dur * 0.95, midi_hz(harmony(key)), 0.06, flute,
                             attack=0.06, release=0.12)
                t += dur
    buf = reverb(buf, 0.3)
    fade(buf, 66.0, 70.0)
    return normalise(buf, 0.85)


SCALE = [0, 2, 4, 5, 7, 9, 11]


def harmony(key):
    """The C-major scale tone a third below key."""
    pc = key % 12
    octave = key - pc
    if pc not in SCALE:
        return key - 4
    i = SCALE.index(pc)
    j = i - 2
    return octave + SCALE[j % 7] - (12 if j < 0 else 0)


__all__ = ['song', 'SECTION_STARTS', 'RATE']
