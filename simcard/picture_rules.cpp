#include "simcard/picture_rules.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace simcard {

VideoStandard videoStandard(const Registers& regs) {
  static const char* const names50[8] = {"PAL", "NTSC 4.43", "PAL N", "NTSC N",
                                         "RESERVED", "SECAM", "RESERVED", "RESERVED"};
  static const char* const names60[8] = {"NTSC", "PAL 4.43", "NTSC 4.43", "PAL M",
                                         "RESERVED", "PAL 4.43", "RESERVED", "RESERVED"};
  unsigned cstd = colourStandard(regs);
  if (sixtyHertz(regs)) return {names60[cstd], 720, 480, 30};
  return {names50[cstd], 720, 576, 25};
}

PictureControls pictureControls(const Registers& regs) {
  PictureControls c;
  c.brightness = regs[kBrightness];
  c.contrast = static_cast<std::int8_t>(regs[kContrast]);
  c.saturation = static_cast<std::int8_t>(regs[kSaturation]);
  c.hue = static_cast<std::int8_t>(regs[kHue]);
  c.colour = colourOn(regs) && standardIsSet(regs);
  return c;
}

namespace {
std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }
}  // namespace

Rgb adjustColour(Rgb in, const PictureControls& c) {
  constexpr double kPi = 3.14159265358979323846;
  double y = 0.299 * in.r + 0.587 * in.g + 0.114 * in.b;
  double u = in.b - y, v = in.r - y;
  y = y * c.contrast / 71.0 + (c.brightness - 128);
  double gain = c.colour ? c.saturation / 64.0 : 0.0;
  double angle = c.hue * kPi / 128.0;
  double u2 = (u * std::cos(angle) - v * std::sin(angle)) * gain;
  double v2 = (u * std::sin(angle) + v * std::cos(angle)) * gain;
  double r = y + v2, b = y + u2;
  double g = (y - 0.299 * r - 0.114 * b) / 0.587;
  return {clampByte(r), clampByte(g), clampByte(b)};
}

const Palette& basePalette() {
  static const Palette palette = [] {
    Palette p{};
    for (int i = 0; i < kRampSteps; ++i) {
      auto level = static_cast<std::uint8_t>(i * 255 / (kRampSteps - 1));
      p[i] = {level, level, level};
    }
    // 75 % bars: white, yellow, cyan, green, magenta, red, blue, black.
    static const Rgb bars[kBarCount] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                        {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};
    for (int i = 0; i < kBarCount; ++i) p[kBarBase + i] = bars[i];
    p[kMover] = {255, 160, 0};
    return p;
  }();
  return palette;
}

Palette adjustedPalette(const PictureControls& c) {
  Palette p = basePalette();
  for (int i = 0; i <= kMover; ++i) p[i] = adjustColour(p[i], c);
  return p;
}

PatternLayout patternLayout(int width, int height, unsigned frameIndex, int fps) {
  PatternLayout l;
  l.barsBottom = height * 60 / 100;
  l.rampBottom = height * 72 / 100;
  l.moverSize = std::max(1, std::min(width, l.barsBottom) / 6);
  unsigned period = static_cast<unsigned>(std::max(1, fps)) * 4;  // there and back in 4 s
  unsigned phase = frameIndex % period;
  unsigned half = period / 2;
  unsigned along = phase < half ? phase : period - phase;
  int travel = std::max(0, width - l.moverSize);
  l.moverX = static_cast<int>(static_cast<long long>(travel) * along / std::max(1u, half));
  l.moverY = std::max(0, (l.barsBottom - l.moverSize) / 2);
  return l;
}

void renderPattern(std::uint8_t* bits, int width, int height, int stride, const PatternLayout& l) {
  if (width <= 0 || height <= 0) return;
  std::vector<std::uint8_t> barsRow(width), rampRow(width);
  for (int x = 0; x < width; ++x) {
    barsRow[x] = static_cast<std::uint8_t>(kBarBase + x * kBarCount / width);
    rampRow[x] = static_cast<std::uint8_t>(x * kRampSteps / width);
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
    if (y < l.barsBottom) std::memcpy(row, barsRow.data(), width);
    else if (y < l.rampBottom) std::memcpy(row, rampRow.data(), width);
    else std::memset(row, kBlack, width);
  }
  int right = std::min(width, l.moverX + l.moverSize);
  int bottom = std::min(l.barsBottom, l.moverY + l.moverSize);
  for (int y = l.moverY; y < bottom; ++y)
    std::memset(bits + static_cast<std::ptrdiff_t>(y) * stride + l.moverX, kMover, right - l.moverX);
}

namespace {
void put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint16_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = x >> 8;
}
void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}
}  // namespace

std::vector<std::uint8_t> packedDib24(const std::uint8_t* bits, int width, int height, int stride,
                                      const Palette& palette) {
  constexpr std::size_t header = 40;
  std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> dib(header + rowBytes * height, 0);
  put32(dib, 0, header);
  put32(dib, 4, static_cast<std::uint32_t>(width));
  put32(dib, 8, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
  put16(dib, 12, 1);
  put16(dib, 14, 24);
  put32(dib, 20, static_cast<std::uint32_t>(rowBytes * height));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* src = bits + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint8_t* dst = dib.data() + header + rowBytes * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const Rgb& c = palette[src[x]];
      dst[3 * x] = c.b;
      dst[3 * x + 1] = c.g;
      dst[3 * x + 2] = c.r;
    }
  }
  return dib;
}

}  // namespace simcard
