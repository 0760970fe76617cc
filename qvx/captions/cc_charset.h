// The caption character sets: the standard characters (one byte), the special characters
// (0x11 0x30-0x3F) and the extended Western European characters (0x12 and 0x13, 0x20-0x3F),
// as Unicode code points. Bytes are without their parity bit.
#pragma once
#include <cstdint>

namespace captions {

// A standard character 0x20-0x7F; 0 for any other byte.
char32_t standardCharacter(std::uint8_t c);
// The special character 0x11 c (c 0x30-0x3F); 0 otherwise. 0x39 is the transparent space.
char32_t specialCharacter(std::uint8_t c);
// The extended character first second (first 0x12 or 0x13, second 0x20-0x3F); 0 otherwise.
char32_t extendedCharacter(std::uint8_t first, std::uint8_t second);

// The UTF-8 bytes of c into out (room for 4); returns how many.
int utf8(char32_t c, char* out);

}  // namespace captions
