// How a drawing call reads its arguments, and the hash that names calls and
// keywords. Values are read in place from the parsed document.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <rapidjson/document.h>

using JsonValue = rapidjson::Value;

// h = h*31 + byte over the bytes taken as signed chars, modulo 2^64.
constexpr uint64_t nameHash64(std::string_view text) {
  uint64_t h = 0;
  for (char c : text) h = h * 31 + uint64_t(int64_t(static_cast<signed char>(c)));
  return h;
}

// The element at index, or "index out of bounds".
const JsonValue& argument(const JsonValue& args, int index);

// All of these throw std::runtime_error with the fixed texts clients' errors
// are reported with.
float getf(const JsonValue& args, int index);
std::string_view gets(const JsonValue& args, int index);
std::string getstr(const JsonValue& args, int index);
std::string_view val2sv(const JsonValue& object, const char* name);

// Compact JSON text of a value, as the error reports and the echo print it.
std::string toJsonText(const JsonValue* value);
