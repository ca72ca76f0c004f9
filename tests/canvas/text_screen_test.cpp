#include <gtest/gtest.h>

#include "test_screen.h"

namespace {

// White text at (20, 80) in the given font; the font command is left out
// when `font` is empty. JSON escapes keep the source ASCII.
std::string textIn(const std::string& font, const std::string& text) {
  std::string commands = R"([{"call":"fillStyle","args":["white"]},)";
  if (!font.empty()) commands += R"({"call":"font","args":[")" + font + R"("]},)";
  return commands + R"({"call":"fillText","args":[")" + text + R"(",20,80]}])";
}

struct Drawn {
  std::vector<Pixel> pixels;
  int lit;
};

Drawn draw(TestScreen& screen, const std::string& font, const std::string& text) {
  screen.frame(textIn(font, text));
  return {screen.region(0, 0, 200, 120), screen.countOtherThan({0, 0, 0}, 0, 0, 200, 120)};
}

TEST(TextOnScreen, GlyphsComeFromTheFaceTheirChainNames) {
  TestScreen screen;
  struct Case {
    const char* what;
    std::string font, text;     // drawn through the chain
    std::string directFont;     // the face that must have drawn it
    std::string otherFont;      // a face that must not have
  };
  const Case cases[] = {
      {"frame default is Calibri 300", "", "Ag", "300 16px Calibri", "300 16px ProximaNova"},
      {"Latin regular", "400 30px ProximaNova", "Ag", "500 30px Trebuchet", "300 30px ProximaNova"},
      {"Chinese through the medium chain", "500 30px ProximaNova", R"(\u4e2d\u6587)", "500 30px NotoSans",
       "400 30px NotoSans"},
      {"Chinese, lightest weights", "300 30px ProximaNova", R"(\u4e2d)", "300 30px NotoSans",
       "500 30px NotoSans"},
      {"Korean skips the Chinese face", "400 30px ProximaNova", R"(\ud55c\uae00)", "400 30px NotoSansKr",
       "300 30px NotoSansKr"},
      {"symbol from the fallback font", "400 30px ProximaNova", R"(\u26a1)", "400 30px Fallback",
       "400 30px NotoSans"},
      {"bold 10px arial", "bold 10px arial", "Ag", "600 10px ProximaNova", "400 10px ProximaNova"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Drawn chained = draw(screen, c.font, c.text);
    Drawn direct = draw(screen, c.directFont, c.text);
    Drawn other = draw(screen, c.otherFont, c.text);
    EXPECT_GT(chained.lit, 20);
    EXPECT_TRUE(chained.pixels == direct.pixels);
    EXPECT_FALSE(chained.pixels == other.pixels);
  }
}

TEST(TextOnScreen, FacesWithoutFallbacksShowTheMissingGlyph) {
  TestScreen screen;
  // "Calibri 300" has no chain: the lightning bolt shows the face's own
  // missing-glyph box, the same as for any other code point it lacks.
  Drawn missing = draw(screen, "300 30px Calibri", R"(\u26a1)");
  EXPECT_GT(missing.lit, 20);
  EXPECT_TRUE(missing.pixels == draw(screen, "300 30px Calibri", R"(\ue900)").pixels);
  EXPECT_FALSE(missing.pixels == draw(screen, "400 30px Fallback", R"(\u26a1)").pixels);
}

TEST(TextOnScreen, IconFontsDrawTheirCodePoints) {
  TestScreen screen;
  struct Case {
    const char* font;
    const char* text;
  };
  const Case cases[] = {
      {"900 30px FontAwesome", R"(\uf004)"},   // heart, solid
      {"400 30px FontAwesome", R"(\uf004)"},   // heart, outline
      {"30px MaterialIcons", R"(\ue87d)"},     // favourite
      {"400 30px SvgIcons", R"(\ue900)"},      // our filled square
      {"400 30px SvgIcons", R"(\ue917)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font + std::string(" ") + c.text);
    EXPECT_GT(draw(screen, c.font, c.text).lit, 30);
  }
  // Solid and outline hearts differ.
  EXPECT_FALSE(draw(screen, cases[0].font, cases[0].text).pixels == draw(screen, cases[1].font, cases[1].text).pixels);
  // The square fills most of its 30 px em: 0.6 em wide, 0.6 em high.
  EXPECT_GT(draw(screen, "400 30px SvgIcons", R"(\ue900)").lit, 250);
}

TEST(TextOnScreen, UnknownFontDrawsNothingUntilAKnownOne) {
  TestScreen screen;
  std::string printed = screen.frame(R"([{"call":"fillStyle","args":["white"]},
      {"call":"font","args":["600 16px Nofamily"]},{"call":"fillText","args":["Hello",20,80]}])");
  EXPECT_EQ("Font not found: Nofamily 600\n", printed);
  EXPECT_EQ(0, screen.countOtherThan({0, 0, 0}, 0, 0, 1024, 600));
  screen.frame(R"([{"call":"fillStyle","args":["white"]},{"call":"font","args":["600 16px Nofamily"]},
      {"call":"font","args":["600 16px ProximaNova"]},{"call":"fillText","args":["Hello",20,80]}])");
  EXPECT_GT(screen.countOtherThan({0, 0, 0}, 0, 0, 1024, 600), 20);
}

TEST(TextOnScreen, NumbersAreDrawnAsTheirText) {
  TestScreen screen;
  screen.frame(R"([{"call":"fillStyle","args":["white"]},{"call":"font","args":["400 20px ProximaNova"]},
      {"call":"fillText","args":[12.5,20,80]}])");
  std::vector<Pixel> number = screen.region(0, 0, 200, 120);
  EXPECT_TRUE(number == draw(screen, "400 20px ProximaNova", "12.500000").pixels);
}

