#include "simcard/decoder_rules.h"

#include "simcard/text_values.h"

namespace simcard {

const Registers defaultRegisters = {0x00, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0,
                                    0x88, 0x01, 0x80, 0x47, 0x40, 0x00, 0x01, 0x00,
                                    0x40, 0x1C, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

Registers powerOnRegisters(unsigned chipVersion) {
  Registers regs = defaultRegisters;
  regs[kChipVersion] = static_cast<std::uint8_t>((chipVersion & 0x0F) << 4);
  return regs;
}

bool isStatus(unsigned subaddress) {
  return subaddress == kSlicerStatus || subaddress == kSlicerByte1 ||
         subaddress == kSlicerByte2 || subaddress == kStatus;
}

bool isReadOnly(unsigned subaddress) { return subaddress == kChipVersion || isStatus(subaddress); }

std::uint8_t withOddParity(std::uint8_t character) {
  std::uint8_t c = character & 0x7F;
  unsigned ones = 0;
  for (std::uint8_t b = c; b; b >>= 1) ones += b & 1;
  return ones % 2 ? c : static_cast<std::uint8_t>(c | 0x80);
}

std::optional<StatusPins> parseStatusPins(std::string_view text) {
  StatusPins pins{};
  for (std::string_view item : splitList(text)) {
    if (item.size() != 5 || item[2] != ':') return std::nullopt;
    auto sub = parseHexByte(item.substr(0, 2));
    auto value = parseHexByte(item.substr(3, 2));
    if (!sub || !value || !isStatus(*sub)) return std::nullopt;
    pins[*sub] = *value;
  }
  return pins;
}

namespace {

struct SlicerStep {
  std::uint8_t byte1, byte2;  // 0 when no character
};

SlicerStep slicerStep(std::uint32_t ms) {
  constexpr unsigned textSteps = (kCaption.size() + 1) / 2;
  constexpr unsigned pauseSteps = 2;
  unsigned step = (ms / kSlicerStepMs) % (textSteps + pauseSteps);
  if (step >= textSteps) return {0, 0};
  unsigned i = step * 2;
  auto at = [](unsigned k) -> std::uint8_t {
    return k < kCaption.size() ? static_cast<std::uint8_t>(kCaption[k]) : 0;
  };
  return {at(i), at(i + 1)};
}

std::uint8_t liveStatus(const Registers& regs, unsigned subaddress, std::uint32_t ms) {
  SlicerStep s = slicerStep(ms);
  switch (subaddress) {
    case kSlicerStatus:  // F1RDY, F1VAL, F2RDY, F2VAL: ready always, valid with a character
      return static_cast<std::uint8_t>(0x05 | (s.byte1 ? 0x02 : 0) | (s.byte2 ? 0x08 : 0));
    case kSlicerByte1: return withOddParity(s.byte1);
    case kSlicerByte2: return withOddParity(s.byte2);
    default:
      return static_cast<std::uint8_t>(kHlck | (sixtyHertz(regs) ? kFidt : 0) |
                                       (colourOn(regs) && standardIsSet(regs) ? kCode : 0));
  }
}

}  // namespace

std::uint8_t readValue(const Registers& regs, unsigned subaddress, std::uint32_t ms,
                       const StatusPins& pins) {
  if (subaddress >= kRegisterCount) return 0;
  if (pins[subaddress]) return *pins[subaddress];
  return isStatus(subaddress) ? liveStatus(regs, subaddress, ms) : regs[subaddress];
}

unsigned colourStandard(const Registers& regs) { return (regs[kChroma] >> 4) & 7; }
bool sixtyHertz(const Registers& regs) { return (regs[kSyncControl] & kFsel) != 0; }
bool standardIsSet(const Registers& regs) {
  unsigned cstd = colourStandard(regs);
  return cstd != 4 && cstd != 6 && cstd != 7;
}
bool colourOn(const Registers& regs) { return (regs[kOutputControl] & kColo) != 0; }

}  // namespace simcard
