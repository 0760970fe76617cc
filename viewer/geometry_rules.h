// Platform-free arithmetic of the window geometry.
#pragma once
#include <cstddef>

// The client area already has the frame's aspect ratio (5:4, or 3:2 with NTSC).
bool hasFrameAspect(int clientWidth, int clientHeight, bool ntsc);

// A rectangle in screen coordinates (the layout of the platform's RECT).
struct ScreenRect {
  int left, top, right, bottom;
  bool operator==(const ScreenRect&) const = default;
};
struct ScreenSize {
  int width, height;
  bool operator==(const ScreenSize&) const = default;
};
struct ScreenPoint {
  int x, y;
  bool operator==(const ScreenPoint&) const = default;
};

// The frame's aspect ratio as (k, s): a size has it when height = q * 2^s and width = q * k.
struct FrameAspect {
  int k, s;
};
FrameAspect frameAspect(bool ntsc);  // (5, 2), or (3, 1) with NTSC

// The dragged edge or corner of a sizing window (the platform's WMSZ_ values).
enum SizingEdge {
  kEdgeLeft = 1,
  kEdgeRight = 2,
  kEdgeTop = 3,
  kEdgeTopLeft = 4,
  kEdgeTopRight = 5,
  kEdgeBottom = 6,
  kEdgeBottomLeft = 7,
  kEdgeBottomRight = 8,
};

// The window rectangle a Shift-drag of edge yields: the client implied by dragged brought to the
// aspect ratio (a side edge lets the width lead, anything else the height), the edges opposite the
// dragged ones fixed. extra is window size minus client size.
ScreenRect aspectDragRect(ScreenRect dragged, int edge, ScreenSize extra, bool ntsc);

// Client size that Restore aspect ratio gives: the height cut down to a multiple of 2^s.
ScreenSize restoredAspectClient(ScreenSize client, bool ntsc);

// Client size of a predefined size: the frame divided by divisor (1, 2, 4 or 6).
ScreenSize predefinedClient(ScreenSize frame, int divisor);

// Window rectangle after a keyboard stretch: right and bottom edges move by (dx, dy) unless
// the new width or height would be negative; left and top stay. Edges may lie at negative
// coordinates, on a monitor left of or above the main one.
ScreenRect stretchedRect(ScreenRect window, int dx, int dy);

// The keys that place the window (virtual-key codes).
enum PlacementKey {
  kKeyClear = 0x0C,
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
};

// New top-left corner of a window of size window placed by key in area (a corner, or the centre
// for Clear, halving toward minus infinity). false for any other key.
bool placedCorner(ScreenRect area, ScreenSize window, unsigned key, ScreenPoint* corner);

// The main window's title: "Vistrel (full-screen)", or "Vistrel (<w>x<h>)" from the client size.
// false when it does not fit into size characters (the buffer then holds no title).
bool formatSizeTitle(char* buffer, std::size_t size, int clientWidth, int clientHeight, bool fullscreen);
