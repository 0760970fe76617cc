#include "tools/shots/picture.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace shots {

Picture parsePpm(const std::string& text) {
  Picture p;
  int maxValue = 0, used = 0;
  if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &p.width, &p.height, &maxValue, &used) != 3 || maxValue != 255 ||
      p.width <= 0 || p.height <= 0)
    return {};
  const size_t bytes = static_cast<size_t>(p.width) * p.height * 3;
  if (text.size() < used + 1 + bytes) return {};
  p.rgb = text.substr(used + 1, bytes);  // one whitespace byte ends the header
  return p;
}

Picture crop(const Picture& picture, Rect r) {
  r.left = std::clamp(r.left, 0, picture.width);
  r.right = std::clamp(r.right, r.left, picture.width);
  r.top = std::clamp(r.top, 0, picture.height);
  r.bottom = std::clamp(r.bottom, r.top, picture.height);
  Picture out;
  out.width = r.width();
  out.height = r.height();
  for (int y = r.top; y < r.bottom; ++y)
    out.rgb.append(reinterpret_cast<const char*>(picture.at(r.left, y)), static_cast<size_t>(out.width) * 3);
  return out;
}

size_t distinctColours(const Picture& picture) {
  std::unordered_set<unsigned> colours;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const unsigned char* p = picture.at(x, y);
      colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
    }
  return colours.size();
}

size_t colourfulPixels(const Picture& picture) {
  size_t n = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const unsigned char* p = picture.at(x, y);
      const int high = std::max({p[0], p[1], p[2]}), low = std::min({p[0], p[1], p[2]});
      n += high - low > 64;
    }
  return n;
}

bool whiteEdges(const Picture& picture) {
  if (picture.width < 2 || picture.height < 2) return false;
  auto white = [&](int x, int y) {
    const unsigned char* p = picture.at(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  };
  for (int x = 0; x < picture.width; ++x)
    if (!white(x, 0) || !white(x, picture.height - 1)) return false;
  for (int y = 0; y < picture.height; ++y)
    if (!white(0, y) || !white(picture.width - 1, y)) return false;
  return true;
}

}  // namespace shots
