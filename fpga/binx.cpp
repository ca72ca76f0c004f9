#include "binx.h"

constexpr size_t minimumPayload = 256;
constexpr size_t idcodeOffset = 28;

bool parseBinxLayout(const std::vector<uint8_t>& file, BinxLayout& layout) {
  if (file.size() < 2) return false;
  size_t headerLength = size_t(file[0]) << 8 | file[1];
  if (file.size() < headerLength + 2 || file.size() - headerLength - 2 < minimumPayload) return false;
  std::string_view header(reinterpret_cast<const char*>(file.data()) + 2, headerLength);
  if (header.empty() || !header.starts_with("//") || !header.ends_with('\n')) return false;
  layout.header = header;
  layout.payloadOffset = headerLength + 2;
  layout.payloadSize = file.size() - layout.payloadOffset;
  return true;
}

static std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + separator.size());
  }
}

std::vector<std::string> headerFields(std::string_view header) {
  std::vector<std::string> fields;
  if (header.size() < 3) return fields;
  for (std::string_view field : split(header.substr(2, header.size() - 3), "//")) fields.emplace_back(field);
  return fields;
}

static int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

static bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Leading blanks, an optional "+" and "0x", then hex digits up to the first
// other character. A minus sign is refused: a user code is never negative.
static bool parseHex32(std::string_view text, uint32_t& value) {
  size_t at = 0;
  while (at < text.size() && isBlank(text[at])) ++at;
  if (at < text.size() && text[at] == '+') ++at;
  if (text.size() - at >= 3 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
      hexDigit(text[at + 2]) >= 0)
    at += 2;
  if (at >= text.size() || hexDigit(text[at]) < 0) return false;
  uint64_t number = 0;
  for (; at < text.size() && hexDigit(text[at]) >= 0; ++at) {
    number = number << 4 | uint64_t(hexDigit(text[at]));
    if (number > 0xFFFFFFFFu) return false;
  }
  value = uint32_t(number);
  return true;
}

static std::string trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return std::string(text);
}

UserCode findUserCode(std::string_view header) {
  UserCode code;
  for (const std::string& field : headerFields(header)) {
    std::vector<std::string_view> parts = split(field, ": ");
    if (parts.size() != 2 || parts[0] != "UserCode") continue;
    code.text = trimmed(parts[1]);
    if (!parseHex32(parts[1], code.value))
      code.status = UserCode::malformed;
    else
      code.status = code.value == 0xFFFFFFFFu ? UserCode::missing : UserCode::found;
  }
  return code;
}

uint32_t targetIdcode(const std::vector<uint8_t>& file, const BinxLayout& layout) {
  const uint8_t* at = file.data() + layout.payloadOffset + idcodeOffset;
  return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

void setTargetIdcode(std::vector<uint8_t>& file, const BinxLayout& layout, uint32_t idcode) {
  uint8_t* at = file.data() + layout.payloadOffset + idcodeOffset;
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(idcode >> (24 - 8 * i));
}
