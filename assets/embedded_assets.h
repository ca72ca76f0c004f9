#pragma once
// The fonts and pictures compiled into the display server. The bytes live in
// the executable's read-only data; nothing is copied or read from disk.

#include <cstddef>
#include <span>
#include <string_view>

struct EmbeddedFile {
  std::string_view name;  // the original file name, e.g. "MaterialIcons.ttf"
  const unsigned char* data;
  std::size_t size;
};

// The fourteen fonts, in the order of the table they are documented in.
std::span<const EmbeddedFile> embeddedFonts();
// The twenty pictures.
std::span<const EmbeddedFile> embeddedImages();
// The file of that name in `files`, or nullptr.
const EmbeddedFile* findEmbeddedFile(std::span<const EmbeddedFile> files, std::string_view name);
