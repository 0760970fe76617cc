#include "viewer/mixer/mixer_levels.h"

bool setVolumeBounds(MixerVolumeControl& control, uint32_t minimum, uint32_t maximum,
                     uint32_t steps) {
  control.minimum = minimum;
  control.maximum = maximum;
  control.steps = steps;
  if (steps == 0) return false;
  control.stepSize = (maximum - minimum) / steps;
  return true;
}

// Rounded to the nearest step: a mixer may read back a value a little below the one
// written, and the level must not fall a step for it.
bool setLevelFromValue(MixerVolumeControl& control, uint32_t value) {
  if (value < control.minimum || control.stepSize == 0) return false;
  const uint64_t above = value - control.minimum;
  const uint64_t level = (above + control.stepSize / 2) / control.stepSize;
  control.level = static_cast<uint32_t>(level < control.steps ? level : control.steps);
  return true;
}

// The product is formed in 32 bits (low bits kept) and compared signed, so a negative
// level comes out below minimum and is clamped up to it.
uint32_t volumeValueForLevel(const MixerVolumeControl& control, int32_t level) {
  const uint32_t product = static_cast<uint32_t>(level) * control.stepSize;
  int32_t value = static_cast<int32_t>(control.minimum + product);
  const int32_t minimum = static_cast<int32_t>(control.minimum);
  const int32_t maximum = static_cast<int32_t>(control.maximum);
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
  return static_cast<uint32_t>(value);
}

int32_t steppedLevel(const MixerVolumeControl& control, int32_t delta) {
  int64_t level = static_cast<int64_t>(control.level) + delta;
  if (level < 0) level = 0;
  if (level > control.steps) level = control.steps;
  return static_cast<int32_t>(level);
}

int32_t sliderPositionForLevel(const MixerVolumeControl& control) {
  return static_cast<int32_t>(control.steps - control.level);
}

int32_t levelForSliderPosition(const MixerVolumeControl& control, int32_t position) {
  return static_cast<int32_t>(control.steps - static_cast<uint32_t>(position));
}
