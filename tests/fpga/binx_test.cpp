// The binx layout rules and the header's user code, on files built in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "binx.h"

namespace {

std::vector<uint8_t> fileOf(unsigned headerLengthField, const std::string& header, size_t totalSize) {
  std::string start = std::string{char(headerLengthField >> 8), char(headerLengthField)} + header;
  std::vector<uint8_t> file(start.begin(), start.end());
  while (file.size() < totalSize) file.push_back(uint8_t(file.size() * 13));
  file.resize(totalSize);
  return file;
}

TEST(BinxLayout, HeaderAndPayloadLimits) {
  const std::string fortyBytes = "//Part: GW1N-9C\n//UserCode: 0x00001234\n\n";
  ASSERT_EQ(fortyBytes.size(), 40u);
  struct Case {
    const char* what;
    unsigned lengthField;
    std::string header;
    size_t totalSize;
    bool valid;
  };
  const Case cases[] = {
      {"300 bytes with an empty header", 0, "", 300, false},
      {"N = 40, 295 bytes: payload of 253", 40, fortyBytes, 295, false},
      {"N = 40, 297 bytes: payload of 255", 40, fortyBytes, 297, false},
      {"N = 40, 298 bytes: payload of 256", 40, fortyBytes, 298, true},
      {"header longer than the file", 0xFFFF, fortyBytes, 1000, false},
      {"header reaches the end of the file", 40, fortyBytes, 42, false},
      {"header not begun with //", 3, "/x\n", 300, false},
      {"header not ended with a line feed", 4, "//ab", 300, false},
      {"smallest header", 3, "//\n", 261, true},
      {"two bytes in all", 0, "", 2, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = fileOf(c.lengthField, c.header, c.totalSize);
    BinxLayout layout;
    ASSERT_EQ(parseBinxLayout(file, layout), c.valid) << c.what;
    if (!c.valid) continue;
    EXPECT_EQ(layout.header, c.header) << c.what;
    EXPECT_EQ(layout.payloadOffset, c.header.size() + 2) << c.what;
    EXPECT_EQ(layout.payloadSize, c.totalSize - c.header.size() - 2) << c.what;
  }
}

TEST(BinxLayout, TargetIdcodeIsBigEndianAtPayloadByte28) {
  std::vector<uint8_t> file = fileOf(3, "//\n", 300);
  BinxLayout layout;
  ASSERT_TRUE(parseBinxLayout(file, layout));
  std::vector<uint8_t> before = file;
  setTargetIdcode(file, layout, 0x1100581B);
  EXPECT_EQ(targetIdcode(file, layout), 0x1100581Bu);
  const std::vector<uint8_t> stored(file.begin() + 5 + 28, file.begin() + 5 + 32);
  EXPECT_EQ(stored, (std::vector<uint8_t>{0x11, 0x00, 0x58, 0x1B}));
  for (size_t i = 0; i < file.size(); ++i)
    if (i < 33 || i >= 37) {
      EXPECT_EQ(file[i], before[i]) << "byte " << i;
    }
}

TEST(BinxHeader, FieldsSplitOnEveryDoubleSlash) {
  struct Case {
    std::string header;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"//Part: X\n//UserCode: 0x00001234\n", {"Part: X\n", "UserCode: 0x00001234"}},
      {"//\n", {""}},
      {"////a\n", {"", "a"}},
      {"//a//\n", {"a", ""}},
      {"//url: http://x\n", {"url: http:", "x"}},
  };
  for (const Case& c : cases) EXPECT_EQ(headerFields(c.header), c.fields) << c.header;
}

TEST(BinxHeader, UserCodeForms) {
  using S = UserCode::Status;
  struct Case {
    std::string header;
    S status;
    uint32_t value;
  };
  const Case cases[] = {
      {"//Part: X\n//UserCode: 0x00001234\n", S::found, 0x1234},
      {"//UserCode: 1234\n", S::found, 0x1234},
      {"//UserCode: 0X00ABcdef\n", S::found, 0xABCDEF},
      {"//UserCode: 1234zz\n", S::found, 0x1234},
      {"//UserCode:  +0x1234\n", S::found, 0x1234},
      {"//UserCode: 0x000000001234\n", S::found, 0x1234},
      {"//UserCode: 0\n", S::found, 0},
      {"//UserCode: 0x\n", S::found, 0},
      {"//UserCode: 0x10\n//UserCode: 0x20\n", S::found, 0x20},
      {"//UserCode: xyz\n//UserCode: 0x20\n", S::found, 0x20},
      {"//UserCode: FFFFFFFF\n", S::missing, 0},
      {"//UserCode: 0x1234\n//UserCode: 0xffffffff\n", S::missing, 0},
      {"//UserCode:1234\n", S::missing, 0},
      {"//usercode: 1234\n", S::missing, 0},
      {"// UserCode: 1234\n", S::missing, 0},
      {"//UserCode: 12: 34\n", S::missing, 0},
      {"//Part: X\n", S::missing, 0},
      {"//UserCode: xyz\n", S::malformed, 0},
      {"//UserCode: \n", S::malformed, 0},
      {"//UserCode: -1\n", S::malformed, 0},
      {"//UserCode: 100000000\n", S::malformed, 0},
      {"//UserCode: 0x1234\n//UserCode: 0x1FFFFFFFF\n", S::malformed, 0},
  };
  for (const Case& c : cases) {
    UserCode code = findUserCode(c.header);
    EXPECT_EQ(code.status, c.status) << c.header;
    if (c.status == S::found) {
      EXPECT_EQ(code.value, c.value) << c.header;
    }
  }
  EXPECT_EQ(findUserCode("//UserCode: 0xZZ \n").text, "0xZZ");
}

}  // namespace
