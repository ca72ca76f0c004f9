// Drawing calls, the fragment program and the layers, checked by reading the
// pixels back from GL in the test process.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "gl_backend.h"
#include "gl_screen.h"
#include "layers.h"

namespace {

const Rgb black{0, 0, 0}, white{255, 255, 255};

struct Probe {
  int x, y;
  Rgb colour;
};

struct ShapeCase {
  const char* name;
  std::string commands;
  std::vector<Probe> probes;
  std::string printed = "";
};

const std::vector<ShapeCase> shapeCases{
    {"fillRect", R"({"call":"fillRect","args":[10,20,30,40]})",
     {{11, 21, white}, {38, 58, white}, {9, 30, black}, {41, 30, black}, {20, 61, black}}},
    {"fillRect is limited to the screen", R"({"call":"fillRect","args":[0,0,2000,900]})",
     {{0, 0, white}, {1023, 599, white}}},
    {"fillRect too thin", R"([{"call":"fillRect","args":[0,0,0.005,600]},{"call":"fillRect","args":[5,0,-10,600]}])",
     {{0, 300, black}, {2, 300, black}}},
    {"path filled", R"([{"call":"beginPath"},{"call":"rect","args":[100,100,50,50]},{"call":"fill"}])",
     {{101, 101, white}, {148, 148, white}, {151, 120, black}}},
    {"moveTo lineTo closePath", R"([{"call":"beginPath"},{"call":"moveTo","args":[100,100]},
       {"call":"lineTo","args":[200,100]},{"call":"lineTo","args":[200,200]},{"call":"closePath"},{"call":"fill"}])",
     {{190, 110, white}, {110, 190, black}}},
    {"fillCircle", R"({"call":"fillCircle","args":[300,300,50]})",
     {{300, 300, white}, {300, 255, white}, {300, 345, white}, {340, 340, black}}},
    {"fillTriangle", R"({"call":"fillTriangle","args":[100,100,300,100,100,300]})",
     {{110, 110, white}, {290, 290, black}}},
    {"polygon sides truncate", R"({"call":"fillPolygon","args":[300,300,100,3.9,0]})",
     // a triangle pointing right: (400,300), (250,387), (250,213)
     {{390, 300, white}, {260, 300, white}, {300, 220, black}, {240, 300, black}}},
    {"polygon without sides only moves",
     R"([{"call":"beginPath"},{"call":"polygon","args":[300,300,100,0,0]},{"call":"lineTo","args":[300,400]},
        {"call":"lineTo","args":[200,400]},{"call":"fill"}])",
     {{280, 390, white}, {390, 300, black}}},
    {"arc anticlockwise by string",
     R"([{"call":"beginPath"},{"call":"arc","args":[300,300,100,0,1.5707963,"yes"]},{"call":"fill"}])",
     // the long way round: three quarters of the disc, the lower right quarter stays empty
     {{250, 250, white}, {250, 350, white}, {350, 250, white}, {360, 360, black}}},
    {"arc clockwise by empty string",
     R"([{"call":"beginPath"},{"call":"arc","args":[300,300,100,0,1.5707963,""]},{"call":"fill"}])",
     {{360, 360, white}, {250, 250, black}}},
    {"fillPie", R"({"call":"fillPie","args":[300,300,100,0,1.5707963]})",
     {{340, 340, white}, {250, 250, black}, {260, 340, black}}},
    {"fillRoundRect", R"({"call":"fillRoundRect","args":[100,100,100,100,40]})",
     {{150, 150, white}, {101, 101, black}, {101, 150, white}}},
    {"fillRoundRect with r 0 is square", R"({"call":"fillRoundRect","args":[100,100,100,100,0]})",
     {{101, 101, white}}},
    {"lineToArray from an object",
     R"([{"call":"beginPath"},{"call":"moveTo","args":[100,100]},
        {"call":"lineToArray","args":[{"b":[200,100],"a":[200,200]}]},{"call":"fill"}])",
     {{190, 110, white}, {110, 190, black}}},
    {"lineToArray skips a bad point",
     R"([{"call":"beginPath"},{"call":"moveTo","args":[100,100]},
        {"call":"lineToArray","args":[[[200,100],5,[200,200]]]},{"call":"fill"}])",
     {{190, 110, white}, {110, 190, black}}, "lineToArray: invalid point\n"},
    {"lineToArray needs points", R"([{"call":"lineToArray","args":[3]},{"call":"lineToArray"}])", {},
     "lineToArray: invalid points\nlineToArray: invalid points\n"},
    {"strokeRect keeps a tall height", R"([{"call":"lineWidth","args":[4]},{"call":"strokeRect","args":[100,0,100,900]}])",
     {{100, 300, white}, {150, 300, black}}},
    {"translate moves later shapes", R"([{"call":"translate","args":[100,50]},{"call":"fillRect","args":[0,0,10,10]}])",
     {{105, 55, white}, {5, 5, black}}},
    {"clip to a limited rect",
     R"([{"call":"beginPath"},{"call":"rect","args":[10,20,5000,5000]},{"call":"clip"},
        {"call":"fillRect","args":[0,0,1024,600]}])",
     {{5, 5, black}, {15, 25, white}, {1000, 590, white}}},
    {"clip before any rect hides everything", R"([{"call":"clip"},{"call":"fillRect","args":[0,0,1024,600]}])",
     {{500, 300, black}, {0, 0, black}}},
    {"unknown call prints itself", R"({"obj":"ctx","call":"sparkle","args":[1]})", {},
     "{\"obj\":\"ctx\",\"call\":\"sparkle\",\"args\":[1]}\n"},
    {"setLineDash", R"({"call":"setLineDash","args":[[1,2]]})", {}, "setLineDash: not implemented\n"},
    {"quiet calls", R"([{"call":"createLinearGradient"},{"call":"shadowColor"},{"call":"resetShadow"}])", {}},
};

