// The entry every command goes through: surface choice, echo, name lookup.
#pragma once

#include "arguments.h"
#include "canvas_context.h"

// An array runs as a list of commands; any other non-object is a command
// without members. Argument errors leave as std::runtime_error.
void executeCommand(CanvasContext& canvas, const JsonValue& value);

// Whether the call table knows this name (for diagnostics and tests).
bool isKnownCall(std::string_view name);
