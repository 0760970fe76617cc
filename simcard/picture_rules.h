// The simulated card's live picture: video standard, test pattern and colour controls.
// Platform-free; capture_window.cpp draws the text and puts the frames on screen.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "simcard/decoder_rules.h"

namespace simcard {

struct VideoStandard {
  const char* name;  // shown in the picture
  int width, height, fps;
};
// From CSTD and the field rate (FSEL): 720 x 576 at 25 frames a second, 720 x 480 at 30 for 60 Hz.
VideoStandard videoStandard(const Registers& regs);

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// The decoder's picture controls: brightness 0x0A (128 nominal), contrast 0x0B and saturation
// 0x0C (signed; 71 and 64 nominal), hue 0x0D (signed, -128..127 is -180..180 degrees), and
// whether colour passes: COLO on with a colour standard that is not reserved.
struct PictureControls {
  int brightness = 128, contrast = 71, saturation = 64, hue = 0;
  bool colour = true;
};
PictureControls pictureControls(const Registers& regs);
Rgb adjustColour(Rgb in, const PictureControls& c);

// The pattern is drawn with indices into one fixed palette: a grey ramp, the colour bars and
// the moving element's colour. Text drawn in white and black hits ramp entries exactly.
constexpr int kRampSteps = 64;
constexpr std::uint8_t kBlack = 0, kWhite = kRampSteps - 1;
constexpr std::uint8_t kBarBase = kRampSteps, kBarCount = 8;
constexpr std::uint8_t kMover = kBarBase + kBarCount;
constexpr int kPaletteSize = 256;
using Palette = std::array<Rgb, kPaletteSize>;
const Palette& basePalette();
Palette adjustedPalette(const PictureControls& c);

// Bands of the frame, in rows: bars, ramp, then the caption band where the clock goes.
struct PatternLayout {
  int barsBottom, rampBottom;
  int moverSize, moverX, moverY;
};
// frameIndex counts frames since some start; the moving element crosses the bars in 4 s.
PatternLayout patternLayout(int width, int height, unsigned frameIndex, int fps);

// Fills a top-down 8-bit frame (stride bytes a row) with the pattern, text band black.
void renderPattern(std::uint8_t* bits, int width, int height, int stride, const PatternLayout& layout);

// A packed 24-bit bottom-up DIB (BITMAPINFOHEADER, then the rows) of a top-down indexed frame.
std::vector<std::uint8_t> packedDib24(const std::uint8_t* bits, int width, int height, int stride,
                                      const Palette& palette);

}  // namespace simcard
