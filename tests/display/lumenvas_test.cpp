// lumenvas run as on the device, on a private X screen: start-up, the pipe,
// what reaches the screen, the overlay, the watchdog, keys and bad input.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "process.h"
#include "sandbox.h"
#include "screen.h"
#include "ws_client.h"

namespace {

using namespace std::chrono_literals;
using sandbox::Process;

const Rgb black{0, 0, 0}, white{255, 255, 255};
const std::string frame = R"({"obj":"ctx","call":"drawFrame","args":[]})";

std::string fill(int x, int y, int w, int h, const char* obj = "ctx") {
  return "{\"obj\":\"" + std::string(obj) + "\",\"call\":\"fillRect\",\"args\":[" + std::to_string(x) + "," +
         std::to_string(y) + "," + std::to_string(w) + "," + std::to_string(h) + "]}";
}

// Saved and restored, so the fill colour the clear leaves transparent comes
// back for the commands after it.
std::string clear(const char* obj, const char* args = "0,0,1024,600") {
  return R"({"call":"save"},{"obj":")" + std::string(obj) + R"(","call":"clearRect","args":[)" + args +
         R"(]},{"call":"restore"})";
}

void writeAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    ASSERT_GT(n, 0) << "pipe write failed";
    done += size_t(n);
  }
}

struct Lumenvas {
  std::unique_ptr<Process> xvfb = startXvfb();
  std::unique_ptr<Process> server;

  void start() {
    server = std::make_unique<Process>(std::vector<std::string>{LUMENVAS});
    ASSERT_TRUE(server->waitForOutput("Uses wayland: no\n", 30s)) << server->out() << server->err();
  }

  // Writes raw bytes into the command pipe, as a client does.
  void send(const std::string& bytes) {
    int fd = open("/tmp/lumenvas", O_WRONLY);
    ASSERT_GE(fd, 0);
    writeAll(fd, bytes);
    ::close(fd);
  }
  void sendLine(const std::string& message) { send(message + "\n"); }

