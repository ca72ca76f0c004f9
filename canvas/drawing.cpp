// Path, shape and state calls.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calls.h"

namespace {

float arg(const CallInput& in, int index) { return getf(in.args, index); }

// An HTML-like truth value: false, null, zero, "" and containers are false.
bool truthy(const JsonValue& v) {
  if (v.IsBool()) return v.GetBool();
  if (v.IsNumber()) return v.GetDouble() != 0;
  if (v.IsString()) return v.GetStringLength() > 0;
  return false;
}

// A polygon with more sides than this is drawn with this many: the count
// comes from clients and each side costs memory in the frame.
constexpr int maxPolygonSides = 4096;

int sideCount(float n) {
  if (!(n > 0)) return 0;
  return n >= float(maxPolygonSides) ? maxPolygonSides : int(n);
}

void polygonPath(NVGcontext* vg, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1), r = arg(in, 2), angle = arg(in, 4);
  int n = sideCount(arg(in, 3));
  nvgMoveTo(vg, x + r * cosf(angle), y + r * sinf(angle));
  for (int i = 1; i <= n; ++i) {
    double theta = double(angle) + 2.0 * i * (M_PI / n);
    nvgLineTo(vg, float(x + r * std::cos(theta)), float(y + r * std::sin(theta)));
  }
}

void trianglePath(NVGcontext* vg, const CallInput& in) {
  float x1 = arg(in, 0), y1 = arg(in, 1), x2 = arg(in, 2), y2 = arg(in, 3), x3 = arg(in, 4), y3 = arg(in, 5);
  nvgMoveTo(vg, x1, y1);
  nvgLineTo(vg, x2, y2);
  nvgLineTo(vg, x3, y3);
}

// The size limits "fillRect" and "clearRect" share. False when the
// rectangle is too thin to draw.
bool limitedRect(const CallInput& in, float rect[4]) {
  rect[0] = arg(in, 0);
  rect[1] = arg(in, 1);
  rect[2] = arg(in, 2);
  if (rect[2] > 1024) {
    rect[3] = std::min(arg(in, 3), 600.0f);
    rect[2] = 1024;
    return true;
  }
  rect[3] = arg(in, 3);
  if (rect[2] <= 0.01f) return false;
  rect[3] = std::min(rect[3], 600.0f);
  return true;
}

}  // namespace

void beginPathCall(CanvasContext& canvas, const CallInput&) { nvgBeginPath(canvas.vg); }
void closePathCall(CanvasContext& canvas, const CallInput&) { nvgClosePath(canvas.vg); }

void moveToCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1);
  nvgMoveTo(canvas.vg, x, y);
}

void lineToCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1);
  nvgLineTo(canvas.vg, x, y);
}

void lineToArrayCall(CanvasContext& canvas, const CallInput& in) {
  const JsonValue* points = in.args.Empty() ? nullptr : &in.args[0];
  auto addPoint = [&](const JsonValue& point) {
    if (!point.IsArray()) {
      puts("lineToArray: invalid point");
      return;
    }
    float x = getf(point, 0), y = getf(point, 1);
    nvgLineTo(canvas.vg, x, y);
  };
  if (points && points->IsArray()) {
    for (const JsonValue& point : points->GetArray()) addPoint(point);
  } else if (points && points->IsObject()) {
    for (const auto& member : points->GetObject()) addPoint(member.value);
  } else {
    puts("lineToArray: invalid points");
  }
}

void quadraticCurveToCall(CanvasContext& canvas, const CallInput& in) {
  float cx = arg(in, 0), cy = arg(in, 1), x = arg(in, 2), y = arg(in, 3);
  nvgQuadTo(canvas.vg, cx, cy, x, y);
}

void arcCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1), r = arg(in, 2), start = arg(in, 3), end = arg(in, 4);
  int dir = truthy(argument(in.args, 5)) ? NVG_CCW : NVG_CW;
  nvgArc(canvas.vg, x, y, r, start, end, dir);
}

void rectCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1);
  float w = std::min(arg(in, 2), 1024.0f), h = std::min(arg(in, 3), 600.0f);
  canvas.clipRect[0] = x;
  canvas.clipRect[1] = y;
  canvas.clipRect[2] = w;
  canvas.clipRect[3] = h;
  nvgRect(canvas.vg, x, y, w, h);
}

void roundRectCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1), w = arg(in, 2), h = arg(in, 3), r = arg(in, 4);
  nvgRoundedRect(canvas.vg, x, y, w, h, r);
}

void circleCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1), r = arg(in, 2);
  nvgCircle(canvas.vg, x, y, r);
}

