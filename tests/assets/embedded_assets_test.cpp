#include "embedded_assets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Mapping {
  bool found = false;
  std::string permissions;
  std::string path;
};

// The /proc/self/maps line whose range holds `address`.
Mapping mappingOf(const void* address) {
  auto target = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    unsigned long long start = 0, end = 0;
    char permissions[8] = {};
    int pathStart = 0;
    if (std::sscanf(line.c_str(), "%llx-%llx %7s %*s %*s %*s %n", &start, &end, permissions,
                    &pathStart) < 3)
      continue;
    if (target >= start && target < end)
      return {true, permissions, pathStart > 0 ? line.substr(pathStart) : ""};
  }
  return {};
}

std::string selfPath() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, n) : "";
}

void expectSameAsGenerated(std::span<const EmbeddedFile> files, const std::string& dir) {
  for (const EmbeddedFile& file : files) {
    SCOPED_TRACE(std::string(file.name));
    std::string generated = readWholeFile(dir + "/" + std::string(file.name));
    ASSERT_FALSE(generated.empty());
    ASSERT_EQ(file.size, generated.size());
    EXPECT_EQ(0, std::memcmp(file.data, generated.data(), file.size));
  }
}

TEST(EmbeddedAssets, EveryFileHoldsExactlyTheGeneratedBytes) {
  ASSERT_EQ(14u, embeddedFonts().size());
  ASSERT_EQ(20u, embeddedImages().size());
  expectSameAsGenerated(embeddedFonts(), FONT_DIR);
  expectSameAsGenerated(embeddedImages(), IMAGE_DIR);
}

TEST(EmbeddedAssets, BytesLieInReadOnlyDataOfTheExecutable) {
  const std::string self = selfPath();
  for (auto files : {embeddedFonts(), embeddedImages()}) {
    for (const EmbeddedFile& file : files) {
      SCOPED_TRACE(std::string(file.name));
      for (const unsigned char* p : {file.data, file.data + file.size - 1}) {
        Mapping mapping = mappingOf(p);
        ASSERT_TRUE(mapping.found);
        EXPECT_EQ('r', mapping.permissions[0]);
        EXPECT_EQ('-', mapping.permissions[1]) << "writable mapping";
        EXPECT_EQ(self, mapping.path) << "not mapped from the executable";
      }
    }
  }
}

std::uint32_t bigEndian(const unsigned char* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

TEST(EmbeddedAssets, PicturesHaveTheirPixelSizesAndFormats) {
  struct Expected {
    const char* name;
    std::uint32_t width, height;
  };
  const Expected table[] = {
      {"delay_chrono.png", 406, 46}, {"ezfx.png", 461, 498},         {"fx.png", 931, 456},
      {"mixer_rear.png", 561, 177},  {"reverb_atom.png", 383, 50},   {"screen.png", 401, 238},
      {"panel_cropped.png", 225, 172}, {"panel.png", 561, 177},      {"blendPilot.png", 60, 41},
      {"mic_SM7B.png", 56, 49},      {"mic_KX-20.png", 55, 37},      {"mic_KX-30.png", 15, 49},
      {"mic_KX-40.png", 13, 49},     {"faders.png", 401, 216},       {"inst.png", 19, 57},
      {"line.png", 9, 50},           {"mic_condenser.png", 13, 43},  {"mic_dynamic.png", 13, 53},
      {"qr_brellin.png", 161, 161},  {"Varo_Studio.png", 266, 49},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.name);
    const EmbeddedFile* file = findEmbeddedFile(embeddedImages(), e.name);
    ASSERT_NE(nullptr, file);
    ASSERT_GT(file->size, 33u);
    ASSERT_EQ(0, std::memcmp(file->data, "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    EXPECT_EQ(e.width, bigEndian(file->data + 16));
    EXPECT_EQ(e.height, bigEndian(file->data + 20));
    EXPECT_EQ(8, file->data[24]) << "bit depth";
    EXPECT_EQ(std::string(e.name) == "ezfx.png" ? 3 : 6, file->data[25]) << "colour type";
  }
  EXPECT_EQ(nullptr, findEmbeddedFile(embeddedImages(), "missing.png"));
}

}  // namespace
