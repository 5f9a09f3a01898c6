#!/usr/bin/python3
# Draws the glyphs of the drawing facade's own-drawn buttons into
# chart/drawing/res (32-bit PNG, transparent ground) with Pillow. Run by hand
# when the artwork changes; the results are committed.
import os

from PIL import Image, ImageDraw

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "chart", "drawing", "res")
SS = 8  # supersampling, for anti-aliased edges


def lines(name, size, width, polylines, scale=1.0):
    """Black polylines of `width` pixels; points in 16 x 16 glyph pixels (pixel
    centres at .5), scaled by `scale`."""
    big = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    for pts in polylines:
        xy = [((x + 0.5) * scale * SS, (y + 0.5) * scale * SS) for x, y in pts]
        d.line(xy, fill=(0, 0, 0, 255), width=int(width * scale * SS), joint="curve")
    big.resize((size, size), Image.LANCZOS).save(os.path.join(OUT, name + ".png"))


def expand(name, width, height, rows):
    img = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    for y, (x0, x1) in rows.items():
        for x in range(x0, x1 + 1):
            img.putpixel((x, y), (86, 86, 86, 255))
    img.save(os.path.join(OUT, name + ".png"))


for suffix, size, scale in (("", 16, 1.0), ("LARGE", 48, 3.0)):
    lines("VIVIZUDEGRAPHICSCLOSE" + suffix, size, 1.5, [[(3, 3), (12, 12)], [(3, 12), (12, 3)]], scale)
    lines("VIVIZUDEGRAPHICSDOWN" + suffix, size, 2, [[(3.5, 5.5), (7.5, 9.5), (11.5, 5.5)]], scale)
    lines("VIVIZUDEGRAPHICSUP" + suffix, size, 2, [[(3.5, 9.5), (7.5, 5.5), (11.5, 9.5)]], scale)
    lines("VIVIZUDEGRAPHICSRIGHT" + suffix, size, 2, [[(5.5, 3.5), (9.5, 7.5), (5.5, 11.5)]], scale)
    lines("VIVIZUDEGRAPHICSLEFT" + suffix, size, 2, [[(9.5, 3.5), (5.5, 7.5), (9.5, 11.5)]], scale)
expand("VIVIZUDEGRAPHICSEXPAND", 7, 7, {1: (0, 6), 2: (0, 6), 3: (1, 5), 4: (2, 4), 5: (3, 3)})
expand("VIVIZUDEGRAPHICSEXPANDLARGE", 11, 9, {1: (0, 10), 2: (0, 10), 3: (1, 9), 4: (2, 8), 5: (3, 7), 6: (4, 6), 7: (5, 5)})
