// The font registry: the embedded files under their registry names. Kept
// apart from the text calls so that programs which never register fonts do
// not link the 100 MB of font data.
#include <span>

#include "calls.h"
#include "embedded_assets.h"
#include "text.h"

namespace {

struct FontRow {
  const char* name;
  const char* file;
};

struct FallbackRow {
  const char* font;
  const char* fallback;
};

// Creation order and links, which together decide which face draws a glyph.
constexpr FontRow latinAndIconFonts[] = {
    {"Calibri 300", "Proxima Nova Regular.otf"},    {"Trebuchet 500", "Proxima Nova Regular.otf"},
    {"MaterialIcons", "MaterialIcons.ttf"},         {"SvgIcons 400", "icons.ttf"},
    {"ProximaNova 300", "Proxima Nova Light.otf"},  {"ProximaNova 400", "Proxima Nova Regular.otf"},
    {"ProximaNova 500", "Proxima Nova Semibold.otf"}, {"ProximaNova 600", "Proxima Nova Semibold.otf"},
    {"FontAwesome 400", "fa-regular-400.ttf"},      {"FontAwesome 900", "fa-solid-900.ttf"},
    {"Fallback 400", "fallback.ttf"},
};
constexpr FallbackRow symbolFallbacks[] = {
    {"ProximaNova 400", "Fallback 400"},
    {"ProximaNova 500", "Fallback 400"},
    {"ProximaNova 600", "Fallback 400"},
};
constexpr FontRow cjkFonts[] = {
    {"NotoSans 300", "NotoSans-Light.otf"},       {"NotoSans 400", "NotoSans-Regular.otf"},
    {"NotoSans 500", "NotoSans-Medium.otf"},      {"NotoSans 600", "NotoSans-Medium.otf"},
    {"NotoSansKr 300", "NotoSansKR-Light.otf"},   {"NotoSansKr 400", "NotoSansKR-Regular.otf"},
    {"NotoSansKr 500", "NotoSansKR-Medium.otf"},  {"NotoSansKr 600", "NotoSansKR-Medium.otf"},
};
constexpr FallbackRow cjkFallbacks[] = {
    {"ProximaNova 300", "NotoSans 300"},   {"ProximaNova 400", "NotoSans 400"},
    {"ProximaNova 500", "NotoSans 500"},   {"ProximaNova 600", "NotoSans 600"},
    {"ProximaNova 300", "NotoSansKr 300"}, {"ProximaNova 400", "NotoSansKr 400"},
    {"ProximaNova 500", "NotoSansKr 500"}, {"ProximaNova 600", "NotoSansKr 600"},
};

void createFonts(NVGcontext* vg, std::span<const FontRow> rows) {
  for (const FontRow& row : rows) {
    const EmbeddedFile* file = findEmbeddedFile(embeddedFonts(), row.file);
    if (!file) continue;
    // Free flag 0: the bytes stay in read-only data, NanoVG only reads them.
    nvgCreateFontMem(vg, row.name, const_cast<unsigned char*>(file->data), int(file->size), 0);
  }
}

void linkFallbacks(NVGcontext* vg, std::span<const FallbackRow> rows) {
  for (const FallbackRow& row : rows) nvgAddFallbackFont(vg, row.font, row.fallback);
}

}  // namespace

void registerEmbeddedFonts(NVGcontext* vg) {
  createFonts(vg, latinAndIconFonts);
  linkFallbacks(vg, symbolFallbacks);
  createFonts(vg, cjkFonts);
  linkFallbacks(vg, cjkFallbacks);
}

void loadFonts(CanvasContext& canvas) { registerEmbeddedFonts(canvas.vg); }
