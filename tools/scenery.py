"""Building blocks of the scene pictures: skies, sea, moon, stars, lantern
light and silhouettes of a small seaside town at festival time."""

import math

from raster import hexrgb, mix

LANTERN_LIGHT = (255, 160, 70)


def sky(cv, stops, y1=None):
    cv.vgradient([(t, hexrgb(c)) for t, c in stops], 0, y1 if y1 is not None else cv.h)


def stars(cv, rnd, n, y1, bright=1.0):
    for _ in range(n):
        x = rnd.uniform(0, cv.w)
        y = rnd.uniform(0, y1) ** 1.0
        fade = 1.0 - y / max(1, y1)
        m = rnd.random()
        a = bright * fade * (0.35 + 0.65 * m)
        if m > 0.93:
            cv.glow(x, y, 4.5, (255, 250, 225), a * 0.8, 1.5)
        cv.blend(int(x), int(y), (255, 252, 235), a)


def milky_way(cv, rnd, y_at, width, y1):
    """A faint diagonal band of light; y_at(x) gives its centre line."""
    for x in range(0, cv.w):
        yc = y_at(x)
        for y in range(max(0, int(yc - width)), min(y1, int(yc + width))):
            d = abs(y - yc) / width
            cv.add(x, y, (60, 60, 90), 0.18 * (1 - d) ** 2)
    for _ in range(int(cv.w * 1.2)):
        x = rnd.uniform(0, cv.w)
        y = y_at(x) + rnd.gauss(0, width / 3)
        if 0 <= y < y1:
            cv.blend(int(x), int(y), (230, 230, 255), rnd.uniform(0.15, 0.5))


def moon(cv, x, y, r, phase_shadow=None, halo=2.8):
    cv.glow(x, y, r * halo * 2.2, (120, 130, 170), 0.35, 2.0)
    cv.glow(x, y, r * halo, (255, 245, 210), 0.45, 2.0)
    cv.circle(x, y, r, (252, 246, 222))
    cv.circle(x - r * 0.3, y + r * 0.2, r * 0.22, (232, 226, 200), 0.6)
    cv.circle(x + r * 0.25, y - r * 0.3, r * 0.15, (236, 230, 206), 0.6)
    cv.circle(x + r * 0.35, y + r * 0.35, r * 0.12, (236, 230, 206), 0.5)
    if phase_shadow is not None:
        cv.circle(x + r * 0.55, y - r * 0.25, r * 0.95, phase_shadow)


def sea(cv, y0, top, bottom, rnd, shimmer=(200, 210, 255), moon_x=None, glints=260):
    cv.vgradient([(0.0, hexrgb(top)), (1.0, hexrgb(bottom))], y0, cv.h)
    # long gentle wave lines
    for _ in range(glints):
        y = rnd.uniform(y0 + 2, cv.h)
        depth = (y - y0) / (cv.h - y0)
        ln = 6 + 40 * depth * rnd.random()
        x = rnd.uniform(-20, cv.w)
        a = 0.10 + 0.22 * rnd.random()
        cv.rect(x, y, x + ln, y + 0.6 + depth * 1.2, shimmer, a)
    if moon_x is not None:
        moon_path(cv, moon_x, y0, rnd)


def moon_path(cv, mx, y0, rnd, colour=(255, 240, 200)):
    """The moon's broken reflection: bright dashes that widen toward the shore."""
    y = y0 + 1.0
    while y < cv.h:
        depth = (y - y0) / (cv.h - y0)
        spread = 6 + 60 * depth
        for _ in range(2):
            w = rnd.uniform(4, 12 + 30 * depth)
            x = mx + rnd.gauss(0, spread * 0.45) - w / 2
            cv.rect(x, y, x + w, y + 0.8 + 1.6 * depth, colour, rnd.uniform(0.35, 0.85))
        y += 1.6 + 3.5 * depth


def ridge(cv, base, amp, waves, colour, rnd=None, a=1.0, x0=0, x1=None):
    """A hill or mountain line: a sum of sines, filled down to the bottom."""
    x1 = cv.w if x1 is None else x1
    pts = [(x0, cv.h)]
    phases = [(f, p, s) for f, p, s in waves]
    for x in range(x0, x1 + 1, 3):
        y = base
        for f, p, s in phases:
            y -= amp * s * math.sin(x * f + p)
        pts.append((x, y))
    pts.append((x1, cv.h))
    cv.polygon(pts, colour, a)


def roof(cv, x0, x1, y, h, colour, overhang=6, curve=0.35):
    """A Japanese tiled roof seen from the front: slightly curved eaves."""
    pts = []
    n = 12
    for k in range(n + 1):
        t = k / n
        x = x0 - overhang + (x1 - x0 + 2 * overhang) * t
        lift = curve * h * (2 * t - 1) ** 4
        pts.append((x, y - lift))
    pts.append((x1 - (x1 - x0) * 0.18, y - h))
    pts.append((x0 + (x1 - x0) * 0.18, y - h))
    cv.polygon(pts, colour)


