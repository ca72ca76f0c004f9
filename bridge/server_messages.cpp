#include "server_messages.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "bridge_state.h"
#include "json_depth.h"
#include "routing.h"
#include "thread_priority.h"

using nlohmann::json;

// Keys keep the order they were written in: {"btStatus":1, "bt":0} goes out
// as {"btStatus":1,"bt":0}.
std::string messageFrame(std::string_view text) {
  using ordered = nlohmann::ordered_json;
  if (verbosity > 1) printf("<< WS %.*s\n", int(text.size()), text.data());
  ordered payload;
  try {
    payload = parseBounded<ordered>(text);
  } catch (const ordered::exception&) {
    printf("Cannot parse: %.*s\n", int(text.size()), text.data());
    payload = std::string(text);
  }
  return "42" + ordered::array({"message", std::move(payload)}).dump();
}

static void reportInvalid(std::string_view text) {
  // The frame is printed as a C string would be: up to its first NUL.
  std::string_view shown = text.substr(0, text.find('\0'));
  printf("Invalid message: %.*s\n", int(shown.size()), shown.data());
}

void handleServerText(std::string_view text) {
  if (text.size() < 3 || text.substr(0, 3) != "42[") return;
  raiseThreadPriority();
  std::string_view body = text.substr(2);
  body = body.substr(0, body.find('\0'));
  json event;
  try {
    event = parseBounded<json>(body);
  } catch (const json::exception&) {
    reportInvalid(text);
    return;
  }
  if (!event.is_array() || event.empty() || event[0] != "message") return;
  try {
    routeMessage(event.size() > 1 ? event[1] : json(), true);
  } catch (const std::exception&) {
    reportInvalid(text);
  }
}
