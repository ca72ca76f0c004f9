#include "dispatcher.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "calls.h"
#include "layers.h"

namespace {

struct CallRow {
  uint64_t hash;
  CallHandler handler;
};

// Sorted by hash at compile time, so a lookup is a binary search over
// constants and never compares strings.
constexpr auto callTable = [] {
  std::array rows{
      CallRow{nameHash64("beginPath"), beginPathCall},
      CallRow{nameHash64("closePath"), closePathCall},
      CallRow{nameHash64("moveTo"), moveToCall},
      CallRow{nameHash64("lineTo"), lineToCall},
      CallRow{nameHash64("lineToArray"), lineToArrayCall},
      CallRow{nameHash64("quadraticCurveTo"), quadraticCurveToCall},
      CallRow{nameHash64("arc"), arcCall},
      CallRow{nameHash64("rect"), rectCall},
      CallRow{nameHash64("roundRect"), roundRectCall},
      CallRow{nameHash64("circle"), circleCall},
      CallRow{nameHash64("triangle"), triangleCall},
      CallRow{nameHash64("polygon"), polygonCall},
      CallRow{nameHash64("fill"), fillCall},
      CallRow{nameHash64("stroke"), strokeCall},
      CallRow{nameHash64("fillRect"), fillRectCall},
      CallRow{nameHash64("strokeRect"), strokeRectCall},
      CallRow{nameHash64("clearRect"), clearRectCall},
      CallRow{nameHash64("fillRoundRect"), fillRoundRectCall},
      CallRow{nameHash64("fillCircle"), fillCircleCall},
      CallRow{nameHash64("fillTriangle"), fillTriangleCall},
      CallRow{nameHash64("fillPolygon"), fillPolygonCall},
      CallRow{nameHash64("fillPie"), fillPieCall},
      CallRow{nameHash64("save"), saveCall},
      CallRow{nameHash64("restore"), restoreCall},
      CallRow{nameHash64("translate"), translateCall},
      CallRow{nameHash64("clip"), clipCall},
      CallRow{nameHash64("lineWidth"), lineWidthCall},
      CallRow{nameHash64("globalAlpha"), globalAlphaCall},
      CallRow{nameHash64("lineCap"), lineCapCall},
      CallRow{nameHash64("lineJoin"), lineJoinCall},
      CallRow{nameHash64("fillStyle"), fillStyleCall},
      CallRow{nameHash64("strokeStyle"), strokeStyleCall},
      CallRow{nameHash64("globalCompositeOperation"), globalCompositeOperationCall},
      CallRow{nameHash64("font"), fontCall},
      CallRow{nameHash64("textAlign"), textAlignCall},
      CallRow{nameHash64("textBaseline"), textBaselineCall},
      CallRow{nameHash64("fillText"), fillTextCall},
      CallRow{nameHash64("drawImage"), drawImageCall},
      CallRow{nameHash64("drawSVG"), drawSVGCall},
      CallRow{nameHash64("drawSVGC"), drawSVGCCall},
      CallRow{nameHash64("setLineDash"), setLineDashCall},
      CallRow{nameHash64("createLinearGradient"), ignoredCall},
      CallRow{nameHash64("createRadialGradient"), ignoredCall},
      CallRow{nameHash64("shadowColor"), ignoredCall},
      CallRow{nameHash64("resetShadow"), ignoredCall},
  };
  std::sort(rows.begin(), rows.end(), [](const CallRow& a, const CallRow& b) { return a.hash < b.hash; });
  return rows;
}();

static_assert(callTable.size() == 45);
static_assert(std::adjacent_find(callTable.begin(), callTable.end(),
                                 [](const CallRow& a, const CallRow& b) { return a.hash == b.hash; }) ==
                  callTable.end(),
              "two call names share a hash");

CallHandler findCall(uint64_t hash) {
  auto row = std::lower_bound(callTable.begin(), callTable.end(), hash,
                              [](const CallRow& r, uint64_t h) { return r.hash < h; });
  return row != callTable.end() && row->hash == hash ? row->handler : nullptr;
}

const JsonValue noMembers(rapidjson::kObjectType);
const JsonValue noArguments(rapidjson::kArrayType);

}  // namespace

bool isKnownCall(std::string_view name) { return findCall(nameHash64(name)) != nullptr; }

void reportUnknownCall(const CallInput& in) { puts(toJsonText(&in.command).c_str()); }

void executeCommand(CanvasContext& canvas, const JsonValue& value) {
  if (value.IsArray()) {
    for (const JsonValue& element : value.GetArray()) executeCommand(canvas, element);
    return;
  }
  const JsonValue& command = value.IsObject() ? value : noMembers;
  std::string_view call = val2sv(command, "call");
  auto argsMember = command.FindMember("args");
  bool hasArgs = argsMember != command.MemberEnd() && argsMember->value.IsArray();
  if (canvas.commandEcho) puts(toJsonText(&value).c_str());
  CallHandler handler = findCall(nameHash64(call));
  // Every command picks its surface, recognised or not.
  CallInput in{value, hasArgs ? argsMember->value : noArguments, val2sv(command, "obj") == "fctx"};
  selectTarget(canvas, in.addressesFctx);
  if (handler)
    handler(canvas, in);
  else
    reportUnknownCall(in);
}
