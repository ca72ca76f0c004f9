// Pictures. Until these calls land they report themselves as unrecognised.
#include "calls.h"

void drawImageCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void drawSVGCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void drawSVGCCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }

void registerImages(CanvasContext&) {}
