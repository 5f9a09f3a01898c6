#!/usr/bin/python3
# Draws the colour wheel's pictures into chart/widgets/res (32-bit PNG,
# transparent outside the disc), one per display scale. Run by hand when the
# artwork changes; the results are committed.
#
# They agree with the wheel's marker arithmetic: in a picture N pixels wide,
# pixel (i, j) sits at coordinate (i, j); the centre is (N / 2, N / 2); hue
# is the angle clockwise from the right-hand horizontal (red right, green
# lower left, blue upper left); saturation is the distance from the centre
# over N / 2 - 0.5, reaching 1 at the rim; full brightness. The disc is
# opaque out to N / 2 + 0.5, so that every pixel a drag past the rim reads
# is a rim colour, and fades over the next pixel.
import colorsys
import math
import os

from PIL import Image

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "chart", "widgets", "res")


def wheel(name, scale):
    n = int(round(150 * scale))
    centre = n / 2
    rim = centre - 0.5
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    px = img.load()
    for j in range(n):
        for i in range(n):
            dx, dy = i - centre, j - centre
            dist = math.hypot(dx, dy)
            alpha = min(max(centre + 1.5 - dist, 0.0), 1.0)
            if alpha == 0:
                continue
            hue = math.degrees(math.atan2(dy, dx)) % 360
            sat = min(dist / rim, 1.0)
            r, g, b = colorsys.hsv_to_rgb(hue / 360, sat, 1.0)
            px[i, j] = (round(r * 255), round(g * 255), round(b * 255), round(alpha * 255))
    img.save(os.path.join(OUT, name + ".png"), optimize=True)


for suffix, scale in (("100", 1.0), ("125", 1.25), ("150", 1.5), ("175", 1.75), ("200", 2.0)):
    wheel("TADVCOLORWHEELPICTURE" + suffix, scale)
