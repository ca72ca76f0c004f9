#include "wall_clock.h"

#include <cerrno>
#include <ctime>

uint64_t wallMicroseconds() {
  // Monotonic, so that a clock step cannot stretch or cut an idle period.
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint64_t(now.tv_sec) * 1000000u + uint64_t(now.tv_nsec) / 1000u;
}

void sleepMilliseconds(unsigned milliseconds) {
  timespec left{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}
