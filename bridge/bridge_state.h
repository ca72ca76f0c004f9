// The bridge's process-wide state: configuration read at start, the stop
// flags, the hand-over to the server and the mirror of the mixer state.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

extern int verbosity;  // above 1: traffic traces
extern bool isMini;    // the small edition of the surface
extern std::atomic<bool> stopRequested;
extern std::atomic<bool> faderStop;
extern std::atomic<bool> btStop;

// Sends a text to the mixer state server as a "message" event. Set once by
// main before any thread starts; callable from any thread.
extern std::function<void(const char*, size_t)> sendToServer;
inline void sendToServerText(std::string_view text) { sendToServer(text.data(), text.size()); }

// Parameter key -> the value's compact JSON text.
extern std::unordered_map<std::string, std::string> stateMap;
extern std::mutex stateLock;
