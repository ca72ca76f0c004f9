// Fonts and text. Until these calls land they report themselves as
// unrecognised.
#include "calls.h"

void fontCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void textAlignCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void textBaselineCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void fillTextCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }

void loadFonts(CanvasContext&) {}
