// The stand-in's caption stream: when each pair of a file is latched, ready until read, what
// a late reader loses, and the injected faults, all as the log tells a bench.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "simcard/caption_player.h"

using namespace simcard;

namespace {

using Log = std::vector<std::string>;
constexpr std::int64_t kFrame = 1001;  // ticks of a frame at 29.97 a second

// Two lines: three pairs at frame 2, one pair at frame 3 (so it waits for the line before).
std::vector<ScheduledPair> twoLines() {
  return {{0x94, 0x20, 2 * kFrame}, {0x94, 0x20, 2 * kFrame}, {0xC1, 0x80, 2 * kFrame}, {0x94, 0x2F, 3 * kFrame}};
}

struct Reader {
  CaptionPlayer player;
  Log log;
  bool sixty = true;
  // Reads a pair as qvx does at frame number f (a little after its start): 0x1A, then 0x1B and
  // 0x1C when F1RDY is set. Returns "XXYY" or "" when nothing was ready.
  std::string readAt(double frame) {
    auto t = static_cast<std::int64_t>(frame * (sixty ? kFrame : 1200));
    if (!(player.read(0x1A, t, sixty, log) & 1)) return "";
    char text[8];
    unsigned a = player.read(0x1B, t, sixty, log), b = player.read(0x1C, t, sixty, log);
    snprintf(text, sizeof text, "%02x%02x", a, b);
    return text;
  }
};

}  // namespace

TEST(CaptionPlayer, EachPairInAFrameOfItsOwnFromItsTimeCodeWithNullPairsBetween) {
  Reader r{CaptionPlayer(twoLines(), {}), {}};
  std::vector<std::string> frames;
  for (int f = 0; f < 8; ++f) frames.push_back(r.readAt(f + 0.1));
  EXPECT_EQ(frames, (std::vector<std::string>{"8080", "8080", "9420", "9420", "c180", "942f", "8080", "8080"}));
  EXPECT_EQ(r.log, (Log{"latch 1 9420 at 66.733", "read 1", "latch 2 9420 at 100.100", "read 2",
                        "latch 3 c180 at 133.466", "read 3", "latch 4 942f at 166.833", "read 4"}));
  EXPECT_EQ(r.readAt(7.6), "") << "read already: F1RDY stays clear until the next frame";
}

TEST(CaptionPlayer, APairNotReadWithinItsFrameIsLost) {
  Reader r{CaptionPlayer(twoLines(), {}), {}};
  r.readAt(1.5);
  EXPECT_EQ(r.readAt(3.9), "9420") << "frame 3's pair; frame 2's was overwritten";
  EXPECT_NE(std::find(r.log.begin(), r.log.end(), "lost 1"), r.log.end());
  EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "read 2"), 1);
  // 50 Hz fields: a frame every 40 ms, so frame 2's pair comes at 80 ms, not 66.7.
  Reader slow{CaptionPlayer(twoLines(), {}), {}, false};
  EXPECT_EQ(slow.readAt(2.1), "9420");
  EXPECT_EQ(slow.log.front(), "latch 1 9420 at 80.000");
}

TEST(CaptionPlayer, ReadingTheFirstByteHoldsTheSecondUntilItIsRead) {
  CaptionPlayer p({{0x94, 0x20, 2 * kFrame}, {0xC1, 0x80, 2 * kFrame}}, {});
  Log log;
  p.read(0x1A, 2 * kFrame + 900, true, log);
  EXPECT_EQ(p.read(0x1B, 2 * kFrame + 900, true, log), 0x94);
  // The next frame comes between the two reads: the held pair is still read whole, and the
  // new one stays ready.
  EXPECT_EQ(p.read(0x1C, 3 * kFrame + 100, true, log), 0x20) << "not the 0x80 of the pair latched since";
  EXPECT_EQ(p.read(0x1A, 3 * kFrame + 200, true, log) & 1, 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "lost 1"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "read 1"), 1);
}

TEST(CaptionPlayer, FaultsDamageOrDropEveryNthPairOfTheFile) {
  Reader damaged{CaptionPlayer(twoLines(), {2, 0}), {}};
  EXPECT_EQ(damaged.readAt(2.1), "9420");
  EXPECT_EQ(damaged.player.read(0x1A, 3 * kFrame + 100, true, damaged.log), 0x01) << "F1VAL clear";
  EXPECT_EQ(damaged.readAt(3.2), "94a0") << "bit 7 of the second byte flipped";
  EXPECT_EQ(damaged.log[2], "latch 2 94a0 at 100.100 parity");
  Reader dropped{CaptionPlayer(twoLines(), {0, 2}), {}};
  std::vector<std::string> frames;
  for (int f = 2; f < 6; ++f) frames.push_back(dropped.readAt(f + 0.1));
  EXPECT_EQ(frames, (std::vector<std::string>{"9420", "", "c180", ""})) << "pairs 2 and 4 never latched";
  EXPECT_EQ(dropped.log[2], "drop 2");

  EXPECT_TRUE(parseCaptionFaults(""));
  EXPECT_EQ(parseCaptionFaults("parity-every=7,drop-every=3")->parityEvery, 7u);
  for (const char* bad : {"parity-every=0", "drop-every=x", "parity=3", "drop-every=3,"})
    EXPECT_FALSE(parseCaptionFaults(bad)) << bad;
}
