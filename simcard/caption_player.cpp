#include "simcard/caption_player.h"

#include <cstdio>

#include "qvx/captions/scc_file.h"
#include "simcard/decoder_rules.h"
#include "simcard/text_values.h"

namespace simcard {

std::optional<CaptionFaults> parseCaptionFaults(std::string_view text) {
  CaptionFaults f;
  struct Key {
    std::string_view name;
    unsigned CaptionFaults::*field;
  };
  static const Key keys[] = {{"parity-every=", &CaptionFaults::parityEvery},
                             {"drop-every=", &CaptionFaults::dropEvery}};
  for (std::string_view item : splitList(text)) {
    bool known = false;
    for (const Key& k : keys) {
      if (item.substr(0, k.name.size()) != k.name) continue;
      auto n = parseDecimal(item.substr(k.name.size()));
      if (!n || *n == 0) return std::nullopt;
      f.*k.field = *n;
      known = true;
    }
    if (!known) return std::nullopt;
  }
  return f;
}

bool loadCaptionFile(const char* path, std::vector<ScheduledPair>& pairs, std::string& error) {
  static captions::SccReader reader;
  static captions::SccLine line;
  reader = captions::SccReader{};
  reader.file = std::fopen(path, "rb");
  if (!reader.file) {
    error = "cannot read the file";
    return false;
  }
  pairs.clear();
  while (captions::readSccLine(reader, line))
    for (int i = 0; i < line.pairCount; ++i)
      pairs.push_back({line.bytes[2 * i], line.bytes[2 * i + 1], line.frame * 1001});
  std::fclose(reader.file);
  if (reader.error) error = "line " + std::to_string(reader.lineNumber) + ": " + reader.error;
  return !reader.error;
}

CaptionPlayer::CaptionPlayer(std::vector<ScheduledPair> pairs, CaptionFaults faults)
    : pairs_(std::move(pairs)), faults_(faults) {}

namespace {

constexpr std::int64_t kFrame60 = 1001, kFrame50 = 1200;
constexpr std::uint8_t kF1Ready = 0x01, kF1Valid = 0x02;

// Ticks as milliseconds with three decimals.
std::string msText(std::int64_t ticks) {
  std::int64_t us = ticks * 100 / 3;
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(us / 1000), static_cast<long long>(us % 1000));
  return text;
}

}  // namespace

void CaptionPlayer::latch(std::uint8_t first, std::uint8_t second, bool valid, std::size_t number,
                          std::vector<std::string>& log) {
  bool beingRead = held_ && !newer_;  // its first byte is read, its second is held
  if (ready_ && latched_ && !beingRead) log.push_back("lost " + std::to_string(latched_));
  if (held_) newer_ = true;
  first_ = first;
  second_ = second;
  valid_ = valid;
  ready_ = true;
  latched_ = number;
}

void CaptionPlayer::latchFrame(std::int64_t frameTicks, std::vector<std::string>& log) {
  if (next_ >= pairs_.size() || pairs_[next_].notBefore > frameTicks) {
    latch(0x80, 0x80, true, 0, log);
    return;
  }
  const ScheduledPair& p = pairs_[next_++];
  std::size_t n = next_;
  if (faults_.dropEvery && n % faults_.dropEvery == 0) {
    log.push_back("drop " + std::to_string(n));  // the chip misses the frame and keeps what it held
    return;
  }
  bool damaged = faults_.parityEvery && n % faults_.parityEvery == 0;
  std::uint8_t second = damaged ? static_cast<std::uint8_t>(p.second ^ 0x80) : p.second;
  latch(p.first, second, !damaged, n, log);
  log.push_back("latch " + std::to_string(n) + " " + hex2(p.first) + hex2(second) + " at " + msText(frameTicks) +
                (damaged ? " parity" : ""));
}

void CaptionPlayer::advance(std::int64_t ticks, bool sixtyHertz, std::vector<std::string>& log) {
  while (nextFrame_ <= ticks) {
    latchFrame(nextFrame_, log);
    nextFrame_ += sixtyHertz ? kFrame60 : kFrame50;
  }
}

std::uint8_t CaptionPlayer::read(unsigned subaddress, std::int64_t ticks, bool sixtyHertz,
                                 std::vector<std::string>& log) {
  advance(ticks, sixtyHertz, log);
  switch (subaddress) {
    case kSlicerStatus:
      return static_cast<std::uint8_t>((ready_ ? kF1Ready : 0) | (valid_ ? kF1Valid : 0));
    case kSlicerByte1:
      held_ = true;
      newer_ = false;
      heldSecond_ = second_;
      heldPair_ = latched_;
      heldReady_ = ready_;
      return first_;
    default: {
      std::uint8_t second = held_ ? heldSecond_ : second_;
      std::size_t pair = held_ ? heldPair_ : latched_;
      bool wasReady = held_ ? heldReady_ : ready_;
      if (!(held_ && newer_)) ready_ = false;
      held_ = false;
      if (wasReady && pair) log.push_back("read " + std::to_string(pair));
      return second;
    }
  }
}

}  // namespace simcard
