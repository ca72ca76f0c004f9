// The ordinary canvas and the foreground layer: where each command draws, and
// how a present composes them.
#pragma once

#include "canvas_context.h"

// Both surfaces and their paints; false when GL cannot make them.
bool createLayers(CanvasContext& canvas);

// Binds the framebuffer the next command draws into.
void selectTarget(CanvasContext& canvas, bool addressesFctx);

// Runs at every present, after the frame's last command and before the frame
// ends.
void composeLayers(CanvasContext& canvas, int windowWidth, int windowHeight);
