// The time the tool sees in tests: it moves only when the simulated device
// clocks or the tool sleeps, so that waits cost nothing and can be measured.
#pragma once

#include <cstdint>

struct VirtualClock {
  uint64_t now = 0;                // microseconds
  uint64_t sleptMilliseconds = 0;
  unsigned sleeps = 0;
  unsigned microsecondsPerTck = 1;  // how far one rising TCK edge moves `now`
};

extern VirtualClock virtualClock;
