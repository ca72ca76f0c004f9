#include "gl_screen.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "dispatcher.h"
#include "gl_backend.h"
#include "graphics.h"
#include "layers.h"

GlScreen::GlScreen() : xvfb(startXvfb()) {
  if (!glfwInit()) {
    ADD_FAILURE() << "GLFW did not initialise";
    return;
  }
  window = openWindow(false);
  if (!window) {
    ADD_FAILURE() << "no window";
    return;
  }
  glfwMakeContextCurrent(window);
  canvas.vg = createRenderer();
  EXPECT_NE(canvas.vg, nullptr);
  EXPECT_TRUE(createLayers(canvas));
  bindSurface(nullptr);
  glViewport(0, 0, 1024, 600);
  nvgBeginFrame(canvas.vg, 1024, 600, 1);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

GlScreen::~GlScreen() {
  if (canvas.vg) {
    nvgCancelFrame(canvas.vg);
    deleteSurface(canvas.ctxSurface);
    deleteSurface(canvas.fctxSurface);
    deleteRenderer(canvas.vg);
  }
  if (window) glfwDestroyWindow(window);
  glfwTerminate();
}

void GlScreen::run(const std::string& json) { executeCommand(canvas, document.parse(json)); }

Rgb GlScreen::pixel(int x, int y) {
  nvgFlush(canvas.vg);
  unsigned char p[4] = {};
  glReadPixels(x, 599 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

std::string GlScreen::runCapturing(const std::string& json) {
  testing::internal::CaptureStdout();
  run(json);
  nvgFlush(canvas.vg);
  fflush(stdout);
  return testing::internal::GetCapturedStdout();
}
