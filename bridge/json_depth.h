// Strict JSON parsing of the texts that come from outside, with a bound on
// nesting: copying or printing a value recurses once per level, so a text
// nested some 100 000 levels deep would overflow the stack.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

inline constexpr int maxJsonDepth = 512;

// Throws the library's parse error, also for a value nested deeper than maxJsonDepth.
template <class Json>
Json parseBounded(std::string_view text) {
  return Json::parse(text, [](int depth, typename Json::parse_event_t, Json&) {
    if (depth > maxJsonDepth) throw Json::parse_error::create(101, 0, "nested too deeply", nullptr);
    return true;
  });
}
