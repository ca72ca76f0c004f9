#include "font_text.h"

#include <cstdio>

std::optional<FontChoice> parseFontText(const std::string& input) {
  // The one font text the web application writes in the browser's own form.
  std::string text = input == "bold 10px arial" ? "600 10px ProximaNova" : input;
  int weight = 0, size = 0;
  char family[128];
  if (std::sscanf(text.c_str(), "%d %dpt %127s", &weight, &size, family) == 3)
    return FontChoice{std::string(family) + " " + std::to_string(weight), float(size * 1.333)};
  if (std::sscanf(text.c_str(), "%d %dpx %127s", &weight, &size, family) == 3)
    return FontChoice{std::string(family) + " " + std::to_string(weight), float(size)};
  if (std::sscanf(text.c_str(), "%dpx %127s", &size, family) == 2)
    return FontChoice{family, float(size)};
  return std::nullopt;
}
