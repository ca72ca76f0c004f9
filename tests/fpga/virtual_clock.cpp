#include "virtual_clock.h"

#include "wall_clock.h"

VirtualClock virtualClock;

uint64_t wallMicroseconds() { return virtualClock.now; }

void sleepMilliseconds(unsigned milliseconds) {
  virtualClock.now += uint64_t(milliseconds) * 1000u;
  virtualClock.sleptMilliseconds += milliseconds;
  virtualClock.sleeps++;
}
