// The main loop: one pass every 2 ms takes what has arrived, runs it, and
// presents at most once per pass.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "canvas_context.h"
#include "command_batch.h"
#include "input.h"
#include "message_queue.h"
#include "pipe_reader.h"

struct GLFWwindow;

int64_t wallClockMs();

struct FrameLoop {
  FrameLoop(CanvasContext& canvas, GLFWwindow* window, bool isWayland);

  CanvasContext& canvas;
  GLFWwindow* window;
  bool isWayland;

  int pendingCount = 0;          // commands run since the last frame boundary
  int64_t presentedFrames = 0;
  int64_t lastPresentMs = 0;
  int passCount = 0;             // counts up to 10, then the audio engine runs again
  InputPoller input;

  // On Wayland the commands of the current frame, drawn again at the start of
  // the next one, and the documents their values live in.
  CommandBatch replayList;
  std::vector<std::shared_ptr<MessageDocument>> replayDocuments;

  std::shared_ptr<MessageDocument> document;
  MessageDocument drawFrameDocument;
  const JsonValue* drawFrameCommand;
};

// One pass: drain, poll, build, force a present after 251 ms, walk, trim,
// sleep 2 ms.
void runPass(FrameLoop& loop, PipeReader& pipe, MessageQueue& queue);

// Runs a batch, presenting at its last frame boundary when something changed.
void walkBatch(FrameLoop& loop, const CommandBatch& batch);
