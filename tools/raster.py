"""A small anti-aliased RGB canvas in pure Python, and PNG/BMP writers.

Everything the asset generators draw goes through this module, so the
pictures come out byte-identical on every run (no randomness here; callers
seed their own random.Random).
"""

import math
import struct
import zlib


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c0, c1, t):
    """Linear mix of two RGB colours, t in 0..1."""
    return (c0[0] + (c1[0] - c0[0]) * t,
            c0[1] + (c1[1] - c0[1]) * t,
            c0[2] + (c1[2] - c0[2]) * t)


def hexrgb(s):
    s = s.lstrip('#')
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


class Canvas:
    """RGB canvas with float channels; shapes are blended with coverage."""

    def __init__(self, w, h, bg=(0, 0, 0)):
        self.w = w
        self.h = h
        self.r = [float(bg[0])] * (w * h)
        self.g = [float(bg[1])] * (w * h)
        self.b = [float(bg[2])] * (w * h)

    # -- pixel access -------------------------------------------------
    def blend(self, x, y, c, a):
        if a <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        if a > 1.0:
            a = 1.0
        i = y * self.w + x
        self.r[i] += (c[0] - self.r[i]) * a
        self.g[i] += (c[1] - self.g[i]) * a
        self.b[i] += (c[2] - self.b[i]) * a

    def add(self, x, y, c, a):
        """Additive light (glows); channels saturate at 255 on output."""
        if a <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        i = y * self.w + x
        self.r[i] += c[0] * a
        self.g[i] += c[1] * a
        self.b[i] += c[2] * a

    def get(self, x, y):
        i = y * self.w + x
        return (self.r[i], self.g[i], self.b[i])

    # -- fills ----------------------------------------------------------
    def vgradient(self, stops, y0=0, y1=None, x0=0, x1=None):
        """Vertical gradient through (t, colour) stops over rows y0..y1."""
        y1 = self.h if y1 is None else y1
        x1 = self.w if x1 is None else x1
        span = max(1, y1 - y0 - 1)
        for y in range(max(0, y0), min(self.h, y1)):
            t = (y - y0) / span
            c = stops[-1][1]
            for k in range(len(stops) - 1):
                ta, ca = stops[k]
                tb, cb = stops[k + 1]
                if ta <= t <= tb:
                    c = mix(ca, cb, (t - ta) / max(1e-9, tb - ta))
                    break
            for x in range(max(0, x0), min(self.w, x1)):
                i = y * self.w + x
                self.r[i], self.g[i], self.b[i] = c

    def rect(self, x0, y0, x1, y1, c, a=1.0):
        """Filled rectangle with fractional (anti-aliased) edges."""
        for y in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)))):
            cy = clamp(min(y + 1, y1) - max(y, y0))
            for x in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)))):
                cx = clamp(min(x + 1, x1) - max(x, x0))
                self.blend(x, y, c, a * cx * cy)

    def ellipse(self, cx, cy, rx, ry, c, a=1.0, add=False):
        rx = max(rx, 0.01)
        ry = max(ry, 0.01)
        m = min(rx, ry)
        for y in range(max(0, int(cy - ry - 1)), min(self.h, int(cy + ry + 2))):
            dy = (y + 0.5 - cy) / ry
            for x in range(max(0, int(cx - rx - 1)), min(self.w, int(cx + rx + 2))):
                dx = (x + 0.5 - cx) / rx
                d = math.sqrt(dx * dx + dy * dy)
                cov = clamp((1.0 - d) * m + 0.5)
                if cov > 0:
                    if add:
                        self.add(x, y, c, a * cov)
                    else:
                        self.blend(x, y, c, a * cov)

    def circle(self, cx, cy, r, c, a=1.0):
        self.ellipse(cx, cy, r, r, c, a)

    def ring(self, cx, cy, r, width, c, a=1.0):
        for y in range(max(0, int(cy - r - width)), min(self.h, int(cy + r + width + 2))):
            for x in range(max(0, int(cx - r - width)), min(self.w, int(cx + r + width + 2))):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                cov = clamp(width / 2 - abs(d - r) + 0.5)
                self.blend(x, y, c, a * cov)

    def glow(self, cx, cy, r, c, a=1.0, power=2.0):
        """Soft additive light that fades to nothing at radius r."""
        for y in range(max(0, int(cy - r)), min(self.h, int(cy + r + 1))):
            for x in range(max(0, int(cx - r)), min(self.w, int(cx + r + 1))):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / r
                if d < 1.0:
                    self.add(x, y, c, a * (1.0 - d) ** power)

    def polygon(self, pts, c, a=1.0, sub=4):
        """Even-odd filled polygon, anti-aliased with sub scanlines per row."""
        if len(pts) < 3:
            return
        ys = [p[1] for p in pts]
        ymin = max(0, int(math.floor(min(ys))))
        ymax = min(self.h - 1, int(math.ceil(max(ys))))
        xs = [p[0] for p in pts]
        xmin = max(0, int(math.floor(min(xs))))
        xmax = min(self.w - 1, int(math.ceil(max(xs))))
        if xmin > xmax:
            return
        edges = []
        n = len(pts)
        for k in range(n):
            p0 = pts[k]
            p1 = pts[(k + 1) % n]
            if p0[1] != p1[1]:
                edges.append((p0, p1))
        wsub = 1.0 / sub
        for y in range(ymin, ymax + 1):
            cov = [0.0] * (xmax - xmin + 2)
            for s in range(sub):
                sy = y + (s + 0.5) * wsub
                xs_cross = []
                for p0, p1 in edges:
                    ya, yb = p0[1], p1[1]
                    if (ya <= sy < yb) or (yb <= sy < ya):
                        t = (sy - ya) / (yb - ya)
                        xs_cross.append(p0[0] + (p1[0] - p0[0]) * t)
                xs_cross.sort()
                for k in range(0, len(xs_cross) - 1, 2):
                    xa = max(xs_cross[k], xmin)
                    xb = min(xs_cross[k + 1], xmax + 1)
                    if xb <= xa:
                        continue
                    ia = int(math.floor(xa))
                    ib = int(math.floor(xb))
                    if ia == ib:
                        cov[ia - xmin] += (xb - xa) * wsub
                    else:
                        cov[ia - xmin] += (ia + 1 - xa) * wsub
                        for xi in range(ia + 1, ib):
                            cov[xi - xmin] += wsub
                        if ib <= xmax:
                            cov[ib - xmin] += (xb - ib) * wsub
            for xi in range(xmax - xmin + 1):
                if cov[xi] > 0:
                    self.blend(xi + xmin, y, c, a * min(1.0, cov[xi]))

    def line(self, x0, y0, x1, y1, width, c, a=1.0):
        dx = x1 - x0
        dy = y1 - y0
        ln = math.hypot(dx, dy)
        if ln == 0:
            self.circle(x0, y0, width / 2, c, a)
            return
        nx = -dy / ln * width / 2
        ny = dx / ln * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                      (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], c, a)

    def polyline(self, pts, width, c, a=1.0, round_joints=True):
        for k in range(len(pts) - 1):
            self.line(pts[k][0], pts[k][1], pts[k + 1][0], pts[k + 1][1], width, c, a)
        if round_joints and width > 1.5:
            for p in pts[1:-1]:
                self.circle(p[0], p[1], width / 2, c, a)

    def vignette(self, strength=0.35):
        cx, cy = self.w / 2, self.h / 2
        md = math.hypot(cx, cy)
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x - cx, y - cy) / md
                f = 1.0 - strength * d * d
                i = y * self.w + x
                self.r[i] *= f
                self.g[i] *= f
                self.b[i] *= f

    # -- output ---------------------------------------------------------
    def rgb_rows(self):
        out = []
        for y in range(self.h):
            row = bytearray(self.w * 3)
            base = y * self.w
            for x in range(self.w):
                i = base + x
                row[3 * x] = int(clamp(self.r[i], 0, 255) + 0.5)
                row[3 * x + 1] = int(clamp(self.g[i], 0, 255) + 0.5)
                row[3 * x + 2] = int(clamp(self.b[i], 0, 255) + 0.5)
            out.append(bytes(row))
        return out


def write_png(path, canvas):
    rows = canvas.rgb_rows()
    raw = b''.join(b'\x00' + r for r in rows)

    def chunk(tag, data):
        return (struct.pack('>I', len(data)) + tag + data +
                struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff))

    ihdr = struct.pack('>IIBBBBB', canvas.w, canvas.h, 8, 2, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', ihdr))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))


def write_bmp(path, canvas):
    """24-bit bottom-up Windows bitmap."""
    rows = canvas.rgb_rows()
    stride = (canvas.w * 3 + 3) & ~3
    pad = b'\x00' * (stride - canvas.w * 3)
    body = bytearray()
    for row in reversed(rows):
        bgr = bytearray(len(row))
        bgr[0::3] = row[2::3]
        bgr[1::3] = row[1::3]
        bgr[2::3] = row[0::3]
        body += bgr + pad
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 24, 0,
                       len(body), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)
