#include "arguments.h"

#include <cstdio>
#include <stdexcept>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

const JsonValue& argument(const JsonValue& args, int index) {
  if (index < 0 || !args.IsArray() || rapidjson::SizeType(index) >= args.Size())
    throw std::runtime_error("index out of bounds");
  return args[rapidjson::SizeType(index)];
}

float getf(const JsonValue& args, int index) {
  const JsonValue& v = argument(args, index);
  if (v.IsNumber()) return float(v.GetDouble());
  if (v.IsNull()) return 0;
  if (v.IsBool()) return v.GetBool() ? 1 : 0;
  throw std::runtime_error("invalid type; number expected");
}

std::string_view gets(const JsonValue& args, int index) {
  const JsonValue& v = argument(args, index);
  if (v.IsString()) return {v.GetString(), v.GetStringLength()};
  if (v.IsNull()) return {};
  throw std::runtime_error("gets: invalid type; string expected");
}

std::string getstr(const JsonValue& args, int index) {
  const JsonValue& v = argument(args, index);
  if (v.IsString()) return std::string(v.GetString(), v.GetStringLength());
  if (v.IsNull()) return {};
  if (v.IsInt()) return std::to_string(v.GetInt());
  if (v.IsUint()) return std::to_string(v.GetUint());
  if (v.IsInt64()) return std::to_string(v.GetInt64());
  if (v.IsUint64()) return std::to_string(v.GetUint64());
  if (v.IsDouble()) {
    char text[512];
    snprintf(text, sizeof text, "%f", v.GetDouble());
    return text;
  }
  if (v.IsBool()) return v.GetBool() ? "true" : "false";
  throw std::runtime_error("getstr: invalid type; string expected");
}

std::string_view val2sv(const JsonValue& object, const char* name) {
  if (!object.IsObject()) return {};
  auto member = object.FindMember(name);
  if (member == object.MemberEnd() || member->value.IsNull()) return {};
  if (!member->value.IsString()) throw std::runtime_error("val2sv: invalid type; string expected");
  return {member->value.GetString(), member->value.GetStringLength()};
}

std::string toJsonText(const JsonValue* value) {
  if (!value) return "null";
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value->Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}
