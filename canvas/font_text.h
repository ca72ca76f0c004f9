// The CSS-like font texts of the "font" call:
//   "600 16px ProximaNova"  weight, size in pixels, family
//   "400 12pt NotoSans"     weight, size in points, family
//   "24px MaterialIcons"    size in pixels, family (the name has no weight)
#pragma once

#include <optional>
#include <string>

struct FontChoice {
  std::string name;  // the registry name, e.g. "ProximaNova 600"
  float size;        // in pixels
};

// Family words are cut at the first space and at 127 bytes. Gives nothing
// for a text that matches none of the three forms.
std::optional<FontChoice> parseFontText(const std::string& text);
