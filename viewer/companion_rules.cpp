#include "viewer/companion_rules.h"

#include <cstring>

SecamArgument secamArgument(unsigned char code) {
  static constexpr char digits[] = "0123456789abcdef";
  return SecamArgument{{'s', digits[code >> 4], digits[code & 0x0F], '\0'}};
}

namespace {

// Appends text at position at of buffer; false when it and the terminator do not fit.
bool append(char* buffer, std::size_t size, std::size_t& at, const char* text) {
  std::size_t length = std::strlen(text);
  if (at >= size || length >= size - at) return false;
  std::memcpy(buffer + at, text, length + 1);
  at += length;
  return true;
}

bool fail(char* buffer, std::size_t size) {
  if (size > 0) buffer[0] = '\0';
  return false;
}

}  // namespace

bool siblingPath(char* path, std::size_t size, std::size_t length, const char* fileName) {
  if (length == 0 || length >= size) return fail(path, size);
  std::size_t cut = length;
  while (cut > 0 && path[cut - 1] != '\\') --cut;
  if (cut == 0) return fail(path, size);
  path[cut] = '\0';
  return append(path, size, cut, fileName) || fail(path, size);
}

bool composeCommandLine(char* commandLine, std::size_t size, const char* programPath,
                        const char* argument) {
  std::size_t at = 0;
  bool fits = append(commandLine, size, at, "\"") && append(commandLine, size, at, programPath) &&
              append(commandLine, size, at, "\"");
  if (fits && argument != nullptr && argument[0] != '\0') {
    fits = append(commandLine, size, at, " ") && append(commandLine, size, at, argument);
  }
  return fits || fail(commandLine, size);
}
