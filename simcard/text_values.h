// Small text rules shared by the stand-ins: comma lists, numbers, hexadecimal bytes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simcard {

// Items of a comma list; an empty text has none. Items are not trimmed.
std::vector<std::string_view> splitList(std::string_view text);

// Two hexadecimal digits of either case.
std::optional<std::uint8_t> parseHexByte(std::string_view text);

// A decimal number 0 to 2^31-1, digits only.
std::optional<unsigned> parseDecimal(std::string_view text);

// Two lower-case hexadecimal digits, as the logs write bytes.
std::string hex2(unsigned value);

}  // namespace simcard
