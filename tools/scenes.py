"""The scene pictures of the demo game and of its opening.

Each scene is a function returning a Canvas; SCENES maps the picture's name
(as the scripts write it after GHG) to its size, file format and function.
"""

import math
import random

from raster import Canvas, mix
from scenery import (boat, chochin, crowd, firework, house,
                     lantern_string, milky_way, moon, moon_path, person, pine, ridge, roof,
                     sea, sky, stars, toro, torii, town_row, tree_clump)

W, H = 504, 336
LANTERN_COLOURS = [(224, 60, 44), (236, 120, 48), (230, 200, 80), (224, 60, 44), (240, 150, 70)]


# -- game scenes ---------------------------------------------------------

def title():
    rnd = random.Random(101)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '0b0f2e'), (0.55, '283a78'), (0.72, '6a5a9a'), (1.0, 'c08a90')], 200)
    stars(cv, rnd, 260, 190)
    milky_way(cv, rnd, lambda x: 30 + x * 0.25, 26, 190)
    moon(cv, 380, 70, 22)
    ridge(cv, 190, 10, [(0.013, 0.5, 1.0), (0.031, 1.7, 0.5)], (22, 26, 58))
    sea(cv, 200, '2a3a78', '0c1230', rnd, moon_x=380, glints=220)
    torii(cv, 96, 196, 44, colour=(150, 40, 40), a=0.95)
    for k in range(9):
        x = 120 + k * 40 + rnd.uniform(-12, 12)
        y = 230 + (k % 3) * 28 + rnd.uniform(-4, 8)
        toro(cv, x, y, 5 + (y - 220) * 0.07)
    return cv


def home():
    """The veranda of grandmother's house at dusk, looking into the garden."""
    rnd = random.Random(102)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '3a3a7a'), (0.45, 'a0609a'), (0.75, 'f0a070'), (1.0, 'ffd8a0')], 250)
    cv.glow(120, 210, 160, (255, 200, 120), 0.35)
    ridge(cv, 205, 14, [(0.01, 0.2, 1.0), (0.027, 2.0, 0.4)], (70, 60, 110))
    town_row(cv, rnd, 240, -10, W + 10, (44, 36, 70), hmin=16, hmax=28, wmin=26, wmax=44)
    tree_clump(cv, rnd, 420, 170, 46, (34, 40, 44))
    tree_clump(cv, rnd, 60, 190, 30, (40, 44, 52))
    cv.rect(0, 236, W, 280, (46, 50, 40))
    # veranda floor boards and eaves
    cv.vgradient([(0.0, (150, 96, 60)), (1.0, (92, 56, 34))], 268, H)
    for k in range(1, 6):
        cv.rect(0, 268 + k * 12, W, 268 + k * 12 + 1, (70, 40, 24), 0.6)
    cv.rect(0, 0, W, 34, (40, 28, 24))
    cv.rect(0, 30, W, 36, (80, 52, 36))
    cv.rect(24, 30, 40, 268, (60, 40, 28))
    cv.rect(W - 40, 30, W - 24, 268, (60, 40, 28))
    # shoji edge on the left, lit from inside
    cv.rect(0, 36, 24, 268, (250, 220, 160))
    for y in range(60, 268, 28):
        cv.rect(0, y, 24, y + 2, (120, 84, 56))
    # wind chime under the eaves
    cv.line(300, 36, 300, 58, 1.0, (30, 20, 20))
    arc = [math.pi * (1 + k / 16) for k in range(17)]
    dome = [(300 + 13 * math.cos(a), 74 + 16 * math.sin(a)) for a in arc]
    cv.polygon(dome, (180, 226, 244), 0.85)
    cv.ellipse(300, 74, 13, 2.5, (120, 180, 210), 0.9)
    cv.ellipse(296, 66, 4, 2.5, (200, 40, 40), 0.9)
    cv.ellipse(305, 64, 2, 1.5, (200, 40, 40), 0.8)
    cv.line(300, 66, 300, 92, 0.8, (30, 20, 20))
    cv.polygon([(296, 92), (304, 92), (307, 122), (299, 122)], (246, 226, 122))
    # a mosquito coil and a slice of watermelon on the boards
    cv.ellipse(150, 300, 22, 6, (40, 90, 60))
    cv.ring(150, 298, 10, 2, (60, 110, 60))
    cv.polygon([(320, 300), (360, 300), (340, 280)], (60, 150, 70))
    cv.polygon([(322, 299), (358, 299), (340, 283)], (230, 60, 60))
    return cv


