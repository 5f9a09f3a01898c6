#!/usr/bin/python3
# Draws the pictures of the chart view's series tool-bar popup into
# chart/widgets/win/res (32-bit PNG, transparent ground) and writes the
# resource script that names them. Pure Python (zlib only), so it runs
# anywhere; run by hand when the artwork changes; the results are committed.
#
# Sizes: chart types 54 x 40, line styles 92 x 3, markers 12 x 12, the
# pickers' faces 24 x 24, the move buttons 16 x 16.
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "chart", "widgets", "win", "res")
SS = 4  # supersampling per axis, for anti-aliased edges

BLUE = (47, 110, 186)
LIGHT = (142, 180, 227)
ORANGE = (237, 125, 49)
GREEN = (84, 160, 72)
RED = (200, 60, 50)
GREY = (110, 110, 110)
DARK = (50, 50, 50)


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        # premultiplied RGBA per sub-pixel
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h * SS * SS)]

    def _paint(self, bbox, inside, color, alpha=1.0):
        x0, y0, x1, y1 = bbox
        W = self.w * SS
        sx0 = max(0, int(math.floor(x0 * SS)))
        sy0 = max(0, int(math.floor(y0 * SS)))
        sx1 = min(W, int(math.ceil(x1 * SS)) + 1)
        sy1 = min(self.h * SS, int(math.ceil(y1 * SS)) + 1)
        r, g, b = (c / 255.0 for c in color)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SS
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / SS
                if inside(x, y):
                    p = self.px[sy * W + sx]
                    k = 1.0 - alpha
                    p[0] = r * alpha + p[0] * k
                    p[1] = g * alpha + p[1] * k
                    p[2] = b * alpha + p[2] * k
                    p[3] = alpha + p[3] * k

    def polygon(self, pts, color, alpha=1.0):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            n = len(pts)
            for i in range(n):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    c = not c
            return c

        self._paint((min(xs), min(ys), max(xs), max(ys)), inside, color, alpha)

    def rect(self, x0, y0, x1, y1, color, alpha=1.0):
        self._paint((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, alpha)

    def frame(self, x0, y0, x1, y1, color, w=1.0):
        self.rect(x0, y0, x1, y0 + w, color)
        self.rect(x0, y1 - w, x1, y1, color)
        self.rect(x0, y0, x0 + w, y1, color)
        self.rect(x1 - w, y0, x1, y1, color)

    def line(self, pts, color, width=1.0, alpha=1.0):
        h = width / 2.0
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        segs = list(zip(pts, pts[1:]))

        def inside(x, y):
            for (ax, ay), (bx, by) in segs:
                dx, dy = bx - ax, by - ay
                L = dx * dx + dy * dy
                t = 0.0 if L == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / L))
                qx, qy = ax + t * dx - x, ay + t * dy - y
                if qx * qx + qy * qy <= h * h:
                    return True
            return False

        self._paint((min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h), inside, color, alpha)

    def ellipse(self, cx, cy, rx, ry, color, alpha=1.0):
        self._paint((cx - rx, cy - ry, cx + rx, cy + ry),
                    lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, color, alpha)

    def ring(self, cx, cy, r, w, color):
        self._paint((cx - r, cy - r, cx + r, cy + r),
                    lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def sector(self, cx, cy, r0, r1, a0, a1, color):
        """Annulus sector between radii r0..r1 and angles a0..a1 (degrees,
        clockwise on screen from the positive x axis)."""

        def inside(x, y):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if not (r0 * r0 <= d2 <= r1 * r1):
                return False
            a = math.degrees(math.atan2(y - cy, x - cx)) % 360.0
            return (a - a0) % 360.0 <= (a1 - a0)

        self._paint((cx - r1, cy - r1, cx + r1, cy + r1), inside, color)

    def png(self, name):
        W = self.w * SS
        rows = []
        for y in range(self.h):
            row = bytearray([0])
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        p = self.px[(y * SS + sy) * W + x * SS + sx]
                        for i in range(4):
                            acc[i] += p[i]
                n = SS * SS
                a = acc[3] / n
                if a <= 0:
                    row += bytes(4)
                else:
                    row += bytes([min(255, round(acc[i] / n / a * 255)) for i in range(3)] + [round(a * 255)])
            rows.append(bytes(row))
        raw = zlib.compress(b"".join(rows), 9)

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

        data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", raw) + chunk(b"IEND", b""))
        with open(os.path.join(OUT, name + ".png"), "wb") as f:
            f.write(data)
        NAMES.append(name)


NAMES = []
PREFIX = "TVivIzudeToolBarPopup"


# ---------------------------------------------------------------- chart types, 54 x 40

def chart(name, draw):
    c = Canvas(54, 40)
    draw(c)
    c.png(PREFIX + "Chart" + name)


def axes(c):
    c.line([(4, 3), (4, 36), (51, 36)], GREY, 1.0)


ZIG = [(6, 30), (15, 18), (24, 24), (33, 10), (42, 16), (50, 6)]


def bars(c, heights, x0=8, w=7, gap=4, color=BLUE):
    for i, h in enumerate(heights):
        x = x0 + i * (w + gap)
        c.rect(x, 36 - h, x + w, 36, color)


def candles(c, hollow=False):
    data = [(12, 28, 10, 32, True), (22, 22, 16, 26, False), (32, 20, 8, 24, True), (42, 12, 6, 18, True)]
    for x, top, hi, lo, up in [(x, min(a, b), hi, max(a, b), u) for x, a, hi, b, u in
                               [(12, 20, 8, 30, True), (22, 16, 12, 26, False), (32, 14, 6, 22, True),
                                (42, 8, 4, 16, True)]]:
        col = GREEN if up else RED
        c.line([(x, hi), (x, lo + 4)], DARK, 1.0)
        if hollow:
            c.rect(x - 3, top, x + 3, lo, (255, 255, 255))
            c.frame(x - 3, top, x + 3, lo, col, 1.2)
        else:
            c.rect(x - 3, top, x + 3, lo, col)
    del data


def pie_slices(c, cx, cy, r0, r1, a0, a1, radii=None):
    cols = [BLUE, ORANGE, GREEN, LIGHT]
    parts = [0.4, 0.25, 0.2, 0.15]
    a = a0
    for i, p in enumerate(parts):
        b = a + (a1 - a0) * p
        rr = r1 if radii is None else radii[i]
        c.sector(cx, cy, r0, rr, a, b, cols[i])
        a = b


def arrow(c, x, y, dx, dy, col, w=1.5):
    c.line([(x, y), (x + dx, y + dy)], col, w)
    L = math.hypot(dx, dy)
    ux, uy = dx / L, dy / L
    hx, hy = x + dx, y + dy
    s = max(2.5, L * 0.35)
    c.polygon([(hx + ux * 1.5, hy + uy * 1.5), (hx - ux * s - uy * s * 0.6, hy - uy * s + ux * s * 0.6),
               (hx - ux * s + uy * s * 0.6, hy - uy * s - ux * s * 0.6)], col)


def spider(c, cx, cy, r, half=False):
    n = 6
    angs = [(-90 + i * 360 / n) for i in range(n)]
    if half:
        angs = [180 + i * 180 / 4 for i in range(5)]
    for k in (0.5, 1.0):
        pts = [(cx + r * k * math.cos(math.radians(a)), cy + r * k * math.sin(math.radians(a))) for a in angs]
        c.line(pts + ([] if half else [pts[0]]), GREY, 0.8)
    for a in angs:
        c.line([(cx, cy), (cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))], GREY, 0.6)
    vals = [0.9, 0.6, 0.8, 0.45, 0.75, 0.55]
    pts = [(cx + r * v * math.cos(math.radians(a)), cy + r * v * math.sin(math.radians(a))) for a, v in zip(angs, vals)]
    if half:
        pts = [(cx, cy)] + pts
    c.polygon(pts, BLUE, 0.45)
    c.line(pts + [pts[0]], BLUE, 1.4)