class Canvas : public testing::Test {
 protected:
  GlScreen screen;
  NVGcontext* vg() { return screen.canvas.vg; }
  void clear() {
    nvgCancelFrame(vg());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    nvgBeginFrame(vg(), 1024, 600, 1);
    nvgStrokeColor(vg(), nvgRGBA(255, 255, 255, 255));  // until strokeStyle lands
    for (float& v : screen.canvas.clipRect) v = 0;
  }
};

TEST_F(Canvas, ShapesAndPathsLandOnThePixelsTheySay) {
  for (const ShapeCase& row : shapeCases) {
    clear();
    EXPECT_EQ(screen.runCapturing(row.commands), row.printed) << row.name;
    for (const Probe& p : row.probes) EXPECT_EQ(screen.pixel(p.x, p.y), p.colour) << row.name << " at " << p.x << "," << p.y;
  }
}

TEST_F(Canvas, ClearRectClearsAndLeavesTheFillTransparent) {
  clear();
  screen.run(R"({"call":"fillRect","args":[0,0,200,200]})");
  nvgGlobalCompositeOperation(vg(), NVG_LIGHTER);
  screen.run(R"({"call":"clearRect","args":[50,50,100,100]})");
  EXPECT_EQ(screen.pixel(100, 100), black);
  EXPECT_EQ(screen.pixel(20, 20), white);
  // The fill stays transparent black and source-over is back, so this draws nothing.
  screen.run(R"([{"call":"beginPath"},{"call":"rect","args":[0,0,40,40]},{"call":"fill"}])");
  EXPECT_EQ(screen.pixel(20, 20), white);
}

TEST_F(Canvas, FillHasHardEdgesWhereShapeFillsAreSmoothed) {
  clear();
  screen.run(R"([{"call":"beginPath"},{"call":"rect","args":[10.5,10,20,20]},{"call":"fill"}])");
  screen.run(R"({"call":"fillStyle","args":["ignored until styles land"]})");
  nvgFillColor(vg(), nvgRGBA(255, 255, 255, 255));
  screen.run(R"({"call":"fillRect","args":[100.5,10,20,20]})");
  Rgb hard = screen.pixel(10, 20), soft = screen.pixel(100, 20);
  EXPECT_TRUE(hard == black || hard == white) << hard;
  EXPECT_GT(soft.r, 40) << soft;
  EXPECT_LT(soft.r, 215) << soft;
}

TEST_F(Canvas, SaveStackHoldsThirtyTwoStatesAndKeepsItsBase) {
  clear();
  std::string saves = "[";
  for (int i = 0; i < 40; ++i) saves += R"({"call":"translate","args":[10,0]},{"call":"save"},)";
  saves += R"({"call":"beginPath"}])";
  screen.run(saves);
  for (int i = 0; i < 30; ++i) screen.run(R"({"call":"restore"})");
  // 31 saves took effect: 30 restores leave the first saved state, moved by 20.
  screen.run(R"({"call":"fillRect","args":[0,0,5,5]})");
  EXPECT_EQ(screen.pixel(22, 2), white);
  EXPECT_EQ(screen.pixel(12, 2), black);
  for (int i = 0; i < 10; ++i) screen.run(R"({"call":"restore"})");
  screen.run(R"({"call":"fillRect","args":[0,100,5,5]})");
  EXPECT_EQ(screen.pixel(12, 102), white);
}

TEST_F(Canvas, GradientsRenderTheirStartColour) {
  clear();
  nvgFillPaint(vg(), nvgLinearGradient(vg(), 0, 0, 1024, 0, nvgRGBA(255, 0, 0, 255), nvgRGBA(0, 0, 255, 255)));
  screen.run(R"({"call":"fillRect","args":[0,0,1024,100]})");
  EXPECT_EQ(screen.pixel(5, 50), (Rgb{255, 0, 0}));
  EXPECT_EQ(screen.pixel(1015, 50), (Rgb{255, 0, 0}));
}

