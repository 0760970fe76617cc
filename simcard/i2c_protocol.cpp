#include "simcard/i2c_protocol.h"

#include "simcard/text_values.h"

namespace simcard {

namespace {

// "N:MS" of delay-after.
bool parseDelay(std::string_view text, I2cFaults& f) {
  size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  auto after = parseDecimal(text.substr(0, colon));
  auto ms = parseDecimal(text.substr(colon + 1));
  if (!after || !ms) return false;
  f.delayAfter = after;
  f.delayMs = *ms;
  return true;
}

}  // namespace

std::optional<I2cFaults> parseI2cFaults(std::string_view text) {
  I2cFaults f;
  struct Counted {
    std::string_view key;
    std::optional<unsigned> I2cFaults::*field;
  };
  static const Counted counted[] = {{"nak-after=", &I2cFaults::nakAfter},
                                    {"exit-after=", &I2cFaults::exitAfter},
                                    {"hang-after=", &I2cFaults::hangAfter},
                                    {"bad-ack=", &I2cFaults::badAck},
                                    {"late-window=", &I2cFaults::lateWindowMs}};
  struct Flag {
    std::string_view key;
    bool I2cFaults::*field;
  };
  static const Flag flags[] = {{"no-window", &I2cFaults::noWindow}, {"noisy", &I2cFaults::noisy}};
  for (std::string_view item : splitList(text)) {
    constexpr std::string_view delay = "delay-after=";
    if (item.substr(0, delay.size()) == delay) {
      if (!parseDelay(item.substr(delay.size()), f)) return std::nullopt;
      continue;
    }
    bool known = false;
    for (const Flag& g : flags)
      if (item == g.key) f.*g.field = known = true;
    for (const Counted& c : counted) {
      if (item.substr(0, c.key.size()) != c.key) continue;
      auto n = parseDecimal(item.substr(c.key.size()));
      if (!n) return std::nullopt;
      f.*c.field = *n;
      known = true;
    }
    if (!known) return std::nullopt;
  }
  return f;
}

namespace {

constexpr std::uint32_t kBadAck = 0x55;  // what bad-ack=N puts in bits 8-15

// Garbage for the bits a reply leaves unused: two complementary patterns taking turns, so
// that every such bit is set by one request in two and none is ever all zero.
std::uint32_t noiseHigh(unsigned n) { return n % 2 ? 0xA5A50000u : 0x5A5A0000u; }
std::uint32_t noiseLow(unsigned n) { return n % 2 ? 0xA5u : 0x5Au; }

}  // namespace

I2cOutcome I2cServerCore::handle(unsigned message, std::uint32_t subaddress, std::uint32_t lParam,
                                 Registers& regs, std::uint32_t ms, const StatusPins& pins) {
  I2cOutcome out;
  if (faults_.hangAfter && count_ >= *faults_.hangAfter) {
    out.hang = true;
    return out;
  }
  ++count_;
  if (faults_.delayAfter && count_ > *faults_.delayAfter) out.delayMs = faults_.delayMs;
  bool badAck = faults_.badAck && count_ == *faults_.badAck;
  bool nak = badAck || subaddress >= kRegisterCount || (faults_.nakAfter && count_ > *faults_.nakAfter);
  std::uint32_t ack = (badAck ? kBadAck : nak ? 0 : I2C_ACK) << 8;
  std::uint32_t noise = faults_.noisy ? noiseHigh(count_) : 0;
  std::string sub = hex2(subaddress);
  if (message == WM_I2C_WRITE) {
    std::uint8_t value = static_cast<std::uint8_t>(lParam & 0xFF);
    out.logLine = "write " + sub + " " + hex2(value) + (nak ? " nak" : " ack");
    if (!nak && !isReadOnly(subaddress)) regs[subaddress] = value;
    out.reply = ack | noise | (faults_.noisy ? noiseLow(count_) : 0);
  } else {
    // A bad acknowledge still carries the value, which the caller must not take.
    bool carriesValue = subaddress < kRegisterCount && (!nak || badAck);
    bool fromSlicer = slicer_ && subaddress >= kSlicerStatus && subaddress <= kSlicerByte2 && !pins[subaddress];
    std::uint8_t value = !carriesValue ? 0 : fromSlicer ? slicer_->readSlicer(subaddress) : readValue(regs, subaddress, ms, pins);
    out.logLine = "read " + sub + (nak ? " nak" : " " + hex2(value) + " ack");
    out.reply = ack | noise | value;
  }
  out.exitAfterReply = faults_.exitAfter && count_ >= *faults_.exitAfter;
  return out;
}

}  // namespace simcard
