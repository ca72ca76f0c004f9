// The router: every value that reaches the bridge updates the mirror, goes to
// its setting hook, and reaches the surface when its key is one the surface
// shows.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// echoToSurface: false for what came from the surface itself.
void routeMessage(const nlohmann::json& message, bool echoToSurface);
void routeText(std::string_view text, bool echoToSurface);

void handleSetting(const std::string& key, const std::string& valueText);

// "." is a literal dot, "#" one or more digits, "*" any run of characters.
std::string wildcardToRegex(std::string_view pattern);

bool isSurfaceKey(const std::string& key);
bool isPadKey(const std::string& key);

// Writes the colour and blink state of every pad of the current bank.
// Takes stateLock, then faderWriteLock for each line.
void refreshPadLeds();
