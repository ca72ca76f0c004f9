// An X server of our own (Xvfb, inside the case's private board) with one
// 1024x600 GL 2.0 window, the production renderer and a CanvasContext with
// the embedded fonts and pictures. Frames are read back with glReadPixels.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "canvas_context.h"
#include "process.h"

struct GLFWwindow;

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Pixel& p);

// Pixel edges: right and bottom are one past the last pixel.
struct Box {
  int left, top, right, bottom;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Box& b);

class TestScreen {
 public:
  TestScreen();
  ~TestScreen();

  // Runs one frame: clears the window to `background`, executes the JSON
  // commands (one value: an object or an array), reads the window back.
  // Returns what the commands printed.
  std::string frame(const std::string& commands, Pixel background = {0, 0, 0});

  // From the last frame; (0, 0) is the top-left corner.
  Pixel at(int x, int y) const;
  std::vector<Pixel> region(int x, int y, int w, int h) const;
  // The smallest box holding every pixel that is not `background`; an empty
  // frame gives {1024, 600, -1, -1}.
  Box boundsOfOtherThan(Pixel background) const;
  // How many pixels of the rectangle differ from `colour`.
  int countOtherThan(Pixel colour, int x, int y, int w, int h) const;

  CanvasContext canvas;

 private:
  std::unique_ptr<sandbox::Process> server;
  GLFWwindow* window = nullptr;
  std::vector<unsigned char> pixels;
};
