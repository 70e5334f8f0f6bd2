"""The item sheet: 720 x 300 pixels, 6 x 3 cells of 120 x 100, one per item.

Item numbers (the scripts use the same numbers in ITMS, IF and EVA):
  0 お守り   1 提灯     2 マッチ   3 貝殻     4 鍵       5 手紙
  6 団扇     7 金魚     8 ラムネ   9 鈴      10 灯籠    11 りんご飴
 12 花火    13 風鈴    14 お面    15 地図    16 写真    (17: empty cell)
"""

import math
import random

from raster import Canvas, hexrgb, mix

CELL_W = 120
CELL_H = 100

ITEM_NAMES = ['お守り', '提灯', 'マッチ', '貝殻', '鍵', '手紙', '団扇', '金魚',
              'ラムネ', '鈴', '灯籠', 'りんご飴', '花火', '風鈴', 'お面', '地図',
              '写真']

INK = hexrgb('3a2a22')
RED = hexrgb('c8322c')
DARKRED = hexrgb('8a1e1c')
GOLD = hexrgb('e0b040')
DARKGOLD = hexrgb('a07820')
WHITE = (250, 248, 240)


def cell_background(cv, ox, oy):
    top = hexrgb('fbf3e0')
    bot = hexrgb('ecd9b5')
    for y in range(CELL_H):
        c = mix(top, bot, y / (CELL_H - 1))
        for x in range(CELL_W):
            cv.blend(ox + x, oy + y, c, 1.0)
    # soft paper frame
    frame = hexrgb('c9a97a')
    cv.rect(ox + 2, oy + 2, ox + CELL_W - 2, oy + 3, frame)
    cv.rect(ox + 2, oy + CELL_H - 3, ox + CELL_W - 2, oy + CELL_H - 2, frame)
    cv.rect(ox + 2, oy + 2, ox + 3, oy + CELL_H - 2, frame)
    cv.rect(ox + CELL_W - 3, oy + 2, ox + CELL_W - 2, oy + CELL_H - 2, frame)


def shadow(cv, cx, cy, rx, ry=None):
    cv.ellipse(cx, cy, rx, ry or rx * 0.22, (90, 70, 50), 0.25)


def rounded_rect(cx0, cy0, cx1, cy1, r, steps=6):
    pts = []
    corners = [(cx1 - r, cy0 + r, -90), (cx1 - r, cy1 - r, 0),
               (cx0 + r, cy1 - r, 90), (cx0 + r, cy0 + r, 180)]
    for (ccx, ccy, a0) in corners:
        for s in range(steps + 1):
            a = math.radians(a0 + 90 * s / steps)
            pts.append((ccx + r * math.cos(a), ccy + r * math.sin(a)))
    return pts


def draw_omamori(cv, ox, oy):
    cx = ox + 60
    shadow(cv, cx, oy + 88, 26)
    body = [(cx - 20, oy + 30), (cx - 12, oy + 22), (cx + 12, oy + 22), (cx + 20, oy + 30),
            (cx + 20, oy + 86), (cx - 20, oy + 86)]
    cv.polygon(body, DARKRED)
    inner = [(cx - 17, oy + 31), (cx - 11, oy + 25), (cx + 11, oy + 25), (cx + 17, oy + 31),
             (cx + 17, oy + 83), (cx - 17, oy + 83)]
    cv.polygon(inner, RED)
    # gold embroidered panel and lines
    cv.rect(cx - 9, oy + 40, cx + 9, oy + 74, GOLD)
    cv.rect(cx - 7, oy + 42, cx + 7, oy + 72, hexrgb('f4d878'))
    for k in range(4):
        cv.rect(cx - 5, oy + 46 + k * 7, cx + 5, oy + 48 + k * 7, DARKRED, 0.8)
    for k in range(6):
        cv.circle(cx - 14 + k * 5.6, oy + 79, 1.2, GOLD)
    # cord and knot
    cv.ring(cx, oy + 13, 8, 2.4, hexrgb('6a3fb0'))
    cv.circle(cx - 3, oy + 22, 3.2, hexrgb('7e52c8'))
    cv.circle(cx + 3, oy + 22, 3.2, hexrgb('7e52c8'))


