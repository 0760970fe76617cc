// Pixels of a screenshot, as ImageMagick writes them (binary PPM, 8 bits a channel), and the
// measures that tell a picture from a blank one. No platform calls.
#pragma once
#include <cstddef>
#include <string>

namespace shots {

struct Rect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

struct Picture {
  int width = 0, height = 0;
  std::string rgb;  // width * height pixels, three bytes each, rows from the top
  const unsigned char* at(int x, int y) const {
    return reinterpret_cast<const unsigned char*>(rgb.data()) + (static_cast<size_t>(y) * width + x) * 3;
  }
};

// A "P6" PPM with maximum value 255; an empty picture when the text is not one.
Picture parsePpm(const std::string& text);

// The part of picture inside r (clipped to the picture).
Picture crop(const Picture& picture, Rect r);

// How many different colours the picture holds (a blank picture has one).
size_t distinctColours(const Picture& picture);

// How many pixels are clearly coloured rather than grey (channels more than 64 apart).
size_t colourfulPixels(const Picture& picture);

// Whether every pixel on the picture's outermost rows and columns is white.
bool whiteEdges(const Picture& picture);

}  // namespace shots
