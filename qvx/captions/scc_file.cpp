// Scenarist caption files.
#include "qvx/captions/scc_file.h"

#include <cstring>

namespace captions {
namespace {

const char kHeader[] = "Scenarist_SCC V1.0";

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool twoDigits(const char* p, int& value) {
  if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9') return false;
  value = (p[0] - '0') * 10 + (p[1] - '0');
  return true;
}

// The frame number of "HH:MM:SS:FF" or "HH:MM:SS;FF" at p; p moves past it.
const char* parseTimeCode(const char*& p, long long& frame) {
  int h, m, s, f;
  if (!twoDigits(p, h) || p[2] != ':' || !twoDigits(p + 3, m) || p[5] != ':' || !twoDigits(p + 6, s) ||
      (p[8] != ':' && p[8] != ';') || !twoDigits(p + 9, f))
    return "expected a time code HH:MM:SS:FF or HH:MM:SS;FF";
  if (m > 59 || s > 59 || f > 29) return "time code out of range (minutes and seconds 0-59, frames 0-29)";
  bool dropFrame = p[8] == ';';
  long long minutes = h * 60LL + m;
  frame = ((minutes * 60) + s) * 30 + f;
  // Drop-frame numbering skips frames 0 and 1 of every minute but each tenth.
  if (dropFrame) frame -= 2 * (minutes - minutes / 10);
  p += 11;
  return nullptr;
}

const char* parsePairs(const char* p, SccLine& line) {
  line.pairCount = 0;
  for (;;) {
    while (blank(*p)) ++p;
    if (!*p) return nullptr;
    int d[4];
    for (int i = 0; i < 4; ++i) d[i] = hexDigit(p[i]);
    if (d[0] < 0 || d[1] < 0 || d[2] < 0 || d[3] < 0 || !(blank(p[4]) || !p[4]))
      return "expected byte pairs of four hexadecimal digits";
    line.bytes[2 * line.pairCount] = static_cast<std::uint8_t>(d[0] * 16 + d[1]);
    line.bytes[2 * line.pairCount + 1] = static_cast<std::uint8_t>(d[2] * 16 + d[3]);
    ++line.pairCount;
    p += 4;
  }
}

bool isBlankLine(const char* p) {
  while (blank(*p)) ++p;
  return !*p;
}

bool fail(SccReader& r, const char* error) {
  r.error = error;
  return false;
}

}  // namespace

bool readSccLine(SccReader& r, SccLine& line) {
  r.error = nullptr;
  while (std::fgets(r.text, sizeof r.text, r.file)) {
    ++r.lineNumber;
    std::size_t n = std::strlen(r.text);
    if (n == sizeof r.text - 1 && r.text[n - 1] != '\n' && !std::feof(r.file))
      return fail(r, "line too long (more than 8190 characters)");
    const char* p = r.text;
    if (!r.headerRead) {
      if (r.lineNumber == 1 && std::strncmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;  // a UTF-8 mark
      if (isBlankLine(p)) continue;
      std::size_t len = std::strlen(kHeader);
      if (std::strncmp(p, kHeader, len) != 0 || !isBlankLine(p + len))
        return fail(r, "not a Scenarist file: the first line must be \"Scenarist_SCC V1.0\"");
      r.headerRead = true;
      continue;
    }
    if (isBlankLine(p)) continue;
    if (const char* error = parseTimeCode(p, line.frame)) return fail(r, error);
    if (*p && !blank(*p)) return fail(r, "expected a blank after the time code");
    if (line.frame < r.lastFrame) return fail(r, "time code earlier than the line before");
    if (const char* error = parsePairs(p, line)) return fail(r, error);
    r.lastFrame = line.frame;
    return true;
  }
  if (std::ferror(r.file)) return fail(r, "cannot read the file");
  if (r.lineNumber == 0) r.lineNumber = 1;  // an empty file
  if (!r.headerRead) return fail(r, "not a Scenarist file: the first line must be \"Scenarist_SCC V1.0\"");
  return false;
}

long long frameMs(long long frame) { return frame * 1001 / 30; }

}  // namespace captions
