#include <gtest/gtest.h>

#include "test_screen.h"

namespace {

std::string fillRect(const std::string& style, int x, int y, int w, int h) {
  return R"({"call":"fillStyle","args":[)" + style + R"(]},{"call":"fillRect","args":[)" +
         std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "," +
         std::to_string(h) + "]}";
}

TEST(StylesOnScreen, EveryColourFormFillsWithItsColour) {
  TestScreen screen;
  struct Case {
    const char* text;
    Pixel expected;  // over a black window
  };
  const Case cases[] = {
      {"\"#FF8000\"", {255, 128, 0}}, {"\"00ff80\"", {0, 255, 128}}, {"\"#F80\"", {255, 136, 0}},
      {"\"white\"", {255, 255, 255}}, {"\"red\"", {255, 0, 0}},      {"\"rgba(0,0,255,1)\"", {0, 0, 255}},
      {"\"rgba(0,255,0,0.5)\"", {0, 127, 0}}, {"\"transparent\"", {0, 0, 0}}, {"\"\"", {0, 0, 0}},
  };
  std::string commands = "[";
  for (size_t i = 0; i < std::size(cases); ++i)
    commands += (i ? "," : "") + fillRect(cases[i].text, int(i) * 40, 0, 30, 30);
  screen.frame(commands + "]");
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].text);
    Pixel got = screen.at(int(i) * 40 + 15, 15);
    EXPECT_NEAR(cases[i].expected.r, got.r, 1);
    EXPECT_NEAR(cases[i].expected.g, got.g, 1);
    EXPECT_NEAR(cases[i].expected.b, got.b, 1);
  }
}

TEST(StylesOnScreen, GradientFillsWithItsStartColourOnly) {
  TestScreen screen;
  screen.frame("[" +
               fillRect(R"({"type":"lingrad","stops":[[0,"#00FF00"],[0.5,"white"],[1,"#0000FF"]],"rect":[0,0,200,0]})",
                        0, 0, 200, 50) +
               "]");
  EXPECT_EQ((Pixel{0, 255, 0}), screen.at(5, 25));
  EXPECT_EQ((Pixel{0, 255, 0}), screen.at(195, 25));
  EXPECT_EQ(0, screen.countOtherThan({0, 255, 0}, 2, 2, 196, 46));
}

TEST(StylesOnScreen, EveryCompositingWordCopiesAlphaIncluded) {
  TestScreen screen;
  // Copy replaces the red underneath with the half-transparent green instead
  // of blending the two.
  for (const char* word : {"source-over", "destination-out", "xor", "lighter", "copy"}) {
    SCOPED_TRACE(word);
    screen.frame("[" + fillRect("\"red\"", 0, 0, 100, 100) +
                 R"(,{"call":"globalCompositeOperation","args":[")" + word + R"("]},)" +
                 fillRect("\"rgba(0,255,0,0.5)\"", 0, 0, 100, 100) + "]");
    Pixel got = screen.at(50, 50);
    EXPECT_EQ(0, got.r) << "source-over would have kept red under the green";
    EXPECT_NEAR(127, got.g, 1);
  }
  // Without a compositing word the two blend.
  screen.frame("[" + fillRect("\"red\"", 0, 0, 100, 100) + "," + fillRect("\"rgba(0,255,0,0.5)\"", 0, 0, 100, 100) + "]");
  EXPECT_NEAR(128, screen.at(50, 50).r, 1);
}

}  // namespace

namespace {

// A 20 px wide horizontal stroke from x 100 to 200 at y 100, in the stroke
// colour, with the given cap and join words.
std::string strokeLine(const std::string& cap, const std::string& join) {
  return R"([{"call":"strokeStyle","args":["#00FF00"]},{"call":"lineWidth","args":[20]},)"
         R"({"call":"lineCap","args":[")" + cap + R"("]},{"call":"lineJoin","args":[")" + join + R"("]},)"
         R"({"call":"beginPath"},{"call":"moveTo","args":[100,100]},{"call":"lineTo","args":[200,100]},)"
         R"({"call":"lineTo","args":[200,200]},{"call":"stroke"}])";
}

TEST(StylesOnScreen, LineCapsAndJoinsShapeTheStrokeEnds) {
  TestScreen screen;
  const Pixel green{0, 255, 0}, black{0, 0, 0};
  struct Case {
    const char* cap;
    const char* join;
    Pixel beyondStart;  // (95, 100): inside a square or round cap, outside a butt
    Pixel capCorner;    // (92, 92): inside only a square cap
    Pixel outerCorner;  // (208, 92): the corner of the join, cut by bevel and round
  };
  const Case cases[] = {
      {"butt", "miter", black, black, green},
      {"square", "miter", green, green, green},
      {"round", "miter", green, black, green},
      {"butt", "bevel", black, black, black},
      {"butt", "round", black, black, black},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cap) + " " + c.join);
    screen.frame(strokeLine(c.cap, c.join));
    EXPECT_EQ(green, screen.at(150, 100));
    EXPECT_EQ(c.beyondStart, screen.at(95, 100));
    EXPECT_EQ(c.capCorner, screen.at(92, 92));
    EXPECT_EQ(c.outerCorner, screen.at(208, 92));
  }
}

TEST(StylesOnScreen, StylesAreSavedRestoredAndResetEachFrame) {
  TestScreen screen;
  screen.frame(R"([{"call":"fillStyle","args":["red"]},{"call":"save"},{"call":"fillStyle","args":["#0000FF"]},)"
               R"({"call":"globalCompositeOperation","args":["copy"]},{"call":"restore"},)"
               R"j({"call":"fillRect","args":[0,0,50,50]},{"call":"fillStyle","args":["rgba(0,255,0,0.5)"]},)j"
               R"({"call":"fillRect","args":[0,0,50,50]}])");
  EXPECT_EQ((Pixel{128, 127, 0}), screen.at(25, 25)) << "red, then green blended over it: source-over is back";
  // A new frame starts from white fill, whatever the last one set.
  screen.frame(R"({"call":"fillRect","args":[0,0,50,50]})");
  EXPECT_EQ((Pixel{255, 255, 255}), screen.at(25, 25));
}

}  // namespace