def draw_line(c):
    axes(c)
    c.line(ZIG, BLUE, 2.0)


def draw_area(c):
    axes(c)
    c.polygon([(6, 36)] + ZIG + [(50, 36)], LIGHT)
    c.line(ZIG, BLUE, 1.5)


def draw_bar(c):
    axes(c)
    bars(c, [14, 24, 18, 30])


def draw_linebar(c):
    axes(c)
    for i, h in enumerate([14, 24, 18, 30]):
        x = 11 + i * 11
        c.line([(x, 36), (x, 36 - h)], BLUE, 2.5)


def draw_histogram(c):
    axes(c)
    bars(c, [10, 18, 28, 22, 12, 6], x0=6, w=7.5, gap=0, color=LIGHT)
    for i, h in enumerate([10, 18, 28, 22, 12, 6]):
        x = 6 + i * 7.5
        c.frame(x, 36 - h, x + 7.5, 36.5, BLUE, 1.0)


def draw_linehistogram(c):
    axes(c)
    hs = [10, 18, 28, 22, 12, 6]
    pts = [(6, 36)]
    for i, h in enumerate(hs):
        pts += [(6 + i * 7.5, 36 - h), (6 + (i + 1) * 7.5, 36 - h)]
    pts.append((6 + len(hs) * 7.5, 36))
    c.line(pts, BLUE, 1.6)


