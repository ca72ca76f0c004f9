// A thread that notices when the main loop stops making progress and leaves
// a marker file for whoever supervises the device.
#pragma once

// The main thread calls this at the points where it is known to be alive.
void markAlive();

void startWatchdog(const char* markerPath = "/tmp/thread_watchdog");
// Safe to call when the watchdog never started; takes up to one period.
void stopWatchdog();
