#include "color.h"

#include <cmath>
#include <cstdio>

namespace {

// The low 8 bits of the integer part of v, as a two's-complement integer
// would give them, without the undefined float-to-int cast for huge values.
int lowByteOfIntegerPart(double v) {
  if (!std::isfinite(v)) return 0;
  return int(std::fmod(std::trunc(v), 256.0)) & 0xFF;
}

NVGcolor parseRgba(const char* text) {
  int red = 0, green = 0, blue = 0;
  double alpha = 1.0;
  // Fields that are not read keep their defaults.
  std::sscanf(text, "rgba(%d,%d,%d,%lf)", &red, &green, &blue, &alpha);
  return nvgRGBA(red & 0xFF, green & 0xFF, blue & 0xFF,
                 static_cast<unsigned char>(lowByteOfIntegerPart(alpha * 255 + 0.45)));
}

unsigned hexNumber(const char* text) {
  unsigned value = 0;
  std::sscanf(text, "%X", &value);
  return value;
}

}  // namespace

NVGcolor parseColor(const std::string& input) {
  std::string text = !input.empty() && input[0] == '#' ? input.substr(1) : input;
  if (text.empty()) return nvgRGB(0, 0, 0);
  if (text.size() > 4 && text.compare(0, 5, "rgba(") == 0) return parseRgba(text.c_str());
  if (text == "white") return nvgRGB(255, 255, 255);
  if (text == "red") return nvgRGB(255, 0, 0);
  if (text == "transparent") return nvgRGBA(0, 0, 0, 0);
  if (text.size() == 6) {
    unsigned v = hexNumber(text.c_str());
    return nvgRGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  if (text.size() == 3) {
    unsigned v = hexNumber(text.c_str());
    return nvgRGB(((v >> 8) & 0xF) * 17, ((v >> 4) & 0xF) * 17, (v & 0xF) * 17);
  }
  std::printf("Unrecognised color: %s\n", text.c_str());
  return nvgRGB(0, 0, 0);
}

NVGcolor colorFromText(const std::string& text) {
  return text.empty() ? nvgRGB(0, 0, 0) : parseColor(text);
}
