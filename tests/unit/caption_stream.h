// Caption byte streams for the tests, built the way a caption encoder sends them: control
// codes twice, two characters a pair, odd parity added to every byte.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace captions_test {

using Pair = std::pair<std::uint8_t, std::uint8_t>;

inline std::uint8_t odd(std::uint8_t c) {
  c &= 0x7F;
  return __builtin_parity(c) ? c : static_cast<std::uint8_t>(c | 0x80);
}

struct Stream {
  std::vector<Pair> pairs;
  int channel = 1;

  // A control code sent twice; first is given for channel 1 (0x10-0x17).
  Stream& code(std::uint8_t first, std::uint8_t second, int times = 2) {
    if (channel == 2) first |= 0x08;
    for (int i = 0; i < times; ++i) pairs.push_back({odd(first), odd(second)});
    return *this;
  }
  Stream& rcl() { return code(0x14, 0x20); }
  Stream& eoc() { return code(0x14, 0x2F); }
  Stream& edm() { return code(0x14, 0x2C); }
  Stream& cr() { return code(0x14, 0x2D); }
  Stream& rdc() { return code(0x14, 0x29); }
  Stream& ru(int rows) { return code(0x14, static_cast<std::uint8_t>(0x25 + rows - 2)); }
  // A preamble address code: row 1-15, indent 0-28 (a multiple of 4), white.
  Stream& pac(int row, int indent = 0) {
    static const std::uint8_t first[15] = {0x11, 0x11, 0x12, 0x12, 0x15, 0x15, 0x16, 0x16,
                                           0x17, 0x17, 0x10, 0x13, 0x13, 0x14, 0x14};
    static const bool lower[15] = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1};
    std::uint8_t second = static_cast<std::uint8_t>(0x40 | (lower[row - 1] ? 0x20 : 0));
    if (indent) second |= static_cast<std::uint8_t>(0x10 | (indent / 4) << 1);
    return code(first[row - 1], second);
  }
  // A preamble address code with a colour (0-6) or italics (7) instead of an indent.
  Stream& pacStyled(int row, int style) {
    pac(row);
    pairs.back().second = odd(static_cast<std::uint8_t>((pairs.back().second & 0x60) | (style << 1)));
    pairs[pairs.size() - 2] = pairs.back();
    return *this;
  }
  Stream& midRow(int style) { return code(0x11, static_cast<std::uint8_t>(0x20 | (style << 1))); }
  Stream& text(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); i += 2)
      pairs.push_back({odd(static_cast<std::uint8_t>(s[i])),
                       i + 1 < s.size() ? odd(static_cast<std::uint8_t>(s[i + 1])) : std::uint8_t{0x80}});
    return *this;
  }
  Stream& null(int n = 1) {
    for (int i = 0; i < n; ++i) pairs.push_back({0x80, 0x80});
    return *this;
  }
  Stream& raw(std::uint8_t a, std::uint8_t b) {
    pairs.push_back({a, b});
    return *this;
  }
};

}  // namespace captions_test
