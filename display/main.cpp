// The display server: claims the screen, then turns commands from the pipe
// into frames until the window is asked to close.
#include <csignal>
#include <cstdio>

#include <GLFW/glfw3.h>

#include "audio_engine.h"
#include "calls.h"
#include "canvas_context.h"
#include "frame_loop.h"
#include "gl_backend.h"
#include "graphics.h"
#include "keys.h"
#include "layers.h"
#include "message_queue.h"
#include "pipe_reader.h"
#include "watchdog.h"
#include "websocket_server.h"

namespace {

// Every way out of main after the watchdog started also stops it.
struct WatchdogRunning {
  WatchdogRunning() { startWatchdog(); }
  ~WatchdogRunning() { stopWatchdog(); }
};

void printGlfwError(int code, const char* description) { fprintf(stderr, "GLFW error %d: %s\n", code, description); }

void drawSplash(CanvasContext& canvas, GLFWwindow* window, int splash) {
  NVGcontext* vg = canvas.vg;
  int w = 0, h = 0;
  nvgBeginFrame(vg, 1024, 600, 1);
  nvgImageSize(vg, splash, &w, &h);
  nvgSave(vg);
  nvgShapeAntiAlias(vg, 0);
  nvgBeginPath(vg);
  nvgRect(vg, 0, 0, float(w), float(h));
  nvgFillPaint(vg, nvgImagePattern(vg, 0, 0, float(w), float(h), 0, splash, 1));
  nvgFill(vg);
  nvgRestore(vg);
  nvgEndFrame(vg);
  glDisable(GL_DITHER);
  glfwSwapBuffers(window);
  glFinish();
}

int fail(const char* message) {
  if (message) fputs(message, stderr);
  resumeAudioEngine();
  return -1;
}

}  // namespace

int main() {
  // The console is the service's log; keep it in order with what it shows.
  setvbuf(stdout, nullptr, _IOLBF, 0);
  // A console nobody reads any more costs its lines, not the screen.
  signal(SIGPIPE, SIG_IGN);

  keepDisplayPowered();
  MessageQueue queue;
  PipeReader pipe;
  pipe.open();

  puts("Initialising graphics...");
  fflush(stdout);
  WatchdogRunning watchdog;

  markAlive();
  freezeAudioEngine();
  if (!initGlfwWithRetries()) return fail("Error: Failed to init OpenGL.\n");

  markAlive();
  glfwSetErrorCallback(printGlfwError);
  puts("Graphics initialised. Opening GUI...");
  fflush(stdout);

  bool isWayland = platformIsWayland();
  freezeAudioEngine();
  GLFWwindow* window = openWindow(isWayland);
  markAlive();
  if (!window) {
    glfwTerminate();
    return fail(nullptr);
  }

  CanvasContext canvas;
  glfwSetWindowUserPointer(window, &canvas);
  glfwSetKeyCallback(window, keyPressed);
  glfwMakeContextCurrent(window);
  printf("Context renderer string: \"%s\"\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  printf("Context vendor string: \"%s\"\n", reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
  fflush(stdout);

  canvas.vg = createRenderer();
  if (!canvas.vg) {
    glfwTerminate();
    return fail("Error: Could not init rasteriser.\n");
  }
  markAlive();
  loadFonts(canvas);
  registerImages(canvas);
  int splash = nvgCreateImage(canvas.vg, "/etc/varostudio.png", NVG_IMAGE_GENERATE_MIPMAPS);

  glfwSwapInterval(1);
  glfwSetTime(0);
  startServer(queue);

  if (!createLayers(canvas)) {
    stopServer();
    deleteRenderer(canvas.vg);
    glfwTerminate();
    return fail("Error: Could not create the offscreen layers.\n");
  }

  markAlive();
  bindSurface(nullptr);
  nvgBeginFrame(canvas.vg, 1024, 600, 1);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glDisable(GL_DITHER);
  if (splash > 0) drawSplash(canvas, window, splash);

  markAlive();
  bindSurface(nullptr);
  canvas.renderTarget = RenderTarget::window;
  int width = 0, height = 0;
  glfwGetFramebufferSize(window, &width, &height);
  glViewport(0, 0, width, height);
  printf("Uses wayland: %s\n", isWayland ? "yes" : "no");

  markAlive();
  {
    FrameLoop loop(canvas, window, isWayland);
    loop.lastPresentMs = wallClockMs();
    while (!glfwWindowShouldClose(window)) runPass(loop, pipe, queue);
  }

  stopServer();
  deleteSurface(canvas.ctxSurface);
  deleteSurface(canvas.fctxSurface);
  deleteRenderer(canvas.vg);
  glfwTerminate();
  resumeAudioEngine();
  return 0;
}