def house(cv, x, ground, w, h, colour, rnd, windows=True, window_light=(255, 196, 110)):
    cv.rect(x, ground - h, x + w, ground, colour)
    roof(cv, x, x + w, ground - h + 1, h * 0.55, colour, overhang=w * 0.1)
    if windows:
        nwin = max(1, int(w / 26))
        for k in range(nwin):
            if rnd.random() < 0.65:
                wx = x + (k + 0.5) * w / nwin - 5
                wy = ground - h * 0.7
                cv.glow(wx + 5, wy + 5, 18, window_light, 0.25)
                cv.rect(wx, wy, wx + 10, wy + 9, window_light, 0.9)
                cv.rect(wx + 4.5, wy, wx + 5.5, wy + 9, colour, 0.8)


def town_row(cv, rnd, ground, x0, x1, colour, hmin=26, hmax=48, wmin=34, wmax=70,
             window_light=(255, 196, 110)):
    x = x0
    while x < x1:
        w = rnd.uniform(wmin, wmax)
        h = rnd.uniform(hmin, hmax)
        house(cv, x, ground, w, h, colour, rnd, window_light=window_light)
        x += w + rnd.uniform(4, 16)


def torii(cv, cx, base, h, colour=(200, 40, 36), shade=(120, 20, 20), a=1.0):
    w = h * 0.95
    pw = h * 0.075
    # pillars, slightly leaning inward
    for s in (-1, 1):
        xb = cx + s * w * 0.36
        xt = cx + s * w * 0.33
        cv.polygon([(xb - pw / 2, base), (xb + pw / 2, base), (xt + pw / 2.4, base - h * 0.86),
                    (xt - pw / 2.4, base - h * 0.86)], colour, a)
        cv.rect(xb - pw * 0.7, base - h * 0.06, xb + pw * 0.7, base, shade, a)
    # nuki (lower beam)
    cv.rect(cx - w * 0.45, base - h * 0.70, cx + w * 0.45, base - h * 0.64, colour, a)
    # kasagi (curved top beam) and shimaki below it
    top = []
    n = 16
    for k in range(n + 1):
        t = k / n
        x = cx - w * 0.58 + w * 1.16 * t
        lift = h * 0.07 * (2 * t - 1) ** 2
        top.append((x, base - h * 0.90 - lift))
    bottom = [(x, y + h * 0.075) for x, y in reversed(top[1:-1])]
    cv.polygon(top + bottom, (40, 24, 24) if a >= 1 else colour, a)
    cv.rect(cx - w * 0.5, base - h * 0.86, cx + w * 0.5, base - h * 0.80, colour, a)
    cv.rect(cx - pw * 0.45, base - h * 0.86, cx + pw * 0.45, base - h * 0.70, colour, a)


def chochin(cv, x, y, r, body=(230, 70, 50), light=LANTERN_LIGHT, glow=True, a=1.0):
    """A small lit paper lantern hanging at (x, y) (its centre)."""
    if glow:
        cv.glow(x, y, r * 5, light, 0.45 * a, 2.0)
    cv.ellipse(x, y, r, r * 1.25, body, a)
    cv.ellipse(x - r * 0.2, y - r * 0.2, r * 0.6, r * 0.8, mix(body, (255, 230, 160), 0.6), 0.6 * a)
    cv.rect(x - r * 0.55, y - r * 1.4, x + r * 0.55, y - r * 1.1, (30, 20, 20), a)
    cv.rect(x - r * 0.55, y + r * 1.1, x + r * 0.55, y + r * 1.4, (30, 20, 20), a)


def lantern_string(cv, x0, y0, x1, y1, sag, n, r, rnd, colours):
    pts = []
    for k in range(41):
        t = k / 40
        pts.append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * t + sag * 4 * t * (1 - t)))
    cv.polyline(pts, 1.0, (30, 24, 30), 0.9, round_joints=False)
    for k in range(n):
        t = (k + 0.5) / n
        x = x0 + (x1 - x0) * t
        y = y0 + (y1 - y0) * t + sag * 4 * t * (1 - t)
        c = colours[k % len(colours)]
        cv.line(x, y, x, y + r * 0.6, 0.8, (30, 24, 30))
        chochin(cv, x, y + r * 1.9, r, body=c)


