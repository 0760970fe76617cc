// What the Text Slicer and Status groups show: which groups changed since they were last
// shown, and the texts of their value fields. No platform calls.
#pragma once
#include <array>
#include <cstdint>

#include "regedit/register_map.h"

namespace quorvex {

// The last shown bytes of 0x1A, 0x1B, 0x1C and 0x1F; invalid until the first display.
struct StatusCache {
  std::array<std::uint8_t, 4> bytes{};
  bool valid = false;
};

// One value control to set: its id and its text ("0", "1" or two hexadecimal digits).
struct StatusText {
  int id;
  char text[3];
};

constexpr int kMaxStatusTexts = 8 + 8;

// Compares the shadow's status bytes with the cache (forcing every group the first time),
// caches the changed ones and returns the texts of their controls, groups in the order
// 0x1A, 0x1B, 0x1C, 0x1F.
int statusUpdates(StatusCache& cache, const RegisterShadow& shadow,
                  std::array<StatusText, kMaxStatusTexts>& out);

// Bits 6-0 of a text-slicer byte as two lower-case hexadecimal digits ("%02x").
void slicerByteText(std::uint8_t b, char (&text)[3]);

}  // namespace quorvex
