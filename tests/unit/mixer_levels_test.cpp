// Level arithmetic of the mixer's volume controls: bounds, levels read from values,
// values written for levels, key steps and slider positions.
#include <gtest/gtest.h>

#include "viewer/mixer/mixer_levels.h"

namespace {

MixerVolumeControl control(uint32_t minimum, uint32_t maximum, uint32_t steps) {
  MixerVolumeControl c;
  EXPECT_TRUE(setVolumeBounds(c, minimum, maximum, steps));
  return c;
}

MixerVolumeControl atValue(MixerVolumeControl c, uint32_t value) {
  EXPECT_TRUE(setLevelFromValue(c, value)) << "value " << value;
  return c;
}

TEST(MixerLevels, StepSizeFromBoundsAndSteps) {
  struct Row { uint32_t minimum, maximum, steps, stepSize; };
  const Row rows[] = {
      {0, 65535, 32, 2047}, {0, 65535, 65535, 1}, {0, 65535, 192, 341},
      {0, 10, 32, 0},       {100, 420, 32, 10},   {0, 0xFFFFFFFF, 1, 0xFFFFFFFF},
  };
  for (const Row& r : rows) {
    MixerVolumeControl c = control(r.minimum, r.maximum, r.steps);
    EXPECT_EQ(c.stepSize, r.stepSize) << r.minimum << ".." << r.maximum << " / " << r.steps;
  }
}

TEST(MixerLevels, ZeroStepsIsAMissingControl) {
  MixerVolumeControl c;
  EXPECT_FALSE(setVolumeBounds(c, 0, 65535, 0));
}

TEST(MixerLevels, LevelReadFromValue) {
  struct Row { uint32_t minimum, maximum, steps, value, level; };
  const Row rows[] = {
      {0, 65535, 32, 65535, 32}, {0, 65535, 32, 65504, 32}, {0, 65535, 32, 40000, 20},
      {0, 65535, 32, 32768, 16}, {0, 65535, 32, 0, 0},      {0, 65535, 32, 1023, 0},
      {0, 65535, 32, 1024, 1},   {0, 65535, 32, 2046, 1},   {0, 65535, 65535, 12345, 12345},
      {0, 65535, 192, 40237, 118},  // a step's value (40238) read back one unit low
      {100, 420, 32, 100, 0},    {100, 420, 32, 254, 15},   {100, 420, 32, 255, 16},
      {100, 420, 32, 420, 32},
      {0, 10, 4, 10, 4},  // rounds up past the last step: at most steps
  };
  for (const Row& r : rows)
    EXPECT_EQ(atValue(control(r.minimum, r.maximum, r.steps), r.value).level, r.level)
        << "value " << r.value << " on " << r.minimum << ".." << r.maximum << " / " << r.steps;
}

TEST(MixerLevels, UnreadableValues) {
  MixerVolumeControl tooFine = control(0, 10, 32);  // stepSize 0
  EXPECT_FALSE(setLevelFromValue(tooFine, 5));
  MixerVolumeControl offset = control(100, 420, 32);
  offset.level = 7;
  EXPECT_FALSE(setLevelFromValue(offset, 99));  // below minimum
  EXPECT_EQ(offset.level, 7u) << "a failed read leaves the level alone";
}

TEST(MixerLevels, ValueWrittenForLevel) {
  struct Row { uint32_t minimum, maximum, steps; int32_t level; uint32_t value; };
  const Row rows[] = {
      {0, 65535, 32, 32, 65504}, {0, 65535, 32, 31, 63457}, {0, 65535, 32, 16, 32752},
      {0, 65535, 32, 1, 2047},   {0, 65535, 32, 0, 0},
      {0, 65535, 32, -1, 0},            // below 0: the minimum
      {0, 65535, 32, 33, 65535},        // product above maximum: the maximum
      {0, 65535, 32, 0x200000, 0},      // product wraps below 0 in 32 bits: the minimum
      {0, 65535, 65535, 40000, 40000},
      {0, 10, 32, 20, 0},               // stepSize 0 gives the minimum
      {100, 420, 32, 0, 100}, {100, 420, 32, 15, 250}, {100, 420, 32, 32, 420},
      {100, 420, 32, -3, 100}, {100, 420, 32, 40, 420},
  };
  for (const Row& r : rows)
    EXPECT_EQ(volumeValueForLevel(control(r.minimum, r.maximum, r.steps), r.level), r.value)
        << "level " << r.level << " on " << r.minimum << ".." << r.maximum << " / " << r.steps;
}

// A value read and written back comes back at the nearest whole step above the minimum.
TEST(MixerLevels, ReadAndWrittenBackKeepsTheStep) {
  const uint32_t minimums[] = {0, 100, 30000};
  for (uint32_t minimum : minimums) {
    MixerVolumeControl c = control(minimum, minimum + 320, 32);
    for (uint32_t value = minimum; value <= c.maximum; value += 7) {
      const uint32_t back = volumeValueForLevel(atValue(c, value), atValue(c, value).level);
      EXPECT_EQ(back, minimum + (value - minimum + 5) / 10 * 10) << "value " << value;
    }
  }
}

TEST(MixerLevels, KeyStepsFromCurrentValue) {
  struct Row { uint32_t value; int32_t delta; uint32_t written; };
  const Row rows[] = {
      {40000, 1, 42987},  {40000, -1, 38893}, {40000, 8, 57316}, {40000, -8, 24564},
      {42986, 1, 45034},  // 42987 read back one unit low still steps up
      {42986, -1, 40940}, {30 * 2047, 8, 65504}, {65535, 1, 65504}, {5 * 2047, -8, 0}, {0, -1, 0},
  };
  for (const Row& r : rows) {
    MixerVolumeControl c = atValue(control(0, 65535, 32), r.value);
    EXPECT_EQ(volumeValueForLevel(c, steppedLevel(c, r.delta)), r.written)
        << "value " << r.value << " delta " << r.delta;
  }
}

TEST(MixerLevels, SteppedLevelStaysWithinSteps) {
  struct Row { uint32_t level; int32_t delta; int32_t stepped; };
  const Row rows[] = {{19, 1, 20}, {0, -1, 0}, {5, -8, 0}, {30, 8, 32}, {32, 1, 32},
                      {40, -1, 32},  // a level above steps comes back to the top
                      {0, 0x7FFFFFFF, 32}};
  for (const Row& r : rows) {
    MixerVolumeControl c = control(0, 65535, 32);
    c.level = r.level;
    EXPECT_EQ(steppedLevel(c, r.delta), r.stepped) << "level " << r.level << " delta " << r.delta;
  }
}

TEST(MixerLevels, SliderRunsFromLoudestAtTopToSilentAtBottom) {
  struct Row { uint32_t value; int32_t position; };
  const Row rows[] = {{65535, 0}, {0, 32}, {40000, 12}};
  for (const Row& r : rows)
    EXPECT_EQ(sliderPositionForLevel(atValue(control(0, 65535, 32), r.value)), r.position);

  MixerVolumeControl over = control(0, 65535, 32);
  over.level = 40;
  EXPECT_EQ(sliderPositionForLevel(over), -8) << "the slider clamps a negative position itself";

  struct Drag { int32_t position; uint32_t written; };
  const Drag drags[] = {{0, 65504}, {16, 32752}, {32, 0}};
  const MixerVolumeControl c = control(0, 65535, 32);
  for (const Drag& d : drags)
    EXPECT_EQ(volumeValueForLevel(c, levelForSliderPosition(c, d.position)), d.written)
        << "position " << d.position;
}

}  // namespace
