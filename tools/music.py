"""The background music of the demo game, composed here as note text.

machi   the town at dusk: flute over koto arpeggios (D major, 84 bpm)
matsuri the festival: shinobue-like flute, taiko, bells, shamisen (yo scale)
yoru    the night beach: shakuhachi and celesta over a warm pad (miyako-bushi)
owari   the ending: piano, strings and flute (G major)

Every piece ends on a bar line and leads back to its first bar, since the
player restarts it from the beginning when it ends.
"""

from midi import Track, note_number, write_smf

# GM programs (0-based)
PIANO, CELESTA, STRINGS, SLOW_STRINGS, ACOUSTIC_BASS = 0, 8, 48, 49, 32
PICCOLO, FLUTE, SHAKUHACHI = 72, 73, 77
SHAMISEN, KOTO, TAIKO, WARM_PAD = 106, 107, 116, 89
DRUMS = 9  # channel 10
COWBELL, HI_WOOD, LO_WOOD, TRIANGLE, MARACAS = 56, 76, 77, 81, 70

CHORDS = {
    'C': ('C', [0, 4, 7]), 'D': ('D', [0, 4, 7]), 'E': ('E', [0, 4, 7]), 'F': ('F', [0, 4, 7]),
    'G': ('G', [0, 4, 7]), 'A': ('A', [0, 4, 7]), 'Bm': ('B', [0, 3, 7]), 'Em': ('E', [0, 3, 7]),
    'Am': ('A', [0, 3, 7]), 'Dm': ('D', [0, 3, 7]), 'F#m': ('F#', [0, 3, 7]),
    'Em7': ('E', [0, 3, 7, 10]), 'Esus': ('E', [0, 5, 7]),
}


def chord_keys(name, octave):
    root, ivs = CHORDS[name]
    r = note_number(root + str(octave))
    return [r + i for i in ivs]


def arpeggio(track, beat, chord, beats, octave=3, vel=58, pattern=(0, 2, 4, 3, 5, 3, 4, 2)):
    """Eighth-note broken chord, pattern indexes into root/5th/8ve/3rd/5th."""
    keys = chord_keys(chord, octave)
    tones = [keys[0], keys[0] + 7, keys[0] + 12, keys[1] + 12, keys[2] + 12, keys[0] + 24]
    steps = int(beats * 2)
    for k in range(steps):
        key = tones[pattern[k % len(pattern)]]
        track.note(beat + k * 0.5, 1.4, key, vel - 6 * (k % 2), gate=1.0)


def pad(track, beat, chord, beats, octave=4, vel=44):
    for key in chord_keys(chord, octave):
        track.note(beat, beats, key, vel, gate=0.98)


def bass(track, beat, chord, beats, octave=2, vel=70, halves=True):
    root = chord_keys(chord, octave)[0]
    if halves and beats >= 2:
        k = 0.0
        while k < beats:
            track.note(beat + k, min(2, beats - k), root if int(k) % 4 == 0 else root + 7, vel)
            k += 2
    else:
        track.note(beat, beats, root, vel)


def progression(text):
    """'D:4 Bm:4' -> [('D', 4.0), ('Bm', 4.0)]."""
    out = []
    for tok in text.split():
        c, b = tok.split(':')
        out.append((c, float(b)))
    return out


def each_chord(prog, start, action):
    beat = start
    for chord, beats in prog:
        action(beat, chord, beats)
        beat += beats
    return beat


# -- machi: the town at dusk ------------------------------------------------

