#include "simcard/secam_args.h"

#include "simcard/text_values.h"

namespace simcard {
namespace {
bool blank(char c) { return c == ' ' || c == '\t'; }
bool lowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
}  // namespace

std::string_view argumentsOf(std::string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    std::size_t close = commandLine.find('"', 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  }
  while (i < commandLine.size() && !blank(commandLine[i])) ++i;
  while (i < commandLine.size() && blank(commandLine[i])) ++i;
  return commandLine.substr(i);
}

std::optional<std::uint8_t> parseSecamArgument(std::string_view arguments) {
  while (!arguments.empty() && blank(arguments.back())) arguments.remove_suffix(1);
  if (arguments.size() != 3 || arguments[0] != 's' || !lowerHex(arguments[1]) || !lowerHex(arguments[2]))
    return std::nullopt;
  return parseHexByte(arguments.substr(1));
}

}  // namespace simcard
