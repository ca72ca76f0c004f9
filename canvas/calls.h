// The drawing calls. Every handler has the same shape and is named by one row
// of the dispatcher's table (dispatcher.cpp).
#pragma once

#include "arguments.h"
#include "canvas_context.h"

struct CallInput {
  const JsonValue& command;  // the whole command value, as the echo prints it
  const JsonValue& args;     // its argument array; an empty one when missing
  bool addressesFctx;        // "obj" was "fctx"
};

using CallHandler = void (*)(CanvasContext& canvas, const CallInput& in);

// Prints the command as an unrecognised call does.
void reportUnknownCall(const CallInput& in);

// Paths, shapes and state (drawing.cpp).
void beginPathCall(CanvasContext&, const CallInput&);
void closePathCall(CanvasContext&, const CallInput&);
void moveToCall(CanvasContext&, const CallInput&);
void lineToCall(CanvasContext&, const CallInput&);
void lineToArrayCall(CanvasContext&, const CallInput&);
void quadraticCurveToCall(CanvasContext&, const CallInput&);
void arcCall(CanvasContext&, const CallInput&);
void rectCall(CanvasContext&, const CallInput&);
void roundRectCall(CanvasContext&, const CallInput&);
void circleCall(CanvasContext&, const CallInput&);
void triangleCall(CanvasContext&, const CallInput&);
void polygonCall(CanvasContext&, const CallInput&);
void fillCall(CanvasContext&, const CallInput&);
void strokeCall(CanvasContext&, const CallInput&);
void fillRectCall(CanvasContext&, const CallInput&);
void strokeRectCall(CanvasContext&, const CallInput&);
void clearRectCall(CanvasContext&, const CallInput&);
void fillRoundRectCall(CanvasContext&, const CallInput&);
void fillCircleCall(CanvasContext&, const CallInput&);
void fillTriangleCall(CanvasContext&, const CallInput&);
void fillPolygonCall(CanvasContext&, const CallInput&);
void fillPieCall(CanvasContext&, const CallInput&);
void saveCall(CanvasContext&, const CallInput&);
void restoreCall(CanvasContext&, const CallInput&);
void translateCall(CanvasContext&, const CallInput&);
void clipCall(CanvasContext&, const CallInput&);
void lineWidthCall(CanvasContext&, const CallInput&);
void globalAlphaCall(CanvasContext&, const CallInput&);
void setLineDashCall(CanvasContext&, const CallInput&);
void ignoredCall(CanvasContext&, const CallInput&);

// Colours, gradients, line styles and compositing (style.cpp).
void lineCapCall(CanvasContext&, const CallInput&);
void lineJoinCall(CanvasContext&, const CallInput&);
void fillStyleCall(CanvasContext&, const CallInput&);
void strokeStyleCall(CanvasContext&, const CallInput&);
void globalCompositeOperationCall(CanvasContext&, const CallInput&);

// Fonts and text (text.cpp). loadFonts runs once at start-up.
void loadFonts(CanvasContext&);
void fontCall(CanvasContext&, const CallInput&);
void textAlignCall(CanvasContext&, const CallInput&);
void textBaselineCall(CanvasContext&, const CallInput&);
void fillTextCall(CanvasContext&, const CallInput&);

// Pictures (images.cpp). registerImages runs once at start-up.
void registerImages(CanvasContext&);
void drawImageCall(CanvasContext&, const CallInput&);
void drawSVGCall(CanvasContext&, const CallInput&);
void drawSVGCCall(CanvasContext&, const CallInput&);