def draw_candlestick(c):
    axes(c)
    candles(c)


def draw_linecandlestick(c):
    axes(c)
    candles(c, hollow=True)


def draw_ohlc(c):
    axes(c)
    for x, o, hi, lo, cl, up in [(12, 26, 18, 32, 22, True), (22, 22, 12, 28, 26, False),
                                 (32, 24, 10, 28, 14, True), (42, 14, 4, 18, 8, True)]:
        col = GREEN if up else RED
        c.line([(x, hi), (x, lo)], col, 1.6)
        c.line([(x - 4, o), (x, o)], col, 1.6)
        c.line([(x, cl), (x + 4, cl)], col, 1.6)


def draw_markers(c):
    axes(c)
    for x, y in ZIG:
        c.ellipse(x, y, 3, 3, BLUE)


def draw_stackedbar(c):
    axes(c)
    for i, (a, b) in enumerate([(10, 8), (16, 10), (12, 12), (18, 12)]):
        x = 8 + i * 11
        c.rect(x, 36 - a, x + 7, 36, BLUE)
        c.rect(x, 36 - a - b, x + 7, 36 - a, ORANGE)


def draw_stackedarea(c):
    axes(c)
    lo = [(6, 30), (17, 24), (28, 27), (39, 20), (50, 22)]
    hi = [(6, 20), (17, 12), (28, 16), (39, 6), (50, 10)]
    c.polygon([(6, 36)] + lo + [(50, 36)], BLUE)
    c.polygon(hi + lo[::-1], ORANGE)


def draw_stackedareaperc(c):
    axes(c)
    lo = [(6, 26), (17, 18), (28, 24), (39, 14), (50, 20)]
    c.polygon([(6, 36)] + lo + [(50, 36)], BLUE)
    c.polygon([(6, 4), (50, 4)] + lo[::-1], ORANGE)


def draw_stackedbarperc(c):
    axes(c)
    for i, a in enumerate([12, 20, 16, 24]):
        x = 8 + i * 11
        c.rect(x, 36 - a, x + 7, 36, BLUE)
        c.rect(x, 5, x + 7, 36 - a, ORANGE)


def draw_error(c):
    axes(c)
    for x, y, e in [(10, 26, 5), (20, 18, 6), (30, 22, 4), (40, 12, 6), (48, 16, 4)]:
        c.line([(x, y - e), (x, y + e)], DARK, 1.0)
        c.line([(x - 2, y - e), (x + 2, y - e)], DARK, 1.0)
        c.line([(x - 2, y + e), (x + 2, y + e)], DARK, 1.0)
        c.rect(x - 2, y - 2, x + 2, y + 2, BLUE)


def draw_arrow(c):
    axes(c)
    for x, y in [(10, 30), (20, 22), (30, 26), (40, 14)]:
        arrow(c, x, y, 6, -6, BLUE)


def draw_scaledarrow(c):
    axes(c)
    for x, y, s in [(8, 32, 4), (18, 26, 7), (30, 28, 5), (38, 20, 10)]:
        arrow(c, x, y, s, -s, BLUE)