def shrine():
    rnd = random.Random(103)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '070a20'), (0.6, '1c2450'), (1.0, '3a3260')], 220)
    stars(cv, rnd, 200, 200)
    # forest behind the shrine
    for k in range(30):
        tree_clump(cv, rnd, rnd.uniform(-20, W + 20), rnd.uniform(90, 150), rnd.uniform(30, 50),
                   mix((14, 22, 30), (28, 36, 50), rnd.random()), n=8)
    cv.rect(0, 150, W, H, (16, 20, 28))
    # stone steps
    for k in range(10):
        y = 230 + k * 11
        half = 60 + k * 14
        cv.rect(252 - half, y, 252 + half, y + 11, mix((96, 92, 96), (60, 58, 66), k / 10))
        cv.rect(252 - half, y, 252 + half, y + 1.5, (140, 136, 140), 0.7)
    # the shrine hall, lit
    cv.rect(170, 150, 334, 222, (60, 36, 28))
    cv.glow(252, 190, 90, (255, 170, 80), 0.45)
    cv.rect(190, 168, 314, 222, (255, 196, 120), 0.75)
    for x in range(190, 314, 20):
        cv.rect(x, 168, x + 2, 222, (60, 36, 28))
    roof(cv, 160, 344, 152, 44, (26, 24, 30), overhang=22, curve=0.5)
    # the big torii in front
    torii(cv, 252, 300, 250, colour=(196, 44, 36), shade=(100, 20, 20))
    # stone lanterns with a flame each side
    for x in (100, 404):
        cv.rect(x - 8, 240, x + 8, 300, (90, 88, 92))
        cv.rect(x - 18, 222, x + 18, 232, (100, 98, 104))
        cv.rect(x - 12, 204, x + 12, 222, (255, 190, 100), 0.9)
        cv.glow(x, 212, 46, (255, 160, 70), 0.5)
        roof(cv, x - 14, x + 14, 204, 14, (90, 88, 92), overhang=6)
    # hanging paper lanterns along the path
    lantern_string(cv, -10, 120, W + 10, 120, 28, 9, 8, rnd, LANTERN_COLOURS)
    return cv


def stalls():
    rnd = random.Random(104)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '0a0c26'), (1.0, '3a2a50')], 160)
    stars(cv, rnd, 90, 110)
    cv.rect(0, 160, W, H, (30, 24, 34))
    cv.vgradient([(0.0, (70, 50, 50)), (1.0, (40, 30, 36))], 250, H)
    # stalls on both sides, in perspective toward the centre
    for side in (-1, 1):
        for k in range(4):
            depth = 1.0 - k * 0.22
            w = 120 * depth
            h = 110 * depth
            xc = 252 + side * (70 + 150 * depth)
            ground = 170 + 110 * depth
            x0 = xc - w / 2
            cv.rect(x0, ground - h, x0 + w, ground, (50, 36, 30))
            cv.glow(xc, ground - h * 0.45, w * 0.9, (255, 170, 80), 0.35)
            cv.rect(x0 + 4, ground - h * 0.65, x0 + w - 4, ground - h * 0.25, (255, 210, 140), 0.85)
            # striped awning
            stripes = 6
            for s in range(stripes):
                c = (210, 50, 44) if s % 2 == 0 else (245, 240, 230)
                xa = x0 + w * s / stripes
                xb = x0 + w * (s + 1) / stripes
                cv.polygon([(xa, ground - h), (xb, ground - h), (xb + 4 * side, ground - h * 0.72),
                            (xa + 4 * side, ground - h * 0.72)], c)
            # counter
            cv.rect(x0, ground - h * 0.25, x0 + w, ground - h * 0.18, (120, 80, 50))
    # lantern strings across the street
    for k in range(3):
        y = 40 + k * 26
        lantern_string(cv, -10, y, W + 10, y + 4, 20 - k * 4, 10 - k * 2, 7 - k, rnd,
                       LANTERN_COLOURS)
    # the far end of the street: the shrine's lit gate and a few more stalls
    cv.glow(252, 190, 70, (255, 170, 90), 0.35)
    torii(cv, 252, 206, 50, colour=(170, 50, 44))
    crowd(cv, rnd, 250, 190, 314, 26, 32, (46, 34, 48), density=0.1)
    crowd(cv, rnd, 290, 120, 384, 44, 56, (34, 26, 40), density=0.05)
    crowd(cv, rnd, 336, -10, W + 10, 74, 96, (20, 16, 26), density=0.022)
    return cv


