#include "tools/bench/caption_file.h"

#include <cstdio>
#include <vector>

namespace bench {
namespace {

unsigned char odd(unsigned char c) {
  c &= 0x7F;
  return __builtin_parity(c) ? c : static_cast<unsigned char>(c | 0x80);
}

struct Writer {
  CaptionFile file;
  std::string line;
  long long nextFrame = 0;  // the first frame after the last line's pairs

  void pair(unsigned char a, unsigned char b) {
    char word[8];
    snprintf(word, sizeof word, " %02x%02x", odd(a), odd(b));
    line += word;
    ++file.pairs;
  }
  void code(unsigned char a, unsigned char b) { pair(a, b), pair(a, b); }
  void text(const std::string& s) {
    for (size_t i = 0; i < s.size(); i += 2) pair(s[i], i + 1 < s.size() ? s[i + 1] : 0);
  }
  // Starts a line at frame (or after the line before), in drop-frame time code.
  void start(long long frame) {
    if (frame < nextFrame) frame = nextFrame;
    long long tenMinutes = frame / 17982, rest = frame % 17982;
    long long dropFrame = frame + 18 * tenMinutes + (rest > 1 ? 2 * ((rest - 2) / 1798) : 0);
    long long f = dropFrame % 30, s = dropFrame / 30 % 60, m = dropFrame / 1800 % 60, h = dropFrame / 108000;
    char time[24];
    snprintf(time, sizeof time, "\r\n%02lld:%02lld:%02lld;%02lld\t", h, m, s, f);
    line = time;
    lineStart = frame;
    pairsBefore = file.pairs;
  }
  void end() {
    file.text += line.substr(0, 14) + line.substr(15) + "\r\n";  // no blank before the first pair
    nextFrame = lineStart + (file.pairs - pairsBefore);
  }
  long long lineStart = 0;
  int pairsBefore = 0;
};

const char* const kWords[] = {"THE", "CARD", "SHOWS", "A", "PICTURE", "OF", "THE", "NEWS", "TODAY", "WITH",
                              "RAIN", "AND", "SUN", "IN", "THE", "NORTH", "WEST", "LATER", "ON"};

std::string words(int seed, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += (i ? " " : "") + std::string(kWords[(seed * 7 + i * 3) % 19]);
  return s;
}

}  // namespace

CaptionFile makeCaptionFile(int minutes) {
  Writer w;
  w.file.text = "Scenarist_SCC V1.0\r\n";
  long long end = minutes * 60LL * 30000 / 1001, frame = 30;
  for (int n = 1; frame < end; ++n) {
    char label[16];
    snprintf(label, sizeof label, "%04d ", n);
    if (n % 5 == 0) {  // roll-up: three lines
      for (int l = 0; l < 3; ++l, frame += 45) {
        w.start(frame);
        if (l == 0) w.code(0x14, 0x26);
        w.code(0x14, 0x2D), w.code(0x14, 0x70);
        w.text(label + words(n + l, 4));
        w.end();
      }
    } else if (n % 7 == 0) {  // paint-on: one row
      w.start(frame);
      w.code(0x14, 0x29), w.code(0x14, 0x2C), w.code(0x14, 0x50);
      w.text(label + words(n, 3));
      w.end();
      frame += 60;
    } else {  // pop-on: two rows, loaded, shown, erased two seconds later
      w.start(frame);
      std::string first = label + words(n, 4);
      w.code(0x14, 0x20), w.code(0x14, 0x2E), w.code(0x14, 0x50);
      w.text(first);
      w.code(0x14, 0x70);
      w.text(words(n + 1, 3));
      w.file.eoc[first] = w.file.pairs + 1;
      w.code(0x14, 0x2F);
      w.end();
      frame = w.nextFrame + 60;
      w.start(frame);
      w.code(0x14, 0x2C);
      w.end();
      frame += 15;
    }
  }
  w.start(frame);
  w.code(0x14, 0x2C);
  w.end();
  return w.file;
}

}  // namespace bench