def draw_bubble(c):
    axes(c)
    for x, y in [(12, 26), (22, 16), (34, 24), (44, 11)]:
        c.ellipse(x, y, 5, 5, BLUE, 0.6)


def draw_scaledbubble(c):
    axes(c)
    for x, y, r in [(11, 28, 3), (21, 17, 6), (35, 25, 4), (43, 11, 8)]:
        c.ellipse(x, y, r, r, BLUE, 0.6)


def draw_pie(c):
    pie_slices(c, 27, 20, 0, 17, -90, 270)


def draw_halfpie(c):
    pie_slices(c, 27, 31, 0, 22, 180, 360)


def draw_donut(c):
    pie_slices(c, 27, 20, 9, 17, -90, 270)


def draw_halfdonut(c):
    pie_slices(c, 27, 31, 11, 22, 180, 360)


def draw_band(c):
    axes(c)
    hi = [(6, 14), (17, 8), (28, 14), (39, 6), (50, 10)]
    lo = [(6, 28), (17, 22), (28, 30), (39, 20), (50, 26)]
    c.polygon(hi + lo[::-1], LIGHT)
    c.line(hi, BLUE, 1.4)
    c.line(lo, BLUE, 1.4)


def draw_spider(c):
    spider(c, 27, 20, 17)


def draw_halfspider(c):
    spider(c, 27, 32, 22, half=True)


VR = [17, 12, 15, 9]
VRH = [22, 15, 19, 12]


def draw_varradiuspie(c):
    pie_slices(c, 27, 20, 0, 17, -90, 270, VR)


def draw_varradiushalfpie(c):
    pie_slices(c, 27, 31, 0, 22, 180, 360, VRH)


def draw_varradiusdonut(c):
    pie_slices(c, 27, 20, 6, 17, -90, 270, VR)


def draw_varradiushalfdonut(c):
    pie_slices(c, 27, 31, 8, 22, 180, 360, VRH)


def draw_sizedpie(c):
    pie_slices(c, 15, 22, 0, 11, -90, 270)
    pie_slices(c, 41, 24, 0, 7, -90, 270)


def draw_sizedhalfpie(c):
    pie_slices(c, 16, 30, 0, 14, 180, 360)
    pie_slices(c, 42, 30, 0, 9, 180, 360)


def draw_sizeddonut(c):
    pie_slices(c, 15, 22, 0 + 5, 11, -90, 270)
    pie_slices(c, 41, 24, 3, 7, -90, 270)


def draw_sizedhalfdonut(c):
    pie_slices(c, 16, 30, 7, 14, 180, 360)
    pie_slices(c, 42, 30, 4.5, 9, 180, 360)


def steps(levels, x0=6, dx=7.3):
    pts = []
    for i, y in enumerate(levels):
        pts += [(x0 + i * dx, y), (x0 + (i + 1) * dx, y)]
    return pts


def draw_digitalline(c):
    axes(c)
    c.line(steps([28, 12, 12, 28, 12, 28]), BLUE, 1.8)


def draw_xydigitalline(c):
    axes(c)
    pts = [(6, 28), (12, 28), (12, 12), (25, 12), (25, 28), (33, 28), (33, 12), (50, 12)]
    c.line(pts, BLUE, 1.8)
    for x, y in [(6, 28), (12, 12), (25, 28), (33, 12), (50, 12)]:
        c.ellipse(x, y, 2.2, 2.2, ORANGE)


def draw_boxplot(c):
    axes(c)
    for x, lo, q1, med, q3, hi in [(14, 32, 26, 22, 16, 8), (28, 30, 24, 20, 14, 6), (42, 28, 22, 18, 12, 4)]:
        c.line([(x, hi), (x, q3)], DARK, 1.0)
        c.line([(x, q1), (x, lo)], DARK, 1.0)
        c.line([(x - 3, hi), (x + 3, hi)], DARK, 1.0)
        c.line([(x - 3, lo), (x + 3, lo)], DARK, 1.0)
        c.rect(x - 5, q3, x + 5, q1, LIGHT)
        c.frame(x - 5, q3, x + 5, q1, BLUE, 1.0)
        c.line([(x - 5, med), (x + 5, med)], BLUE, 1.4)


