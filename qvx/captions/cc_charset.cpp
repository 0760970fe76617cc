// The caption character sets.
#include "qvx/captions/cc_charset.h"

namespace captions {
namespace {

// Where the standard set differs from ASCII.
struct Replacement {
  std::uint8_t code;
  char32_t character;
};
constexpr Replacement kStandardReplacements[] = {
    {0x2A, U'\u00E1'}, {0x5C, U'\u00E9'}, {0x5E, U'\u00ED'}, {0x5F, U'\u00F3'}, {0x60, U'\u00FA'},
    {0x7B, U'\u00E7'}, {0x7C, U'\u00F7'}, {0x7D, U'\u00D1'}, {0x7E, U'\u00F1'}, {0x7F, U'\u25A0'},
};

constexpr char32_t kSpecial[16] = {
    U'\u00AE', U'\u00B0', U'\u00BD', U'\u00BF', U'\u2122', U'\u00A2', U'\u00A3', U'\u266A',
    U'\u00E0', U' ',      U'\u00E8', U'\u00E2', U'\u00EA', U'\u00EE', U'\u00F4', U'\u00FB',
};

// Spanish, French and miscellaneous (0x12), then Portuguese, German and Danish (0x13).
constexpr char32_t kExtended[2][32] = {
    {U'\u00C1', U'\u00C9', U'\u00D3', U'\u00DA', U'\u00DC', U'\u00FC', U'\u2018', U'\u00A1',
     U'*',      U'\'',     U'\u2500', U'\u00A9', U'\u2120', U'\u2022', U'\u201C', U'\u201D',
     U'\u00C0', U'\u00C2', U'\u00C7', U'\u00C8', U'\u00CA', U'\u00CB', U'\u00EB', U'\u00CE',
     U'\u00CF', U'\u00EF', U'\u00D4', U'\u00D9', U'\u00F9', U'\u00DB', U'\u00AB', U'\u00BB'},
    {U'\u00C3', U'\u00E3', U'\u00CD', U'\u00CC', U'\u00EC', U'\u00D2', U'\u00F2', U'\u00D5',
     U'\u00F5', U'{',      U'}',      U'\\',     U'^',      U'_',      U'|',      U'~',
     U'\u00C4', U'\u00E4', U'\u00D6', U'\u00F6', U'\u00DF', U'\u00A5', U'\u00A4', U'\u2502',
     U'\u00C5', U'\u00E5', U'\u00D8', U'\u00F8', U'\u250C', U'\u2510', U'\u2514', U'\u2518'},
};

}  // namespace

char32_t standardCharacter(std::uint8_t c) {
  if (c < 0x20 || c > 0x7F) return 0;
  for (const Replacement& r : kStandardReplacements)
    if (r.code == c) return r.character;
  return c;
}

char32_t specialCharacter(std::uint8_t c) { return c >= 0x30 && c <= 0x3F ? kSpecial[c - 0x30] : 0; }

char32_t extendedCharacter(std::uint8_t first, std::uint8_t second) {
  if ((first != 0x12 && first != 0x13) || second < 0x20 || second > 0x3F) return 0;
  return kExtended[first - 0x12][second - 0x20];
}

int utf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

}  // namespace captions
