// NanoVG's GLES2 back end with this system's fragment program, plus the
// flush-only entry point and the framebuffer helpers the layers use.
#pragma once

#include <nanovg.h>

struct NVGLUframebuffer;

// Creates the context with NVG_ANTIALIAS only and swaps in our fragment
// program. Null when the context or the program cannot be made.
NVGcontext* createRenderer();
void deleteRenderer(NVGcontext* vg);

// Hands the queued draw calls to GL now and keeps the frame open.
void nvgFlush(NVGcontext* vg);

// A 1024x600 RGBA framebuffer with a stencil buffer, nearest filtering.
NVGLUframebuffer* createSurface(NVGcontext* vg);
int surfaceImage(const NVGLUframebuffer* surface);
// Null binds the window's own framebuffer (its name is read once).
void bindSurface(NVGLUframebuffer* surface);
void deleteSurface(NVGLUframebuffer* surface);
