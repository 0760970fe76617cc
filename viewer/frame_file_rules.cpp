#include "viewer/frame_file_rules.h"

namespace {

// Text built into a caller's buffer; fails once anything does not fit with the terminator.
struct Text {
  char* buffer;
  std::size_t size;
  std::size_t length = 0;
  bool fits = true;

  void add(char c) {
    if (length + 1 >= size) fits = false;
    if (fits) buffer[length++] = c;
  }
  void add(const char* text) {
    while (*text) add(*text++);
  }
  // value in decimal, with leading zeros to at least width digits.
  void add(int value, int width) {
    char digits[12];
    int count = 0;
    for (unsigned v = static_cast<unsigned>(value); v > 0 || count < width; v /= 10) digits[count++] = '0' + v % 10;
    while (count > 0) add(digits[--count]);
  }
};

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool frameFilePath(char* path, std::size_t size, const char* folder, const FrameTime& t, int number) {
  if (size == 0) return false;
  Text text{path, size};
  text.fits = number >= 1 && folder[0] != '\0';
  text.add(folder);
  if (text.length == 0 || !isSeparator(folder[text.length - 1])) text.add('\\');
  text.add("vistrel-");
  text.add(t.year, 4), text.add(t.month, 2), text.add(t.day, 2);
  text.add('-');
  text.add(t.hour, 2), text.add(t.minute, 2), text.add(t.second, 2);
  if (number > 1) text.add('-'), text.add(number, 1);
  text.add(".png");
  path[text.fits ? text.length : 0] = '\0';
  return text.fits;
}

bool isRelativeFolder(const char* folder) {
  if (isSeparator(folder[0])) return false;
  const char c = folder[0];
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return !(letter && folder[1] == ':');
}