def machi(path):
    bpm = 84
    a_prog = progression('D:4 Bm:4 G:4 A:4 D:4 Bm:4 G:2 A:2 D:4')
    b_prog = progression('G:4 A:4 F#m:4 Bm:4 G:4 A:4 Em7:4 A:4')
    a_mel = ('F#5:1.5 E5:0.5 D5:1 E5:1  F#5:1 A5:1 B5:2  A5:1.5 F#5:0.5 E5:1 D5:1  E5:3 r:1 '
             'F#5:1.5 E5:0.5 D5:1 E5:1  F#5:1 A5:1 D6:1.5 B5:0.5 '
             'A5:1 F#5:1 E5:1.5 F#5:0.5  D5:3 r:1')
    b_mel = ('B5:1.5 A5:0.5 B5:1 D6:1  E6:2 D6:1 B5:1  A5:1.5 F#5:0.5 A5:1 B5:1  F#5:3 r:1 '
             'B5:1.5 A5:0.5 B5:1 D6:1  E6:1.5 F#6:0.5 E6:1 D6:1  B5:1 A5:1 F#5:1 E5:1  A5:3 r:1')
    flute = Track('flute', 0, FLUTE, volume=92, reverb=60)
    koto = Track('koto', 1, KOTO, volume=84, pan=44, reverb=50)
    strings = Track('strings', 2, SLOW_STRINGS, volume=70, pan=84, reverb=70)
    low = Track('bass', 3, ACOUSTIC_BASS, volume=80)
    beat = 0
    for prog, mel in ((a_prog, a_mel), (b_prog, b_mel), (a_prog, a_mel)):
        flute.line(beat, mel, vel=84, gate=0.95)
        each_chord(prog, beat, lambda b, c, n: arpeggio(koto, b, c, n, octave=3, vel=60))
        each_chord(prog, beat, lambda b, c, n: pad(strings, b, c, n, octave=4, vel=40))
        each_chord(prog, beat, lambda b, c, n: bass(low, b, c, n))
        beat += 32
    write_smf(path, bpm, beat, [flute, koto, strings, low])
    return beat * 60 / bpm


# -- matsuri: the festival ----------------------------------------------------

def matsuri(path):
    bpm = 116
    fue = Track('shinobue', 0, PICCOLO, volume=88, reverb=50)
    shamisen = Track('shamisen', 1, SHAMISEN, volume=80, pan=40, reverb=30)
    taiko = Track('taiko', 2, TAIKO, volume=110, pan=64, reverb=40)
    kane = Track('kane', DRUMS, None, volume=80, pan=84, reverb=30)
    a_mel = ('A5:1 B5:0.5 A5:0.5 G5:1 E5:1  D5:1 E5:0.5 G5:0.5 A5:2 '
             'B5:1 D6:0.5 B5:0.5 A5:1 G5:1  A5:3 r:1 '
             'A5:1 B5:0.5 A5:0.5 G5:1 E5:1  D5:1 E5:0.5 G5:0.5 E5:1 D5:1 '
             'E5:1 G5:1 A5:0.5 G5:0.5 E5:1  D5:3 r:1')
    b_mel = ('D6:1.5 E6:0.5 D6:1 B5:1  A5:1 B5:1 D6:2  E6:1 D6:0.5 B5:0.5 A5:1 B5:1  A5:3 r:1 '
             'G5:1.5 A5:0.5 B5:1 A5:1  G5:1 E5:1 D5:2 '
             'E5:0.5 G5:0.5 A5:0.5 B5:0.5 D6:1 B5:1  A5:3 r:1')
    drone = {'A': ('D3', 'A3'), 'B': ('G3', 'D4')}

    def taiko_bar(beat, fill=False):
        # don . don don | don . ka ka  (ka on the wood block)
        hits = [(0, 112), (1, 80), (1.5, 92), (2, 108)] if not fill else \
            [(0, 112), (0.5, 96), (1, 104), (1.5, 110), (2, 116), (2.5, 116)]
        for off, vel in hits:
            taiko.note(beat + off, 0.5, note_number('D2'), vel, gate=1.0)
        for off in ((3, 3.5) if not fill else (3,)):
            kane.note(beat + off, 0.25, HI_WOOD, 96)
        if fill:
            taiko.note(beat + 3.5, 0.5, note_number('A1'), 124, gate=1.0)

    def kane_bar(beat):
        for off, vel in ((0, 70), (1, 50), (1.5, 60), (2, 70), (3, 50), (3.5, 60)):
            kane.note(beat + off, 0.25, COWBELL, vel)

    beat = 0
    # intro: drums alone, four bars
    for k in range(4):
        taiko_bar(beat + 4 * k, fill=(k == 3))
        kane_bar(beat + 4 * k)
    beat += 16
    for section, mel in (('A', a_mel), ('B', b_mel), ('A', a_mel)):
        fue.line(beat, mel, vel=92, gate=0.9)
        lo, hi = drone[section]
        for k in range(8):
            taiko_bar(beat + 4 * k, fill=(k == 7))
            kane_bar(beat + 4 * k)
            for off in (0.5, 1.5, 2.5, 3.5):
                shamisen.note(beat + 4 * k + off, 0.4, note_number(hi), 72)
            shamisen.note(beat + 4 * k, 0.5, note_number(lo), 88)
            shamisen.note(beat + 4 * k + 2, 0.5, note_number(lo), 80)
        beat += 32
    # outro: two bars of drums that lead back into the intro
    for k in range(2):
        taiko_bar(beat + 4 * k, fill=(k == 1))
        kane_bar(beat + 4 * k)
    beat += 8
    write_smf(path, bpm, beat, [fue, shamisen, taiko, kane])
    return beat * 60 / bpm


