// Bounded text building.
#include "qvx/text.h"

namespace qvx {

namespace {

constexpr char kCutMark[] = "...";
constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";

// value (0 or more) with zeros before it up to width digits.
Text& padded(Text& t, int value, std::size_t width) {
  char digits[12];
  std::size_t at = sizeof digits;
  do {
    digits[--at] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value || sizeof digits - at < width);
  return t << std::string_view(digits + at, sizeof digits - at);
}

}  // namespace

Text::Text(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) { buffer_[0] = '\0'; }

void Text::clear() {
  size_ = 0;
  cut_ = false;
  buffer_[0] = '\0';
}

Text& Text::operator<<(std::string_view s) {
  if (cut_) return *this;
  std::size_t room = capacity_ - 1 - size_;
  if (s.size() > room) {
    // Keep what fits before the mark, and say that the rest is missing.
    std::size_t keep = room >= sizeof kCutMark - 1 ? room - (sizeof kCutMark - 1) : 0;
    for (std::size_t i = 0; i < keep; ++i) buffer_[size_++] = s[i];
    for (std::size_t i = 0; i < sizeof kCutMark - 1 && size_ < capacity_ - 1; ++i) buffer_[size_++] = kCutMark[i];
    buffer_[size_] = '\0';
    cut_ = true;
    return *this;
  }
  for (char c : s) buffer_[size_++] = c;
  buffer_[size_] = '\0';
  return *this;
}

Text& Text::operator<<(long long n) {
  char digits[21];
  std::size_t at = sizeof digits;
  unsigned long long magnitude = n < 0 ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  do {
    digits[--at] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (n < 0) digits[--at] = '-';
  return *this << std::string_view(digits + at, sizeof digits - at);
}

Text& Text::padTo(std::size_t column) {
  while (size_ < column && !cut_) *this << ' ';
  return *this;
}

Text& operator<<(Text& t, RegisterName r) {
  const char name[] = {'0', 'x', kUpperDigits[(r.subaddress >> 4) & 15], kUpperDigits[r.subaddress & 15]};
  return t << std::string_view(name, sizeof name);
}

Text& operator<<(Text& t, ByteValue b) {
  const char value[] = {'0', 'x', kLowerDigits[(b.value >> 4) & 15], kLowerDigits[b.value & 15]};
  return t << std::string_view(value, sizeof value);
}

Text& operator<<(Text& t, MaskBits m) {
  int low = 0, high = 7;
  while (low < 7 && !(m.mask & (1u << low))) ++low;
  while (high > 0 && !(m.mask & (1u << high))) --high;
  t << high;
  return high == low ? t : t << '-' << low;
}

Text& operator<<(Text& t, Elapsed e) {
  long long ms = e.ms < 0 ? 0 : e.ms;
  padded(t, static_cast<int>(ms / 3600000), 2) << ':';
  padded(t, static_cast<int>(ms / 60000 % 60), 2) << ':';
  padded(t, static_cast<int>(ms / 1000 % 60), 2) << e.separator;
  return padded(t, static_cast<int>(ms % 1000), 3);
}

}  // namespace qvx
