#include "text.h"

#include <cstdio>
#include <span>
#include <stdexcept>

#include "calls.h"
#include "keyword.h"
#include "font_text.h"

namespace {

constexpr Keyword horizontalWords[] = {
    {nameHash64("left"), NVG_ALIGN_LEFT}, {nameHash64("center"), NVG_ALIGN_CENTER},
    {nameHash64("right"), NVG_ALIGN_RIGHT}};
constexpr Keyword verticalWords[] = {
    {nameHash64("top"), NVG_ALIGN_TOP}, {nameHash64("middle"), NVG_ALIGN_MIDDLE},
    {nameHash64("bottom"), NVG_ALIGN_BOTTOM}, {nameHash64("alphabetic"), NVG_ALIGN_BASELINE}};

}  // namespace

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

// NanoVG sizes its vertex buffer from the text length in int arithmetic; far
// beyond any label, that size wraps on the 32-bit board.
constexpr size_t maxTextBytes = 1 << 20;

void fillTextCall(CanvasContext& canvas, const CallInput& in) {
  std::string text = getstr(in.args, 0);
  if (text.empty()) return;
  float x = getf(in.args, 1), y = getf(in.args, 2);
  if (text.size() > maxTextBytes) throw std::length_error("fillText: text longer than 1048576 bytes");
  nvgText(canvas.vg, x, y, text.c_str(), nullptr);
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