def beach():
    """Larger than the picture box: the lower and right parts are cut off."""
    rnd = random.Random(105)
    cv = Canvas(640, 400)
    sky(cv, [(0.0, '050820'), (0.5, '16205a'), (1.0, '3c4a86')], 180)
    stars(cv, rnd, 260, 170)
    moon(cv, 150, 60, 20)
    ridge(cv, 176, 8, [(0.02, 0.2, 1.0), (0.05, 1.2, 0.4)], (26, 30, 64), x0=300, x1=640)
    sea(cv, 180, '26367a', '101640', rnd, moon_x=150, glints=240)
    # sand in the foreground with a curve of foam
    pts = [(0, 400), (0, 260)]
    for x in range(0, 641, 8):
        pts.append((x, 262 + 18 * math.sin(x * 0.012) + x * 0.04))
    pts.append((640, 400))
    cv.polygon(pts, (96, 86, 96))
    for x in range(0, 640, 3):
        y = 262 + 18 * math.sin(x * 0.012) + x * 0.04
        cv.rect(x, y - 1.5, x + 3, y + 1, (220, 228, 255), 0.6)
    # boathouse on the right and rocks on the left
    cv.rect(390, 200, 470, 262, (30, 26, 36))
    roof(cv, 390, 470, 202, 30, (22, 20, 28), overhang=8)
    cv.rect(418, 226, 440, 262, (18, 16, 22))
    cv.glow(462, 214, 22, (255, 190, 110), 0.5)
    cv.rect(458, 210, 466, 218, (255, 210, 140))
    for (x, y, r) in ((40, 280, 30), (80, 292, 20), (10, 300, 24)):
        cv.ellipse(x, y, r * 1.3, r, (36, 34, 44))
        cv.ellipse(x - r * 0.3, y - r * 0.4, r * 0.6, r * 0.3, (70, 70, 84), 0.6)
    # shells glinting in the sand
    for _ in range(24):
        x = rnd.uniform(120, 500)
        y = rnd.uniform(300, 336)
        cv.ellipse(x, y, 2.2, 1.4, (220, 200, 200), rnd.uniform(0.4, 0.8))
    return cv


def harbor():
    """Smaller than the picture box: the grey background shows around it."""
    rnd = random.Random(106)
    cv = Canvas(400, 280)
    sky(cv, [(0.0, '0a0f2a'), (1.0, '2c3868')], 150)
    stars(cv, rnd, 110, 140)
    moon(cv, 330, 40, 12, phase_shadow=None)
    sea(cv, 150, '1c2a60', '0a1030', rnd, glints=160)
    # pier
    cv.rect(0, 196, 250, 206, (54, 44, 40))
    for x in range(10, 250, 30):
        cv.rect(x, 206, x + 5, 250, (40, 34, 32))
    # boats
    boat(cv, 300, 196, 70, (24, 22, 34))
    boat(cv, 350, 222, 56, (30, 28, 40))
    for (x, y) in ((300, 196), (350, 222)):
        for k in range(4):
            cv.rect(x - 30 + k * 4, y + 2 + k * 4, x + 30 - k * 4, y + 3.5 + k * 4, (140, 150, 200),
                    0.25)
    # the old workshop on the pier, its door shut, a lamp by it
    cv.rect(30, 120, 150, 196, (46, 36, 34))
    roof(cv, 30, 150, 122, 34, (30, 24, 26), overhang=10)
    cv.rect(70, 150, 100, 196, (28, 20, 18))
    cv.rect(84, 170, 88, 174, (200, 170, 90))
    cv.line(160, 196, 160, 130, 2.0, (20, 18, 20))
    cv.rect(154, 120, 166, 132, (255, 220, 150))
    cv.glow(160, 126, 60, (255, 180, 90), 0.5)
    for k in range(5):
        cv.rect(140 + rnd.uniform(-8, 8), 210 + k * 12, 180 + rnd.uniform(-8, 8), 211 + k * 12,
                (255, 190, 100), 0.35 - 0.05 * k)
    # nets and buoys
    for k in range(4):
        cv.circle(200 + k * 12, 190, 4, (220, 90, 50))
    return cv


