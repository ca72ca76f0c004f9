#include "text.h"

#include <cstdio>
#include <span>

#include "calls.h"
#include "keyword.h"
#include "embedded_assets.h"
#include "font_text.h"

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

constexpr Keyword horizontalWords[] = {
    {nameHash64("left"), NVG_ALIGN_LEFT}, {nameHash64("center"), NVG_ALIGN_CENTER},
    {nameHash64("right"), NVG_ALIGN_RIGHT}};
constexpr Keyword verticalWords[] = {
    {nameHash64("top"), NVG_ALIGN_TOP}, {nameHash64("middle"), NVG_ALIGN_MIDDLE},
    {nameHash64("bottom"), NVG_ALIGN_BOTTOM}, {nameHash64("alphabetic"), NVG_ALIGN_BASELINE}};

}  // namespace

void registerEmbeddedFonts(NVGcontext* vg) {
  createFonts(vg, latinAndIconFonts);
  linkFallbacks(vg, symbolFallbacks);
  createFonts(vg, cjkFonts);
  linkFallbacks(vg, cjkFallbacks);
}

void applyFontString(NVGcontext* vg, const std::string& text) {
  std::optional<FontChoice> choice = parseFontText(text);
  if (!choice) {
    std::printf("Invalid font: %s\n", text.c_str());
    return;
  }
  nvgFontSize(vg, choice->size);
  nvgFontFace(vg, choice->name.c_str());
  if (nvgFindFont(vg, choice->name.c_str()) == -1) std::printf("Font not found: %s\n", choice->name.c_str());
}

void fontCall(CanvasContext& canvas, const CallInput& in) { applyFontString(canvas.vg, getstr(in.args, 0)); }

void fillTextCall(CanvasContext& canvas, const CallInput& in) {
  std::string text = getstr(in.args, 0);
  if (text.empty()) return;
  float x = getf(in.args, 1), y = getf(in.args, 2);
  nvgText(canvas.vg, x, y, text.data(), text.data() + text.size());
}

// The two halves are remembered beside NanoVG, so the first alignment call of
// a frame brings back the other half from earlier frames too.
void textAlignCall(CanvasContext& canvas, const CallInput& in) {
  std::string_view word = gets(in.args, 0);
  const Keyword* k = findKeyword(horizontalWords, word);
  if (!k) {
    std::printf("Invalid textAlign: %.*s\n", int(word.size()), word.data());
    return;
  }
  canvas.textAlignH = k->value;
  nvgTextAlign(canvas.vg, canvas.textAlignH | canvas.textAlignV);
}

void textBaselineCall(CanvasContext& canvas, const CallInput& in) {
  std::string_view word = gets(in.args, 0);
  const Keyword* k = findKeyword(verticalWords, word);
  if (!k) {
    std::printf("Invalid textBaseline: %.*s\n", int(word.size()), word.data());
    return;
  }
  canvas.textAlignV = k->value;
  nvgTextAlign(canvas.vg, canvas.textAlignH | canvas.textAlignV);
}

void loadFonts(CanvasContext& canvas) { registerEmbeddedFonts(canvas.vg); }
