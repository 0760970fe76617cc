// The SECAM companion's command line: "s" and two lower-case hexadecimal digits.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace simcard {

// The text after the program's path (quoted or not), without the blanks that separate them.
std::string_view argumentsOf(std::string_view commandLine);

// The byte of an argument text "sXX" (trailing blanks allowed); nullopt when missing or malformed.
std::optional<std::uint8_t> parseSecamArgument(std::string_view arguments);

}  // namespace simcard