  // The output printed after `from`, once `text` has appeared there.
  bool waitForNewOutput(size_t from, const std::string& text, std::chrono::milliseconds limit = 10s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (server->out().find(text, from) != std::string::npos) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Screenshots until the pixel shows the colour, or gives the last one.
  Screenshot waitForPixel(int x, int y, Rgb colour, std::chrono::milliseconds limit = 10s) {
    auto end = std::chrono::steady_clock::now() + limit;
    Screenshot shot = takeScreenshot();
    while (!(shot.at(x, y) == colour) && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(30ms);
      shot = takeScreenshot();
    }
    return shot;
  }

  sandbox::ProcessResult close() {
    auto asked = sandbox::runProcess({CLOSE_WINDOW, "QuenloGUI"});
    EXPECT_EQ(asked.exitCode, 0) << "no window to close";
    return server->wait(20s);
  }
};

char processState(pid_t pid) {
  std::string stat = sandbox::readFile("/proc/" + std::to_string(pid) + "/stat");
  size_t paren = stat.rfind(')');
  return paren + 2 < stat.size() ? stat[paren + 2] : '?';
}

// killall finds the engine by the file's identity, and every test process
// sees every other one's processes: each test gets an engine file of its own,
// so that a server in one test never stops the engine of another.
void installEngineStandIn() {
  sandbox::writeFile("/tmp/mixcored", sandbox::readFile(MIXCORED_STANDIN), 0755);
  sandbox::bindOver("/tmp/mixcored", "/usr/local/bin/mixcored");
}

TEST(Lumenvas, StartsInOrderWithTheAudioEngineFrozenAndStopsCleanly) {
  sandbox::writeFile("/sys/class/drm/card0/power/control", "auto\n");
  sandbox::writeFile("/sys/class/drm/card0-HDMI-A-1/power/control", "auto\n");
  installEngineStandIn();
  Process engine({"/usr/local/bin/mixcored"});
  ASSERT_TRUE(engine.waitForOutput("engine running\n", 5s));

  Lumenvas lumenvas;
  lumenvas.server = std::make_unique<Process>(std::vector<std::string>{LUMENVAS});
  bool sawFrozen = false;
  for (int i = 0; i < 2000 && !sawFrozen; ++i) {
    sawFrozen = processState(engine.pid()) == 'T';
    std::this_thread::sleep_for(2ms);
  }
  EXPECT_TRUE(sawFrozen) << "the engine was never stopped";
  ASSERT_TRUE(lumenvas.server->waitForOutput("Uses wayland: no\n", 30s)) << lumenvas.server->err();
  // Ten passes later it runs again.
  EXPECT_TRUE(engine.waitForOutput("continued\n", 5s));
  std::this_thread::sleep_for(100ms);
  EXPECT_NE(processState(engine.pid()), 'T');

  EXPECT_EQ(sandbox::readFile("/sys/class/drm/card0/power/control"), "on\n");
  EXPECT_EQ(sandbox::readFile("/sys/class/drm/card0-HDMI-A-1/power/control"), "on\n");
  struct stat pipe;
  ASSERT_EQ(stat("/tmp/lumenvas", &pipe), 0);
  EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
  EXPECT_EQ(pipe.st_mode & 0777, 0666u);

  std::string out = lumenvas.server->out();
  std::string expectedStart = "Initialising graphics...\n";
  EXPECT_EQ(out.substr(0, expectedStart.size()), expectedStart);
  size_t at = 0;
  for (const char* line : {"Graphics initialised. Opening GUI...\n", "Context renderer string: \"llvmpipe",
                           "Context vendor string: \"", "Uses wayland: no\n"}) {
    size_t found = out.find(line, at);
    EXPECT_NE(found, std::string::npos) << line << " in order in\n" << out;
    if (found != std::string::npos) at = found;
  }

  size_t resumes = engine.out().size();
  auto result = lumenvas.close();
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(engine.waitForOutput(std::string(engine.out().substr(0, resumes)) + "continued\n", 5s))
      << "not resumed at shutdown";
}

TEST(Lumenvas, GivesUpAfterTwentyGraphicsAttemptsAndLetsTheEngineRun) {
  installEngineStandIn();
  Process engine({"/usr/local/bin/mixcored"});
  ASSERT_TRUE(engine.waitForOutput("engine running\n", 5s));
  // No screen at all: neither an X server nor a Wayland compositor.
  auto start = std::chrono::steady_clock::now();
  auto result = sandbox::runProcess({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", LUMENVAS}, {}, 40s);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(result.exitCode, 255);
  // The error callback comes only after a successful start, so the failed
  // attempts print nothing of GLFW's.
  EXPECT_EQ(result.err.find("GLFW error"), std::string::npos) << result.err;
  std::string last = "Error: Failed to init OpenGL.\n";
  EXPECT_EQ(result.err.substr(result.err.size() - std::min(result.err.size(), last.size())), last);
  EXPECT_EQ(result.out, "Initialising graphics...\n") << "the retries and the shutdown keep the watchdog quiet";
  EXPECT_GT(seconds, 9.5);
  EXPECT_LT(seconds, 20);
  EXPECT_TRUE(engine.waitForOutput("continued\n", 5s));
  std::this_thread::sleep_for(100ms);
  EXPECT_NE(processState(engine.pid()), 'T') << sandbox::readFile("/proc/" + std::to_string(engine.pid()) + "/stat");
}

TEST(Lumenvas, DrawsWhatThePipeSaysAndKeepsEarlierFrames) {
  Lumenvas lumenvas;
  lumenvas.server = std::make_unique<Process>(std::vector<std::string>{LUMENVAS});
  // Written while graphics are still coming up: it waits in the pipe.
  struct stat st;
  for (int i = 0; i < 1000 && stat("/tmp/lumenvas", &st) != 0; ++i) std::this_thread::sleep_for(5ms);
  lumenvas.sendLine("[" + fill(10, 10, 100, 50) + "," + frame + "]");
  EXPECT_EQ(lumenvas.server->out().find("Uses wayland"), std::string::npos) << "too late to tell";
  ASSERT_TRUE(lumenvas.server->waitForOutput("Uses wayland: no\n", 30s));
  Screenshot shot = lumenvas.waitForPixel(50, 30, white);
  EXPECT_EQ(shot.at(50, 30), white);
  EXPECT_EQ(shot.at(150, 30), black);

  // Half a line waits for its newline; the other half completes it.
  std::string second = "[" + fill(200, 10, 100, 50) + "," + frame + "]";
  lumenvas.send(second.substr(0, 20));
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(takeScreenshot().at(250, 30), black);
  lumenvas.send(second.substr(20) + "\n");
  shot = lumenvas.waitForPixel(250, 30, white);
  EXPECT_EQ(shot.at(250, 30), white);
  EXPECT_EQ(shot.at(50, 30), white) << "direct drawing keeps the previous frame";

  // No drawFrame at all: the forced present still shows it.
  lumenvas.sendLine(fill(400, 10, 100, 50));
  EXPECT_EQ(lumenvas.waitForPixel(450, 30, white, 3s).at(450, 30), white);

  // Drawing calls from the table, one frame.
  lumenvas.sendLine(R"([{"call":"fillCircle","args":[600,300,50]},{"call":"beginPath"},)"
                    R"({"call":"triangle","args":[100,200,200,200,100,300]},{"call":"fill"},)" +
                    frame + "]");
  shot = lumenvas.waitForPixel(600, 300, white);
  EXPECT_EQ(shot.at(110, 210), white);
  EXPECT_EQ(shot.at(190, 290), black);
}

TEST(Lumenvas, ShowsTheSplashPictureAtItsOwnSize) {
  auto made = sandbox::runProcess({"convert", "-size", "120x60", "xc:#ff0000", "/tmp/splash.png"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  sandbox::bindOver("/tmp/splash.png", "/etc/varostudio.png");
  Lumenvas lumenvas;
  lumenvas.start();
  Screenshot shot = lumenvas.waitForPixel(5, 5, Rgb{255, 0, 0});
  EXPECT_EQ(shot.at(5, 5), (Rgb{255, 0, 0}));
  EXPECT_EQ(shot.at(119, 59), (Rgb{255, 0, 0}));
  EXPECT_EQ(shot.at(121, 30), black);
  EXPECT_EQ(shot.at(60, 61), black);
}

TEST(Lumenvas, DrawsWhatWebSocketClientsSend) {
  Lumenvas lumenvas;
  lumenvas.start();
  size_t from = lumenvas.server->out().size();
  {
    WsClient client;
    ASSERT_TRUE(lumenvas.waitForNewOutput(from, "Client connected.\n"));
    client.send("[" + fill(300, 300, 50, 50) + "," + frame + "]");
    EXPECT_EQ(lumenvas.waitForPixel(320, 320, white).at(320, 320), white);
    // Never split at newlines: two values in one message fail as one.
    std::string twoLines = fill(0, 0, 5, 5) + "\n" + fill(10, 0, 5, 5);
    client.send(twoLines);
    EXPECT_TRUE(lumenvas.waitForNewOutput(from, "Exception: JSON parse error\n   command: " + twoLines + "\n"));
    client.close();
  }
  EXPECT_TRUE(lumenvas.waitForNewOutput(from, "Client disconnected.\n"));
}

// Each step: what the clients send, then what the screen shows after the
// present and what the server printed.
TEST(Lumenvas, OverlayComesAndGoesWithForegroundContent) {
  Lumenvas lumenvas;
  lumenvas.start();
  struct Step {
    std::string commands;
    std::vector<std::pair<int, int>> lit, dark;
    std::string printed;
  };
  const std::vector<Step> steps{
      {fill(0, 0, 100, 100), {{50, 50}}, {{150, 50}}, ""},
      {clear("fctx") + "," + fill(100, 0, 100, 100, "fctx"), {{50, 50}, {150, 50}}, {{250, 50}}, "Overlay ON\n"},
      {fill(200, 0, 100, 100), {{50, 50}, {150, 50}, {250, 50}}, {{350, 50}}, ""},
      {clear("fctx", "10,10,5,5"), {{150, 50}}, {}, ""},
      {clear("fctx"), {{50, 50}, {250, 50}}, {{150, 50}}, "Overlay OFF\n"},
      {fill(300, 0, 100, 100), {{50, 50}, {250, 50}, {350, 50}}, {{150, 50}}, ""},
      {R"({"obj":"fctx","call":"whatever"})", {{50, 50}, {350, 50}}, {}, "Overlay ON\n"},
  };
  int marker = 0;
  for (const Step& step : steps) {
    size_t from = lumenvas.server->out().size();
    // A marker square per step tells when this step's present is on screen.
    int mx = 10 + 20 * marker++;
    lumenvas.sendLine("[" + step.commands + "," + fill(mx, 500, 10, 10) + "," + frame + "]");
    Screenshot shot = lumenvas.waitForPixel(mx + 5, 505, white);
    std::string label = "step " + std::to_string(marker);
    ASSERT_EQ(shot.at(mx + 5, 505), white) << label;
    for (auto [x, y] : step.lit) EXPECT_EQ(shot.at(x, y), white) << label << " at " << x;
    for (auto [x, y] : step.dark) EXPECT_EQ(shot.at(x, y), black) << label << " at " << x;
    // Unknown calls echo themselves; the overlay lines are what counts here.
    std::string printed, line;
    std::istringstream lines(lumenvas.server->out().substr(from));
    while (std::getline(lines, line))
      if (line.rfind("Overlay", 0) == 0) printed += line + "\n";
    EXPECT_EQ(printed, step.printed) << label;
  }
}

TEST(Lumenvas, WatchdogMarksAStalledMainLoop) {
  Lumenvas lumenvas;
  lumenvas.start();
  sandbox::removePath("/tmp/thread_watchdog");  // start-up may already have been slow
  size_t from = lumenvas.server->out().size();
  for (int i = 0; i < 15; ++i) {
    lumenvas.sendLine("[" + fill(i, 0, 10, 10) + "," + frame + "]");
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(lumenvas.server->out().find("Watchdog file", from), std::string::npos);
  EXPECT_NE(access("/tmp/thread_watchdog", F_OK), 0);

  // Thousands of full-screen fills in one frame keep the main thread busy
  // for well over half a second.
  std::string heavy = "[";
  for (int i = 0; i < 6000; ++i) heavy += fill(0, 0, 1024, 600) + ",";
  heavy += frame + "]";
  for (int round = 0; round < 2; ++round) {
    from = lumenvas.server->out().size();
    lumenvas.sendLine(heavy);
    EXPECT_TRUE(lumenvas.waitForNewOutput(from, "Watchdog file\n", 30s)) << "round " << round;
    // The message comes just before the marker.
    for (int i = 0; i < 100 && access("/tmp/thread_watchdog", F_OK) != 0; ++i) std::this_thread::sleep_for(20ms);
    EXPECT_EQ(access("/tmp/thread_watchdog", F_OK), 0) << "round " << round;
    EXPECT_EQ(sandbox::readFile("/tmp/thread_watchdog"), "");
    sandbox::removePath("/tmp/thread_watchdog");  // made again at the next stall
  }
}

// Console output that nobody reads any more is lost, not fatal.
TEST(Lumenvas, OutlivesTheReaderOfItsConsole) {
  Lumenvas lumenvas;
  lumenvas.server = std::make_unique<Process>(
      std::vector<std::string>{"/bin/bash", "-c", std::string("set -o pipefail; ") + LUMENVAS + " | true"});
  bool windowUp = false;
  for (int i = 0; i < 300 && !windowUp && lumenvas.server->running(); ++i) {
    windowUp = sandbox::runProcess({"xdotool", "search", "--name", "QuenloGUI"}).exitCode == 0;
    if (!windowUp) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(windowUp) << lumenvas.server->err();
  // An unknown call prints itself: one more write with no reader.
  int fd = open("/tmp/lumenvas", O_WRONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  writeAll(fd, "{\"call\":\"nobodyListens\"}\n");
  ::close(fd);
  std::this_thread::sleep_for(300ms);
  auto result = lumenvas.close();
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST(Lumenvas, KeysToggleAndEchoCommands) {
  Lumenvas lumenvas;
  lumenvas.start();
  size_t from = lumenvas.server->out().size();
  auto key = [](const char* name) { EXPECT_EQ(sandbox::runProcess({"xdotool", "key", name}).exitCode, 0); };
  // Held for a second: the press counts, the repeats do not.
  EXPECT_EQ(sandbox::runProcess({"xdotool", "keydown", "space", "sleep", "1", "keyup", "space"}).exitCode, 0);
  key("space");
  key("Tab");
  key("Shift_L");
  ASSERT_TRUE(lumenvas.waitForNewOutput(from, "===============================\n"));
  lumenvas.sendLine(R"({"call":"beginPath","args":[]})");
  ASSERT_TRUE(lumenvas.waitForNewOutput(from, "{\"call\":\"beginPath\",\"args\":[]}\n"));
  key("Shift_L");
  ASSERT_TRUE(lumenvas.waitForNewOutput(from, "===============================\n{\"call\":\"beginPath\",\"args\":[]}\n"
                                              "===============================\n"));
  lumenvas.sendLine(R"({"call":"closePath"})");
  lumenvas.sendLine(R"({"call":"echoOffCheck"})");  // unknown calls print themselves anyway
  ASSERT_TRUE(lumenvas.waitForNewOutput(from, "{\"call\":\"echoOffCheck\"}\n"));
  EXPECT_EQ(lumenvas.server->out().substr(from),
            "FCTX OFF\nFCTX ON\nCTX OFF\n===============================\n"
            "{\"call\":\"beginPath\",\"args\":[]}\n===============================\n{\"call\":\"echoOffCheck\"}\n");
}

// A deterministic stream of hostile input: every call with arguments of every
// kind, truncated and noisy messages, deep nesting and huge values.
std::vector<std::string> hostileMessages() {
  uint64_t state = 12345;
  auto next = [&](uint64_t bound) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % bound;
  };
  const std::vector<std::string> calls{
      "beginPath", "closePath", "moveTo", "lineTo", "lineToArray", "quadraticCurveTo", "arc", "rect", "roundRect",
      "circle", "triangle", "polygon", "fill", "stroke", "fillRect", "strokeRect", "clearRect", "fillRoundRect",
      "fillCircle", "fillTriangle", "fillPolygon", "fillPie", "save", "restore", "translate", "clip", "lineWidth",
      "globalAlpha", "lineCap", "lineJoin", "fillStyle", "strokeStyle", "globalCompositeOperation", "font",
      "textAlign", "textBaseline", "fillText", "drawImage", "drawSVG", "drawSVGC", "setLineDash",
      "createLinearGradient", "createRadialGradient", "shadowColor", "resetShadow", "drawFrame", "", "\xc3\xa9"};
  const std::vector<std::string> values{"0", "-1", "3.5", "1e38", "-1e38", "1e300", "4294967296", "-9223372036854775808",
                                        "18446744073709551615", "null", "true", "false", "\"\"", "\"red\"",
                                        "[1,2]", "[[1,2],[3,4]]", "{\"url\":\"x\"}", "{}", "2000000000", "0.001"};
  const std::vector<std::string> objs{"\"ctx\"", "\"fctx\"", "null", "5", "[]", "\"fctx \""};
  std::vector<std::string> messages;
  for (int i = 0; i < 3000; ++i) {
    std::string args = "[";
    for (uint64_t n = next(10); n > 0; --n) args += values[next(values.size())] + (n > 1 ? "," : "");
    args += "]";
    std::string command = "{\"obj\":" + objs[next(objs.size())] + ",\"call\":\"" + calls[next(calls.size())] +
                          "\",\"args\":" + args + "}";
    switch (next(6)) {
      case 0: command = command.substr(0, next(command.size())); break;  // truncated
      case 1: command[next(command.size())] = char(next(256)); break;    // one byte changed
      case 2: command = "[" + command + "," + command + "]"; break;
      default: break;
    }
    for (char& c : command)
      if (c == '\n') c = ' ';
    if (!command.empty()) messages.push_back(command);
  }
  messages.push_back(std::string(200000, '['));
  messages.push_back(std::string(511, '[') + std::string(511, ']'));
  std::string objects;
  for (int i = 0; i < 100000; ++i) objects += "{\"a\":";
  messages.push_back(objects);
  std::string points = R"({"call":"lineToArray","args":[[)";
  for (int i = 0; i < 200000; ++i) points += "[" + std::to_string(i % 1024) + ",3],";
  messages.push_back(points + "[0,0]]]}");
  messages.push_back(R"({"call":"fillPolygon","args":[500,300,100,2e9,0]})");
  messages.push_back(R"({"call":"beginPath","args":[")" + std::string(5 << 20, 's') + "\"]}");
  messages.push_back(std::string("\0\x01\x02\xff", 4));
  return messages;
}

TEST(Lumenvas, HostileInputNeitherCrashesNorWedgesTheServer) {
  Lumenvas lumenvas;
  lumenvas.start();
  std::string stream;
  for (const std::string& m : hostileMessages()) stream += m + "\n" + frame + "\n";
  lumenvas.send(stream);
  lumenvas.sendLine(R"({"call":"hostileDone"})");
  EXPECT_TRUE(lumenvas.waitForNewOutput(0, "{\"call\":\"hostileDone\"}\n", 120s));
  EXPECT_NE(lumenvas.server->out().find("Exception: JSON nested too deeply\n"), std::string::npos);

  // A line that never ends is dropped once it passes 64 MiB; the next one runs.
  size_t from = lumenvas.server->out().size();
  lumenvas.send(std::string(65 << 20, 'x'));
  lumenvas.send("still the same line\n" R"({"call":"afterRunaway"})" "\n");
  EXPECT_TRUE(lumenvas.waitForNewOutput(from, "{\"call\":\"afterRunaway\"}\n", 60s));
  std::string after = lumenvas.server->out().substr(from);
  EXPECT_NE(after.find("Pipe line longer than 67108864 bytes dropped\n{\"call\":\"afterRunaway\"}\n"),
            std::string::npos)
      << after;
  EXPECT_EQ(after.find("Exception"), std::string::npos) << "nothing of the dropped line was parsed";

  auto result = lumenvas.close();
  EXPECT_EQ(result.exitCode, 0) << result.err.substr(0, 4000);
}

}  // namespace
