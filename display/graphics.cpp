#include "graphics.h"

#include <cerrno>
#include <ctime>

#include <GLFW/glfw3.h>

#include "watchdog.h"

static void sleepResumingAfterSignals(long nanoseconds) {
  timespec left{0, nanoseconds};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

bool initGlfwWithRetries() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (glfwInit()) return true;
    for (int i = 0; i < 5; ++i) {
      markAlive();
      sleepResumingAfterSignals(100000000);
    }
  }
  return false;
}

bool platformIsWayland() { return glfwGetPlatform() == GLFW_PLATFORM_WAYLAND; }

GLFWwindow* openWindow(bool isWayland) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_SAMPLES, 0);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
  glfwWindowHint(GLFW_RED_BITS, 5);
  glfwWindowHint(GLFW_GREEN_BITS, 6);
  glfwWindowHint(GLFW_BLUE_BITS, 5);
  glfwWindowHint(GLFW_ALPHA_BITS, 0);
  glfwWindowHint(GLFW_DEPTH_BITS, 0);
  glfwWindowHint(GLFW_STENCIL_BITS, 1);
  glfwWindowHint(GLFW_ACCUM_RED_BITS, 5);
  glfwWindowHint(GLFW_ACCUM_GREEN_BITS, 6);
  glfwWindowHint(GLFW_ACCUM_BLUE_BITS, 5);
  glfwWindowHint(GLFW_ACCUM_ALPHA_BITS, 0);
  // Wayland keeps no back buffer content between frames, so it draws single
  // buffered and replays instead.
  glfwWindowHint(GLFW_DOUBLEBUFFER, isWayland ? GLFW_FALSE : GLFW_TRUE);
  glfwWindowHint(GLFW_REFRESH_RATE, 1);
  return glfwCreateWindow(1024, 600, "QuenloGUI", glfwGetPrimaryMonitor(), nullptr);
}
