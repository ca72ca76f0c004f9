#include "frame_loop.h"

#include <chrono>
#include <ctime>

#include <GLFW/glfw3.h>

#include "audio_engine.h"
#include "gl_backend.h"
#include "layers.h"
#include "watchdog.h"

int64_t wallClockMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

FrameLoop::FrameLoop(CanvasContext& canvas, GLFWwindow* window, bool isWayland)
    : canvas(canvas), window(window), isWayland(isWayland), document(std::make_shared<MessageDocument>()) {
  drawFrameCommand = &drawFrameDocument.parse(R"({"obj":"ctx","call":"drawFrame","args":[]})");
}

static void rememberForReplay(FrameLoop& loop, const CommandEntry& entry) {
  loop.replayList.push_back(entry);
  if (loop.replayDocuments.empty() || loop.replayDocuments.back() != loop.document)
    loop.replayDocuments.push_back(loop.document);
}

static void beginNextFrame(FrameLoop& loop) {
  nvgBeginFrame(loop.canvas.vg, 1024, 600, 1);
  if (loop.isWayland && !loop.replayList.empty()) {
    for (const CommandEntry& entry : loop.replayList) {
      markAlive();
      executeEntry(loop.canvas, entry);
    }
    // Until three frames are up every buffer has to catch up from start-up.
    if (loop.presentedFrames >= 3) {
      loop.replayList.clear();
      loop.replayDocuments.clear();
    }
  }
  loop.pendingCount = 0;
}

static void present(FrameLoop& loop) {
  int width = 0, height = 0;
  glfwGetFramebufferSize(loop.window, &width, &height);
  markAlive();
  composeLayers(loop.canvas, width, height);
  nvgEndFrame(loop.canvas.vg);
  glDisable(GL_DITHER);
  markAlive();
  glfwSwapBuffers(loop.window);
  if (!loop.isWayland) glFinish();
  markAlive();
  ++loop.presentedFrames;
  loop.lastPresentMs = wallClockMs();
  beginNextFrame(loop);
}

static void skipPresent(FrameLoop& loop) {
  nvgEndFrame(loop.canvas.vg);
  beginNextFrame(loop);
}

void walkBatch(FrameLoop& loop, const CommandBatch& batch) {
  markAlive();
  size_t last = batch.size();
  for (size_t i = 0; i < batch.size(); ++i)
    if (batch[i].frameBoundary) last = i;

  for (size_t i = 0; i < batch.size(); ++i) {
    const CommandEntry& entry = batch[i];
    if (!entry.frameBoundary) {
      if (loop.isWayland) rememberForReplay(loop, entry);
      if (executeEntry(loop.canvas, entry)) ++loop.pendingCount;
      continue;
    }
    markAlive();
    if (i != last) {
      // Earlier boundaries only matter when nothing is waiting; the frame
      // keeps growing until the last one.
      if (loop.pendingCount == 0) skipPresent(loop);
    } else if (loop.pendingCount > 0 || !loop.replayList.empty() ||
               loop.canvas.overlayOn != loop.canvas.fctxActive) {
      present(loop);
    } else {
      skipPresent(loop);
    }
  }
  markAlive();
}

void runPass(FrameLoop& loop, PipeReader& pipe, MessageQueue& queue) {
  pipe.drain(queue);
  pollInput(loop.input);
  std::vector<std::string> messages = queue.takeAll();
  CommandBatch batch = buildBatch(messages, *loop.document);
  if (wallClockMs() - loop.lastPresentMs >= 251) {
    batch.push_back({loop.drawFrameCommand, true});
    ++loop.pendingCount;
  }
  markAlive();
  walkBatch(loop, batch);
  batch.clear();
  trimDocument(loop.document, !messages.empty());
  timespec pause{0, 2000000};
  nanosleep(&pause, nullptr);
  if (loop.passCount < 10 && ++loop.passCount == 10) resumeAudioEngine();
}
