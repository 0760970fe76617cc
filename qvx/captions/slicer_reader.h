// Reads the chip's text slicer live on a thread of its own, so that printing and writing
// files never delay a read: each frame's pair of field 1 (0x1B, 0x1C, when F1RDY in 0x1A is
// set) with the time it was seen. It polls just after each frame is due (the frame rate from
// FSEL, the phase from the pairs seen), so that a pair is read early in the frame it lasts.
// Needs an open live run (qvx/live_session.h); only the Windows build has one.
#pragma once
#include <cstdint>

#include "qvx/text.h"

namespace captions {

struct SlicedPair {
  std::uint8_t first, second;
  long long ms;  // since the live run was opened
};

// False with error when no reader could be started.
bool startSlicerReader(qvx::Text& error);
// Moves up to max pairs read since the last call into pairs, waiting up to waitMs for the
// first; returns how many, or -1 once the reader has ended and every pair is taken.
int takeSlicedPairs(SlicedPair* pairs, int max, int waitMs);
// Stops the reader and waits for it; false when it had stopped because the server failed.
bool stopSlicerReader();

}  // namespace captions