def draw_renko(c):
    axes(c)
    y = 30
    for i, up in enumerate([True, True, False, True, True, True]):
        x = 7 + i * 7
        if up:
            c.rect(x, y - 6, x + 6, y, GREEN)
            c.frame(x, y - 6, x + 6, y, DARK, 0.6)
            y -= 6 if i < 5 else 0
        else:
            y += 6
            c.rect(x, y - 6, x + 6, y, RED)
            c.frame(x, y - 6, x + 6, y, DARK, 0.6)
            y -= 6


def draw_xyline(c):
    axes(c)
    pts = [(7, 30), (11, 20), (22, 24), (27, 12), (40, 18), (48, 6)]
    c.line(pts, BLUE, 1.6)
    for x, y in pts:
        c.ellipse(x, y, 2.2, 2.2, BLUE)


def draw_xymarker(c):
    axes(c)
    for x, y in [(9, 28), (14, 20), (20, 30), (27, 14), (33, 22), (40, 10), (47, 18)]:
        c.rect(x - 2.5, y - 2.5, x + 2.5, y + 2.5, BLUE)


def draw_gantt(c):
    c.line([(4, 3), (4, 37)], GREY, 1.0)
    for i, (a, b, col) in enumerate([(6, 24, BLUE), (16, 36, ORANGE), (26, 44, GREEN), (34, 50, BLUE)]):
        y = 5 + i * 8
        c.rect(a, y, b, y + 6, col)


def draw_funnel(c):
    cols = [BLUE, ORANGE, GREEN, LIGHT]
    w = [46, 36, 26, 16, 8]
    for i in range(4):
        y0, y1 = 3 + i * 8.6, 3 + (i + 1) * 8.6 - 1
        c.polygon([(27 - w[i] / 2, y0), (27 + w[i] / 2, y0), (27 + w[i + 1] / 2, y1), (27 - w[i + 1] / 2, y1)], cols[i])


