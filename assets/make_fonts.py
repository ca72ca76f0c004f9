#!/usr/bin/python3
"""Builds the fourteen font files the display server embeds.

    make_fonts.py OUTDIR WEBFONTS_DIR

The Latin family, Material Icons and the CJK faces come from Debian font
packages, the Font Awesome files from the npm package in assets/; icons.ttf
and fallback.ttf are drawn here. Only faces are extracted, nothing is
subset: pulling one face out of a CJK collection copies its tables as they
are and takes about a second, subsetting takes about a minute per face.
"""
import math
import os
import shutil
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

MONTSERRAT = "/usr/share/fonts/opentype/montserrat"
MATERIAL = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"
NOTO = "/usr/share/fonts/opentype/noto"

# Face indices inside the Noto Sans CJK collections.
NOTO_KR = 1
NOTO_SC = 2

COPIED = [
    ("Proxima Nova Light.otf", MONTSERRAT + "/Montserrat-Light.otf"),
    ("Proxima Nova Regular.otf", MONTSERRAT + "/Montserrat-Regular.otf"),
    ("Proxima Nova Semibold.otf", MONTSERRAT + "/Montserrat-SemiBold.otf"),
    ("MaterialIcons.ttf", MATERIAL),
]

EXTRACTED = [
    ("NotoSans-Light.otf", NOTO + "/NotoSansCJK-Light.ttc", NOTO_SC),
    ("NotoSans-Regular.otf", NOTO + "/NotoSansCJK-Regular.ttc", NOTO_SC),
    ("NotoSans-Medium.otf", NOTO + "/NotoSansCJK-Medium.ttc", NOTO_SC),
    ("NotoSansKR-Light.otf", NOTO + "/NotoSansCJK-Light.ttc", NOTO_KR),
    ("NotoSansKR-Regular.otf", NOTO + "/NotoSansCJK-Regular.ttc", NOTO_KR),
    ("NotoSansKR-Medium.otf", NOTO + "/NotoSansCJK-Medium.ttc", NOTO_KR),
]

UPM = 1000
ASCENT = 800
DESCENT = -200


def polygon(pen, points):
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def box(pen, x0, y0, x1, y1):
    # Clockwise: a filled contour in TrueType.
    polygon(pen, [(x0, y0), (x0, y1), (x1, y1), (x1, y0)])


