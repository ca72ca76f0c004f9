// A private X screen for display tests: Xvfb on :0 inside the test's own
// namespaces, drawn by Mesa's software rasteriser.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "process.h"

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);

// Starts Xvfb 1024x600x24 and points DISPLAY at it; the server lives as long
// as the returned process.
std::unique_ptr<sandbox::Process> startXvfb();

// The X screen as the viewer sees it, captured from outside the program.
struct Screenshot {
  std::string rgb;  // 1024 * 600 * 3 bytes, top row first
  Rgb at(int x, int y) const;
};
Screenshot takeScreenshot();
