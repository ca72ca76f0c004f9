// Text throughput of the canvas: one screen of mixed Latin and CJK labels,
// drawn through the call table, timed until the GPU has finished. "first"
// draws on a fresh renderer whose glyph atlas is empty (every glyph is
// rasterised), "cached" draws the same screen again. Needs an X display.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>
#include <rapidjson/document.h>

#include "calls.h"
#include "dispatcher.h"
#include "gl_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string utf8(unsigned cp) {
  std::string s;
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | cp >> 6);
    s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xE0 | cp >> 12);
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  }
  return s;
}

// 30 rows of 4 labels: Latin channel names, Chinese and Korean text, each
// CJK label with its own characters. Returns the commands and the glyphs.
std::string labelScreen(int& glyphs) {
  std::string commands = R"([{"call":"fillStyle","args":["white"]},{"call":"font","args":["400 16px ProximaNova"]})";
  glyphs = 0;
  unsigned han = 0x4E00, hangul = 0xAC00;
  for (int row = 0; row < 30; ++row) {
    for (int column = 0; column < 4; ++column) {
      std::string text;
      if (column < 2) {
        text = "Input " + std::to_string(row * 2 + column + 1) + " Gain";
        glyphs += int(text.size());
      } else {
        for (int i = 0; i < 6; ++i) text += utf8(column == 2 ? han++ : hangul++);
        glyphs += 6;
      }
      commands += R"(,{"call":"fillText","args":[")" + text + R"(",)" + std::to_string(10 + column * 250) + "," +
                  std::to_string(18 + row * 19) + "]}";
    }
  }
  return commands + "]";
}

double drawOnce(CanvasContext& canvas, GLFWwindow* window, const rapidjson::Document& screen) {
  Clock::time_point start = Clock::now();
  nvgBeginFrame(canvas.vg, 1024, 600, 1);
  executeCommand(canvas, screen);
  nvgEndFrame(canvas.vg);
  glFinish();
  double ms = msSince(start);
  glfwSwapBuffers(window);
  return ms;
}

}  // namespace

int main() {
  if (!glfwInit()) {
    fprintf(stderr, "canvas_text: no display (run bench/canvas.sh)\n");
    return 1;
  }
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  GLFWwindow* window = glfwCreateWindow(1024, 600, "bench", nullptr, nullptr);
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);

  int glyphs = 0;
  std::string text = labelScreen(glyphs);
  rapidjson::Document screen;
  screen.Parse(text.c_str());

  const int runs = 7;
  std::vector<double> registration, first, cached;
  for (int run = 0; run < runs; ++run) {
    CanvasContext canvas;
    Clock::time_point start = Clock::now();
    canvas.vg = createRenderer();
    loadFonts(canvas);
    registerImages(canvas);
    registration.push_back(msSince(start));
    first.push_back(drawOnce(canvas, window, screen));
    for (int i = 0; i < 10; ++i) cached.push_back(drawOnce(canvas, window, screen));
    deleteRenderer(canvas.vg);
  }
  printf("renderer + 19 font names (14 files) + 20 pictures registered: median %.1f ms (%d runs)\n", median(registration), runs);
  printf("label screen: 120 labels, %d glyphs (360 distinct CJK)\n", glyphs);
  printf("first draw:  median %.2f ms, %.0f glyphs/s\n", median(first), glyphs / median(first) * 1000);
  printf("cached draw: median %.2f ms, %.0f glyphs/s\n", median(cached), glyphs / median(cached) * 1000);
  glfwDestroyWindow(window);
  glfwTerminate();
  return 0;
}