def person(cv, x, ground, h, colour, a=1.0, kimono=True, hair_bun=False, lean=0.0):
    """A standing figure in a yukata, seen as a silhouette."""
    head = h * 0.13
    cv.circle(x + lean * h * 0.1, ground - h + head, head, colour, a)
    if hair_bun:
        cv.circle(x + lean * h * 0.1 - head * 0.2, ground - h - head * 0.1, head * 0.55, colour, a)
    sh = h * 0.16
    top = ground - h + head * 2.0
    if kimono:
        body = [(x - sh + lean * h * 0.08, top), (x + sh + lean * h * 0.08, top),
                (x + sh * 0.95, ground - h * 0.45), (x + sh * 0.8, ground),
                (x - sh * 0.8, ground), (x - sh * 0.95, ground - h * 0.45)]
    else:
        body = [(x - sh, top), (x + sh, top), (x + sh * 0.7, ground), (x - sh * 0.7, ground)]
    cv.polygon(body, colour, a)
    # sleeves
    cv.polygon([(x - sh + lean * h * 0.08, top + 2), (x - sh * 1.6, top + h * 0.3),
                (x - sh * 1.0, top + h * 0.34), (x - sh * 0.8, top + h * 0.1)], colour, a)
    cv.polygon([(x + sh + lean * h * 0.08, top + 2), (x + sh * 1.6, top + h * 0.3),
                (x + sh * 1.0, top + h * 0.34), (x + sh * 0.8, top + h * 0.1)], colour, a)


def crowd(cv, rnd, ground, x0, x1, hmin, hmax, colour, density=0.08):
    n = int((x1 - x0) * density)
    for _ in range(n):
        x = rnd.uniform(x0, x1)
        h = rnd.uniform(hmin, hmax)
        g = ground + rnd.uniform(-2, 2)
        person(cv, x, g, h, mix(colour, (0, 0, 0), rnd.uniform(0, 0.3)),
               hair_bun=rnd.random() < 0.4, lean=rnd.uniform(-0.3, 0.3))


def toro(cv, x, y, s, a=1.0, reflection=True):
    """A floating paper lantern on water: box, light and its reflection."""
    if reflection:
        for k in range(6):
            cv.rect(x - s * (0.6 - k * 0.06), y + s * 0.2 + k * s * 0.28,
                    x + s * (0.6 - k * 0.06), y + s * 0.2 + k * s * 0.28 + s * 0.12,
                    (255, 190, 100), a * (0.4 - k * 0.06))
    cv.glow(x, y - s * 0.6, s * 4.5, LANTERN_LIGHT, 0.45 * a, 2.0)
    cv.rect(x - s * 0.75, y - s * 0.15, x + s * 0.75, y + s * 0.1, (70, 40, 24), a)
    cv.rect(x - s * 0.55, y - s * 1.25, x + s * 0.55, y - s * 0.15, (255, 232, 170), a)
    cv.rect(x - s * 0.55, y - s * 1.3, x + s * 0.55, y - s * 1.18, (70, 40, 24), a)
    cv.ellipse(x, y - s * 0.6, s * 0.22, s * 0.35, (255, 250, 220), a)


def firework(cv, rnd, x, y, r, colour, n=48, a=1.0):
    cv.glow(x, y, r * 1.6, colour, 0.25 * a, 2.0)
    for k in range(n):
        ang = 2 * math.pi * k / n + rnd.uniform(-0.05, 0.05)
        rr = r * rnd.uniform(0.85, 1.05)
        for s in range(1, 9):
            t = s / 8
            px = x + math.cos(ang) * rr * t
            py = y + math.sin(ang) * rr * t + (t * t) * r * 0.15
            cv.circle(px, py, 0.6 + 0.9 * t, mix(colour, (255, 255, 240), 0.6 * (1 - t)),
                      a * (0.25 + 0.75 * t))


def tree_clump(cv, rnd, x, y, r, colour, n=14):
    for _ in range(n):
        cv.circle(x + rnd.gauss(0, r * 0.45), y + rnd.gauss(0, r * 0.35),
                  r * rnd.uniform(0.35, 0.6), colour)


def pine(cv, x, ground, h, colour, rnd):
    cv.line(x, ground, x + h * 0.1, ground - h * 0.75, h * 0.05, colour)
    for k in range(4):
        yy = ground - h * (0.45 + 0.17 * k)
        w = h * (0.55 - 0.1 * k)
        off = rnd.uniform(-0.1, 0.1) * h
        cv.ellipse(x + h * 0.08 + off, yy, w * 0.5, h * 0.08, colour)


def boat(cv, x, y, w, colour, mast=True):
    cv.polygon([(x - w * 0.5, y - w * 0.12), (x + w * 0.55, y - w * 0.16), (x + w * 0.38, y),
                (x - w * 0.4, y)], colour)
    cv.rect(x - w * 0.15, y - w * 0.3, x + w * 0.2, y - w * 0.12, colour)
    if mast:
        cv.line(x + w * 0.05, y - w * 0.12, x + w * 0.05, y - w * 0.75, 1.5, colour)
