"""Sound synthesis for the wave files: a float buffer, a few voices, effects.

All sound is 22050 Hz, 16-bit, mono PCM. Randomness comes from seeded
random.Random objects only, so every run writes the same bytes.
"""

import math
import random
import struct

RATE = 22050
TAU = 2 * math.pi


def buffer(seconds):
    return [0.0] * int(seconds * RATE)


def midi_hz(key):
    return 440.0 * 2 ** ((key - 69) / 12)


def wavetable(harmonics, size=2048):
    """One cycle made of (harmonic number, amplitude) pairs, peak 1."""
    tab = [0.0] * size
    for h, a in harmonics:
        for i in range(size):
            tab[i] += a * math.sin(TAU * h * i / size)
    peak = max(abs(v) for v in tab) or 1.0
    return [v / peak for v in tab]


def envelope(n, attack, release, sustain_decay=0.0):
    """Attack/release ramps (in samples) and an optional exponential decay."""
    env = [1.0] * n
    for i in range(n):
        e = 1.0
        if i < attack:
            e = i / attack
        if i > n - release:
            e *= max(0.0, (n - i) / release)
        if sustain_decay:
            e *= math.exp(-sustain_decay * i / RATE)
        env[i] = e
    return env


def add_tone(buf, start, dur, hz, amp, table, attack=0.02, release=0.08, decay=0.0,
             vibrato=0.0, vib_rate=5.2, vib_delay=0.25):
    """Wavetable voice with optional delayed vibrato."""
    i0 = int(start * RATE)
    n = int(dur * RATE)
    size = len(table)
    env = envelope(n, max(1, int(attack * RATE)), max(1, int(release * RATE)), decay)
    phase = 0.0
    step = hz * size / RATE
    vd = int(vib_delay * RATE)
    for i in range(n):
        j = i0 + i
        if j >= len(buf):
            break
        if vibrato and i > vd:
            depth = vibrato * min(1.0, (i - vd) / (0.3 * RATE))
            s = step * (1.0 + depth * math.sin(TAU * vib_rate * i / RATE))
        else:
            s = step
        phase += s
        if phase >= size:
            phase -= size
        buf[j] += amp * env[i] * table[int(phase)]


def add_pluck(buf, start, hz, amp, seconds, rnd, brightness=0.5):
    """Karplus-Strong string: koto-like when short and bright."""
    period = max(2, int(RATE / hz))
    line = [rnd.uniform(-1, 1) for _ in range(period)]
    # soften the initial burst
    for k in range(1, period):
        line[k] = line[k] * brightness + line[k - 1] * (1 - brightness)
    i0 = int(start * RATE)
    n = int(seconds * RATE)
    idx = 0
    damp = 0.996
    for i in range(n):
        j = i0 + i
        if j >= len(buf):
            break
        cur = line[idx]
        nxt = line[(idx + 1) % period]
        line[idx] = damp * 0.5 * (cur + nxt)
        buf[j] += amp * cur * (1.0 if i > 40 else i / 40)
        idx = (idx + 1) % period


def add_noise(buf, start, dur, amp, rnd, attack=0.005, decay=8.0, lowpass=0.5, highpass=0.0):
    """Filtered noise burst: lowpass near 1 keeps it bright, near 0 dull."""
    i0 = int(start * RATE)
    n = int(dur * RATE)
    lp = 0.0
    hp_prev = 0.0
    hp_out = 0.0
    a_n = max(1, int(attack * RATE))
    for i in range(n):
        j = i0 + i
        if j >= len(buf):
            break
        x = rnd.uniform(-1, 1)
        lp += lowpass * (x - lp)
        y = lp
        if highpass:
            hp_out = highpass * (hp_out + y - hp_prev)
            hp_prev = y
            y = hp_out
        e = (i / a_n if i < a_n else 1.0) * math.exp(-decay * i / RATE)
        buf[j] += amp * e * y


