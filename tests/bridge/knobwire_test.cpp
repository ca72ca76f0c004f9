// knobwire as the board runs it: the surface on a pseudo-terminal, the mixer
// state server as a real socket.io peer, the GPIO window on a sparse /dev/mem.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

#include "bridge_board.h"

namespace {

using namespace std::chrono_literals;

std::string eventFrame(const std::string& payload) { return R"(42["message",)" + payload + "]"; }

TEST_F(BridgeBoard, SendsInitOnEveryConnectionAndReconnectsWithinASecond) {
  startConnected();
  EXPECT_TRUE(server->waitForOutput("connect http://127.0.0.1:80/\n", 1s));

  stopServer();
  ASSERT_TRUE(bridge->waitForOutput("Disconnected websocket.\n", 2s));
  // Refused attempts back off from 100 ms, doubling up to 1000 ms.
  ASSERT_TRUE(bridge->waitForOutput("reconnecting in 1000 ms\n", 5s)) << bridge->out();
  std::string out = bridge->out();
  size_t at = 0;
  for (const char* delay : {"in 100 ms", "in 200 ms", "in 400 ms", "in 800 ms", "in 1000 ms"}) {
    at = out.find(delay, at);
    EXPECT_NE(at, std::string::npos) << delay << "\n" << out;
  }

  startServer();
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(waitForFrame(initRequest, 3s)) << bridge->out();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
  EXPECT_EQ(frames(), std::vector<std::string>{initRequest});
}

TEST_F(BridgeBoard, PingsAboutEveryTenSeconds) {
  startConnected();
  ASSERT_TRUE(waitForFrame("2", 12s));
  auto seen = frames();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "2"), 1);
}