def draw_chochin(cv, ox, oy, lit=True):
    cx, cy = ox + 60, oy + 54
    if lit:
        cv.glow(cx, cy, 48, (255, 170, 60), 0.55)
    cv.line(cx, oy + 6, cx, oy + 18, 2, INK)
    cv.ring(cx, oy + 8, 4, 1.6, INK)
    cv.ellipse(cx, cy, 27, 32, hexrgb('b02420'))
    cv.ellipse(cx - 3, cy - 4, 20, 26, hexrgb('e0483a'))
    cv.ellipse(cx - 6, cy - 8, 9, 13, hexrgb('ff9a70'), 0.45)
    for k in range(-4, 5):
        y = cy + k * 6.6
        half = 27 * math.sqrt(max(0.0, 1 - (k * 6.6 / 32) ** 2))
        cv.line(cx - half, y, cx + half, y, 1.0, hexrgb('70140f'), 0.55)
    cv.rect(cx - 15, cy - 36, cx + 15, cy - 27, INK)
    cv.rect(cx - 15, cy + 27, cx + 15, cy + 36, INK)
    cv.rect(cx - 13, cy - 34, cx + 13, cy - 33, GOLD, 0.6)
    cv.rect(cx - 13, cy + 33, cx + 13, cy + 34, GOLD, 0.6)


def draw_match(cv, ox, oy):
    shadow(cv, ox + 58, oy + 84, 34)
    # box
    cv.polygon([(ox + 26, oy + 50), (ox + 82, oy + 42), (ox + 94, oy + 52), (ox + 38, oy + 60)],
               hexrgb('f2e6c8'))
    cv.polygon([(ox + 38, oy + 60), (ox + 94, oy + 52), (ox + 94, oy + 72), (ox + 38, oy + 82)],
               hexrgb('2f5fa8'))
    cv.polygon([(ox + 26, oy + 50), (ox + 38, oy + 60), (ox + 38, oy + 82), (ox + 26, oy + 72)],
               hexrgb('7a4a2a'))
    cv.polygon([(ox + 50, oy + 62), (ox + 82, oy + 57), (ox + 82, oy + 70), (ox + 50, oy + 76)],
               hexrgb('f4d060'))
    cv.circle(ox + 66, oy + 66, 5, RED)
    # two matches
    for (x0, y0, x1, y1) in ((ox + 22, oy + 38, ox + 70, oy + 18),
                             (ox + 30, oy + 44, ox + 84, oy + 30)):
        cv.line(x0, y0, x1, y1, 3, hexrgb('e8c890'))
        cv.ellipse(x1, y1, 4.2, 3.4, hexrgb('b8201c'))


def draw_shell(cv, ox, oy):
    cx, cy = ox + 60, oy + 74
    shadow(cv, cx, oy + 86, 34)
    pts = [(cx, cy)]
    n = 40
    for k in range(n + 1):
        a = math.pi + math.pi * k / n
        wav = 1.0 + 0.05 * math.cos(k * math.pi * 9 / n * 2)
        pts.append((cx + 36 * math.cos(a) * wav, cy - 4 + 50 * math.sin(a) * 0.9 * wav))
    cv.polygon(pts, hexrgb('f0b8a0'))
    cv.ellipse(cx - 8, cy - 28, 16, 12, hexrgb('ffe2d0'), 0.5)
    for k in range(10):
        a = math.pi + math.pi * (k + 0.5) / 10
        cv.line(cx, cy, cx + 34 * math.cos(a), cy - 4 + 43 * math.sin(a), 1.4,
                hexrgb('c07868'), 0.7)
    # hinge ears
    cv.polygon([(cx - 14, cy - 2), (cx + 14, cy - 2), (cx + 10, cy + 8), (cx - 10, cy + 8)],
               hexrgb('d89880'))