def add_sweep(buf, start, dur, hz0, hz1, amp, decay=6.0, attack=0.002, curve=1.0):
    """Sine whose pitch glides from hz0 to hz1 (drums, whistles, bubbles)."""
    i0 = int(start * RATE)
    n = int(dur * RATE)
    phase = 0.0
    a_n = max(1, int(attack * RATE))
    for i in range(n):
        j = i0 + i
        if j >= len(buf):
            break
        t = (i / n) ** curve
        hz = hz0 + (hz1 - hz0) * t
        phase += TAU * hz / RATE
        e = (i / a_n if i < a_n else 1.0) * math.exp(-decay * i / RATE)
        buf[j] += amp * e * math.sin(phase)


def add_bell(buf, start, hz, amp, seconds=2.0, partials=((1.0, 1.0, 1.6), (2.76, 0.5, 2.4),
                                                        (5.40, 0.25, 3.6), (8.93, 0.12, 5.0))):
    """Struck metal or glass: inharmonic partials, each with its own decay."""
    i0 = int(start * RATE)
    n = int(seconds * RATE)
    for ratio, a, dec in partials:
        f = hz * ratio
        if f > RATE / 2.2:
            continue
        w = TAU * f / RATE
        for i in range(n):
            j = i0 + i
            if j >= len(buf):
                break
            e = math.exp(-dec * i / RATE) * (1.0 if i > 30 else i / 30)
            buf[j] += amp * a * e * math.sin(w * i)


def reverb(buf, mix=0.25, delays=(0.0297, 0.0371, 0.0411, 0.0437), feedback=0.72):
    """A small Schroeder-style room: parallel feedback combs, then mixed in."""
    out = [0.0] * len(buf)
    for d in delays:
        k = int(d * RATE)
        line = [0.0] * len(buf)
        for i in range(len(buf)):
            v = buf[i] + (line[i - k] * feedback if i >= k else 0.0)
            line[i] = v
            out[i] += v
    scale = mix / len(delays)
    return [buf[i] + out[i] * scale * (1 - feedback) * 2.0 for i in range(len(buf))]


def normalise(buf, peak=0.89):
    m = max(abs(v) for v in buf) or 1.0
    g = peak / m
    return [v * g for v in buf]


def fade(buf, start_s, end_s):
    a = int(start_s * RATE)
    b = min(len(buf), int(end_s * RATE))
    for i in range(a, len(buf)):
        buf[i] *= max(0.0, (b - i) / (b - a)) if i < b else 0.0


def write_wav(path, buf):
    data = bytearray(len(buf) * 2)
    for i, v in enumerate(buf):
        s = int(round(max(-1.0, min(1.0, v)) * 32767))
        struct.pack_into('<h', data, 2 * i, s)
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVE')
        f.write(b'fmt ' + struct.pack('<IHHIIHH', 16, 1, 1, RATE, RATE * 2, 2, 16))
        f.write(b'data' + struct.pack('<I', len(data)) + bytes(data))


