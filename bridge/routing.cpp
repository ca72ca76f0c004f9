#include "routing.h"

#include <cstdio>
#include <regex>
#include <vector>

#include "bridge_state.h"
#include "json_depth.h"
#include "surface.h"

using nlohmann::json;

std::string wildcardToRegex(std::string_view pattern) {
  auto replaceAll = [](std::string text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
    return text;
  };
  std::string expression = replaceAll(std::string(pattern), ".", "\\.");
  expression = replaceAll(expression, "*", "(.*)?");
  expression = replaceAll(expression, "#", "[0-9]+");
  return "^" + expression + "$";
}

// libstdc++'s default matcher recurses once per character, so a key of some
// 30 000 characters overflows the stack; its polynomial matcher loops instead.
constexpr auto patternSyntax = std::regex::ECMAScript | std::regex_constants::__polynomial;

static std::vector<std::regex> compilePatterns(std::initializer_list<std::string_view> patterns) {
  std::vector<std::regex> compiled;
  for (std::string_view p : patterns) compiled.emplace_back(wildcardToRegex(p), patternSyntax);
  return compiled;
}

bool isSurfaceKey(const std::string& key) {
  static const std::vector<std::regex> surfacePatterns = compilePatterns({
      "(i|p|a).#.(mix|solo|mute|blink)",
      "(s|m).(mix|solo|mute|blink)",
      "settings.brightness.*",
      "hw_rec",
      "hw_amix",
      "amix",
      "lock",
      "(K|P).#.(blink|color)",
  });
  for (const std::regex& pattern : surfacePatterns)
    if (std::regex_match(key, pattern)) return true;
  return false;
}

bool isPadKey(const std::string& key) {
  static const std::regex padPattern(wildcardToRegex("B.*.*.(colorhex|blink)"), patternSyntax);
  return std::regex_match(key, padPattern);
}

void handleSetting(const std::string& key, const std::string& valueText) {
  // "settings.brightness.screen" (the backlight), "settings.bt.enabled" and
  // "btStatus" (the Bluetooth module) get their actions with those links.
  (void)key;
  (void)valueText;
}

// Slots are numbered from 0 without gaps: the first missing one ends the list.
static void writePadList(const std::string& bank, const char* slotSetting, const char* padKey) {
  for (int slot = 0;; ++slot) {
    auto found = stateMap.find("B." + bank + "." + std::to_string(slot) + "." + slotSetting);
    if (found == stateMap.end()) return;
    std::string line = "{\"P." + std::to_string(slot) + "." + padKey + "\":" + found->second + "}\n";
    writeFader(line.data(), line.size());
  }
}

void refreshPadLeds() {
  std::lock_guard<std::mutex> hold(stateLock);
  auto bank = stateMap.find("bank");
  if (bank == stateMap.end()) return;
  std::string current = std::to_string(std::stoi(bank->second));
  writePadList(current, "colorhex", "color");
  writePadList(current, "blink", "blink");
}

void routeMessage(const json& message, bool echoToSurface) {
  try {
    json items;
    if (message.is_object() && message.contains("cmd")) {
      const json& cmd = message["cmd"];
      if (cmd.is_string()) {
        if (cmd != "INIT" || !message.contains("data")) return;
        items = message["data"];
        writeFader("\n\nINIT\n", 7);
      } else {
        items = message;
      }
    } else {
      items = message;
    }
    for (const auto& item : items.items()) {
      const json& value = item.value();
      if (!value.is_string() && !value.is_number()) continue;
      const std::string& key = item.key();
      std::string valueText = value.dump();
      {
        std::lock_guard<std::mutex> hold(stateLock);
        stateMap[key] = valueText;
      }
      handleSetting(key, valueText);
      if (echoToSurface) {
        if (key == "bank" || isPadKey(key)) refreshPadLeds();
        if (isSurfaceKey(key)) {
          std::string line = "{\"" + key + "\":" + valueText + "}\n";
          writeFader(line.data(), line.size());
        }
      }
    }
  } catch (const std::exception&) {
    printf("Invalid message format: %s\n", message.dump(-1, ' ', false, json::error_handler_t::replace).c_str());
  }
}

void routeText(std::string_view text, bool echoToSurface) {
  try {
    routeMessage(parseBounded<json>(text), echoToSurface);
  } catch (const std::exception&) {
    printf("Invalid message format: %.*s\n", int(text.size()), text.data());
  }
}
