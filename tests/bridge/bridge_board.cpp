#include "bridge_board.h"

#include <csignal>
#include <poll.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

void BridgeBoard::SetUp() {
  sandbox::provideDevMem();
  surface = sandbox::openPty();
}

void BridgeBoard::TearDown() {
  if (!bridge || !bridge->running()) return;
  bridge->sendSignal(SIGTERM);
  sandbox::ProcessResult result = bridge->wait(5s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("runtime error"), std::string::npos) << result.err;
}

void BridgeBoard::startServer() {
  sandbox::ProcessOptions options;
  options.keepStdinOpen = true;
  server = std::make_unique<sandbox::Process>(std::vector<std::string>{"node", SIM_DIR "/mixer_server.js"}, options);
  ASSERT_TRUE(server->waitForOutput("listening\n", 10s)) << server->err();
}

std::vector<std::string> BridgeBoard::frames() {
  std::vector<std::string> found;
  std::string out = server->out();
  for (size_t at = out.find("frame "); at != std::string::npos; at = out.find("frame ", at)) {
    if (at != 0 && out[at - 1] != '\n') {
      ++at;
      continue;
    }
    size_t end = out.find('\n', at);
    if (end == std::string::npos) break;
    found.push_back(out.substr(at + 6, end - at - 6));
    at = end;
  }
  return found;
}

std::vector<std::string> BridgeBoard::waitForFrames(size_t count, std::chrono::milliseconds limit) {
  auto deadline = Clock::now() + limit;
  std::vector<std::string> found = frames();
  while (found.size() < count && Clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
    found = frames();
  }
  return found;
}

bool BridgeBoard::waitForFrame(const std::string& frame, std::chrono::milliseconds limit) {
  return server->waitForOutput("frame " + frame + "\n", limit);
}

void BridgeBoard::startBridge(std::vector<std::string> environment) {
  environment.push_back("GD32_TTY=" + surface.slave);
  sandbox::ProcessOptions options;
  options.environment = environment;
  bridge = std::make_unique<sandbox::Process>(std::vector<std::string>{KNOBWIRE}, options);
}

void BridgeBoard::startConnected(std::vector<std::string> environment) {
  startServer();
  startBridge(environment);
  ASSERT_TRUE(waitForFrame(initRequest)) << bridge->out() << bridge->err();
  ASSERT_TRUE(surfaceShows("\n\nINIT\n"));
}

void BridgeBoard::toSurface(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(surface.master, bytes.data() + done, bytes.size() - done);
    ASSERT_GT(n, 0);
    done += size_t(n);
  }
}

static bool readSome(int fd, std::string& into, std::chrono::milliseconds wait) {
  pollfd p = {fd, POLLIN, 0};
  if (poll(&p, 1, int(wait.count())) <= 0) return false;
  char buffer[65536];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n <= 0) return false;
  into.append(buffer, size_t(n));
  return true;
}

bool BridgeBoard::surfaceShows(const std::string& text, std::chrono::milliseconds limit) {
  auto deadline = Clock::now() + limit;
  for (;;) {
    size_t at = surfaceSeen.find(text, surfaceCursor);
    if (at != std::string::npos) {
      surfaceCursor = at + text.size();
      return true;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left <= 0ms) return false;
    readSome(surface.master, surfaceSeen, std::min(left, 50ms));
  }
}

std::string BridgeBoard::surfaceDrain(std::chrono::milliseconds quiet) {
  while (readSome(surface.master, surfaceSeen, quiet)) {
  }
  std::string fresh = surfaceSeen.substr(surfaceCursor);
  surfaceCursor = surfaceSeen.size();
  return fresh;
}
