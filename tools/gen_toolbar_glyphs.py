#!/usr/bin/python3
# Draws the glyphs of the tool bar's buttons into chart/widgets/res (32-bit
# PNG, transparent ground) with Pillow. Run by hand when the artwork
# changes; the results are committed.
import os

from PIL import Image

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "chart", "widgets", "res")


def arrow(name, width, height, rows):
    """A downward arrow: for each row y the run of pixels x0..x1."""
    img = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    for y, (x0, x1) in rows.items():
        for x in range(x0, x1 + 1):
            img.putpixel((x, y), (64, 64, 64, 255))
    img.save(os.path.join(OUT, name + ".png"))


# The drop-down part's arrow, at scale 1.0 and 1.5.
arrow("VIVIZUDETOOLBAREXPAND", 7, 7, {1: (0, 6), 2: (0, 6), 3: (1, 5), 4: (2, 4), 5: (3, 3)})
arrow("VIVIZUDETOOLBAREXPANDLARGE", 11, 9, {1: (0, 10), 2: (0, 10), 3: (1, 9), 4: (2, 8), 5: (3, 7), 6: (4, 6), 7: (5, 5)})
