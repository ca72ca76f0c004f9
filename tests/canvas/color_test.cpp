#include "color.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

Rgba bytesOf(NVGcolor c) {
  auto byte = [](float v) { return int(std::lround(v * 255)); };
  return {byte(c.r), byte(c.g), byte(c.b), byte(c.a)};
}

struct ColorCase {
  std::string text;
  Rgba expected;
  std::string message;  // what is printed, if anything
};

TEST(ParseColor, EveryFormAndItsEdges) {
  const Rgba black{0, 0, 0, 255};
  const ColorCase cases[] = {
      {"#FF8000", {255, 128, 0, 255}, ""},
      {"FF8000", {255, 128, 0, 255}, ""},
      {"ff8000", {255, 128, 0, 255}, ""},
      {"#F80", {255, 136, 0, 255}, ""},
      {"#FFFF", black, "Unrecognised color: FFFF\n"},
      {"##F80", black, "Unrecognised color: #F80\n"},  // only one "#" goes
      {"#", black, ""},
      {"rgba(255, 0, 0, 0.5)", {255, 0, 0, 127}, ""},
      {"rgba(255,0,0)", {255, 0, 0, 255}, ""},
      {"rgba(300,0,0,1)", {44, 0, 0, 255}, ""},
      {"rgba(-1,0,0,1)", {255, 0, 0, 255}, ""},
      {"rgba(0,0,255,2)", {0, 0, 255, 254}, ""},     // 510.45 keeps its low byte
      {"rgba(0,0,0,-0.1)", {0, 0, 0, 231}, ""},      // -25.05 truncates to -25
      {"rgba(0,0,0,1e300)", {0, 0, 0, 0}, ""},       // no overflowing cast
      {"rgba(0,0,0,nan)", {0, 0, 0, 0}, ""},
      {"rgba(", black, ""},
      {"rgba(1 ,2,3,1)", {1, 0, 0, 255}, ""},        // the comma must follow the number
      {"#rgba(0,255,0,1)", {0, 255, 0, 255}, ""},
      {"white", {255, 255, 255, 255}, ""},
      {"red", {255, 0, 0, 255}, ""},
      {"#red", {255, 0, 0, 255}, ""},
      {"transparent", {0, 0, 0, 0}, ""},
      {"rgb(255,0,0)", black, "Unrecognised color: rgb(255,0,0)\n"},
      {"blue", black, "Unrecognised color: blue\n"},
      {"WHITE", black, "Unrecognised color: WHITE\n"},
      {"yellow", black, ""},  // six bytes, no hexadecimal digit
      {"12zz56", {0, 0, 18, 255}, ""},
      {"zzz", black, ""},
  };
  for (const ColorCase& c : cases) {
    SCOPED_TRACE(c.text);
    testing::internal::CaptureStdout();
    Rgba got = bytesOf(parseColor(c.text));
    EXPECT_EQ(c.message, testing::internal::GetCapturedStdout());
    EXPECT_EQ(c.expected, got);
  }
}

TEST(ParseColor, EmptyColourTextIsSilentBlack) {
  testing::internal::CaptureStdout();
  EXPECT_EQ((Rgba{0, 0, 0, 255}), bytesOf(colorFromText("")));
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_EQ((Rgba{255, 0, 0, 255}), bytesOf(colorFromText("red")));
}

}  // namespace
