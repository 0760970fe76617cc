#include "viewer/geometry_rules.h"

#include <cstdint>
#include <cstring>
#include <string_view>

bool hasFrameAspect(int clientWidth, int clientHeight, bool ntsc) {
  if (ntsc) return clientHeight % 2 == 0 && clientWidth == clientHeight / 2 * 3;
  return clientHeight % 4 == 0 && clientWidth == clientHeight / 4 * 5;
}

FrameAspect frameAspect(bool ntsc) { return ntsc ? FrameAspect{3, 1} : FrameAspect{5, 2}; }

namespace {

// The sizes are divided and shifted as unsigned 32-bit numbers.
ScreenSize aspectFromQuotient(std::uint32_t q, FrameAspect a) {
  return {static_cast<int>(q * static_cast<std::uint32_t>(a.k)), static_cast<int>(q << a.s)};
}

ScreenSize aspectFromWidth(int width, FrameAspect a) {
  return aspectFromQuotient(static_cast<std::uint32_t>(width) / static_cast<std::uint32_t>(a.k), a);
}

ScreenSize aspectFromHeight(int height, FrameAspect a) {
  return aspectFromQuotient(static_cast<std::uint32_t>(height) >> a.s, a);
}

bool movesLeftEdge(int edge) { return edge == kEdgeLeft || edge == kEdgeTopLeft || edge == kEdgeBottomLeft; }
bool movesTopEdge(int edge) { return edge == kEdgeTop || edge == kEdgeTopLeft || edge == kEdgeTopRight; }

}  // namespace

ScreenRect aspectDragRect(ScreenRect r, int edge, ScreenSize extra, bool ntsc) {
  FrameAspect a = frameAspect(ntsc);
  int w = r.right - r.left - extra.width;
  int h = r.bottom - r.top - extra.height;
  bool sideEdge = edge == kEdgeLeft || edge == kEdgeRight;
  ScreenSize client = sideEdge ? aspectFromWidth(w, a) : aspectFromHeight(h, a);
  int width = client.width + extra.width;
  int height = client.height + extra.height;
  if (movesLeftEdge(edge))
    r.left = r.right - width;
  else
    r.right = r.left + width;
  if (movesTopEdge(edge))
    r.top = r.bottom - height;
  else
    r.bottom = r.top + height;
  return r;
}

ScreenSize restoredAspectClient(ScreenSize client, bool ntsc) { return aspectFromHeight(client.height, frameAspect(ntsc)); }

ScreenSize predefinedClient(ScreenSize frame, int divisor) {
  auto n = static_cast<std::uint32_t>(divisor);
  return {static_cast<int>(static_cast<std::uint32_t>(frame.width) / n),
          static_cast<int>(static_cast<std::uint32_t>(frame.height) / n)};
}

ScreenRect stretchedRect(ScreenRect r, int dx, int dy) {
  if (r.right + dx - r.left >= 0) r.right += dx;
  if (r.bottom + dy - r.top >= 0) r.bottom += dy;
  return r;
}

bool placedCorner(ScreenRect area, ScreenSize window, unsigned key, ScreenPoint* corner) {
  int right = area.right - window.width;
  int bottom = area.bottom - window.height;
  switch (key) {
    case kKeyHome: *corner = {area.left, area.top}; return true;
    case kKeyPageUp: *corner = {right, area.top}; return true;
    case kKeyEnd: *corner = {area.left, bottom}; return true;
    case kKeyPageDown: *corner = {right, bottom}; return true;
    case kKeyClear:
      // An arithmetic shift halves toward minus infinity, so a window larger than the area
      // overhangs it equally on both sides.
      *corner = {area.left + ((area.right - area.left - window.width) >> 1),
                 area.top + ((area.bottom - area.top - window.height) >> 1)};
      return true;
    default: return false;
  }
}

namespace {

// Appends text at position at of buffer; false when it and the terminator do not fit.
bool append(char* buffer, std::size_t size, std::size_t& at, std::string_view text) {
  if (at >= size || text.size() >= size - at) return false;
  std::memcpy(buffer + at, text.data(), text.size());
  at += text.size();
  buffer[at] = '\0';
  return true;
}

// value in decimal, as "%d" writes it, held in digits.
std::string_view decimal(int value, char (&digits)[12]) {
  std::uint32_t magnitude = static_cast<std::uint32_t>(value);
  if (value < 0) magnitude = 0u - magnitude;
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = '-';
  return {first, static_cast<std::size_t>(digits + sizeof digits - first)};
}

}  // namespace

bool formatSizeTitle(char* buffer, std::size_t size, int clientWidth, int clientHeight, bool fullscreen) {
  std::size_t at = 0;
  char width[12], height[12];
  bool fits = fullscreen ? append(buffer, size, at, "Vistrel (full-screen)")
                         : append(buffer, size, at, "Vistrel (") &&
                               append(buffer, size, at, decimal(clientWidth, width)) &&
                               append(buffer, size, at, "x") &&
                               append(buffer, size, at, decimal(clientHeight, height)) &&
                               append(buffer, size, at, ")");
  if (!fits && size > 0) buffer[0] = '\0';
  return fits;
}
