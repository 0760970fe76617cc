// Scenarist caption files: a first line "Scenarist_SCC V1.0", then lines of a time code
// (HH:MM:SS:FF, or HH:MM:SS;FF for drop-frame) and byte pairs of four hexadecimal digits,
// each pair sent in a frame of its own from the time code on. Read line by line into fixed
// buffers, with C stdio; platform-free.
#pragma once
#include <cstdint>
#include <cstdio>

namespace captions {

constexpr int kMaxSccLine = 8192;  // characters of a line, its end included
constexpr int kMaxSccPairs = kMaxSccLine / 5 + 1;

// Plain records without initializers, so that static ones take no file space: start them
// from SccReader{} and SccLine{}.
struct SccLine {
  long long frame;  // the time code as a frame number at 29.97 frames a second
  int pairCount;
  std::uint8_t bytes[2 * kMaxSccPairs];
};

struct SccReader {
  std::FILE* file;
  long lineNumber;  // of the line read last
  bool headerRead;
  long long lastFrame;
  const char* error;  // why the last read failed; null at the end of the file
  char text[kMaxSccLine];
};

// Reads on to the next caption line. False at the end of the file (error null) or at a bad
// line (error set; lineNumber is its number).
bool readSccLine(SccReader& r, SccLine& line);

// Milliseconds from frame 0 to the start of frame (29.97 frames a second: 1001/30 ms each).
long long frameMs(long long frame);

}  // namespace captions
