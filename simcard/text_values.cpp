#include "simcard/text_values.h"

namespace simcard {

std::vector<std::string_view> splitList(std::string_view text) {
  std::vector<std::string_view> items;
  if (text.empty()) return items;
  for (;;) {
    std::size_t comma = text.find(',');
    items.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

namespace {
int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::optional<std::uint8_t> parseHexByte(std::string_view text) {
  if (text.size() != 2) return std::nullopt;
  int hi = hexDigit(text[0]), lo = hexDigit(text[1]);
  if (hi < 0 || lo < 0) return std::nullopt;
  return static_cast<std::uint8_t>(hi * 16 + lo);
}

std::optional<unsigned> parseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  unsigned long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<unsigned>(c - '0');
  }
  if (n > 0x7FFFFFFFull) return std::nullopt;
  return static_cast<unsigned>(n);
}

std::string hex2(unsigned value) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), digits[value & 15]);
    value >>= 4;
  } while (value);
  if (s.size() < 2) s.insert(s.begin(), '0');
  return s;
}

}  // namespace simcard