// Where "H" lands for each alignment, relative to its anchor (500, 300).
Box drawH(TestScreen& screen, const std::string& alignCommands) {
  screen.frame(R"([{"call":"fillStyle","args":["white"]},{"call":"font","args":["400 40px ProximaNova"]},)" +
               alignCommands + R"({"call":"fillText","args":["H",500,300]}])");
  return screen.boundsOfOtherThan({0, 0, 0});
}

TEST(TextOnScreen, AlignmentHalvesPersistAcrossFramesButNanoVgStartsAfresh) {
  TestScreen screen;
  Box plain = drawH(screen, "");
  EXPECT_NEAR(500, plain.left, 5);   // left
  EXPECT_NEAR(300, plain.bottom, 2);  // baseline
  drawH(screen, R"({"call":"textBaseline","args":["top"]},)");
  // Next frame: nothing said yet, so NanoVG's own left | baseline.
  EXPECT_EQ(plain, drawH(screen, ""));
  // The first alignment call brings back the remembered top.
  Box centreTop = drawH(screen, R"({"call":"textAlign","args":["center"]},)");
  EXPECT_NEAR(500, (centreTop.left + centreTop.right) / 2, 2);
  EXPECT_NEAR(300, centreTop.top, 8);
  Box rightMiddle = drawH(screen, R"({"call":"textAlign","args":["right"]},{"call":"textBaseline","args":["middle"]},)");
  EXPECT_NEAR(500, rightMiddle.right, 5);
  EXPECT_NEAR(300, (rightMiddle.top + rightMiddle.bottom) / 2, 4);
  EXPECT_EQ(NVG_ALIGN_RIGHT, screen.canvas.textAlignH);
  EXPECT_EQ(NVG_ALIGN_MIDDLE, screen.canvas.textAlignV);
  // Save and restore leave the halves alone.
  Box afterRestore = drawH(screen, R"({"call":"save"},{"call":"textAlign","args":["left"]},{"call":"restore"},)"
                                   R"({"call":"textBaseline","args":["bottom"]},)");
  EXPECT_NEAR(500, afterRestore.left, 5);
  EXPECT_LT(afterRestore.bottom, 298);  // the descender line sits at the anchor
  EXPECT_GT(afterRestore.bottom, 280);
}

}  // namespace
