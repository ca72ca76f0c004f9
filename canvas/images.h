// The embedded pictures, found by the hash of their key ("QR", "FX", ...).
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include <nanovg.h>

struct ImageInfo {
  int handle = 0;  // 0 when the picture did not decode
  int width = -1;  // -1 until first drawn, then as NanoVG reports it
  int height = -1;
};

// nameHash64(key) -> picture; the key text itself is not kept.
using ImageRegistry = std::unordered_map<uint64_t, ImageInfo>;

// Decodes the twenty embedded pictures into textures: linear filtering,
// clamped edges, straight alpha.
void registerEmbeddedImages(NVGcontext* vg, ImageRegistry& images);

// A width or height at or below this stands for the picture's own.
constexpr float naturalSize = -100000;

// The picture stretched over (x, y, w, h).
void drawImageScaled(NVGcontext* vg, ImageRegistry& images, std::string_view key, float x, float y,
                     float w, float h);
// The dw x dh window of the picture at (sx, sy), unscaled, at (dx, dy).
void drawImageCropped(NVGcontext* vg, ImageRegistry& images, std::string_view key, float sx, float sy,
                      float dx, float dy, float dw, float dh);