def draw_key(cv, ox, oy):
    shadow(cv, ox + 60, oy + 82, 36)
    brass = hexrgb('c89a38')
    light = hexrgb('f0cf78')
    cv.ring(ox + 32, oy + 50, 14, 7, brass)
    cv.ring(ox + 31, oy + 48, 14, 2, light, 0.6)
    cv.rect(ox + 44, oy + 46, ox + 100, oy + 54, brass)
    cv.rect(ox + 46, oy + 47, ox + 98, oy + 49, light, 0.7)
    cv.rect(ox + 84, oy + 54, ox + 90, oy + 66, brass)
    cv.rect(ox + 93, oy + 54, ox + 100, oy + 62, brass)
    cv.rect(ox + 74, oy + 54, ox + 79, oy + 60, brass)
    # a red tag on a string
    cv.line(ox + 24, oy + 38, ox + 16, oy + 22, 1.2, INK)
    cv.polygon([(ox + 8, oy + 10), (ox + 24, oy + 14), (ox + 22, oy + 26), (ox + 6, oy + 22)], RED)


def draw_letter(cv, ox, oy):
    shadow(cv, ox + 60, oy + 84, 40)
    x0, y0, x1, y1 = ox + 18, oy + 26, ox + 102, oy + 80
    cv.rect(x0, y0, x1, y1, hexrgb('f7efd8'))
    cv.rect(x0, y0, x1, y0 + 1, hexrgb('b09870'))
    cv.rect(x0, y1 - 1, x1, y1, hexrgb('b09870'))
    cv.rect(x0, y0, x0 + 1, y1, hexrgb('b09870'))
    cv.rect(x1 - 1, y0, x1, y1, hexrgb('b09870'))
    cv.polyline([(x0, y0), (ox + 60, oy + 56), (x1, y0)], 1.5, hexrgb('a08860'))
    cv.polyline([(x0, y1), (ox + 50, oy + 58)], 1.0, hexrgb('c0a880'))
    cv.polyline([(x1, y1), (ox + 70, oy + 58)], 1.0, hexrgb('c0a880'))
    cv.circle(ox + 60, oy + 56, 7, hexrgb('b0282a'))
    cv.circle(ox + 59, oy + 55, 3.5, hexrgb('d85050'))
    # a pressed flower
    for k in range(5):
        a = k * 2 * math.pi / 5
        cv.circle(ox + 88 + 5 * math.cos(a), oy + 70 + 5 * math.sin(a), 3, hexrgb('e888b0'))
    cv.circle(ox + 88, oy + 70, 2, GOLD)


def draw_uchiwa(cv, ox, oy):
    cx, cy = ox + 60, oy + 40
    shadow(cv, cx, oy + 90, 20)
    cv.rect(cx - 3, cy + 28, cx + 3, oy + 92, hexrgb('a87040'))
    cv.circle(cx, cy, 33, hexrgb('2a4f96'))
    cv.circle(cx, cy, 31, WHITE)
    for k in range(-14, 15):
        a = math.radians(90 + k * 6)
        cv.line(cx, cy + 30, cx + 31 * math.cos(a + math.pi), cy + 30 + 60 * math.sin(a + math.pi),
                0.6, hexrgb('c8c0b0'), 0.5)
    # waves
    for row in range(3):
        y = cy + 6 + row * 8
        pts = []
        for s in range(0, 61):
            x = cx - 30 + s
            pts.append((x, y + 2.5 * math.sin(s / 5.0 + row)))
        cv.polyline(pts, 2.4, hexrgb('3a6ac0'), 0.9, round_joints=False)
    cv.circle(cx + 12, cy - 12, 8, RED)
    cv.ring(cx, cy, 31, 2, hexrgb('2a4f96'))