# -- yoru: the night beach ----------------------------------------------------

def yoru(path):
    bpm = 66
    prog = progression('Am:4 F:4 Am:4 Esus:2 E:2 Am:4 F:4 Dm:4 E:4 '
                       'F:4 C:4 Dm:4 E:4 Am:4 F:4 E:4 Am:4')
    mel = ('E5:3 F5:1  A5:2 F5:1 E5:1  C6:2 B5:1 A5:1  B5:4 '
           'E5:2 F5:1 A5:1  B5:2 C6:1 B5:1  A5:1 F5:1 E5:2  E5:4 '
           'A5:2 B5:1 C6:1  E6:3 C6:1  D6:2 C6:1 A5:1  B5:4 '
           'C6:1.5 B5:0.5 A5:2  F5:2 A5:1 B5:1  A5:1 F5:1 E5:2  E5:3 r:1')
    sparkle = ('r:16 E6:1 r:1 B6:1 r:1 A6:1 r:3 C7:1 r:1 B6:1 r:1 E6:2 r:2 '
               'A6:1 r:1 E7:1 r:1 C7:2 r:2 B6:1 r:1 A6:1 r:1 F6:2 r:2 '
               'E6:1 r:1 A6:1 r:1 B6:4 A6:1 r:1 E6:1 r:1 C7:2 r:2')
    shaku = Track('shakuhachi', 0, SHAKUHACHI, volume=90, reverb=90)
    cel = Track('celesta', 1, CELESTA, volume=64, pan=90, reverb=100)
    warm = Track('pad', 2, WARM_PAD, volume=76, pan=50, reverb=90)
    low = Track('bass', 3, ACOUSTIC_BASS, volume=70)
    end = shaku.line(0, mel, vel=80, gate=0.97)
    cel.line(0, sparkle, vel=56, gate=1.0)
    each_chord(prog, 0, lambda b, c, n: pad(warm, b, c, n, octave=3, vel=52))
    each_chord(prog, 0, lambda b, c, n: bass(low, b, c, n, octave=2, vel=58, halves=False))
    write_smf(path, bpm, end, [shaku, cel, warm, low])
    return end * 60 / bpm


# -- owari: the ending --------------------------------------------------------

def owari(path):
    bpm = 76
    prog = progression('G:4 D:4 Em:4 C:4 G:4 D:4 C:4 D:4 '
                       'Em:4 C:4 G:4 D:4 Em:4 C:4 Am:4 D:4 G:4 C:4 G:4 G:4')
    mel = ('B5:1.5 A5:0.5 G5:1 A5:1  B5:1 D6:1 A5:2  G5:1.5 A5:0.5 B5:1 E6:1  D6:3 r:1 '
           'B5:1.5 A5:0.5 G5:1 D5:1  E5:1 F#5:1 A5:2  G5:1 E5:1 A5:1 G5:1  F#5:3 r:1 '
           'E6:1.5 D6:0.5 B5:2  C6:1 B5:1 G5:2  D6:1.5 B5:0.5 G5:1 B5:1  A5:3 r:1 '
           'B5:1.5 C6:0.5 D6:1 E6:1  G6:2 E6:1 D6:1  C6:1 B5:1 A5:1 G5:1  A5:2 F#5:1 A5:1 '
           'G5:4  E5:2 G5:2  B5:2 D6:2  G5:3 r:1')
    flute = Track('flute', 0, FLUTE, volume=86, reverb=70)
    piano = Track('piano', 1, PIANO, volume=80, pan=50, reverb=60)
    strings = Track('strings', 2, STRINGS, volume=66, pan=80, reverb=80)
    low = Track('bass', 3, ACOUSTIC_BASS, volume=72)
    flute.line(0, mel, vel=82, gate=0.95)
    end = each_chord(prog, 0, lambda b, c, n: arpeggio(piano, b, c, n, octave=3, vel=54,
                                                      pattern=(0, 1, 2, 3, 4, 3, 2, 1)))
    each_chord(prog, 0, lambda b, c, n: pad(strings, b, c, n, octave=4, vel=42))
    each_chord(prog, 0, lambda b, c, n: bass(low, b, c, n))
    write_smf(path, bpm, end, [flute, piano, strings, low])
    return end * 60 / bpm


PIECES = {'machi': machi, 'matsuri': matsuri, 'yoru': yoru, 'owari': owari}
