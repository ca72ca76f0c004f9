// Fonts and text: the embedded fonts under their registry names, and the
// font texts of the "font" call.
#pragma once

#include <string>

#include <nanovg.h>

// Creates the fonts from the embedded files, in an order that fixes their
// indices ("Calibri 300" is font 0, the face of every frame start), and
// links the fallbacks. NanoVG reads the files in place and never frees them.
void registerEmbeddedFonts(NVGcontext* vg);

// Sets the size and face a font text names; prints "Invalid font: ..." or
// "Font not found: ...". An unregistered name still selects no face.
void applyFontString(NVGcontext* vg, const std::string& text);