def draw_goldfish(cv, ox, oy):
    cx, cy = ox + 60, oy + 56
    shadow(cv, cx, oy + 92, 28)
    cv.ellipse(cx, cy + 6, 30, 30, hexrgb('a8d8f0'), 0.55)
    cv.ellipse(cx, cy + 18, 28, 16, hexrgb('70b8e0'), 0.45)
    cv.ellipse(cx - 10, cy - 4, 8, 14, (255, 255, 255), 0.5)
    cv.polygon([(cx - 8, oy + 26), (cx + 8, oy + 26), (cx + 3, oy + 16), (cx - 3, oy + 16)],
               hexrgb('a8d8f0'), 0.8)
    cv.rect(cx - 7, oy + 14, cx + 7, oy + 18, RED)
    cv.ring(cx, oy + 8, 6, 1.6, RED)
    # fish
    fx, fy = cx - 4, cy + 12
    cv.polygon([(fx + 10, fy), (fx + 22, fy - 9), (fx + 18, fy), (fx + 22, fy + 9)],
               hexrgb('ff7a30'))
    cv.ellipse(fx, fy, 12, 7, hexrgb('ff5a1c'))
    cv.ellipse(fx - 3, fy - 2, 6, 3, hexrgb('ffb070'), 0.6)
    cv.circle(fx - 7, fy - 1, 1.5, INK)


def draw_ramune(cv, ox, oy):
    cx = ox + 60
    shadow(cv, cx, oy + 92, 20)
    glass = hexrgb('78c8c0')
    pts = [(cx - 15, oy + 92), (cx - 15, oy + 58), (cx - 8, oy + 48), (cx - 9, oy + 40),
           (cx - 6, oy + 30), (cx - 6, oy + 14), (cx + 6, oy + 14), (cx + 6, oy + 30),
           (cx + 9, oy + 40), (cx + 8, oy + 48), (cx + 15, oy + 58), (cx + 15, oy + 92)]
    cv.polygon(pts, glass, 0.9)
    cv.rect(cx - 13, oy + 60, cx + 13, oy + 90, hexrgb('a8e4dc'), 0.5)
    cv.rect(cx - 10, oy + 62, cx - 6, oy + 88, (255, 255, 255), 0.6)
    cv.circle(cx, oy + 40, 5.5, hexrgb('d8f4f0'))
    cv.circle(cx - 1.5, oy + 38.5, 1.8, (255, 255, 255))
    cv.rect(cx - 7, oy + 10, cx + 7, oy + 16, hexrgb('2a6ab8'))
    cv.rect(cx - 14, oy + 66, cx + 14, oy + 78, hexrgb('2a6ab8'), 0.8)
    for k in range(4):
        cv.circle(cx - 8 + k * 5.5, oy + 72, 1.6, (255, 255, 255))


def draw_bell(cv, ox, oy):
    cx, cy = ox + 60, oy + 58
    shadow(cv, cx, oy + 88, 26)
    cv.line(cx, oy + 8, cx, oy + 30, 2.4, RED)
    cv.circle(cx - 7, oy + 30, 5, RED)
    cv.circle(cx + 7, oy + 30, 5, RED)
    cv.line(cx - 6, oy + 32, cx - 14, oy + 48, 2.4, RED)
    cv.line(cx + 6, oy + 32, cx + 16, oy + 46, 2.4, RED)
    cv.circle(cx, cy, 22, DARKGOLD)
    cv.circle(cx - 2, cy - 2, 20, GOLD)
    cv.circle(cx - 8, cy - 9, 7, hexrgb('fff0b0'), 0.7)
    cv.rect(cx - 20, cy - 1, cx + 20, cy + 2, DARKGOLD)
    cv.rect(cx - 2, cy + 1, cx + 2, cy + 16, hexrgb('4a3010'))
    cv.circle(cx, cy + 8, 4, hexrgb('4a3010'))
    # a little shine of sound
    for k in range(3):
        cv.ring(cx, cy, 28 + k * 6, 1.0, GOLD, 0.35 - 0.1 * k)


