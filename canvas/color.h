// Colour texts as clients write them: "#RRGGBB", "RRGGBB", "#RGB",
// "rgba(r,g,b,a)", "white", "red", "transparent".
#pragma once

#include <string>

#include <nanovg.h>

// Never fails: text it does not recognise prints "Unrecognised color: ..."
// and gives opaque black. Expects a non-empty text.
NVGcolor parseColor(const std::string& text);

// A colour argument: the empty text is opaque black, silently.
NVGcolor colorFromText(const std::string& text);
