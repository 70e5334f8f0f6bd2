"""Standard MIDI files: a small writer (format 1) and a reader for checks.

Notes are written as text: "D5:1.5" is the D above middle C's octave
(C4 = 60) held 1.5 beats, "r:1" a rest of one beat, "F#4", "Bb3" as usual.
"""

import struct

DIVISION = 480  # ticks per quarter note
NOTE_BASE = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}


def note_number(name):
    """'C4' -> 60, 'F#5' -> 78, 'Bb3' -> 58."""
    k = NOTE_BASE[name[0]]
    rest = name[1:]
    while rest and rest[0] in '#b':
        k += 1 if rest[0] == '#' else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + k


def parse_line(text):
    """'E5:1 r:0.5 G5:0.5' -> [(64+12, 1.0), (None, 0.5), ...]."""
    out = []
    for tok in text.split():
        name, beats = tok.split(':')
        out.append((None if name == 'r' else note_number(name), float(beats)))
    return out


def varlen(n):
    buf = [n & 0x7f]
    n >>= 7
    while n:
        buf.append(0x80 | (n & 0x7f))
        n >>= 7
    return bytes(reversed(buf))


class Track:
    def __init__(self, name, channel=0, program=None, volume=100, pan=64, reverb=40):
        self.name = name
        self.channel = channel
        self.events = []  # (tick, order, bytes)
        self.meta(0, 0x03, name.encode('ascii'))
        if program is not None:
            self.raw(0, bytes([0xC0 | channel, program]))
        if channel is not None:
            self.raw(0, bytes([0xB0 | channel, 7, volume]))
            self.raw(0, bytes([0xB0 | channel, 10, pan]))
            self.raw(0, bytes([0xB0 | channel, 91, reverb]))

    def raw(self, tick, data, order=1):
        self.events.append((int(round(tick)), order, data))

    def meta(self, tick, kind, data):
        self.raw(tick, bytes([0xFF, kind]) + varlen(len(data)) + data, order=0)

    def note(self, beat, beats, key, vel=80, gate=0.92):
        t0 = beat * DIVISION
        t1 = (beat + beats * gate) * DIVISION
        self.raw(t1, bytes([0x80 | self.channel, key, 0]), order=0)
        self.raw(t0, bytes([0x90 | self.channel, key, vel]), order=2)

    def line(self, beat, text, vel=80, gate=0.92, transpose=0):
        """Lays a melody written as text from beat on; returns the end beat."""
        for key, beats in parse_line(text):
            if key is not None:
                self.note(beat, beats, key + transpose, vel, gate)
            beat += beats
        return beat

    def encode(self, end_tick):
        # a note still ringing at the end is cut there, so the loop stays exact
        evs = sorted(((min(t, end_tick), o, d) for t, o, d in self.events),
                     key=lambda e: (e[0], e[1]))
        out = bytearray()
        last = 0
        for tick, _, data in evs:
            out += varlen(tick - last) + data
            last = tick
        out += varlen(max(0, end_tick - last)) + b'\xff\x2f\x00'
        return b'MTrk' + struct.pack('>I', len(out)) + bytes(out)


def write_smf(path, bpm, beats_total, tracks, numerator=4):
    """Format 1: a conductor track with tempo and metre, then the parts.

    Every track ends at the same tick, so the piece loops on a bar line."""
    conductor = Track('conductor', channel=None)
    conductor.meta(0, 0x51, struct.pack('>I', int(round(60000000 / bpm)))[1:])
    conductor.meta(0, 0x58, bytes([numerator, 2, 24, 8]))
    end = int(beats_total * DIVISION)
    data = b'MThd' + struct.pack('>IHHH', 6, 1, 1 + len(tracks), DIVISION)
    data += conductor.encode(end)
    for t in tracks:
        data += t.encode(end)
    with open(path, 'wb') as f:
        f.write(data)


# -- reader (used by the checks) -------------------------------------------

def read_smf(path):
    """Returns (format, ntracks, division, tempo changes, programs, notes, length s).

    Raises ValueError on anything malformed."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'MThd':
        raise ValueError('no MThd')
    hlen, fmt, ntrk, div = struct.unpack('>IHHH', data[4:14])
    if hlen != 6 or fmt not in (0, 1) or div & 0x8000:
        raise ValueError('unsupported header')
    pos = 8 + hlen
    tempos = []
    programs = set()
    notes = 0
    max_tick = 0
    for _ in range(ntrk):
        if data[pos:pos + 4] != b'MTrk':
            raise ValueError('no MTrk at %d' % pos)
        ln = struct.unpack('>I', data[pos + 4:pos + 8])[0]
        p = pos + 8
        end = p + ln
        tick = 0
        status = 0
        ended = False
        while p < end:
            delta = 0
            while True:
                b = data[p]
                p += 1
                delta = (delta << 7) | (b & 0x7f)
                if not b & 0x80:
                    break
            tick += delta
            b = data[p]
            if b & 0x80:
                status = b
                p += 1
            if status == 0xFF:
                kind = data[p]
                p += 1
                mlen = 0
                while True:
                    c = data[p]
                    p += 1
                    mlen = (mlen << 7) | (c & 0x7f)
                    if not c & 0x80:
                        break
                body = data[p:p + mlen]
                p += mlen
                if kind == 0x51:
                    tempos.append((tick, int.from_bytes(body, 'big')))
                if kind == 0x2F:
                    ended = True
            elif status in (0xF0, 0xF7):
                raise ValueError('sysex not expected')
            else:
                hi = status & 0xF0
                n = 1 if hi in (0xC0, 0xD0) else 2
                args = data[p:p + n]
                p += n
                if hi == 0xC0:
                    programs.add(((status & 0x0F), args[0]))
                if hi == 0x90 and args[1] > 0:
                    notes += 1
        if not ended or p != end:
            raise ValueError('track without end')
        max_tick = max(max_tick, tick)
        pos = end
    if pos != len(data):
        raise ValueError('trailing bytes')
    # length in seconds through the tempo map
    tempos.sort()
    if not tempos or tempos[0][0] != 0:
        tempos.insert(0, (0, 500000))
    secs = 0.0
    for k, (t, us) in enumerate(tempos):
        t_next = tempos[k + 1][0] if k + 1 < len(tempos) else max_tick
        secs += max(0, t_next - t) / div * us / 1e6
    return fmt, ntrk, div, tempos, programs, notes, secs
