// Colours, gradients, line styles and compositing. Until these calls land
// they report themselves as unrecognised.
#include "calls.h"

void lineCapCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void lineJoinCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void fillStyleCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void strokeStyleCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
void globalCompositeOperationCall(CanvasContext&, const CallInput& in) { reportUnknownCall(in); }
