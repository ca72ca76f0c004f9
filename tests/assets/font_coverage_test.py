#!/usr/bin/python3
"""The generated font files cover what their registry names promise.

    font_coverage_test.py FONT_DIR
"""
import sys
import unittest

from fontTools.ttLib import TTFont

FONT_DIR = sys.argv.pop(1) if len(sys.argv) > 1 else "build/assets/fonts"

ICONS = {0x20, 0xFFFD, 0xE917} | set(range(0xE900, 0xE90C))
FALLBACK = {0x20, 0x232B, 0x26A1, 0xFFFD, 0x1F3A4, 0x1F3A7}


def cmapOf(name):
    return TTFont(FONT_DIR + "/" + name).getBestCmap()


def outlinesOf(name):
    font = TTFont(FONT_DIR + "/" + name)
    return "CFF " if "CFF " in font else "glyf"


class Coverage(unittest.TestCase):
    def testDrawnFontsMapExactlyTheirCodePoints(self):
        for name, expected, glyphs in [("icons.ttf", ICONS, 17), ("fallback.ttf", FALLBACK, 8)]:
            with self.subTest(name):
                self.assertEqual(expected, set(cmapOf(name)))
                self.assertEqual(glyphs, TTFont(FONT_DIR + "/" + name)["maxp"].numGlyphs)
                glyf = TTFont(FONT_DIR + "/" + name)["glyf"]
                for cp in expected - {0x20}:
                    self.assertGreater(glyf[cmapOf(name)[cp]].numberOfContours, 0, hex(cp))

    def testPackageFontsCoverTheirScripts(self):
        # name, outlines, code points it must map, code points it must not
        cases = [
            ("Proxima Nova Light.otf", "CFF ", [0x41, 0x67, 0xE9], [0x4E2D, 0x26A1]),
            ("Proxima Nova Regular.otf", "CFF ", [0x41, 0x67, 0xE9], [0x4E2D, 0x26A1]),
            ("Proxima Nova Semibold.otf", "CFF ", [0x41, 0x67, 0xE9], [0x4E2D, 0x26A1]),
            ("MaterialIcons.ttf", "glyf", [0xE87D, 0xE5CD], []),
            ("fa-regular-400.ttf", "glyf", [0xF004], []),
            ("fa-solid-900.ttf", "glyf", [0xF004, 0xF001], []),
            ("NotoSans-Light.otf", "CFF ", [0x4E2D, 0x6587, 0x41], [0xD55C, 0xAC00, 0x3131]),
            ("NotoSans-Regular.otf", "CFF ", [0x4E2D, 0x6587], [0xD55C]),
            ("NotoSans-Medium.otf", "CFF ", [0x4E2D, 0x6587], [0xD55C]),
            ("NotoSansKR-Light.otf", "CFF ", [0xD55C, 0xAE00, 0x4E2D], []),
            ("NotoSansKR-Regular.otf", "CFF ", [0xD55C, 0xAE00], []),
            ("NotoSansKR-Medium.otf", "CFF ", [0xD55C, 0xAE00], []),
        ]
        for name, outlines, present, absent in cases:
            with self.subTest(name):
                cmap = cmapOf(name)
                self.assertEqual(outlines, outlinesOf(name))
                for cp in present:
                    self.assertIn(cp, cmap, hex(cp))
                for cp in absent:
                    self.assertNotIn(cp, cmap, hex(cp))

    def testWeightsRiseWithinEachFamily(self):
        for family in [["Proxima Nova Light.otf", "Proxima Nova Regular.otf", "Proxima Nova Semibold.otf"],
                       ["NotoSans-Light.otf", "NotoSans-Regular.otf", "NotoSans-Medium.otf"],
                       ["NotoSansKR-Light.otf", "NotoSansKR-Regular.otf", "NotoSansKR-Medium.otf"]]:
            weights = [TTFont(FONT_DIR + "/" + name)["OS/2"].usWeightClass for name in family]
            self.assertEqual(sorted(set(weights)), weights, family)


if __name__ == "__main__":
    unittest.main()
