#include "test_screen.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <stdexcept>
#include <thread>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "calls.h"
#include "dispatcher.h"
#include "gl_backend.h"

// Mesa and the X libraries keep allocations until exit.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libGLX_mesa\nleak:libgallium\nleak:swrast_dri\nleak:libLLVM\nleak:libX11\n"
         "leak:libglfw\nleak:libdrm\nleak:libxcb\nleak:libEGL_mesa\nleak:libgbm\n";
}

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.r << "," << p.g << "," << p.b << ")";
}

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "[" << b.left << "," << b.top << " - " << b.right << "," << b.bottom << ")";
}

namespace {

constexpr int width = 1024, height = 600;

bool exists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

}  // namespace

TestScreen::TestScreen() {
  // /tmp is private to the case, so the display numbers are ours alone; a
  // new one for each screen keeps cases run in one process apart.
  static int displayNumber = 0;
  std::string display = ":" + std::to_string(++displayNumber);
  std::string socket = "/tmp/.X11-unix/X" + std::to_string(displayNumber);
  server = std::make_unique<sandbox::Process>(
      std::vector<std::string>{"Xvfb", display, "-screen", "0", "1024x600x24", "-nolisten", "tcp"});
  for (int i = 0; i < 200 && !exists(socket.c_str()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  if (!exists(socket.c_str())) throw std::runtime_error("Xvfb did not start: " + server->err());
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  // Mesa's software rasteriser and shader cache work on threads of their own
  // that the thread checker cannot see into; one thread draws the same.
  setenv("LP_NUM_THREADS", "0", 1);
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
  glfwInitHint(GLFW_PLATFORM, GLFW_PLATFORM_X11);
  if (!glfwInit()) throw std::runtime_error("glfwInit failed");
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  window = glfwCreateWindow(width, height, "canvas test", nullptr, nullptr);
  if (!window) throw std::runtime_error("no GL window");
  glfwMakeContextCurrent(window);
  canvas.vg = createRenderer();
  if (!canvas.vg) throw std::runtime_error("no renderer");
  loadFonts(canvas);
  registerImages(canvas);
  glViewport(0, 0, width, height);
}

TestScreen::~TestScreen() {
  if (canvas.vg) deleteRenderer(canvas.vg);
  if (window) glfwDestroyWindow(window);
  // No glfwTerminate: it unloads the GL driver, and the driver's leftovers
  // could then no longer be told apart from ours by the leak checker.
}

std::string TestScreen::frame(const std::string& commands, Pixel background) {
  rapidjson::Document doc;
  doc.Parse(commands.c_str(), commands.size());
  if (doc.HasParseError()) throw std::runtime_error("bad JSON in test: " + commands);
  glClearColor(background.r / 255.0f, background.g / 255.0f, background.b / 255.0f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  nvgBeginFrame(canvas.vg, width, height, 1);
  testing::internal::CaptureStdout();
  try {
    executeCommand(canvas, doc);
  } catch (const std::exception& e) {
    printf("Exception: %s\n", e.what());
  }
  fflush(stdout);
  std::string printed = testing::internal::GetCapturedStdout();
  nvgEndFrame(canvas.vg);
  pixels.assign(size_t(width) * height * 4, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return printed;
}

Pixel TestScreen::at(int x, int y) const {
  const unsigned char* p = &pixels[(size_t(height - 1 - y) * width + x) * 4];
  return {p[0], p[1], p[2]};
}

std::vector<Pixel> TestScreen::region(int x, int y, int w, int h) const {
  std::vector<Pixel> out;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) out.push_back(at(i, j));
  return out;
}

Box TestScreen::boundsOfOtherThan(Pixel background) const {
  Box box{width, height, -1, -1};
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i)
      if (!(at(i, j) == background)) {
        box.left = std::min(box.left, i);
        box.top = std::min(box.top, j);
        box.right = std::max(box.right, i + 1);
        box.bottom = std::max(box.bottom, j + 1);
      }
  return box;
}

int TestScreen::countOtherThan(Pixel colour, int x, int y, int w, int h) const {
  int count = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) count += at(i, j) == colour ? 0 : 1;
  return count;
}
