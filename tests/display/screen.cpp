#include "screen.h"

#include <cstdlib>
#include <ostream>
#include <sys/stat.h>
#include <thread>

#include <gtest/gtest.h>

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

std::unique_ptr<sandbox::Process> startXvfb() {
  setenv("DISPLAY", ":0", 1);
  mkdir("/tmp/xdg", 0700);
  setenv("XDG_RUNTIME_DIR", "/tmp/xdg", 1);
  auto xvfb = std::make_unique<sandbox::Process>(
      std::vector<std::string>{"Xvfb", ":0", "-screen", "0", "1024x600x24", "-nolisten", "tcp"});
  struct stat st;
  for (int i = 0; i < 200 && stat("/tmp/.X11-unix/X0", &st) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  EXPECT_EQ(stat("/tmp/.X11-unix/X0", &st), 0) << "Xvfb did not start: " << xvfb->err();
  return xvfb;
}

Rgb Screenshot::at(int x, int y) const {
  size_t i = (size_t(y) * 1024 + size_t(x)) * 3;
  if (i + 2 >= rgb.size()) return {-1, -1, -1};
  return {uint8_t(rgb[i]), uint8_t(rgb[i + 1]), uint8_t(rgb[i + 2])};
}

Screenshot takeScreenshot() {
  auto shot = sandbox::runProcess({"import", "-window", "root", "-depth", "8", "rgb:-"});
  EXPECT_EQ(shot.exitCode, 0) << shot.err;
  EXPECT_EQ(shot.out.size(), 1024u * 600 * 3);
  return {shot.out};
}