def draw_toro(cv, ox, oy):
    cx = ox + 60
    cv.rect(ox + 4, oy + 74, ox + 116, oy + 96, hexrgb('324c78'), 0.8)
    for k in range(4):
        cv.line(ox + 10 + k * 27, oy + 84 + (k % 2) * 5, ox + 28 + k * 27, oy + 84 + (k % 2) * 5,
                1.2, hexrgb('a0c0e8'), 0.7)
    cv.glow(cx, oy + 48, 50, (255, 180, 80), 0.5)
    cv.rect(cx - 30, oy + 70, cx + 30, oy + 78, hexrgb('6a4020'))
    cv.rect(cx - 22, oy + 32, cx + 22, oy + 70, hexrgb('fff0c8'))
    cv.rect(cx - 22, oy + 32, cx - 19, oy + 70, hexrgb('6a4020'))
    cv.rect(cx + 19, oy + 32, cx + 22, oy + 70, hexrgb('6a4020'))
    cv.rect(cx - 22, oy + 30, cx + 22, oy + 33, hexrgb('6a4020'))
    cv.rect(cx - 1, oy + 33, cx + 1, oy + 70, hexrgb('c8a070'), 0.6)
    cv.ellipse(cx, oy + 58, 6, 9, (255, 200, 90), 0.7)
    cv.ellipse(cx, oy + 60, 2.5, 5, (255, 250, 220))
    cv.circle(cx - 10, oy + 44, 3, RED, 0.7)


def draw_candy_apple(cv, ox, oy):
    cx, cy = ox + 60, oy + 58
    shadow(cv, cx, oy + 88, 24)
    cv.line(cx + 2, oy + 6, cx, cy - 10, 3, hexrgb('e0c090'))
    cv.circle(cx, cy, 24, hexrgb('a8101a'))
    cv.circle(cx - 2, cy - 2, 21, hexrgb('e02430'))
    cv.ellipse(cx - 9, cy - 10, 7, 5, (255, 255, 255), 0.8)
    cv.circle(cx + 10, cy + 10, 3, (255, 200, 200), 0.5)
    cv.polygon([(cx - 24, cy + 16), (cx + 24, cy + 16), (cx + 16, cy + 28), (cx - 16, cy + 28)],
               hexrgb('e02430'), 0.6)


def draw_sparkler(cv, ox, oy):
    cv.rect(ox + 6, oy + 6, ox + 114, oy + 94, hexrgb('1a2040'), 0.85)
    for (x0, y0, x1, y1) in ((ox + 30, oy + 94, ox + 56, oy + 42),
                             (ox + 50, oy + 94, ox + 70, oy + 50)):
        cv.line(x0, y0, x1, y1, 2.4, hexrgb('c84a8a'))
        for s in range(0, 10, 2):
            t = s / 10
            cv.circle(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, 1.4, hexrgb('f0d040'), 0.7)
    rnd = random.Random(12)
    for (sx, sy) in ((ox + 56, oy + 40), (ox + 70, oy + 48)):
        cv.glow(sx, sy, 26, (255, 170, 60), 0.7)
        cv.circle(sx, sy, 3, (255, 230, 150))
        for k in range(14):
            a = rnd.uniform(0, 2 * math.pi)
            ln = rnd.uniform(10, 24)
            ex, ey = sx + ln * math.cos(a), sy + ln * math.sin(a)
            cv.line(sx, sy, ex, ey, 0.9, (255, 210, 120), 0.9)
            a2 = a + rnd.uniform(-0.8, 0.8)
            cv.line(ex, ey, ex + 6 * math.cos(a2), ey + 6 * math.sin(a2), 0.8,
                    (255, 240, 180), 0.8)