def workshop():
    """Grandfather's lantern workshop: frames, paper and a warm lamp."""
    rnd = random.Random(107)
    cv = Canvas(W, H)
    cv.vgradient([(0.0, (40, 28, 24)), (0.7, (72, 48, 34)), (1.0, (54, 36, 26))])
    cv.glow(252, 120, 260, (255, 170, 80), 0.35)
    # beams and a back wall of boards
    for x in range(0, W, 42):
        cv.rect(x, 0, x + 2, 250, (30, 20, 16), 0.7)
    cv.rect(0, 40, W, 52, (34, 22, 18))
    # finished lantern frames hanging from the beam
    for k in range(6):
        x = 50 + k * 80
        lx = x + rnd.uniform(-6, 6)
        cv.line(lx, 52, lx, 80, 1.0, (20, 14, 12))
        w = 22 + rnd.uniform(-3, 3)
        cv.rect(lx - w, 80, lx + w, 80 + w * 1.8, (245, 226, 180), 0.85 if k % 2 else 0.35)
        for s in (-1, 1):
            cv.rect(lx + s * w - 1.5, 80, lx + s * w + 1.5, 80 + w * 1.8, (90, 60, 36))
        cv.rect(lx - w, 80, lx + w, 83, (90, 60, 36))
        cv.rect(lx - w, 80 + w * 1.8 - 3, lx + w, 80 + w * 1.8, (90, 60, 36))
    # work bench
    cv.rect(40, 250, 464, 266, (110, 72, 44))
    cv.rect(40, 250, 464, 253, (150, 104, 66))
    cv.rect(60, 266, 74, H, (80, 52, 32))
    cv.rect(430, 266, 444, H, (80, 52, 32))
    # things on the bench: paper rolls, a pot of glue, brushes, a small box
    for k in range(3):
        cv.ellipse(110 + k * 18, 240, 9, 10, (240, 232, 210))
    cv.rect(300, 222, 330, 250, (60, 44, 40))
    cv.ellipse(315, 222, 15, 4, (90, 70, 60))
    for k in range(3):
        cv.line(200 + k * 8, 248, 210 + k * 10, 214, 2.0, (150, 110, 70))
    cv.rect(370, 230, 410, 250, (140, 40, 36))
    cv.rect(370, 236, 410, 238, (230, 190, 90))
    # the lamp
    cv.line(252, 0, 252, 150, 1.2, (20, 14, 12))
    chochin(cv, 252, 168, 16, body=(250, 200, 110))
    # dust in the light
    for _ in range(70):
        x = rnd.gauss(252, 70)
        y = rnd.gauss(170, 50)
        cv.glow(x, y, 2.5, (255, 220, 160), 0.25)
    return cv


def ending_bell():
    rnd = random.Random(108)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '060820'), (0.6, '1e2a66'), (1.0, '50487a')], 180)
    stars(cv, rnd, 220, 170)
    milky_way(cv, rnd, lambda x: 160 - x * 0.3, 22, 175)
    moon(cv, 420, 56, 18)
    sea(cv, 180, '2e3e80', '101436', rnd, moon_x=420, glints=200)
    for k in range(14):
        x = rnd.uniform(20, 480)
        y = rnd.uniform(190, 260)
        toro(cv, x, y, 3 + (y - 180) * 0.05, a=0.9)
    # shore and two figures, one lantern set on the water between them
    cv.polygon([(0, H), (0, 290), (200, 280), (W, 296), (W, H)], (40, 36, 50))
    toro(cv, 252, 300, 11)
    person(cv, 206, 300, 72, (16, 14, 24), hair_bun=False)
    person(cv, 296, 300, 64, (16, 14, 24), hair_bun=True, lean=-0.2)
    cv.glow(252, 276, 10, (255, 230, 140), 0.7)
    return cv


