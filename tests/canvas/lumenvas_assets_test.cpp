// The program as shipped: its start-up registers the embedded fonts and
// pictures, and commands through the pipe draw with them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "process.h"
#include "screen.h"

namespace {

using namespace std::chrono_literals;

void sendLine(const std::string& line) {
  int fd = open("/tmp/lumenvas", O_WRONLY);
  ASSERT_GE(fd, 0);
  std::string bytes = line + "\n";
  ASSERT_EQ(ssize_t(bytes.size()), write(fd, bytes.data(), bytes.size()));
  close(fd);
}

int countWhite(const Screenshot& shot, int x, int y, int w, int h) {
  int n = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) n += shot.at(i, j) == Rgb{255, 255, 255} ? 1 : 0;
  return n;
}

TEST(LumenvasAssets, DrawsEmbeddedPicturesAndTextThroughTheFallbackChain) {
  auto xvfb = startXvfb();
  // One Mesa thread, so that sanitizer builds see only the program's own.
  sandbox::ProcessOptions options;
  options.environment = {"LP_NUM_THREADS=0", "MESA_SHADER_CACHE_DISABLE=true"};
  sandbox::Process server({LUMENVAS}, options);
  ASSERT_TRUE(server.waitForOutput("Uses wayland: no\n", 30s)) << server.out() << server.err();
  sendLine(R"([{"call":"drawImage","args":[{"$key":"QR"},10,20]},)"
           R"({"call":"fillStyle","args":["white"]},{"call":"font","args":["400 40px ProximaNova"]},)"
           R"({"call":"fillText","args":["\u4e2d\ud55c",300,100]},{"call":"drawnAll"},{"call":"drawFrame"}])");
  ASSERT_TRUE(server.waitForOutput("drawnAll", 10s)) << server.out();
  // The QR stand-in at (80, 5) of its own pixels: red 127, green 7, blue 190.
  Screenshot shot = takeScreenshot();
  for (int i = 0; i < 100 && shot.at(90, 25).b < 150; ++i) {
    std::this_thread::sleep_for(30ms);
    shot = takeScreenshot();
  }
  Rgb qr = shot.at(90, 25);
  EXPECT_NEAR(127, qr.r, 8);
  EXPECT_NEAR(7, qr.g, 8);
  EXPECT_NEAR(190, qr.b, 8);
  // A Chinese and a Korean glyph, 40 px each, reached only through fallbacks.
  EXPECT_GT(countWhite(shot, 300, 60, 40, 50), 40);
  EXPECT_GT(countWhite(shot, 340, 60, 40, 50), 40);
  EXPECT_EQ(std::string::npos, server.out().find("not found")) << server.out();
}

}  // namespace
