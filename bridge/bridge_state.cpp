#include "bridge_state.h"

int verbosity = 1;
bool isMini = false;
std::atomic<bool> stopRequested{false};
std::atomic<bool> faderStop{false};
std::atomic<bool> btStop{false};

std::function<void(const char*, size_t)> sendToServer = [](const char*, size_t) {};

std::unordered_map<std::string, std::string> stateMap;
std::mutex stateLock;