def ending_letter():
    rnd = random.Random(109)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '0a0a24'), (0.55, '2a2a60'), (1.0, '6a4a78')], 170)
    stars(cv, rnd, 200, 160)
    ridge(cv, 170, 6, [(0.02, 0.0, 1.0)], (30, 28, 58))
    sea(cv, 172, '2a3270', '0e1230', rnd, glints=200)
    # a long line of lanterns drifting out to sea
    for k in range(40):
        t = k / 39
        x = 40 + 440 * t + 30 * math.sin(t * 7)
        y = 320 - 140 * t ** 0.7
        toro(cv, x, y, 10 * (1 - t) + 2, a=0.95)
    return cv


def ending_alone():
    rnd = random.Random(110)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '03040e'), (0.7, '101838'), (1.0, '1c2450')], 190)
    stars(cv, rnd, 340, 185, bright=1.2)
    milky_way(cv, rnd, lambda x: 40 + x * 0.22, 30, 185)
    sea(cv, 190, '141c44', '05081a', rnd, glints=160)
    toro(cv, 330, 210, 4)
    cv.polygon([(0, H), (0, 300), (W, 310), (W, H)], (22, 20, 30))
    person(cv, 150, 312, 66, (6, 6, 12))
    return cv


# -- the opening ----------------------------------------------------------

def op1():
    """A local train along the coast at sunset: coming home."""
    rnd = random.Random(201)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '3a4a8a'), (0.5, 'e08a70'), (0.8, 'ffc080'), (1.0, 'ffe0a8')], 200)
    cv.glow(360, 196, 120, (255, 210, 140), 0.6)
    cv.circle(360, 196, 18, (255, 236, 190))
    sea(cv, 196, 'd08870', '3a4a80', rnd, shimmer=(255, 220, 170), glints=200)
    moon_path(cv, 360, 196, rnd, colour=(255, 220, 160))
    # embankment and the two-car train
    cv.polygon([(0, 250), (W, 236), (W, H), (0, H)], (46, 40, 60))
    cv.rect(0, 246, W, 249, (30, 26, 40))
    for k in range(2):
        x0 = 70 + k * 130
        cv.rect(x0, 200, x0 + 124, 244, (40, 36, 54))
        for w in range(5):
            cv.rect(x0 + 8 + w * 23, 208, x0 + 24 + w * 23, 222, (255, 214, 150), 0.9)
    cv.line(60, 196, 330, 192, 1.2, (30, 26, 40))
    for x in range(40, W, 90):
        cv.line(x, 250, x, 182, 2.0, (30, 26, 40))
    return cv


def op2():
    """The town's street at dusk, lanterns being lit."""
    rnd = random.Random(202)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '24305e'), (0.6, '8a5a8a'), (1.0, 'f09a70')], 180)
    ridge(cv, 150, 10, [(0.015, 1.0, 1.0), (0.04, 0.3, 0.3)], (60, 50, 90))
    cv.rect(0, 230, W, H, (58, 48, 60))
    for side in (-1, 1):
        for k in range(5):
            depth = 1.0 - k * 0.17
            w = 110 * depth
            h = 120 * depth
            x = 252 + side * (60 + 140 * depth) - w / 2
            ground = 230 + 90 * depth
            house(cv, x, ground, w, h, (40, 32, 52), rnd)
    for k in range(6):
        depth = 1.0 - k * 0.15
        for side in (-1, 1):
            x = 252 + side * (40 + 120 * depth)
            chochin(cv, x, 230 - 80 * depth, 6 * depth + 2)
    person(cv, 252, 330, 84, (20, 16, 30), hair_bun=True)
    return cv


def op3():
    """A torii on the hill under the first stars."""
    rnd = random.Random(203)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '0c1030'), (0.6, '2c3470'), (1.0, '8a6a9a')], 260)
    stars(cv, rnd, 240, 220)
    ridge(cv, 250, 30, [(0.008, 2.4, 1.0), (0.02, 0.5, 0.3)], (20, 22, 40))
    torii(cv, 252, 262, 180, colour=(190, 44, 40))
    for k in range(8):
        x = 60 + k * 55
        pine(cv, x if abs(x - 252) > 90 else x + 200, 276, rnd.uniform(60, 90), (14, 16, 28), rnd)
    cv.rect(0, 276, W, H, (14, 16, 28))
    return cv


