#include "layers.h"

#include <cstdio>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include "gl_backend.h"

bool createLayers(CanvasContext& canvas) {
  canvas.ctxSurface = createSurface(canvas.vg);
  canvas.fctxSurface = createSurface(canvas.vg);
  if (!canvas.ctxSurface || !canvas.fctxSurface) return false;
  canvas.ctxPaint = nvgImagePattern(canvas.vg, 0, 0, 1024, 600, 0, surfaceImage(canvas.ctxSurface), 1.0f);
  canvas.fctxPaint = nvgImagePattern(canvas.vg, 0, 0, 1024, 600, 0, surfaceImage(canvas.fctxSurface), 1.0f);
  return true;
}

static NVGLUframebuffer* surfaceOf(CanvasContext& canvas, RenderTarget target) {
  if (target == RenderTarget::ctxSurface) return canvas.ctxSurface;
  if (target == RenderTarget::fctxSurface) return canvas.fctxSurface;
  return nullptr;
}

// Queued draw calls belong to the old target, so they go out first.
static void switchTarget(CanvasContext& canvas, RenderTarget target) {
  if (canvas.renderTarget == target) return;
  nvgFlush(canvas.vg);
  bindSurface(surfaceOf(canvas, target));
  canvas.renderTarget = target;
}

void selectTarget(CanvasContext& canvas, bool addressesFctx) {
  if (addressesFctx) {
    switchTarget(canvas, RenderTarget::fctxSurface);
    canvas.fctxActive = true;
  } else {
    switchTarget(canvas, canvas.overlayOn ? RenderTarget::ctxSurface : RenderTarget::window);
  }
}

static void fillWindowWith(NVGcontext* vg, NVGpaint paint) {
  nvgFillPaint(vg, paint);
  nvgBeginPath(vg);
  nvgRect(vg, 0, 0, 1024, 600);
  nvgFill(vg);
}

// The window's picture becomes the ordinary layer, so ordinary commands keep
// drawing onto what is on screen.
static void snapshotWindow(CanvasContext& canvas, int width, int height) {
  nvgFlush(canvas.vg);
  bindSurface(nullptr);
  canvas.snapshot.resize(size_t(width) * size_t(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, canvas.snapshot.data());
  bindSurface(canvas.ctxSurface);
  canvas.renderTarget = RenderTarget::ctxSurface;
  glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, canvas.snapshot.data());
}

void composeLayers(CanvasContext& canvas, int windowWidth, int windowHeight) {
  NVGcontext* vg = canvas.vg;
  bool turnedOn = false;
  if (canvas.fctxActive && !canvas.overlayOn) {
    snapshotWindow(canvas, windowWidth, windowHeight);
    canvas.overlayOn = true;
    puts("Overlay ON");
    turnedOn = true;
  }
  if (!canvas.overlayOn) return;

  nvgFlush(vg);
  bindSurface(nullptr);
  canvas.renderTarget = RenderTarget::window;
  // The present that turned the overlay on already shows the ordinary
  // picture; its foreground is drawn under the frame's last state.
  if (!turnedOn) {
    nvgSave(vg);
    nvgReset(vg);
    fillWindowWith(vg, canvas.ctxPaint);
  }
  if (canvas.fctxActive) {
    fillWindowWith(vg, canvas.fctxPaint);
    nvgRestore(vg);
    nvgFlush(vg);
  } else {
    nvgFlush(vg);
    bindSurface(nullptr);
    canvas.overlayOn = false;
    canvas.renderTarget = RenderTarget::window;
    puts("Overlay OFF");
  }
}
