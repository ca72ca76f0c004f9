#include "command_batch.h"

#include <cstdio>
#include <new>
#include <stdexcept>

#include "dispatcher.h"

MessageDocument::MessageDocument() : pool(524288), parser(&pool, 1024) {}

// Counts brackets outside strings; cheaper than letting a hostile message
// run the parser or the dispatcher out of stack.
static bool nestedTooDeeply(const std::string& text) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > maxNestingDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

const JsonValue& MessageDocument::parse(const std::string& text) {
  if (nestedTooDeeply(text)) throw std::runtime_error("JSON nested too deeply");
  parser.Parse(text.c_str());
  if (parser.HasParseError()) throw std::runtime_error("JSON parse error");
  // Pool values need no destructor: the pool releases them all at once.
  JsonValue* root = new (pool.Malloc(sizeof(JsonValue))) JsonValue();
  root->Swap(parser);
  return *root;
}

bool classifyCommand(const JsonValue& command) {
  val2sv(command, "obj");
  return val2sv(command, "call") == "drawFrame";
}

static void appendMessage(const std::string& message, MessageDocument& document, CommandBatch& batch) {
  const JsonValue& value = document.parse(message);
  if (value.IsArray()) {
    // The whole message is printed once, not once per odd element: a long
    // array of numbers would otherwise print its size squared.
    bool reported = false;
    for (const JsonValue& element : value.GetArray()) {
      if (element.IsObject()) {
        batch.push_back({&element, classifyCommand(element)});
      } else {
        if (!reported) printf("unknown command: %s", message.c_str());
        reported = true;
        batch.push_back({&element, false});
      }
    }
  } else if (value.IsObject()) {
    batch.push_back({&value, classifyCommand(value)});
  } else {
    throw std::runtime_error("JSON is not an object");
  }
}

CommandBatch buildBatch(const std::vector<std::string>& messages, MessageDocument& document) {
  CommandBatch batch;
  for (const std::string& message : messages) {
    try {
      appendMessage(message, document, batch);
    } catch (const std::exception& e) {
      printf("Exception: %s\n", e.what());
      printf("   command: %s\n", message.c_str());
    }
  }
  return batch;
}

bool executeEntry(CanvasContext& canvas, const CommandEntry& entry) {
  try {
    static const JsonValue nothing;
    executeCommand(canvas, entry.value ? *entry.value : nothing);
    return true;
  } catch (const std::exception& e) {
    printf("Exception: %s\n", e.what());
    printf("   command: %s\n", toJsonText(entry.value).c_str());
    return false;
  }
}

void trimDocument(std::shared_ptr<MessageDocument>& document, bool tookMessages) {
  size_t used = document->bytesInUse();
  if (used > 262144 || (!tookMessages && used > 131072)) document = std::make_shared<MessageDocument>();
}
