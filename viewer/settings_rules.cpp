#include "viewer/settings_rules.h"

#include <cstring>

int clampInt(int value, int upper, int lower) {
  if (value > upper) value = upper;
  if (value < lower) value = lower;
  return value;
}

bool profileFlag(int value) { return (value & 0xFF) != 0; }

unsigned char secamCodeFromProfile(int value) {
  return value == 0 ? 0x53 : static_cast<unsigned char>(value & 0xFF);
}

unsigned long buzMixerLineFromProfile(int value) {
  // Added in unsigned arithmetic so that extreme values wrap instead of overflowing;
  // the bounds then see the same signed result the platform's 32-bit sum would give.
  int line = static_cast<int>(0x1000u + static_cast<unsigned>(value));
  return static_cast<unsigned long>(clampInt(line, 0x100A, 0x1000));
}

FrameBounds frameBounds(bool ntsc) {
  if (ntsc) return {720, 480, 120, 80};
  return {720, 576, 120, 96};
}

bool iniPathFromModulePath(char* path, size_t length, size_t capacity) {
  static const char exe[] = ".exe";
  const size_t suffix = sizeof exe - 1;
  if (length == 0 || length >= capacity || length < suffix) return false;
  char* end = path + length - suffix;
  if (std::memcmp(end, exe, suffix) != 0) return false;
  std::memcpy(end, ".ini", suffix);
  return true;
}