def op4():
    """The festival: stalls and crowds under strings of lanterns."""
    cv = stalls()
    rnd = random.Random(204)
    for k in range(30):
        cv.glow(rnd.uniform(0, W), rnd.uniform(0, 160), rnd.uniform(3, 7), (255, 200, 120), 0.4)
    return cv


def op5():
    """Two figures on the beach, listening to the waves."""
    rnd = random.Random(205)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '08091e'), (0.6, '1e2a60'), (1.0, '3a4480')], 190)
    stars(cv, rnd, 240, 180)
    moon(cv, 110, 60, 16)
    sea(cv, 190, '2a3a7a', '0e1438', rnd, moon_x=110, glints=200)
    cv.polygon([(0, H), (0, 280), (W, 266), (W, H)], (60, 54, 70))
    for x in range(0, W, 3):
        y = 280 - 14 * x / W
        cv.rect(x, y - 1, x + 3, y + 1, (220, 228, 255), 0.5)
    person(cv, 300, 318, 76, (10, 10, 20))
    person(cv, 338, 318, 66, (10, 10, 20), hair_bun=True, lean=-0.15)
    return cv


def op6():
    """Fireworks over the bay."""
    rnd = random.Random(206)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '04050f'), (1.0, '18204a')], 230)
    firework(cv, rnd, 160, 90, 60, (255, 120, 90))
    firework(cv, rnd, 340, 70, 52, (120, 200, 255))
    firework(cv, rnd, 260, 140, 36, (255, 220, 110), n=36)
    sea(cv, 230, '1c2450', '060a1c', rnd, shimmer=(255, 200, 160), glints=260)
    cv.rect(0, 226, W, 238, (10, 10, 18))
    town_row(cv, rnd, 236, -10, W + 10, (10, 10, 18), hmin=10, hmax=22, wmin=20, wmax=36)
    cv.polygon([(0, H), (0, 300), (W, 290), (W, H)], (10, 10, 18))
    crowd(cv, rnd, 338, -10, W + 10, 50, 74, (6, 6, 12), density=0.06)
    return cv


def op7():
    """Lanterns let go on the water."""
    rnd = random.Random(207)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '070820'), (1.0, '28306a')], 140)
    stars(cv, rnd, 140, 130)
    sea(cv, 140, '1e2a66', '080c24', rnd, glints=220)
    for k in range(26):
        x = rnd.uniform(10, 494)
        y = rnd.uniform(160, 330)
        toro(cv, x, y, 2 + (y - 140) * 0.07)
    return cv


def op8():
    """The moon over a calm sea, one lantern far out: the song's end."""
    rnd = random.Random(208)
    cv = Canvas(W, H)
    sky(cv, [(0.0, '04061a'), (0.6, '18225a'), (1.0, '403c78')], 210)
    stars(cv, rnd, 260, 200)
    milky_way(cv, rnd, lambda x: 200 - x * 0.34, 24, 205)
    moon(cv, 252, 90, 30, halo=3.2)
    sea(cv, 210, '2a3a80', '0a0e2a', rnd, moon_x=252, glints=200)
    toro(cv, 252, 236, 5)
    return cv


# name: (width, height, format, function); formats: png, bmp, jpg, gif
SCENES = {
    'TITLE': ('png', title),
    'HOME': ('bmp', home),
    'SHRINE': ('jpg', shrine),
    'STALLS': ('gif', stalls),
    'BEACH': ('jpg', beach),
    'HARBOR': ('png', harbor),
    'WORKSHOP': ('bmp', workshop),
    'END1': ('png', ending_bell),
    'END2': ('jpg', ending_letter),
    'END3': ('gif', ending_alone),
    'OP1': ('jpg', op1),
    'OP2': ('png', op2),
    'OP3': ('gif', op3),
    'OP4': ('jpg', op4),
    'OP5': ('bmp', op5),
    'OP6': ('jpg', op6),
    'OP7': ('png', op7),
    'OP8': ('jpg', op8),
}

