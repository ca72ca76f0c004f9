// The audio engine runs beside us; graphics start-up must not compete with
// it, so it is frozen until the first passes are done.
#pragma once

void freezeAudioEngine();
void resumeAudioEngine();

// Keeps every DRM device's runtime power management on.
void keepDisplayPowered();