def hole(pen, x0, y0, x1, y1):
    polygon(pen, [(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def ring(pen, cx, cy, r, inner, sides=32):
    outer = [(round(cx + r * math.sin(2 * math.pi * i / sides)),
              round(cy + r * math.cos(2 * math.pi * i / sides))) for i in range(sides)]
    polygon(pen, outer)
    if inner > 0:
        polygon(pen, [(round(cx + inner * math.sin(2 * math.pi * i / sides)),
                       round(cy + inner * math.cos(2 * math.pi * i / sides)))
                      for i in reversed(range(sides))])


def disc(pen, cx, cy, r):
    ring(pen, cx, cy, r, 0)


def missing(pen):
    # The replacement-character form: a framed diamond.
    box(pen, 50, -100, 750, 700)
    hole(pen, 110, -40, 690, 640)
    polygon(pen, [(400, 560), (600, 300), (400, 40), (200, 300)][::-1])


def bars(count):
    # A level meter of `count` rising bars: one distinct shape per icon.
    def draw(pen):
        width = 600 // count
        for i in range(count):
            x = 100 + i * width
            box(pen, x, 0, x + width - 30, 100 + (i + 1) * 500 // count)
    return draw


def iconShapes():
    shapes = {}
    shapes[0xE900] = lambda pen: box(pen, 100, 0, 700, 600)
    shapes[0xE901] = lambda pen: disc(pen, 400, 300, 300)
    shapes[0xE902] = lambda pen: polygon(pen, [(100, 0), (400, 600), (700, 0)])
    shapes[0xE903] = lambda pen: polygon(pen, [(100, 600), (700, 600), (400, 0)][::-1])
    shapes[0xE904] = lambda pen: ring(pen, 400, 300, 300, 180)
    shapes[0xE905] = lambda pen: (box(pen, 100, 0, 700, 600), hole(pen, 220, 120, 580, 480))
    shapes[0xE906] = lambda pen: (box(pen, 350, 0, 450, 600), box(pen, 100, 250, 700, 350))
    shapes[0xE907] = lambda pen: polygon(pen, [(100, 0), (100, 600), (700, 300)])
    shapes[0xE908] = lambda pen: (box(pen, 100, 0, 300, 600), box(pen, 500, 0, 700, 600))
    shapes[0xE909] = bars(3)
    shapes[0xE90A] = bars(5)
    shapes[0xE90B] = lambda pen: polygon(pen, [(400, 0), (100, 300), (400, 600), (700, 300)])
    shapes[0xE917] = lambda pen: (disc(pen, 250, 300, 150), disc(pen, 550, 300, 150))
    shapes[0xFFFD] = missing
    return shapes


def band(pen, cx, cy, r, inner, sides=24):
    # The upper half of a ring, as one clockwise contour.
    outer = [(round(cx - r * math.cos(math.pi * i / sides)), round(cy + r * math.sin(math.pi * i / sides)))
             for i in range(sides + 1)]
    back = [(round(cx + inner * math.cos(math.pi * i / sides)), round(cy + inner * math.sin(math.pi * i / sides)))
            for i in range(sides + 1)]
    polygon(pen, outer + back)


def fallbackShapes():
    shapes = {}
    # Erase to the left: a pentagon pointing left with a cross cut out.
    shapes[0x232B] = lambda pen: (
        polygon(pen, [(50, 300), (250, 600), (750, 600), (750, 0), (250, 0)]),
        polygon(pen, [(380, 170), (330, 220), (430, 300), (330, 380), (380, 430),
                      (480, 350), (580, 430), (630, 380), (530, 300), (630, 220),
                      (580, 170), (480, 250)][::-1]))
    # High voltage: a lightning bolt.
    shapes[0x26A1] = lambda pen: polygon(
        pen, [(450, 750), (150, 250), (380, 250), (250, -150), (650, 400), (420, 400)][::-1])
    # Microphone: a round-headed capsule on a stand.
    shapes[0x1F3A4] = lambda pen: (
        disc(pen, 400, 560, 160), box(pen, 290, 300, 510, 560),
        box(pen, 370, 60, 430, 300), box(pen, 250, 0, 550, 60))
    # Headphones: a band and two cups.
    shapes[0x1F3A7] = lambda pen: (
        band(pen, 400, 250, 330, 270),
        box(pen, 70, 0, 230, 300), box(pen, 570, 0, 730, 300))
    shapes[0xFFFD] = missing
    return shapes


def drawnFont(path, family, shapes, extraGlyphs):
    names = [".notdef", "space"] + ["uni%04X" % cp if cp < 0x10000 else "u%05X" % cp
                                     for cp in sorted(shapes)] + extraGlyphs
    cmap = {0x20: "space"}
    glyphs = {}
    pen = TTGlyphPen(None)
    box(pen, 100, 0, 600, 700)
    hole(pen, 160, 60, 540, 640)
    glyphs[".notdef"] = pen.glyph()
    glyphs["space"] = TTGlyphPen(None).glyph()
    for cp in sorted(shapes):
        name = "uni%04X" % cp if cp < 0x10000 else "u%05X" % cp
        pen = TTGlyphPen(None)
        shapes[cp](pen)
        glyphs[name] = pen.glyph()
        cmap[cp] = name
    for name in extraGlyphs:
        glyphs[name] = TTGlyphPen(None).glyph()
    fb = FontBuilder(UPM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    for n in names:
        glyf[n].recalcBounds(glyf)
    fb.setupHorizontalMetrics({n: (800, getattr(glyf[n], "xMin", 0)) for n in names})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=DESCENT, usWinAscent=ASCENT,
                usWinDescent=-DESCENT)
    fb.setupPost()
    fb.save(path)


# Hangul blocks. The Chinese faces of the collection map them too; taking
# them out of the Chinese cmap leaves Korean text to the Korean faces, as
# the fallback chains expect. The outlines stay, unreachable.
HANGUL = [(0x1100, 0x11FF), (0x3130, 0x318F), (0xA960, 0xA97F), (0xAC00, 0xD7AF),
          (0xD7B0, 0xD7FF), (0xFFA0, 0xFFDC)]


def isHangul(cp):
    return any(lo <= cp <= hi for lo, hi in HANGUL)


def extractFace(out, collection, index, dropHangul):
    # lazy: tables that are not touched are written back byte for byte, so
    # the 15 MB of outlines are copied, not recompiled.
    font = TTFont(collection, fontNumber=index, lazy=True)
    if dropHangul:
        # Names of our own, so that editing the cmap does not make fontTools
        # read the glyph names out of the outlines table.
        font.setGlyphOrder(["g%d" % i for i in range(font["maxp"].numGlyphs)])
        for table in font["cmap"].tables:
            table.cmap = {cp: g for cp, g in table.cmap.items() if not isHangul(cp)}
    font.save(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_fonts.py OUTDIR WEBFONTS_DIR")
    outdir, webfonts = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    sources = COPIED + [("fa-regular-400.ttf", webfonts + "/fa-regular-400.ttf"),
                        ("fa-solid-900.ttf", webfonts + "/fa-solid-900.ttf")]
    for name, source in sources:
        shutil.copyfile(source, os.path.join(outdir, name))
    for name, collection, index in EXTRACTED:
        extractFace(os.path.join(outdir, name), collection, index, index == NOTO_SC)
    drawnFont(os.path.join(outdir, "icons.ttf"), "SvgIcons", iconShapes(), ["blank"])
    drawnFont(os.path.join(outdir, "fallback.ttf"), "Fallback", fallbackShapes(), ["blank"])


if __name__ == "__main__":
    main()