TEST_F(BridgeBoard, InitAnswerIsReplayedInKeyOrderWithPadRefreshes) {
  startConnected();
  serverCommand(R"(emit {"cmd":"INIT","data":{)"
                R"("i.1.mix":-10.5,"i.0.pan":0.5,"bank":1,"B.1.0.colorhex":"#ff0000","B.1.1.colorhex":"#00ff00",)"
                R"("B.1.0.blink":1,"B.0.0.colorhex":"#0000ff","K.0.color":"#123456","settings.brightness.pad":0.75,)"
                R"("hw_rec":0,"lock":"on","i.0.mute":true,"i.12.mute":1,"p.2.solo":1,"m.mix":3}})");
  // Upper-case keys sort first, so the pads are painted once "bank" arrives
  // and again for every pad key after it.
  const std::string expected =
      "\n\nINIT\n"
      "{\"K.0.color\":\"#123456\"}\n"
      "{\"P.0.color\":\"#ff0000\"}\n{\"P.1.color\":\"#00ff00\"}\n{\"P.0.blink\":1}\n"
      "{\"hw_rec\":0}\n"
      "{\"i.1.mix\":-10.5}\n"
      "{\"i.12.mute\":1}\n"
      "{\"lock\":\"on\"}\n"
      "{\"m.mix\":3}\n"
      "{\"p.2.solo\":1}\n"
      "{\"settings.brightness.pad\":0.75}\n";
  ASSERT_TRUE(surfaceShows("{\"settings.brightness.pad\":0.75}\n")) << surfaceSeen;
  EXPECT_EQ(surfaceSeen.substr(7), expected);

  // Another bank repaints every pad from the mirror; a colour change in a
  // bank that is not shown repaints the current one unchanged.
  serverCommand(R"(emit {"bank":0})");
  EXPECT_TRUE(surfaceShows("{\"P.0.color\":\"#0000ff\"}\n"));
  serverCommand(R"(emit {"B.1.1.colorhex":"#ffffff"})");
  EXPECT_TRUE(surfaceShows("{\"P.0.color\":\"#0000ff\"}\n"));
  serverCommand(R"(emit {"bank":1})");
  EXPECT_TRUE(surfaceShows("{\"P.0.color\":\"#ff0000\"}\n{\"P.1.color\":\"#ffffff\"}\n{\"P.0.blink\":1}\n"));
  EXPECT_EQ(surfaceDrain(), "");
}

struct FaderCase {
  const char* line;
  const char* frame;
};

TEST_F(BridgeBoard, FaderLinesBecomeLevelsOnTheFullEdition) {
  startConnected({"VERBOSE=abc"});  // not a number: level 0, no traces
  const FaderCase cases[] = {
      {R"({"slider.0":1.5})", R"({"i.0.mix":10.0})"},
      {R"({"slider.0":0})", R"({"i.0.mix":-200.0})"},
      {R"({"slider.3":0.75})", R"({"i.3.mix":1.4561180885})"},
      {R"({"slider.4":0.5})", R"({"p.0.mix":-11.0603585095})"},
      {R"({"slider.7":0.001})", R"({"s.mix":-200.0})"},  // -102 dB is silence
      {R"({"slider.12":0.25})", R"({"m.mix":-32.1801058938})"},
      {R"({"slider.-3":1})", R"({"i.0.mix":10.0})"},
      {R"({"slider.1":1,"slider.2":0})", R"({"i.1.mix":10.0})"},
  };
  std::vector<std::string> expected = {initRequest};
  for (const FaderCase& c : cases) {
    toSurface(std::string(c.line) + "\n");
    expected.push_back(eventFrame(c.frame));
  }
  expected.push_back(eventFrame(R"({"i.2.mix":-200.0})"));
  EXPECT_EQ(waitForFrames(expected.size()), expected);
  // Fader moves are not echoed back to the surface.
  EXPECT_EQ(surfaceDrain(), "");
  EXPECT_EQ(bridge->out().find("<< "), std::string::npos) << bridge->out();
  EXPECT_EQ(bridge->out().find("FADER >> "), std::string::npos) << bridge->out();
}

TEST_F(BridgeBoard, FaderLinesOnTheSmallEdition) {
  sandbox::writeFile("/root/.varomini", "");
  startConnected();
  EXPECT_TRUE(bridge->waitForOutput("Varo Mini detected\n", 1s));
  toSurface("{\"slider.2\":1}\n{\"slider.4\":0}\n{\"slider.5\":0.25}\n{\"slider.8\":1.5}\n");
  std::vector<std::string> expected = {initRequest, eventFrame(R"({"p.0.mix":10.0})"),
                                       eventFrame(R"({"s.mix":-200.0})"), eventFrame(R"({"":0.25})"),
                                       eventFrame(R"({"":1.0})")};
  EXPECT_EQ(waitForFrames(expected.size()), expected);
}

TEST_F(BridgeBoard, EncoderTurnsFollowTheirAssignments) {
  startConnected();
  serverCommand(R"(emit {"K.0.key":"-i.0.pan","i.0.pan":0.5,"K.1.key":"i.0.gain","i.0.gain":40,)"
                R"("K.2.key":"eqBand","eqBand":0.1333333,"K.3.key":"nope.key","K.4.key":"i.0.comp.ratio","i.0.comp.ratio":4})");
  // The surface sees the assignment landing before it turns anything.
  serverCommand(R"(emit {"K.4.color":1})");
  ASSERT_TRUE(surfaceShows("{\"K.4.color\":1}\n"));

  toSurface("{\"enc.0\":1}\n");  // reversed: the pan goes down
  for (int detent : {1, 1, -1, -1}) toSurface("{\"enc.1\":" + std::to_string(detent) + "}\n");
  toSurface("{\"enc.2\":-1}\n{\"enc.2\":9}\n");
  toSurface("{\"enc.3\":1}\n{\"enc.9\":-2}\n");
  std::vector<std::string> expected = {
      initRequest,
      eventFrame(R"({"i.0.pan":0.4875})"),
      eventFrame(R"({"i.0.gain":40.0})"),  // the first half step does not show
      eventFrame(R"({"i.0.gain":41.0})"),
      eventFrame(R"({"i.0.gain":40.0})"),  // turning down shows at once
      eventFrame(R"({"i.0.gain":40.0})"),
      eventFrame(R"({"eqBand":0.133333})"),
      eventFrame(R"({"eqBand":0.866667})"),
  };
  auto got = waitForFrames(expected.size() + 1, 3s);
  ASSERT_EQ(got.size(), expected.size() + 1);
  got.pop_back();
  EXPECT_EQ(got, expected);
  // Two detents down a logarithmic 1...20 from 4.
  EXPECT_EQ(frames().back().substr(0, 34), R"(42["message",{"i.0.comp.ratio":3.7)");
  EXPECT_TRUE(bridge->waitForOutput("keyDataTransform not found: nope.key\n", 1s));
}

TEST_F(BridgeBoard, OtherLinesPassThroughAndIncompleteOnesResync) {
  startConnected({"VERBOSE=2"});
  toSurface("{\"hw_rec\":1}\r\n{}\n");
  ASSERT_TRUE(waitForFrame(eventFrame(R"({})")));
  EXPECT_EQ(frames()[1], eventFrame(R"({"hw_rec":1})"));
  EXPECT_TRUE(bridge->waitForOutput("FADER >> {\"hw_rec\":1}\n", 1s));
  EXPECT_TRUE(bridge->waitForOutput("<< WS {\"hw_rec\":1}\n", 1s));
  EXPECT_TRUE(bridge->waitForOutput("<< FADER \n\nINIT\n", 1s));

  // Each of these asks the server again and replays the mirror, which now
  // holds hw_rec from the line above.
  const char* resyncs[] = {"INI\n", "hello\n", "\r\n", "INIT\r\n"};
  for (const char* line : resyncs) {
    size_t before = frames().size();
    toSurface(line);
    EXPECT_TRUE(surfaceShows("{\"hw_rec\":1}\n")) << line;
    auto got = waitForFrames(before + 1);
    EXPECT_EQ(got.back(), initObjectRequest) << line;
  }
  std::string out = bridge->out();
  size_t incomplete = 0;
  for (size_t at = out.find("Incomplete message received from fader, re-sending init\n"); at != std::string::npos;
       at = out.find("Incomplete message received", at + 1))
    ++incomplete;
  EXPECT_EQ(incomplete, 3u) << "INIT itself is no incomplete line";
}

TEST_F(BridgeBoard, BadSurfaceInputIsReportedAndLosesNothing) {
  startConnected();
  serverCommand(R"(emit {"lock":"on"})");
  ASSERT_TRUE(surfaceShows("{\"lock\":\"on\"}\n"));

  struct Case {
    std::string line;
    std::string output;  // on standard output, or empty
  };
  const Case cases[] = {
      {"{\"slider.\":0.5}", "Cannot parse: {\"slider.\":0.5}\n"},
      {"{\"enc.x\":1}", "Cannot parse: {\"enc.x\":1}\n"},
      {"{\"slider.0\":0.5,\"slider.1\"}", "Cannot parse: {\"slider.0\":0.5,\"slider.1\"}\n"},
      {"{not json}", "Invalid message format: {not json}\n"},
      {"{\"x\":\"\xff\xfe\"}", "Cannot parse: {\"x\":\"\xff\xfe\"}\n"},  // not UTF-8: cannot be sent at all
      {"{\"slider.0\":\"0.5\",\"slider.1\":[1],\"enc.0\":null}", ""},
      {std::string("\x01\x02\x00\x7f{{", 7), "Incomplete message received from fader"},
      {std::string(70000, 'x'), "Incomplete message received from fader"},
  };
  for (const Case& c : cases) toSurface(c.line + "\n");
  toSurface("{\"slider.0\":1}\n");
  ASSERT_TRUE(waitForFrame(eventFrame(R"({"i.0.mix":10.0})"), 10s)) << bridge->out();
  std::string out = bridge->out();
  for (const Case& c : cases)
    if (!c.output.empty()) {
      EXPECT_NE(out.find(c.output), std::string::npos) << c.output;
    }
  EXPECT_NE(out.find("Cannot parse: {not json}\n"), std::string::npos);
  for (const std::string& frame : frames()) {
    EXPECT_EQ(frame.find("slider"), std::string::npos) << frame;
    EXPECT_EQ(frame.find("enc."), std::string::npos) << frame;
  }
  EXPECT_TRUE(waitForFrame(eventFrame(R"("{not json}")"), 0ms));

  // The mirror still holds what was validly set.
  surfaceDrain();
  toSurface("INIT\n");
  ASSERT_TRUE(waitForFrame(initObjectRequest));
  std::string replay = surfaceDrain();
  EXPECT_NE(replay.find("{\"lock\":\"on\"}\n"), std::string::npos) << replay;
  EXPECT_NE(replay.find("{\"i.0.mix\":10.0}\n"), std::string::npos) << replay;
}

TEST_F(BridgeBoard, BadServerFramesAreReportedOrIgnored) {
  startConnected();
  const char* ignored[] = {"raw 3", "raw 40", "raw 0{\"sid\":\"x\"}", "raw 42", "raw 42[\"other\",{\"lock\":1}]",
                           "raw 42[\"message\"]", "raw 42{\"lock\":1}"};
  for (const char* command : ignored) serverCommand(command);
  serverCommand("raw 42[\"message\",{\"lock\":\"a\"");
  serverCommand(R"(emit {"bank":"x","lock":"b"})");
  serverCommand(R"(emit {"i.0.mute":true,"i.1.mute":null,"i.2.mute":[1],"i.3.mute":{"a":1}})");
  serverCommand(R"(emit {"cmd":"INIT"})");
  serverCommand(R"(emit {"cmd":"SAVE","lock":"c"})");
  serverCommand(R"(emit {"cmd":5,"i.0.solo":1})");
  serverCommand(R"(emit ["x",7])");
  serverCommand("emit {\"big\":\"" + std::string(1 << 20, 'y') + "\",\"lock\":\"d\"}");
  serverCommand(R"(emit {"lock":"e"})");

  ASSERT_TRUE(surfaceShows("{\"lock\":\"e\"}\n")) << bridge->out();
  std::string out = bridge->out();
  EXPECT_NE(out.find("Invalid message: 42[\"message\",{\"lock\":\"a\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Invalid message format: {\"bank\":\"x\",\"lock\":\"b\"}\n"), std::string::npos) << out;
  // The first pair of the bad message stays applied; the rest is dropped.
  EXPECT_EQ(surfaceSeen.substr(7), "{\"i.0.solo\":1}\n{\"lock\":\"d\"}\n{\"lock\":\"e\"}\n");
  EXPECT_EQ(out.find("Invalid message", out.find("format: {\"bank\"") + 1), std::string::npos) << out;
}

TEST_F(BridgeBoard, TrafficFromBothSidesAtOnceKeepsEveryValue) {
  startConnected();
  constexpr int count = 300;
  std::thread surfaceSide([&] {
    for (int i = 0; i < count; ++i) {
      std::string line = "{\"slider." + std::to_string(i % 9) + "\":0.5}\n";
      if (write(surface.master, line.data(), line.size()) != ssize_t(line.size())) return;
    }
  });
  for (int i = 0; i < count; ++i) serverCommand("emit {\"P." + std::to_string(i) + ".color\":" + std::to_string(i) + "}");
  surfaceSide.join();
  ASSERT_TRUE(surfaceShows("{\"P." + std::to_string(count - 1) + ".color\":" + std::to_string(count - 1) + "}\n", 10s));
  ASSERT_EQ(waitForFrames(count + 1, 10s).size(), size_t(count + 1));

  toSurface("INIT\n");
  ASSERT_TRUE(waitForFrame(initObjectRequest));
  std::string replay = surfaceDrain();
  for (int i = 0; i < count; ++i) {
    std::string line = "{\"P." + std::to_string(i) + ".color\":" + std::to_string(i) + "}\n";
    EXPECT_NE(replay.find(line), std::string::npos) << line;
  }
  for (const char* mix : {"i.0.mix", "i.3.mix", "p.2.mix", "s.mix", "m.mix"})
    EXPECT_NE(replay.find(std::string("{\"") + mix + "\":-11.0603585095}\n"), std::string::npos) << mix;
}

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(BridgeBoard, TerminationWhileTheServerIsDownExitsCleanly) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(sig));
    startBridge();
    ASSERT_TRUE(surfaceShows("\n\nINIT\n"));
    ASSERT_TRUE(bridge->waitForOutput("Disconnected websocket.\n", 2s));
    bridge->sendSignal(SIGPIPE);
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(bridge->running());
    bridge->sendSignal(sig);
    auto result = bridge->wait(5s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(occurrences(result.out, "Termination detected\n"), 1u);
    EXPECT_EQ(occurrences(result.out, "Disconnected websocket.\n"), 1u);
  }
}

