// When the loop presents, read from its own counters with the real window.
#include <gtest/gtest.h>

#include "frame_loop.h"
#include "gl_screen.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const std::string frame = R"({"obj":"ctx","call":"drawFrame","args":[]})";
const std::string rect = R"({"call":"fillRect","args":[0,0,10,10]})";

class Loop : public testing::Test {
 protected:
  GlScreen screen;
  FrameLoop loop{screen.canvas, screen.window, false};
  PipeReader noPipe;  // never opened: every drain finds nothing
  MessageQueue queue;

  Loop() { loop.lastPresentMs = wallClockMs(); }
  std::string pass(std::vector<std::string> messages) {
    for (auto& m : messages) queue.push(m);
    CaptureStdout();
    runPass(loop, noPipe, queue);
    return GetCapturedStdout();
  }
};

TEST_F(Loop, PresentsOncePerBatchAtTheLastBoundaryAndOnlyWhenNeeded) {
  pass({"[" + rect + "," + frame + "," + rect + "," + frame + "," + rect + "," + frame + "]"});
  EXPECT_EQ(loop.presentedFrames, 1);
  EXPECT_EQ(loop.pendingCount, 0);

  pass({rect, frame, rect, rect, frame});
  EXPECT_EQ(loop.presentedFrames, 2);

  // Nothing drawn since the last present: the frame is ended, not shown.
  pass({frame, frame});
  EXPECT_EQ(loop.presentedFrames, 2);

  pass({rect, rect});
  EXPECT_EQ(loop.pendingCount, 2);
  EXPECT_EQ(loop.presentedFrames, 2);
  // A failed command does not count.
  EXPECT_NE(pass({R"({"call":"fillRect","args":[1]})"}), "");
  EXPECT_EQ(loop.pendingCount, 2);
}

TEST_F(Loop, PresentsAnywayAfter251Milliseconds) {
  pass({});
  EXPECT_EQ(loop.presentedFrames, 0);
  loop.lastPresentMs = wallClockMs() - 251;
  pass({});
  EXPECT_EQ(loop.presentedFrames, 1);
  EXPECT_GE(loop.lastPresentMs, wallClockMs() - 100);

  // A clock set back pauses it until the clock passes the last present again.
  loop.lastPresentMs = wallClockMs() + 60000;
  pass({});
  pass({});
  EXPECT_EQ(loop.presentedFrames, 1);
}

TEST_F(Loop, AFailedForegroundCommandStillTurnsTheOverlayOn) {
  std::string bad = R"({"obj":"fctx","call":"fillRect","args":[]})";
  std::string printed = pass({bad, frame});
  EXPECT_EQ(printed, "Exception: index out of bounds\n   command: " + bad + "\nOverlay ON\n");
  EXPECT_EQ(loop.presentedFrames, 1);
  EXPECT_TRUE(screen.canvas.overlayOn);
  EXPECT_EQ(pass({frame}), "");
  EXPECT_EQ(loop.presentedFrames, 1);
}

// On Wayland every command is drawn into two frames, and until three frames
// are up everything since start-up is replayed, even across a document trim.
TEST_F(Loop, WaylandReplaysFromDocumentsItKeepsAlive) {
  loop.isWayland = true;
  std::string padded = R"({"call":"fillRect","args":[0,0,10,10],"pad":")" + std::string(300000, 'p') + "\"}";
  pass({padded, frame});
  EXPECT_EQ(loop.presentedFrames, 1);
  EXPECT_EQ(loop.replayList.size(), 1u);
  EXPECT_EQ(loop.replayDocuments.size(), 1u);
  EXPECT_NE(loop.replayDocuments[0], loop.document);  // trimmed, still held

  pass({frame});  // replayed content alone makes a present due
  EXPECT_EQ(loop.presentedFrames, 2);
  pass({rect, frame});
  EXPECT_EQ(loop.presentedFrames, 3);
  EXPECT_TRUE(loop.replayList.empty());
  EXPECT_TRUE(loop.replayDocuments.empty());
  pass({frame});
  EXPECT_EQ(loop.presentedFrames, 3);
}

}  // namespace
