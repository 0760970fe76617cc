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
                                    {"late-window=", &I2cFaults::lateWindowMs}};
  for (std::string_view item : splitList(text)) {
    if (item == "no-window") {
      f.noWindow = true;
      continue;
    }
    constexpr std::string_view delay = "delay-after=";
    if (item.substr(0, delay.size()) == delay) {
      if (!parseDelay(item.substr(delay.size()), f)) return std::nullopt;
      continue;
    }
    bool known = false;
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

I2cOutcome I2cServerCore::handle(unsigned message, std::uint32_t subaddress, std::uint32_t lParam,
                                 Registers& regs, std::uint32_t ms, const StatusPins& pins) {
  I2cOutcome out;
  if (faults_.hangAfter && count_ >= *faults_.hangAfter) {
    out.hang = true;
    return out;
  }
  ++count_;
  if (faults_.delayAfter && count_ > *faults_.delayAfter) out.delayMs = faults_.delayMs;
  bool nak = subaddress >= kRegisterCount || (faults_.nakAfter && count_ > *faults_.nakAfter);
  std::string sub = hex2(subaddress);
  if (message == WM_I2C_WRITE) {
    std::uint8_t value = static_cast<std::uint8_t>(lParam & 0xFF);
    out.logLine = "write " + sub + " " + hex2(value) + (nak ? " nak" : " ack");
    if (!nak) {
      if (!isReadOnly(subaddress)) regs[subaddress] = value;
      out.reply = I2C_ACK << 8;
    }
  } else {
    if (nak) {
      out.logLine = "read " + sub + " nak";
    } else {
      std::uint8_t value = readValue(regs, subaddress, ms, pins);
      out.logLine = "read " + sub + " " + hex2(value) + " ack";
      out.reply = (I2C_ACK << 8) | value;
    }
  }
  out.exitAfterReply = faults_.exitAfter && count_ >= *faults_.exitAfter;
  return out;
}

}  // namespace simcard
