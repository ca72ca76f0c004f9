// The canvas: the NanoVG context plus the state kept beside it that outlives
// frames and is untouched by save/restore.
#pragma once

#include <vector>

#include <nanovg.h>

#include "images.h"

struct NVGLUframebuffer;

enum class RenderTarget { window, ctxSurface, fctxSurface };

struct CanvasContext {
  NVGcontext* vg = nullptr;

  // Written by "rect", read by "clip": x, y, w, h.
  float clipRect[4] = {0, 0, 0, 0};

  // Text alignment as "textAlign" and "textBaseline" set it.
  int textAlignH = NVG_ALIGN_LEFT;
  int textAlignV = NVG_ALIGN_MIDDLE;

  // While true every command is printed before it runs.
  bool commandEcho = false;

  // The two offscreen layers and which framebuffer is bound.
  NVGLUframebuffer* ctxSurface = nullptr;
  NVGLUframebuffer* fctxSurface = nullptr;
  NVGpaint ctxPaint{};
  NVGpaint fctxPaint{};
  RenderTarget renderTarget = RenderTarget::window;
  bool fctxActive = false;  // the foreground layer holds content
  bool overlayOn = false;   // presents compose the two layers
  std::vector<unsigned char> snapshot;

  // The embedded pictures by key hash, filled once at start-up.
  ImageRegistry images;
};