void triangleCall(CanvasContext& canvas, const CallInput& in) { trianglePath(canvas.vg, in); }
void polygonCall(CanvasContext& canvas, const CallInput& in) { polygonPath(canvas.vg, in); }

// Filled paths have hard edges; the fill shapes below keep anti-aliasing.
void fillCall(CanvasContext& canvas, const CallInput&) {
  nvgSave(canvas.vg);
  nvgShapeAntiAlias(canvas.vg, 0);
  nvgFill(canvas.vg);
  nvgRestore(canvas.vg);
}

void strokeCall(CanvasContext& canvas, const CallInput&) { nvgStroke(canvas.vg); }

void fillRectCall(CanvasContext& canvas, const CallInput& in) {
  float r[4];
  if (!limitedRect(in, r)) return;
  nvgBeginPath(canvas.vg);
  nvgRect(canvas.vg, r[0], r[1], r[2], r[3]);
  nvgFill(canvas.vg);
}

void strokeRectCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1);
  float w = std::min(arg(in, 2), 1024.0f), h = std::min(arg(in, 3), 1024.0f);
  nvgBeginPath(canvas.vg);
  nvgRect(canvas.vg, x, y, w, h);
  nvgStroke(canvas.vg);
}

void clearRectCall(CanvasContext& canvas, const CallInput& in) {
  NVGcontext* vg = canvas.vg;
  nvgFillColor(vg, nvgRGBA(0, 0, 0, 0));
  nvgGlobalCompositeOperation(vg, NVG_COPY);
  float r[4];
  if (limitedRect(in, r)) {
    nvgBeginPath(vg);
    nvgRect(vg, r[0], r[1], r[2], r[3]);
    nvgFill(vg);
  }
  nvgGlobalCompositeOperation(vg, NVG_SOURCE_OVER);
  // A clear from the origin empties the foreground layer, whatever its size.
  if (in.addressesFctx && r[0] == 0 && r[1] == 0) canvas.fctxActive = false;
}

void fillRoundRectCall(CanvasContext& canvas, const CallInput& in) {
  float r = arg(in, 4);
  float x = arg(in, 0), y = arg(in, 1), w = arg(in, 2), h = arg(in, 3);
  nvgBeginPath(canvas.vg);
  if (r == 0)
    nvgRect(canvas.vg, x, y, w, h);
  else
    nvgRoundedRect(canvas.vg, x, y, w, h, r);
  nvgFill(canvas.vg);
}

void fillCircleCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1), r = arg(in, 2);
  nvgBeginPath(canvas.vg);
  nvgCircle(canvas.vg, x, y, r);
  nvgFill(canvas.vg);
}

void fillTriangleCall(CanvasContext& canvas, const CallInput& in) {
  nvgBeginPath(canvas.vg);
  trianglePath(canvas.vg, in);
  nvgFill(canvas.vg);
}

void fillPolygonCall(CanvasContext& canvas, const CallInput& in) {
  nvgBeginPath(canvas.vg);
  polygonPath(canvas.vg, in);
  nvgFill(canvas.vg);
}

void fillPieCall(CanvasContext& canvas, const CallInput& in) {
  nvgBeginPath(canvas.vg);
  float x = arg(in, 0), y = arg(in, 1), r = arg(in, 2), start = arg(in, 3), end = arg(in, 4);
  nvgMoveTo(canvas.vg, x, y);
  nvgArc(canvas.vg, x, y, r, start, end, NVG_CW);
  nvgClosePath(canvas.vg);
  nvgFill(canvas.vg);
}

void saveCall(CanvasContext& canvas, const CallInput&) { nvgSave(canvas.vg); }
void restoreCall(CanvasContext& canvas, const CallInput&) { nvgRestore(canvas.vg); }

void translateCall(CanvasContext& canvas, const CallInput& in) {
  float x = arg(in, 0), y = arg(in, 1);
  nvgTranslate(canvas.vg, x, y);
}

void clipCall(CanvasContext& canvas, const CallInput&) {
  const float* c = canvas.clipRect;
  nvgScissor(canvas.vg, c[0], c[1], c[2], c[3]);
}

void lineWidthCall(CanvasContext& canvas, const CallInput& in) { nvgStrokeWidth(canvas.vg, arg(in, 0)); }
void globalAlphaCall(CanvasContext& canvas, const CallInput& in) { nvgGlobalAlpha(canvas.vg, arg(in, 0)); }

void setLineDashCall(CanvasContext&, const CallInput&) { puts("setLineDash: not implemented"); }

void ignoredCall(CanvasContext&, const CallInput&) {}
