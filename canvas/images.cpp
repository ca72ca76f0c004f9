#include "images.h"

#include <cstdio>

#include "calls.h"

namespace {

// An absent width or height argument.
constexpr float absentSize = -1000000;

// The registered picture with its size asked once, or nullptr after
// reporting the key.
ImageInfo* findPicture(NVGcontext* vg, ImageRegistry& images, std::string_view key) {
  auto entry = images.find(nameHash64(key));
  if (entry == images.end()) {
    std::printf("Image not found: %.*s\n", int(key.size()), key.data());
    return nullptr;
  }
  ImageInfo& info = entry->second;
  if (info.width < 0) {
    int w = 0, h = 0;
    nvgImageSize(vg, info.handle, &w, &h);
    info.width = w;
    info.height = h;
  }
  return &info;
}

}  // namespace

void drawImageScaled(NVGcontext* vg, ImageRegistry& images, std::string_view key, float x, float y,
                     float w, float h) {
  ImageInfo* info = findPicture(vg, images, key);
  if (!info) return;
  if (w <= naturalSize) w = float(info->width);
  if (h <= naturalSize) h = float(info->height);
  NVGpaint paint = nvgImagePattern(vg, x, y, w, h, 0, info->handle, 1.0f);
  nvgSave(vg);
  nvgShapeAntiAlias(vg, 0);
  nvgFillPaint(vg, paint);
  if (w > 0.01f) {
    nvgBeginPath(vg);
    nvgRect(vg, x, y, w, h);
    nvgFill(vg);
  }
  nvgRestore(vg);
}

void drawImageCropped(NVGcontext* vg, ImageRegistry& images, std::string_view key, float sx, float sy,
                      float dx, float dy, float dw, float dh) {
  ImageInfo* info = findPicture(vg, images, key);
  if (!info) return;
  NVGpaint paint = nvgImagePattern(vg, dx - sx, dy - sy, float(info->width), float(info->height), 0,
                                   info->handle, 1.0f);
  nvgSave(vg);
  nvgShapeAntiAlias(vg, 0);
  nvgScissor(vg, dx, dy, dw, dh);
  nvgFillPaint(vg, paint);
  if (dw > 0.01f) {
    nvgBeginPath(vg);
    nvgRect(vg, dx, dy, dw, dh);
    nvgFill(vg);
  }
  nvgRestore(vg);
}

void drawImageCall(CanvasContext& canvas, const CallInput& in) {
  const JsonValue& args = in.args;
  std::string_view key;
  if (!args.Empty() && args[0].IsObject()) key = val2sv(args[0], "$key");
  if (args.Size() == 9) {
    // a3 and a4, the source size, must be numbers but do not scale anything.
    float sx = getf(args, 1), sy = getf(args, 2);
    getf(args, 3);
    getf(args, 4);
    float dx = getf(args, 5), dy = getf(args, 6), dw = getf(args, 7), dh = getf(args, 8);
    drawImageCropped(canvas.vg, canvas.images, key, sx, sy, dx, dy, dw, dh);
    return;
  }
  float x = getf(args, 1), y = getf(args, 2);
  float w = args.Size() >= 4 ? getf(args, 3) : absentSize;
  float h = args.Size() >= 5 ? getf(args, 4) : absentSize;
  drawImageScaled(canvas.vg, canvas.images, key, x, y, w, h);
}

// Vector pictures are drawn as icon-font glyphs instead; these only log.
void drawSVGCall(CanvasContext&, const CallInput& in) {
  std::string_view url = val2sv(argument(in.args, 0), "url");
  std::printf("drawSVG: %.*s\n", int(url.size()), url.data());
}

void drawSVGCCall(CanvasContext&, const CallInput& in) {
  std::string_view url = val2sv(argument(in.args, 0), "url");
  std::printf("drawSVGC: %.*s\n", int(url.size()), url.data());
}