CHARTS = [
    ("Line", draw_line), ("Area", draw_area), ("Bar", draw_bar), ("LineBar", draw_linebar),
    ("Histogram", draw_histogram), ("LineHistogram", draw_linehistogram), ("CandleStick", draw_candlestick),
    ("LineCandleStick", draw_linecandlestick), ("OHLC", draw_ohlc), ("Marker", draw_markers),
    ("StackedBar", draw_stackedbar), ("StackedArea", draw_stackedarea), ("StackedAreaPerc", draw_stackedareaperc),
    ("StackedBarPerc", draw_stackedbarperc), ("Error", draw_error), ("Arrow", draw_arrow),
    ("ScaledArrow", draw_scaledarrow), ("Bubble", draw_bubble), ("ScaledBubble", draw_scaledbubble),
    ("Pie", draw_pie), ("HalfPie", draw_halfpie), ("Donut", draw_donut), ("HalfDonut", draw_halfdonut),
    ("Band", draw_band), ("Spider", draw_spider), ("HalfSpider", draw_halfspider),
    ("VarRadiusPie", draw_varradiuspie), ("VarRadiusHalfPie", draw_varradiushalfpie),
    ("VarRadiusDonut", draw_varradiusdonut), ("VarRadiusHalfDonut", draw_varradiushalfdonut),
    ("SizedPie", draw_sizedpie), ("SizedHalfPie", draw_sizedhalfpie), ("SizedDonut", draw_sizeddonut),
    ("SizedHalfDonut", draw_sizedhalfdonut), ("DigitalLine", draw_digitalline),
    ("XYDigitalLine", draw_xydigitalline), ("BoxPlot", draw_boxplot), ("Renko", draw_renko),
    ("XYLine", draw_xyline), ("XYMarker", draw_xymarker), ("Gantt", draw_gantt), ("Funnel", draw_funnel),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, draw in CHARTS:
        chart(name, draw)

    # Line styles, 92 x 3: the pen patterns in whole pixels.
    for name, pattern in (("Solid", [92]), ("Dot", [3, 3]), ("Dash", [9, 3]), ("DashDot", [9, 3, 3, 3]),
                          ("DashDotDot", [9, 3, 3, 3, 3, 3])):
        c = Canvas(92, 3)
        x, on, i = 0, True, 0
        while x < 92:
            n = pattern[i % len(pattern)]
            if on:
                c.rect(x, 0, min(92, x + n), 3, DARK)
            x += n
            on = not on
            i += 1
        c.png(PREFIX + "Line" + name)

    # Markers, 12 x 12.
    for name, draw in (("Ellipse", lambda c: (c.ellipse(6, 6, 5.5, 5.5, DARK), c.ellipse(6, 6, 4.3, 4.3, BLUE))),
                       ("Triangle", lambda c: (c.polygon([(6, 0.3), (11.7, 11.2), (0.3, 11.2)], DARK),
                                               c.polygon([(6, 2.8), (9.8, 10), (2.2, 10)], BLUE))),
                       ("Square", lambda c: (c.rect(0.5, 0.5, 11.5, 11.5, DARK), c.rect(1.7, 1.7, 10.3, 10.3, BLUE))),
                       ("Diamond", lambda c: (c.polygon([(6, 0), (12, 6), (6, 12), (0, 6)], DARK),
                                              c.polygon([(6, 1.8), (10.2, 6), (6, 10.2), (1.8, 6)], BLUE)))):
        c = Canvas(12, 12)
        draw(c)
        c.png(PREFIX + "Marker" + name)

    # The pickers' faces, 24 x 24.
    c = Canvas(24, 24)  # fill: a tipped paint pot with a drop
    c.polygon([(3, 11), (11, 3), (19, 11), (11, 19)], LIGHT)
    c.line([(3, 11), (11, 3), (19, 11), (11, 19), (3, 11)], DARK, 1.4)
    c.line([(7, 7), (3, 3)], DARK, 1.4)
    c.ellipse(20.5, 17, 2.3, 3.2, BLUE)
    c.png(PREFIX + "Fill")
    c = Canvas(24, 24)  # line colour: a pen over a stroke
    c.line([(2, 21), (9, 17), (15, 20), (22, 15)], BLUE, 2.2)
    c.polygon([(6, 13), (17, 2), (21, 6), (10, 17)], DARK)
    c.polygon([(6, 13), (10, 17), (4, 18.5)], ORANGE)
    c.png(PREFIX + "Line")
    c = Canvas(24, 24)  # marker colour: a marker on a line
    c.line([(1, 17), (8, 12), (16, 14), (23, 6)], GREY, 1.4)
    c.ellipse(8, 12, 5, 5, DARK)
    c.ellipse(8, 12, 3.7, 3.7, ORANGE)
    c.rect(13, 11, 19, 17, DARK)
    c.rect(14.2, 12.2, 17.8, 15.8, ORANGE)
    c.png(PREFIX + "MarkerFill")
    c = Canvas(24, 24)  # value labels: a callout over a bar
    c.rect(15, 14, 21, 23, BLUE)
    c.polygon([(2, 2), (20, 2), (20, 10), (11, 10), (8, 14), (8, 10), (2, 10)], (255, 255, 255))
    c.line([(2, 2), (20, 2), (20, 10), (11, 10), (8, 14), (8, 10), (2, 10), (2, 2)], DARK, 1.1)
    c.line([(5, 6), (17, 6)], DARK, 1.4)
    c.png(PREFIX + "DataLabels")

    # The move buttons, 16 x 16.
    for name, pts in (("Up", [(8, 2), (14, 9), (10, 9), (10, 14), (6, 14), (6, 9), (2, 9)]),
                      ("Down", [(8, 14), (14, 7), (10, 7), (10, 2), (6, 2), (6, 7), (2, 7)])):
        c = Canvas(16, 16)
        c.polygon(pts, BLUE)
        c.png(PREFIX + name)

    with open(os.path.join(OUT, "VivIzudeToolBarPopup.rc"), "w") as f:
        f.write("// The series tool-bar popup's pictures (tools/gen_toolbar_popup_pictures.py).\n")
        f.write("// A program that shows the popup adds this script to its resources.\n")
        for n in NAMES:
            f.write('%s RCDATA "%s.png"\n' % (n.upper(), n))


if __name__ == "__main__":
    main()
