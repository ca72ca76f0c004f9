// Colours, gradients, line styles and compositing. All of it is NanoVG
// state: saved, restored and reset at each frame start.
#include <cstdio>
#include <span>

#include "calls.h"
#include "keyword.h"
#include "color.h"

namespace {

constexpr Keyword lineCaps[] = {
    {nameHash64("butt"), NVG_BUTT}, {nameHash64("round"), NVG_ROUND}, {nameHash64("square"), NVG_SQUARE}};
constexpr Keyword lineJoins[] = {
    {nameHash64("round"), NVG_ROUND}, {nameHash64("bevel"), NVG_BEVEL}, {nameHash64("miter"), NVG_MITER}};
// Each of these words selects copy, not the operation it names.
constexpr uint64_t compositeWords[] = {
    nameHash64("source-over"), nameHash64("source-in"),        nameHash64("source-out"),
    nameHash64("source-atop"), nameHash64("destination-over"), nameHash64("destination-in"),
    nameHash64("destination-out"), nameHash64("destination-atop"), nameHash64("lighter"),
    nameHash64("copy"),        nameHash64("xor")};

bool isCompositeWord(std::string_view word) {
  uint64_t hash = nameHash64(word);
  for (uint64_t h : compositeWords)
    if (h == hash) return true;
  return false;
}

bool firstArgumentMissing(const CallInput& in) { return in.args.Empty() || in.args[0].IsNull(); }

const JsonValue emptyArray(rapidjson::kArrayType);

const JsonValue& arrayMember(const JsonValue& object, const char* name) {
  auto member = object.FindMember(name);
  return member != object.MemberEnd() && member->value.IsArray() ? member->value : emptyArray;
}

void setLinearGradient(NVGcontext* vg, const CallInput& in) {
  const JsonValue& style = in.args[0];
  if (!style.IsObject() || !style.HasMember("type") || val2sv(style, "type") != "lingrad") {
    std::printf("Invalid fill style: %s\n", toJsonText(&in.command).c_str());
    return;
  }
  const JsonValue& stops = arrayMember(style, "stops");
  const JsonValue& rect = arrayMember(style, "rect");
  if (stops.Empty() || rect.Size() != 4) {
    std::printf("No stops found in gradient: %s\n", toJsonText(&in.command).c_str());
    return;
  }
  const JsonValue& first = stops[0].IsArray() ? stops[0] : emptyArray;
  const JsonValue& last = stops[stops.Size() - 1].IsArray() ? stops[stops.Size() - 1] : emptyArray;
  NVGcolor start = colorFromText(getstr(first, 1));
  NVGcolor end = colorFromText(getstr(last, 1));
  float x0 = getf(rect, 0), y0 = getf(rect, 1), x1 = getf(rect, 2), y1 = getf(rect, 3);
  nvgFillPaint(vg, nvgLinearGradient(vg, x0, y0, x1, y1, start, end));
}

}  // namespace

void fillStyleCall(CanvasContext& canvas, const CallInput& in) {
  if (firstArgumentMissing(in)) {
    std::puts("fillStyle: NULL");
    return;
  }
  if (in.args[0].IsString())
    nvgFillColor(canvas.vg, colorFromText(getstr(in.args, 0)));
  else
    setLinearGradient(canvas.vg, in);
}

void strokeStyleCall(CanvasContext& canvas, const CallInput& in) {
  if (firstArgumentMissing(in)) {
    std::puts("strokeStyle: NULL");
    return;
  }
  if (in.args[0].IsString())
    nvgStrokeColor(canvas.vg, colorFromText(getstr(in.args, 0)));
  else
    std::printf("Invalid stroke style: %s\n", toJsonText(&in.command).c_str());
}

void globalCompositeOperationCall(CanvasContext& canvas, const CallInput& in) {
  std::string_view word = gets(in.args, 0);
  if (isCompositeWord(word))
    nvgGlobalCompositeOperation(canvas.vg, NVG_COPY);
  else
    std::printf("Invalid globalCompositeOperation: %.*s\n", int(word.size()), word.data());
}

void lineCapCall(CanvasContext& canvas, const CallInput& in) {
  std::string_view word = gets(in.args, 0);
  if (const Keyword* k = findKeyword(lineCaps, word))
    nvgLineCap(canvas.vg, k->value);
  else
    std::printf("Invalid lineCap: %.*s\n", int(word.size()), word.data());
}

void lineJoinCall(CanvasContext& canvas, const CallInput& in) {
  std::string_view word = gets(in.args, 0);
  if (const Keyword* k = findKeyword(lineJoins, word))
    nvgLineJoin(canvas.vg, k->value);
  else
    std::printf("Invalid lineJoin: %.*s\n", int(word.size()), word.data());
}
