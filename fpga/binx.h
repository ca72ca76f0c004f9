// The binx firmware file: a length-prefixed text header, then the bitstream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BinxLayout {
  std::string_view header;  // without its length prefix
  size_t payloadOffset = 0;
  size_t payloadSize = 0;
};

// False when the file breaks the layout rules: a header that does not fit, is
// empty, does not begin with "//" or end with a line feed, or a payload
// shorter than 256 bytes.
bool parseBinxLayout(const std::vector<uint8_t>& file, BinxLayout& layout);

// The header without its leading "//" and final line feed, split on every
// "//"; empty fields are kept.
std::vector<std::string> headerFields(std::string_view header);

struct UserCode {
  enum Status { missing, malformed, found };
  Status status = missing;
  uint32_t value = 0;
  std::string text;  // the field's value as written, for messages
};

// The last "UserCode: value" field decides. 0xFFFFFFFF counts as none; a value
// that is not a hexadecimal number or needs more than 32 bits is malformed.
UserCode findUserCode(std::string_view header);

// The target IDCODE, big-endian at byte 28 of the payload.
uint32_t targetIdcode(const std::vector<uint8_t>& file, const BinxLayout& layout);
void setTargetIdcode(std::vector<uint8_t>& file, const BinxLayout& layout, uint32_t idcode);
