// The text slicer playing a Scenarist caption file (SIMCARD_CAPTIONS), as a line-21 source
// would send it: each pair in a frame of its own from its line's time code on, frames at the
// chip's rate (29.97 a second with 60 Hz fields, 25 with 50 Hz), null pairs (0x80 0x80)
// between lines. Ready until read: a frame's pair sets F1RDY (and F1VAL unless it has a
// parity error) in 0x1A; reading 0x1B holds the pair's second byte for the read of 0x1C that
// follows, which clears F1RDY unless a newer pair came meanwhile; a pair not read before the
// next frame is overwritten. Platform-free; the time is given by the caller.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simcard {

// SIMCARD_CAPTIONS_FAULTS: parity-every=N (every Nth pair of the file with a parity error in
// its second byte), drop-every=N (every Nth pair never latched).
struct CaptionFaults {
  unsigned parityEvery = 0, dropEvery = 0;
};
std::optional<CaptionFaults> parseCaptionFaults(std::string_view text);

// Time in ticks of 1/30000 s: a frame is 1001 ticks at 29.97 frames a second, 1200 at 25.
constexpr std::int64_t kTicksPerSecond = 30000;

struct ScheduledPair {
  std::uint8_t first, second;
  std::int64_t notBefore;  // its line's time code, in ticks
};

// The pairs of a Scenarist file; false with error ("line N: ...") when it is not one.
bool loadCaptionFile(const char* path, std::vector<ScheduledPair>& pairs, std::string& error);

class CaptionPlayer {
 public:
  CaptionPlayer(std::vector<ScheduledPair> pairs, CaptionFaults faults);
  // The value of slicer register 0x1A, 0x1B or 0x1C read at ticks since the clock started,
  // with the chip at 60 Hz or not. What happened to the file's pairs on the way is appended
  // to log, a line each: "latch N XXXX at MS" (" parity" when damaged), "drop N", "lost N"
  // (overwritten unread), "read N" (N counts the file's pairs from 1; MS since the start).
  std::uint8_t read(unsigned subaddress, std::int64_t ticks, bool sixtyHertz, std::vector<std::string>& log);
  std::size_t pairCount() const { return pairs_.size(); }

 private:
  void advance(std::int64_t ticks, bool sixtyHertz, std::vector<std::string>& log);
  void latchFrame(std::int64_t frameTicks, std::vector<std::string>& log);
  void latch(std::uint8_t first, std::uint8_t second, bool valid, std::size_t number, std::vector<std::string>& log);

  std::vector<ScheduledPair> pairs_;
  CaptionFaults faults_;
  std::size_t next_ = 0;        // the file's next pair
  std::int64_t nextFrame_ = 0;  // when the next frame comes, in ticks
  std::uint8_t first_ = 0x80, second_ = 0x80;
  bool ready_ = false, valid_ = false;
  std::size_t latched_ = 0;  // number of the file pair latched, 0 for a null pair
  bool held_ = false, newer_ = false;
  std::uint8_t heldSecond_ = 0x80;
  std::size_t heldPair_ = 0;
  bool heldReady_ = false;
};

}  // namespace simcard
