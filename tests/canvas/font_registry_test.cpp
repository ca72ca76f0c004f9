// The font registry on a NanoVG context whose renderer draws nothing: font
// creation needs no GL.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstring>

#include "text.h"

#if defined(__SANITIZE_ADDRESS__)
// The address checker replaces malloc; it counts the bytes itself.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
size_t heapInUse() { return __sanitizer_get_current_allocated_bytes(); }
#else
size_t heapInUse() { return mallinfo2().uordblks; }
#endif

namespace {

NVGcontext* createHeadless() {
  NVGparams params;
  std::memset(&params, 0, sizeof params);
  params.renderCreate = [](void*) { return 1; };
  params.renderCreateTexture = [](void*, int, int, int, int, const unsigned char*) { return 1; };
  params.renderDeleteTexture = [](void*, int) { return 1; };
  params.renderUpdateTexture = [](void*, int, int, int, int, int, const unsigned char*) { return 1; };
  params.renderGetTextureSize = [](void*, int, int* w, int* h) {
    *w = *h = 512;
    return 1;
  };
  params.renderViewport = [](void*, float, float, float) {};
  params.renderCancel = [](void*) {};
  params.renderFlush = [](void*) {};
  params.renderFill = [](void*, NVGpaint*, NVGcompositeOperationState, NVGscissor*, float, const float*,
                         const NVGpath*, int) {};
  params.renderStroke = [](void*, NVGpaint*, NVGcompositeOperationState, NVGscissor*, float, float,
                           const NVGpath*, int) {};
  params.renderTriangles = [](void*, NVGpaint*, NVGcompositeOperationState, NVGscissor*, const NVGvertex*, int,
                              float) {};
  params.renderDelete = [](void*) {};
  params.edgeAntiAlias = 1;
  return nvgCreateInternal(&params);
}

TEST(FontRegistry, NamesAreCreatedInTheirFixedOrder) {
  NVGcontext* vg = createHeadless();
  registerEmbeddedFonts(vg);
  const char* names[] = {
      "Calibri 300",     "Trebuchet 500",   "MaterialIcons",  "SvgIcons 400",   "ProximaNova 300",
      "ProximaNova 400", "ProximaNova 500", "ProximaNova 600", "FontAwesome 400", "FontAwesome 900",
      "Fallback 400",    "NotoSans 300",    "NotoSans 400",   "NotoSans 500",   "NotoSans 600",
      "NotoSansKr 300",  "NotoSansKr 400",  "NotoSansKr 500", "NotoSansKr 600",
  };
  for (int i = 0; i < int(std::size(names)); ++i) EXPECT_EQ(i, nvgFindFont(vg, names[i])) << names[i];
  EXPECT_EQ(-1, nvgFindFont(vg, "ProximaNova"));
  EXPECT_EQ(-1, nvgFindFont(vg, "NotoSansKr 700"));
  nvgDeleteInternal(vg);
}

TEST(FontRegistry, FontsAreReadInPlaceNotCopiedToTheHeap) {
  NVGcontext* vg = createHeadless();
  size_t before = heapInUse();
  registerEmbeddedFonts(vg);
  size_t grown = heapInUse() - before;
  // 19 names over ~100 MB of files; a copy of even one CJK face is 16 MB.
  EXPECT_LT(grown, size_t(4) << 20) << grown << " bytes";
  nvgDeleteInternal(vg);
}

}  // namespace
