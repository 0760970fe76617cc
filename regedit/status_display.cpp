// Change detection and texts of the status display.
#include "regedit/status_display.h"

namespace quorvex {

void slicerByteText(std::uint8_t b, char (&text)[3]) {
  static constexpr char digits[] = "0123456789abcdef";
  text[0] = digits[(b & 0x7F) >> 4];
  text[1] = digits[b & 0x0F];
  text[2] = '\0';
}

namespace {

// The text of one value control: a digit, or two hexadecimal digits.
StatusText fieldText(const ShownField& f, std::uint8_t b) {
  StatusText t{f.id, {}};
  std::uint8_t value = static_cast<std::uint8_t>((b & f.mask) >> f.shift);
  if (f.hex) {
    slicerByteText(value, t.text);
  } else {
    t.text[0] = static_cast<char>('0' + value);
    t.text[1] = '\0';
  }
  return t;
}

// The texts of the fields of one status register for its byte, in control order.
int registerTexts(std::uint8_t subaddress, std::uint8_t b, StatusText* out) {
  int count = 0;
  for (const ShownField& f : statusFields)
    if (f.subaddress == subaddress) out[count++] = fieldText(f, b);
  return count;
}

}  // namespace

int statusUpdates(StatusCache& cache, const RegisterShadow& shadow,
                  std::array<StatusText, kMaxStatusTexts>& out) {
  if (!cache.valid) {
    // Differ from every byte once, so that each group is shown on the first display.
    for (int g = 0; g < 4; ++g)
      cache.bytes[g] = static_cast<std::uint8_t>(shadow.bytes[statusRegisters[g]] + 1);
    cache.valid = true;
  }
  int count = 0;
  for (int g = 0; g < 4; ++g) {
    std::uint8_t b = shadow.bytes[statusRegisters[g]];
    if (b == cache.bytes[g]) continue;
    cache.bytes[g] = b;
    count += registerTexts(statusRegisters[g], b, &out[count]);
  }
  return count;
}

}  // namespace quorvex
