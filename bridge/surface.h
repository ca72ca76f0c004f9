// The control surface's serial line: its reader thread, the classification
// of its lines, fader and encoder conversion, and the writer every thread
// uses to reach it.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

namespace serial {
class Serial;
}

// Opened and owned by faderThread; written and released only under faderWriteLock.
extern std::unique_ptr<serial::Serial> faderPort;
extern std::mutex faderWriteLock;

// "GD32_TTY" when set and not empty, else the board's port.
std::string surfaceDevice();
// 115200 8N1, no flow control, the surface's time-outs. Throws on failure.
std::unique_ptr<serial::Serial> openSurfacePort(const std::string& device);

// One whole write to the surface; dropped when no port is open.
void writeFader(const char* bytes, size_t length);

void faderThread();

// Handles one line from the surface, "\r" and "\n" already removed. Throws
// on malformed JSON and numbers; faderThread reports those.
void handleSurfaceLine(const std::string& line);
void onSliderMessage(const std::string& line);
void onEncoderMessage(const std::string& line);

// Asks the server for its full state and replays the mirror to the surface.
void resyncSurface();