def read_wav_header(path):
    """(channels, rate, bits, seconds) of a plain PCM wave file."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        raise ValueError('not RIFF/WAVE')
    pos = 12
    fmt = None
    while pos + 8 <= len(data):
        cid = data[pos:pos + 4]
        ln = struct.unpack('<I', data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + ln]
        if cid == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        if cid == b'data':
            if fmt is None or fmt[0] != 1:
                raise ValueError('not PCM')
            return fmt[1], fmt[2], fmt[5], ln / fmt[3]
        pos += 8 + ln + (ln & 1)
    raise ValueError('no data chunk')


# -- effects -------------------------------------------------------------------

def fx_bell():
    """A glass wind chime: two light strikes and their ring."""
    buf = buffer(2.2)
    glass = ((1.0, 1.0, 1.8), (2.32, 0.45, 2.6), (4.25, 0.22, 3.8), (6.63, 0.1, 5.5))
    add_bell(buf, 0.0, 1568.0, 0.5, 2.2, glass)
    add_bell(buf, 0.42, 1760.0, 0.35, 1.7, glass)
    add_bell(buf, 0.05, 3136.0, 0.08, 0.6, ((1.0, 1.0, 7.0),))
    return normalise(reverb(buf, 0.35), 0.8)


def fx_suzu():
    """A small round bell shaken three times: bright, jingling."""
    rnd = random.Random(7)
    buf = buffer(1.6)
    for k, t in enumerate((0.0, 0.18, 0.33, 0.5, 0.62)):
        base = rnd.uniform(2300, 2600)
        add_bell(buf, t, base, 0.5 - 0.06 * k, 0.9,
                 ((1.0, 1.0, 6.0), (1.51, 0.6, 7.0), (2.33, 0.35, 9.0), (3.1, 0.2, 12.0)))
        add_noise(buf, t, 0.03, 0.25, rnd, decay=80, lowpass=0.9, highpass=0.6)
    return normalise(reverb(buf, 0.3), 0.8)


def fx_clack():
    """Wooden geta on stone: three footsteps, the last softer."""
    rnd = random.Random(11)
    buf = buffer(1.3)
    for k, t in enumerate((0.0, 0.36, 0.72)):
        g = 1.0 - 0.25 * k
        add_noise(buf, t, 0.06, 0.5 * g, rnd, decay=70, lowpass=0.6)
        add_sweep(buf, t, 0.12, 920, 860, 0.6 * g, decay=45)
        add_sweep(buf, t, 0.08, 1720, 1650, 0.25 * g, decay=60)
        add_sweep(buf, t + 0.012, 0.1, 480, 430, 0.3 * g, decay=50)
    return normalise(reverb(buf, 0.2), 0.85)


def fx_splash():
    """Something small dropped into the sea, and the water closing over it."""
    rnd = random.Random(13)
    buf = buffer(1.6)
    add_noise(buf, 0.0, 0.5, 0.7, rnd, attack=0.004, decay=9, lowpass=0.7)
    add_noise(buf, 0.02, 0.9, 0.4, rnd, attack=0.05, decay=4, lowpass=0.15)
    add_sweep(buf, 0.0, 0.15, 300, 90, 0.5, decay=18)
    for _ in range(14):
        t = rnd.uniform(0.08, 1.0)
        f = rnd.uniform(500, 1300)
        add_sweep(buf, t, 0.05, f, f * 1.6, rnd.uniform(0.08, 0.2), decay=40, curve=0.5)
    return normalise(reverb(buf, 0.25), 0.85)


def fx_fire():
    """A firework: the rising whistle, the burst and the crackle after it."""
    rnd = random.Random(17)
    buf = buffer(3.6)
    add_sweep(buf, 0.0, 0.9, 700, 1900, 0.25, decay=0.5, attack=0.2, curve=0.8)
    add_noise(buf, 0.0, 0.9, 0.06, rnd, attack=0.3, decay=1.0, lowpass=0.9, highpass=0.5)
    add_sweep(buf, 0.9, 1.4, 90, 38, 0.9, decay=3.0)
    add_noise(buf, 0.9, 1.8, 0.8, rnd, attack=0.002, decay=3.5, lowpass=0.12)
    add_noise(buf, 0.9, 0.4, 0.4, rnd, attack=0.002, decay=12, lowpass=0.6)
    for _ in range(70):
        t = 1.2 + rnd.expovariate(1.4)
        if t < 3.4:
            add_noise(buf, t, 0.012, rnd.uniform(0.05, 0.2), rnd, attack=0.0005, decay=300,
                      lowpass=0.95, highpass=0.5)
    return normalise(reverb(buf, 0.4), 0.85)


def fx_taiko():
    """One big taiko stroke with a rim tap before it."""
    rnd = random.Random(19)
    buf = buffer(1.8)
    add_noise(buf, 0.0, 0.04, 0.3, rnd, decay=90, lowpass=0.8)
    add_sweep(buf, 0.0, 0.05, 1300, 1200, 0.3, decay=80)
    add_sweep(buf, 0.22, 1.5, 120, 62, 1.0, decay=3.2, curve=0.4)
    add_sweep(buf, 0.22, 1.0, 190, 150, 0.3, decay=6.0)
    add_noise(buf, 0.22, 0.5, 0.35, rnd, decay=10, lowpass=0.08)
    return normalise(reverb(buf, 0.3), 0.9)


EFFECTS = {'bell': fx_bell, 'suzu': fx_suzu, 'clack': fx_clack, 'splash': fx_splash,
           'fire': fx_fire, 'taiko': fx_taiko}
