#include "audio_engine.h"

#include <cstdlib>

// Exit statuses are ignored: a missing engine or sysfs file is not an error.
void freezeAudioEngine() { (void)!system("killall -STOP /usr/local/bin/mixcored 2>/dev/null"); }

void resumeAudioEngine() { (void)!system("killall -CONT /usr/local/bin/mixcored 2>/dev/null"); }

void keepDisplayPowered() {
  (void)!system("bash -c 'for f in /sys/class/drm/*/power/control; do echo on >$f; done'");
}
