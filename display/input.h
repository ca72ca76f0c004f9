// Input polling. Window events (keys, close requests) are processed here, at
// most every 20 ms; touch handling hooks in at the same place.
#pragma once

#include <cstdint>

struct InputPoller {
  int64_t lastPollMs = 0;
};

void pollInput(InputPoller& poller);
