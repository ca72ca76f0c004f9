// The real window, renderer and layers in the test process, for checks that
// read pixels straight back from GL.
#pragma once

#include <memory>
#include <string>

#include "canvas_context.h"
#include "command_batch.h"
#include "screen.h"

struct GLFWwindow;

struct GlScreen {
  GlScreen();
  ~GlScreen();

  // Parses and executes commands; errors propagate.
  void run(const std::string& json);
  // Flushes queued drawing and reads a pixel of the bound framebuffer (x, y
  // from the top left).
  Rgb pixel(int x, int y);
  // Runs and flushes, then returns what was printed.
  std::string runCapturing(const std::string& json);

  std::unique_ptr<sandbox::Process> xvfb;
  GLFWwindow* window = nullptr;
  CanvasContext canvas;
  MessageDocument document;
};