def draw_furin(cv, ox, oy):
    cx = ox + 60
    cv.line(cx, oy + 4, cx, oy + 14, 1.2, INK)
    pts = [(cx, oy + 12)]
    for k in range(21):
        a = math.pi + math.pi * k / 20
        pts.append((cx + 24 * math.cos(a), oy + 44 + 32 * math.sin(a) * (1 if k else 1)))
    dome = [(cx - 24, oy + 44)]
    for k in range(21):
        a = math.pi + math.pi * k / 20
        dome.append((cx + 24 * math.cos(a), oy + 44 + 30 * math.sin(a)))
    cv.polygon(dome, hexrgb('bfe4f4'), 0.85)
    cv.ellipse(cx, oy + 44, 24, 4, hexrgb('8cc4e0'), 0.8)
    # painted goldfish and a red rim
    cv.ellipse(cx - 6, oy + 32, 6, 3.5, RED, 0.9)
    cv.polygon([(cx, oy + 32), (cx + 6, oy + 28), (cx + 5, oy + 32), (cx + 6, oy + 36)], RED, 0.9)
    cv.ellipse(cx + 10, oy + 22, 3, 2, RED, 0.7)
    cv.ellipse(cx - 10, oy + 22, 7, 4, (255, 255, 255), 0.6)
    cv.line(cx, oy + 30, cx, oy + 60, 1.0, INK)
    cv.rect(cx - 2, oy + 46, cx + 2, oy + 52, hexrgb('e0e0e0'))
    # tanzaku strip, slightly swaying
    cv.polygon([(cx - 7, oy + 60), (cx + 7, oy + 60), (cx + 11, oy + 94), (cx - 3, oy + 94)],
               hexrgb('f6e27a'))
    cv.line(cx - 1, oy + 68, cx + 3, oy + 86, 1.0, hexrgb('b08a30'), 0.7)


def draw_mask(cv, ox, oy):
    cx, cy = ox + 60, oy + 54
    shadow(cv, cx, oy + 92, 26)
    face = [(cx - 24, cy - 30), (cx - 14, cy - 12), (cx, cy - 16), (cx + 14, cy - 12),
            (cx + 24, cy - 30), (cx + 26, cy + 2), (cx + 14, cy + 22), (cx, cy + 36),
            (cx - 14, cy + 22), (cx - 26, cy + 2)]
    cv.polygon(face, WHITE)
    cv.polygon([(cx - 21, cy - 24), (cx - 14, cy - 14), (cx - 20, cy - 12)], hexrgb('e04040'))
    cv.polygon([(cx + 21, cy - 24), (cx + 14, cy - 14), (cx + 20, cy - 12)], hexrgb('e04040'))
    cv.polygon([(cx - 18, cy - 2), (cx - 6, cy + 2), (cx - 17, cy + 4)], INK)
    cv.polygon([(cx + 18, cy - 2), (cx + 6, cy + 2), (cx + 17, cy + 4)], INK)
    cv.line(cx - 19, cy - 6, cx - 6, cy - 2, 2.2, RED)
    cv.line(cx + 19, cy - 6, cx + 6, cy - 2, 2.2, RED)
    cv.circle(cx, cy + 28, 3, INK)
    cv.line(cx - 5, cy - 16, cx, cy - 8, 1.8, RED)
    cv.line(cx + 5, cy - 16, cx, cy - 8, 1.8, RED)
    cv.circle(cx, cy - 10, 2.2, GOLD)
    for s in (-1, 1):
        for k in range(3):
            cv.line(cx + s * 8, cy + 18 + k * 3, cx + s * 20, cy + 14 + k * 5, 0.8, INK, 0.6)