TEST_F(BridgeBoard, PingGoesOutAtOnceWhenTheServerComesBackAfterTenSeconds) {
  startBridge();
  ASSERT_TRUE(bridge->waitForOutput("Disconnected websocket.\n", 2s));
  std::this_thread::sleep_for(10500ms);
  startServer();
  ASSERT_TRUE(waitForFrame(initRequest, 3s));
  EXPECT_TRUE(waitForFrame("2", 1s));
  EXPECT_EQ(frames().size(), 2u);
}

TEST_F(BridgeBoard, SurfaceThatCannotBeOpenedEndsOnlyItsThread) {
  startServer();
  startBridge({"GD32_TTY=/dev/ttyNONE"});
  ASSERT_TRUE(waitForFrame(initRequest));
  EXPECT_TRUE(bridge->waitForOutput("Error opening UART: ", 1s, true)) << bridge->err();
  bridge->sendSignal(SIGINT);
  auto result = bridge->wait(5s);
  EXPECT_EQ(result.exitCode, 0) << "timed out: " << result.timedOut << "\n" << result.err;
}

double cpuSeconds(pid_t pid) {
  std::string stat = sandbox::readFile("/proc/" + std::to_string(pid) + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int i = 3; i < 14; ++i) fields >> field;
  long user = 0, system = 0;
  fields >> user >> system;
  return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

TEST_F(BridgeBoard, SurfaceThatHangsUpIsWaitedForWithoutSpinning) {
  startConnected();
  close(surface.master);
  surface.master = -1;
  double before = cpuSeconds(bridge->pid());
  std::this_thread::sleep_for(1s);
  EXPECT_LT(cpuSeconds(bridge->pid()) - before, 0.5);
  serverCommand(R"(emit {"lock":1})");
  EXPECT_TRUE(bridge->waitForOutput("UART write failed\n", 2s)) << bridge->out();
}

constexpr uint32_t portG = 0x01C208D8, portH = 0x01C208FC;

TEST_F(BridgeBoard, ModuleIsHeldOffAtEveryStartAndIsolatedOncePerBoot) {
  for (bool bootMarker : {false, true}) {
    SCOPED_TRACE(bootMarker ? "restart in the same boot" : "first start since boot");
    if (bootMarker)
      sandbox::writeFile("/tmp/.bt-was-disabled-startup", "1");
    else
      sandbox::removePath("/tmp/.bt-was-disabled-startup");
    // The module running: PH12 released (input, high); PG5-7 on their serial function.
    sandbox::setDevMemWord(portH + 0x04, 0x00000000);
    sandbox::setDevMemWord(portH + 0x10, 0xFFFFFFFF);
    sandbox::setDevMemWord(portH + 0x14, 0xFFFFFFFF);
    sandbox::setDevMemWord(portH + 0x1C, 0xFFFFFFFF);
    sandbox::setDevMemWord(portG + 0x00, 0x44400000);
    sandbox::setDevMemWord(portG + 0x14, 0x00005400);
    sandbox::setDevMemWord(portG + 0x1C, 0x00000000);

    startBridge();
    ASSERT_TRUE(surfaceShows("\n\nINIT\n"));
    bridge->sendSignal(SIGTERM);
    auto result = bridge->wait(5s);
    EXPECT_EQ(result.exitCode, 0) << "timed out: " << result.timedOut << "\n" << result.err;

    EXPECT_EQ(sandbox::devMemWord(portH + 0x04), 0x00010000u) << "PH12 is an output";
    EXPECT_EQ(sandbox::devMemWord(portH + 0x10), 0xFFFFEFFFu) << "driven low, other pins untouched";
    EXPECT_EQ(sandbox::devMemWord(portH + 0x14), 0xFCFFFFFFu) << "drive 0";
    EXPECT_EQ(sandbox::devMemWord(portH + 0x1C), 0xFCFFFFFFu) << "no pull";
    if (bootMarker) {
      EXPECT_EQ(sandbox::devMemWord(portG + 0x00), 0x44400000u);
      EXPECT_EQ(sandbox::devMemWord(portG + 0x1C), 0x00000000u);
    } else {
      EXPECT_EQ(sandbox::devMemWord(portG + 0x00), 0x00000000u) << "PG5-7 inputs";
      EXPECT_EQ(sandbox::devMemWord(portG + 0x14), 0x00000000u);
      EXPECT_EQ(sandbox::devMemWord(portG + 0x1C), 0x0000A800u) << "PG5-7 pull 2";
    }
    EXPECT_EQ(sandbox::readFile("/tmp/.bt-was-disabled-startup"), "1");
    surfaceCursor = surfaceSeen.size();
  }
}

}  // namespace
