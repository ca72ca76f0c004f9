// Latency from a message written into the pipe to the end of the present
// that shows it (swap and glFinish returned), with the real loop, pipe and
// window in this process. Messages are written at random moments of the
// pass, one at a time, as a touch-driven UI sends them.
//   lumenvas_latency SAMPLES
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

#include <GLFW/glfw3.h>

#include "frame_loop.h"
#include "gl_backend.h"
#include "graphics.h"
#include "layers.h"
#include "ui_frame.h"

using Clock = std::chrono::steady_clock;

static double quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

static void report(const char* what, const std::vector<double>& ms) {
  printf("latency %-26s median %6.2f ms, p90 %6.2f ms, max %6.2f ms (%zu samples)\n", what, quantile(ms, 0.5),
         quantile(ms, 0.9), *std::max_element(ms.begin(), ms.end()), ms.size());
}

int main(int argc, char** argv) {
  int samples = argc > 1 ? atoi(argv[1]) : 200;
  const char* path = "/tmp/lumenvas_latency";
  PipeReader pipe;
  pipe.open(path);
  int writer = open(path, O_WRONLY);
  if (!glfwInit() || writer < 0) return 1;
  GLFWwindow* window = openWindow(false);
  if (!window) return 1;
  glfwMakeContextCurrent(window);
  glfwSwapInterval(1);
  CanvasContext canvas;
  canvas.vg = createRenderer();
  if (!canvas.vg || !createLayers(canvas)) return 1;
  bindSurface(nullptr);
  glViewport(0, 0, 1024, 600);
  nvgBeginFrame(canvas.vg, 1024, 600, 1);

  MessageQueue queue;
  FrameLoop loop(canvas, window, false);
  loop.lastPresentMs = wallClockMs();
  std::mt19937 random(1);

  auto measure = [&](const std::string& message) {
    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
      // Land somewhere inside the 2 ms sleep or the pass.
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
      int64_t before = loop.presentedFrames;
      auto written = Clock::now();
      if (write(writer, message.data(), message.size()) != ssize_t(message.size())) return ms;
      while (loop.presentedFrames == before) runPass(loop, pipe, queue);
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - written).count());
    }
    return ms;
  };
  for (int i = 0; i < 20; ++i) runPass(loop, pipe, queue);  // warm up, pass 10 resumes nothing here
  report("one fillRect + drawFrame",
         measure(R"([{"call":"fillRect","args":[0,0,10,10]},{"obj":"ctx","call":"drawFrame","args":[]}])" "\n"));
  report("one UI frame (386 commands)", measure(uiFrame(3) + "\n"));
  if (const char* extra = getenv("LATENCY_MESSAGE")) report(extra, measure(std::string(extra) + "\n"));

  deleteSurface(canvas.ctxSurface);
  deleteSurface(canvas.fctxSurface);
  deleteRenderer(canvas.vg);
  glfwTerminate();
}