def draw_map(cv, ox, oy):
    shadow(cv, ox + 60, oy + 88, 44)
    x0, y0, x1, y1 = ox + 14, oy + 16, ox + 106, oy + 84
    cv.rect(x0, y0, x1, y1, hexrgb('e8d4a0'))
    for k in range(1, 3):
        x = x0 + (x1 - x0) * k / 3
        cv.rect(x - 0.6, y0, x + 0.6, y1, hexrgb('b89868'), 0.6)
    cv.rect(x0, (y0 + y1) / 2 - 0.5, x1, (y0 + y1) / 2 + 0.5, hexrgb('b89868'), 0.5)
    # sea on the right, coastline
    coast = [(ox + 70, y0), (ox + 66, oy + 30), (ox + 74, oy + 44), (ox + 64, oy + 58),
             (ox + 72, oy + 72), (ox + 68, y1), (x1, y1), (x1, y0)]
    cv.polygon(coast, hexrgb('88b8d8'))
    for k in range(3):
        cv.line(ox + 82, oy + 30 + k * 16, ox + 96, oy + 30 + k * 16, 1, hexrgb('5888b8'), 0.7)
    # path and places
    cv.polyline([(ox + 22, oy + 76), (ox + 34, oy + 62), (ox + 30, oy + 44), (ox + 44, oy + 34),
                 (ox + 60, oy + 40)], 1.4, hexrgb('8a5a30'))
    # torii mark
    cv.rect(ox + 24, oy + 24, ox + 38, oy + 26, RED)
    cv.rect(ox + 26, oy + 24, ox + 28, oy + 34, RED)
    cv.rect(ox + 34, oy + 24, ox + 36, oy + 34, RED)
    # red X at the shore
    cv.line(ox + 58, oy + 62, ox + 66, oy + 70, 2.2, RED)
    cv.line(ox + 66, oy + 62, ox + 58, oy + 70, 2.2, RED)


def draw_photo(cv, ox, oy):
    shadow(cv, ox + 60, oy + 90, 42)
    cv.rect(ox + 18, oy + 12, ox + 102, oy + 88, hexrgb('fbfaf4'))
    x0, y0, x1, y1 = ox + 24, oy + 18, ox + 96, oy + 72
    for y in range(int(y0), int(y1)):
        t = (y - y0) / (y1 - y0)
        c = mix(hexrgb('f4a060'), hexrgb('fcd8a0'), t) if t < 0.55 else mix(
            hexrgb('3c6c9c'), hexrgb('284870'), (t - 0.55) / 0.45)
        cv.rect(x0, y, x1, y + 1, c)
    cv.circle(ox + 80, oy + 44, 6, hexrgb('fff0c0'))
    # two children on the shore (sepia silhouettes)
    for (px, h) in ((ox + 44, 22), (ox + 56, 17)):
        cv.circle(px, oy + 72 - h, 3.4, hexrgb('3a2a2a'))
        cv.polygon([(px - 4, oy + 72 - h + 3), (px + 4, oy + 72 - h + 3), (px + 5, oy + 72),
                    (px - 5, oy + 72)], hexrgb('3a2a2a'))
    cv.rect(ox + 30, oy + 78, ox + 70, oy + 80, hexrgb('9a9a9a'), 0.6)


DRAWERS = [draw_omamori, draw_chochin, draw_match, draw_shell, draw_key, draw_letter,
           draw_uchiwa, draw_goldfish, draw_ramune, draw_bell, draw_toro, draw_candy_apple,
           draw_sparkler, draw_furin, draw_mask, draw_map, draw_photo]


def item_cell(n):
    """One cell drawn on its own canvas, so no glow spills into a neighbour."""
    cell = Canvas(CELL_W, CELL_H, (236, 217, 181))
    cell_background(cell, 0, 0)
    if n < len(DRAWERS):
        DRAWERS[n](cell, 0, 0)
    return cell


def item_sheet():
    cv = Canvas(CELL_W * 6, CELL_H * 3, (236, 217, 181))
    for n in range(18):
        cell = item_cell(n)
        ox = CELL_W * (n % 6)
        oy = CELL_H * (n // 6)
        for y in range(CELL_H):
            src = y * CELL_W
            dst = (oy + y) * cv.w + ox
            cv.r[dst:dst + CELL_W] = cell.r[src:src + CELL_W]
            cv.g[dst:dst + CELL_W] = cell.g[src:src + CELL_W]
            cv.b[dst:dst + CELL_W] = cell.b[src:src + CELL_W]
    return cv
