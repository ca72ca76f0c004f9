#include <gtest/gtest.h>

#include "arguments.h"
#include "test_screen.h"

namespace {

// The pictures' own colour rule (assets/make_images.py): inside the two
// rings, red follows x, green follows y, blue is the picture's own.
Pixel pictureInside(int x, int y, int w, int h, int blue) { return {255 * x / (w - 1), 255 * y / (h - 1), blue}; }

const Pixel white{255, 255, 255};

std::string drawImage(const std::string& key, const std::string& numbers) {
  return R"({"call":"drawImage","args":[{"$key":")" + key + R"("},)" + numbers + "]}";
}

TEST(ImagesOnScreen, NaturalStretchedAndSqueezedSizes) {
  TestScreen screen;
  struct Case {
    const char* numbers;
    Box visible;  // the outermost ring is below a tenth of coverage and vanishes
  };
  const Case cases[] = {
      {"10,20", {11, 21, 170, 180}},
      {"10,20,80", {11, 21, 89, 180}},
      {"10,20,80,40", {11, 21, 89, 59}},
      {"10,20,-1000000,40", {11, 21, 170, 59}},
      {"10,20,-100000,-100000", {11, 21, 170, 180}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.numbers);
    screen.frame(drawImage("QR", c.numbers), white);
    Box got = screen.boundsOfOtherThan(white);
    // Linear filtering may smear the dropped ring by a pixel when scaled.
    EXPECT_NEAR(c.visible.left, got.left, 1);
    EXPECT_NEAR(c.visible.top, got.top, 1);
    EXPECT_NEAR(c.visible.right, got.right, 1);
    EXPECT_NEAR(c.visible.bottom, got.bottom, 1);
  }
  ImageInfo& qr = screen.canvas.images.at(nameHash64("QR"));
  EXPECT_EQ(161, qr.width);
  EXPECT_EQ(161, qr.height);
}

TEST(ImagesOnScreen, NaturalSizeDrawsTexelsExactlyAndDropsTheFaintEdge) {
  TestScreen screen;
  // Under a half global alpha: pictures take no global alpha.
  screen.frame(R"([{"call":"globalAlpha","args":[0.5]},)" + drawImage("QR", "10,20") + "]", white);
  EXPECT_EQ(white, screen.at(10, 20)) << "alpha 12 edge texel must be dropped";
  EXPECT_EQ(white, screen.at(100, 20));
  // The frame ring: (32, 32, 32) at alpha 128, blended in straight alpha.
  Pixel frame = screen.at(11, 100);
  EXPECT_NEAR(16 + 127, frame.r, 2);
  for (auto [x, y] : {std::pair{2, 2}, {80, 5}, {150, 150}, {5, 155}}) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    EXPECT_EQ(pictureInside(x, y, 161, 161, 190), screen.at(10 + x, 20 + y));
  }
}

TEST(ImagesOnScreen, NineArgumentsCutAnUnscaledWindowOutOfThePicture) {
  TestScreen screen;
  screen.frame(drawImage("FX", "100,0,999,999,10,10,50,50"), white);
  EXPECT_EQ((Box{10, 11, 60, 60}), screen.boundsOfOtherThan(white)) << "row 0 of the picture is its faint edge";
  for (auto [i, j] : {std::pair{0, 2}, {20, 20}, {49, 49}}) {
    SCOPED_TRACE(testing::Message() << i << "," << j);
    EXPECT_EQ(pictureInside(100 + i, j, 931, 456, 30), screen.at(10 + i, 10 + j));
  }
}

TEST(ImagesOnScreen, TinyWidthDrawsNothingButStillLearnsTheSize) {
  TestScreen screen;
  screen.frame("[" + drawImage("SM7B", "10,10,0.01,40") + "," + drawImage("FX", "0,0,0,0,10,10,0.005,40") + "]",
               white);
  EXPECT_EQ(0, screen.countOtherThan(white, 0, 0, 1024, 600));
  EXPECT_EQ(56, screen.canvas.images.at(nameHash64("SM7B")).width);
  EXPECT_EQ(456, screen.canvas.images.at(nameHash64("FX")).height);
}

TEST(ImagesOnScreen, PalettePictureAndEveryKeyDecode) {
  TestScreen screen;
  struct Key {
    const char* key;
    int w, h;
  };
  const Key keys[] = {
      {"DELAY_CHRONO", 406, 46}, {"EZFX", 461, 498},  {"FX", 931, 456},       {"REAR", 561, 177},
      {"REVERB_ATOM", 383, 50},  {"SETUP_SCREEN", 401, 238}, {"SETUP_PANEL_CROP", 225, 172},
      {"SETUP_PANEL", 561, 177}, {"SETUP_ICON", 60, 41}, {"SM7B", 56, 49},   {"KX_20", 55, 37},
      {"KX_30", 15, 49},         {"KX_40", 13, 49},   {"SETUP_FADERS", 401, 216}, {"INST", 19, 57},
      {"LINE", 9, 50},           {"MIC_CONDENSER", 13, 43}, {"MIC_DYNAMIC", 13, 53}, {"QR", 161, 161},
      {"VARO_STUDIO", 266, 49},
  };
  EXPECT_EQ(std::size(keys), screen.canvas.images.size());
  for (const Key& k : keys) {
    SCOPED_TRACE(k.key);
    screen.frame(drawImage(k.key, "0,0"), white);
    EXPECT_EQ((Box{1, 1, k.w - 1, k.h - 1}), screen.boundsOfOtherThan(white));
    EXPECT_EQ(k.w, screen.canvas.images.at(nameHash64(k.key)).width);
  }
  // The palette picture: 64 steps of red, no green.
  screen.frame(drawImage("EZFX", "0,0"), white);
  EXPECT_EQ((Pixel{(300 * 63 / 460) * 255 / 63, 0, 20}), screen.at(300, 5));
}

}  // namespace
