#include "input.h"

#include <GLFW/glfw3.h>

#include "frame_loop.h"

void pollInput(InputPoller& poller) {
  int64_t now = wallClockMs();
  // A clock set back pauses polling until it passes the last poll again.
  if (now - poller.lastPollMs < 20) return;
  poller.lastPollMs = now;
  glfwPollEvents();
}