TEST_F(Canvas, ImageTexelsAreStraightAlphaAndFaintOnesAreDropped) {
  clear();
  screen.run(R"({"call":"fillRect","args":[0,0,400,100]})");
  // Left texel half covered, right texel below the 0.1 threshold.
  unsigned char texels[8] = {200, 100, 50, 128, 0, 0, 0, 20};
  int image = nvgCreateImageRGBA(vg(), 2, 1, NVG_IMAGE_NEAREST | NVG_IMAGE_PREMULTIPLIED, texels);
  nvgGlobalAlpha(vg(), 0.25f);  // neither tint nor global alpha reach image paints
  nvgFillPaint(vg(), nvgImagePattern(vg(), 0, 0, 400, 100, 0, image, 0.5f));
  nvgBeginPath(vg());
  nvgRect(vg(), 0, 0, 400, 100);
  nvgFill(vg());
  Rgb left = screen.pixel(100, 50), right = screen.pixel(300, 50);
  // 200 * 0.5 + 255 * 0.5, and so on; a premultiplied reading would give 200 + 127.
  EXPECT_NEAR(left.r, 227, 3);
  EXPECT_NEAR(left.g, 177, 3);
  EXPECT_NEAR(left.b, 152, 3);
  EXPECT_EQ(right, white);
}

// The overlay: a half-transparent colour drawn on the foreground layer comes
// out darker than drawn directly, and ordinary drawing goes under it.
TEST_F(Canvas, ForegroundLayerComposesOverTheSnapshot) {
  clear();
  CanvasContext& canvas = screen.canvas;
  screen.run(R"({"call":"fillRect","args":[0,0,100,100]})");
  nvgFillColor(vg(), nvgRGBA(255, 255, 255, 128));
  screen.run(R"({"call":"fillRect","args":[500,0,100,100]})");
  EXPECT_NEAR(screen.pixel(550, 50).r, 128, 2);

  screen.run(R"({"obj":"fctx","call":"clearRect","args":[0,0,1024,600]})");
  EXPECT_FALSE(canvas.fctxActive);
  // Any command for the foreground marks it, even one nobody knows.
  EXPECT_EQ(screen.runCapturing(R"({"obj":"fctx","call":"noSuchCall"})"), "{\"obj\":\"fctx\",\"call\":\"noSuchCall\"}\n");
  EXPECT_TRUE(canvas.fctxActive);
  EXPECT_EQ(canvas.renderTarget, RenderTarget::fctxSurface);
  nvgFillColor(vg(), nvgRGBA(255, 255, 255, 128));  // the clear left it transparent
  screen.run(R"({"obj":"fctx","call":"fillRect","args":[700,0,100,100]})");

  testing::internal::CaptureStdout();
  composeLayers(canvas, 1024, 600);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Overlay ON\n");
  EXPECT_TRUE(canvas.overlayOn);
  EXPECT_EQ(canvas.renderTarget, RenderTarget::window);
  // Premultiplied 128 taken as straight alpha: 128 * 0.5.
  EXPECT_NEAR(screen.pixel(750, 50).r, 64, 3);
  EXPECT_EQ(screen.pixel(50, 50), white);

  // Ordinary drawing now goes into the ctx layer, not the window.
  nvgFillColor(vg(), nvgRGBA(255, 255, 255, 255));
  screen.run(R"({"obj":"ctx","call":"fillRect","args":[200,0,100,100]})");
  EXPECT_EQ(canvas.renderTarget, RenderTarget::ctxSurface);
  nvgFlush(vg());
  bindSurface(nullptr);
  EXPECT_EQ(screen.pixel(250, 50), black);
  bindSurface(canvas.ctxSurface);
  testing::internal::CaptureStdout();
  composeLayers(canvas, 1024, 600);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(screen.pixel(250, 50), white);
  EXPECT_EQ(screen.pixel(50, 50), white);
  EXPECT_NEAR(screen.pixel(750, 50).r, 64, 3);

  screen.run(R"({"obj":"fctx","call":"clearRect","args":[10,10,5,5]})");
  EXPECT_TRUE(canvas.fctxActive);
  screen.run(R"({"obj":"fctx","call":"clearRect","args":[0,0,1,1]})");
  EXPECT_FALSE(canvas.fctxActive);
  testing::internal::CaptureStdout();
  composeLayers(canvas, 1024, 600);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Overlay OFF\n");
  EXPECT_FALSE(canvas.overlayOn);
  EXPECT_EQ(screen.pixel(250, 50), white);
  EXPECT_EQ(screen.pixel(750, 50), black);
}

}  // namespace
