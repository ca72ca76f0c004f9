// Messages of one pass turned into one ordered list of commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "arguments.h"
#include "canvas_context.h"

// The pooled document messages are parsed into. Each message gets its own
// root value, kept in the pool like every other value, so parsing the next
// message never changes an earlier entry's value; all of them stay valid as
// long as the document does.
class MessageDocument {
 public:
  MessageDocument();
  // Throws std::runtime_error("JSON parse error") for anything but exactly
  // one JSON value.
  const JsonValue& parse(const std::string& text);
  size_t bytesInUse() const { return pool.Size(); }

 private:
  rapidjson::MemoryPoolAllocator<> pool;
  rapidjson::Document parser;
};

// Deeper nesting than this is refused before parsing: both the parser and
// the dispatcher recurse once per level.
constexpr int maxNestingDepth = 512;

struct CommandEntry {
  const JsonValue* value = nullptr;
  bool frameBoundary = false;
};
using CommandBatch = std::vector<CommandEntry>;

// Whether the command ends a frame; throws for a bad "obj" or "call" kind.
bool classifyCommand(const JsonValue& command);

// Failures are printed and cost only the failing message.
CommandBatch buildBatch(const std::vector<std::string>& messages, MessageDocument& document);

// Runs one entry; prints a failure and returns false.
bool executeEntry(CanvasContext& canvas, const CommandEntry& entry);

// Replaces the document when its pool has grown past the limits. Whoever
// still refers to the old values keeps the old document alive.
void trimDocument(std::shared_ptr<MessageDocument>& document, bool tookMessages);
