#!/usr/bin/python3
# Builds TalvoranFont.ttf, the program's symbol font, from DejaVu Serif (Debian package
# fonts-dejavu-core). Four character codes get glyphs of their own:
#   "~" (126) the radical sign, "&" (38) the upper extension of a tall radical,
#   "_" (95) the bar over a radicand and of a fraction, "`" (96) the Greek letter pi.
# The parentheses and the bar are shortened below the baseline (see shorten_descenders).
# Everything else keeps DejaVu Serif's glyphs and metrics. The font is renamed, as the
# Bitstream Vera licence asks of modified copies.
#
# Run with Debian's own interpreter, which is the one python3-fontforge loads in:
#   /usr/bin/python3 resources/fonts/build_talvoran_font.py [source.ttf]
# The generated file is committed, so building the program never needs fontforge.
#
# Geometry (font units, 2048 per em; ascent 1901, descent 483): the typesetter prints the
# bar glyph with its cell top 1.5 em-points above the radicand's cell, which at size 12 on a
# 96 dpi screen puts the bar between y 1565 and 1655 of a radical sign printed 2 pixels above
# the radicand. The radical's top joins the bar there, and its top-right corner reaches the
# bar's start, half a font size to the right of the group's start.
import math
import os
import sys

import fontforge
import psMat

SOURCE = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"
HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "TalvoranFont.ttf")
FAMILY = "TalvoranFont"

BAR_BOTTOM = -483  # the foot of the character cell (the font's descent)
BAR_TOP = -393
JOIN_BOTTOM = 1565  # where the bar lies, seen from a radical sign's cell
JOIN_TOP = 1655
DESCENDER_BOTTOM = -170  # the lowest point of "(", ")" and "|"


def stroke(pen, x0, y0, x1, y1, width):
    """A straight stroke of the given width from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    points = [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]
    polygon(pen, points)


def polygon(pen, points):
    pen.moveTo(tuple(round(c) for c in points[0]))
    for point in points[1:]:
        pen.lineTo(tuple(round(c) for c in point))
    pen.closePath()


def rectangle(pen, left, bottom, right, top):
    polygon(pen, [(left, bottom), (left, top), (right, top), (right, bottom)])


def finish(glyph, width):
    glyph.width = width
    glyph.removeOverlap()
    glyph.correctDirection()
    glyph.round()


def new_glyph(font, code, name=None):
    glyph = font.createChar(code, name) if name else font.createChar(code)
    glyph.clear()
    return glyph


def draw_radical(font):
    glyph = new_glyph(font, 126)
    pen = glyph.glyphPen()
    stroke(pen, 40, 610, 215, 715, 90)           # the small tick
    stroke(pen, 190, 730, 470, -250, 170)        # the heavy down stroke
    stroke(pen, 420, -250, 1010, JOIN_TOP - 30, 125)  # the thin up stroke
    rectangle(pen, 985, JOIN_BOTTOM, 1072, JOIN_TOP)  # meets the bar's first piece
    pen = None
    finish(glyph, 1072)


def draw_radical_extension(font):
    # Printed 16 pixels above a radical sign (and 14 pixels right of its end): a vertical
    # stroke from that sign's top to the raised bar over a radicand that holds a fraction.
    glyph = new_glyph(font, 38)
    pen = glyph.glyphPen()
    rectangle(pen, 470, -520, 590, JOIN_TOP)
    rectangle(pen, 470, JOIN_BOTTOM, 640, JOIN_TOP)
    pen = None
    finish(glyph, 1300)


def draw_bar(font):
    # A little wider than its advance, so repeated bars overlap instead of leaving a seam.
    glyph = new_glyph(font, 95)
    pen = glyph.glyphPen()
    rectangle(pen, -8, BAR_BOTTOM, 1032, BAR_TOP)
    pen = None
    finish(glyph, 1024)


def draw_pi(font):
    font.selection.select(("unicode",), 0x03C0)
    font.copy()
    glyph = new_glyph(font, 96, "pi.grave")
    font.selection.select(("unicode",), 96)
    font.paste()
    glyph = font[font.findEncodingSlot(96)]
    glyph.glyphname = "pi.grave"


def shorten_descenders(font):
    # A denominator's line sits near the foot of a 41-pixel formula box: parentheses and bars
    # that reach as deep as the serif font draws them lose their lower ends there. They keep
    # their tops and are squeezed to end a little below the baseline.
    for name in ("parenleft", "parenright", "bar"):
        glyph = font[name]
        bottom, top = glyph.boundingBox()[1], glyph.boundingBox()[3]
        if bottom >= DESCENDER_BOTTOM:
            continue
        factor = (top - DESCENDER_BOTTOM) / (top - bottom)
        glyph.transform(psMat.compose(psMat.compose(psMat.translate(0, -top), psMat.scale(1, factor)),
                                      psMat.translate(0, top)))
        glyph.round()


def keep_latin(font):
    font.selection.none()
    font.selection.select(("ranges", "unicode"), 0x20, 0x7E)
    font.selection.select(("ranges", "unicode", "more"), 0xA0, 0xFF)
    for name in (".notdef", ".null", "nonmarkingreturn"):
        if name in font:
            font.selection.select(("more",), name)
    font.selection.invert()
    for glyph in list(font.selection.byGlyphs):
        font.removeGlyph(glyph)
    font.selection.none()


def rename(font):
    font.familyname = FAMILY
    font.fontname = FAMILY
    font.fullname = FAMILY
    copyright = ("Copyright (c) 2003 by Bitstream, Inc. All Rights Reserved.\n"
                 "DejaVu changes are in public domain.\n"
                 "TalvoranFont: DejaVu Serif renamed, with the glyphs of ~ & _ ` redrawn.\n")
    font.copyright = copyright
    kept = [entry for entry in font.sfnt_names
            if entry[1] in ("Version", "License", "License URL")]
    font.sfnt_names = tuple(kept)
    for key, value in (("Copyright", copyright), ("Family", FAMILY), ("SubFamily", "Book"),
                       ("UniqueID", FAMILY), ("Fullname", FAMILY), ("PostScriptName", FAMILY),
                       ("Preferred Family", FAMILY), ("Preferred Styles", "Book")):
        font.appendSFNTName("English (US)", key, value)


def main():
    font = fontforge.open(SOURCE)
    draw_pi(font)
    keep_latin(font)
    draw_radical(font)
    draw_radical_extension(font)
    draw_bar(font)
    shorten_descenders(font)
    rename(font)
    font.generate(OUTPUT)
    print("wrote", OUTPUT)


if __name__ == "__main__":
    main()
