// Time as the tool sees it: a microsecond clock for timed idle clocking and
// plain sleeps for the waits of the programming flow.
#pragma once

#include <cstdint>

uint64_t wallMicroseconds();
void sleepMilliseconds(unsigned milliseconds);
