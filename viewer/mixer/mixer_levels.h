// What the viewer knows of a mixer line's volume and mute controls, and the arithmetic
// between mixer values, levels (counted in steps) and slider positions. Platform-free.
#pragma once
#include <cstdint>

struct MixerVolumeControl {
  uint32_t controlId = 0;
  uint32_t minimum = 0;
  uint32_t maximum = 0;
  uint32_t steps = 0;     // never 0 once a lookup filled the record
  uint32_t stepSize = 0;  // (maximum - minimum) / steps
  uint32_t level = 0;     // (value - minimum) / stepSize, rounded, at most steps
};

struct MixerMuteControl {
  uint32_t controlId = 0;
  uint32_t muted = 0;  // 0 = sound on, anything else = muted
};

// Fills bounds, steps and stepSize from a control's description; false when steps is 0.
bool setVolumeBounds(MixerVolumeControl& control, uint32_t minimum, uint32_t maximum,
                     uint32_t steps);
// Sets level from a value read from the mixer, to the nearest step and at most steps;
// false when the value lies below minimum or stepSize is 0.
bool setLevelFromValue(MixerVolumeControl& control, uint32_t value);
// The mixer value for a level: minimum + level * stepSize, clamped to minimum..maximum.
uint32_t volumeValueForLevel(const MixerVolumeControl& control, int32_t level);
// level + delta, kept within 0..steps.
int32_t steppedLevel(const MixerVolumeControl& control, int32_t delta);
// Vertical sliders run from 0 at the top (loudest) to steps at the bottom (level 0).
int32_t sliderPositionForLevel(const MixerVolumeControl& control);
int32_t levelForSliderPosition(const MixerVolumeControl& control, int32_t position);
