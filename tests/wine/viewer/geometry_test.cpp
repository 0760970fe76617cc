// The viewer's window geometry and full screen, on the real window with real input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

std::string str(const RECT& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + "}";
}

std::string sizeText(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

std::string clientSize(HWND w) {
  RECT c = clientRect(w);
  return sizeText(c.right, c.bottom);
}

RECT offset(RECT r, int left, int top, int right, int bottom) {
  return {r.left + left, r.top + top, r.right + right, r.bottom + bottom};
}

RECT screenRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// The full-screen window: its client area is exactly the screen.
RECT fullScreenRect() {
  RECT r = screenRect();
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  return r;
}

bool isTopmost(HWND w) { return (windowExStyle(w) & WS_EX_TOPMOST) != 0; }

bool waitRect(HWND w, const RECT& expected) {
  return waitFor([&] {
    RECT now = windowRect(w);
    return EqualRect(&now, &expected) != 0;
  }, 3000);
}

RECT workArea() {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

// A work area that leaves out a strip at the bottom of the screen, as a taskbar does. Wine takes
// it from the root window's _NET_WORKAREA, read once by each process, and publishes it when a
// process resets the display settings; the taskbar stand-in does that in a fresh process.
class ScopedWorkArea {
 public:
  ScopedWorkArea(Sandbox& box, const RECT& area) : box_(box) {
    box_.copyTestProgram("taskbar_standin.exe");
    ok_ = publish(area);
  }
  ~ScopedWorkArea() { publish(screenRect()); }
  bool ok() const { return ok_; }

 private:
  // xprop has set the property when runUnix returns; Wine reads it again on resetdisplay,
  // asked until the work area shows.
  bool publish(const RECT& area) {
    std::string value = std::to_string(area.left) + ", " + std::to_string(area.top) + ", " +
                        std::to_string(area.right - area.left) + ", " + std::to_string(area.bottom - area.top);
    if (runUnix("/usr/bin/xprop", "-root -f _NET_WORKAREA 32c -set _NET_WORKAREA \"" + value + "\"") != 0)
      return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
      box_.start("taskbar_standin.exe", "resetdisplay").waitExit();
      RECT now = workArea();
      if (EqualRect(&now, &area)) return true;
      Sleep(100);
    }
    return false;
  }
  Sandbox& box_;
  bool ok_ = false;
};

// Starts a left-button drag while key (an X key name, or "") is held, through the X server so that
// Wine sees the modifier during the drag. The X focus follows the pointer here (no window manager),
// so the key goes down over the grip and comes up over rest, a point inside the window after the
// drag. xdotool has finished when this returns; the window may still be catching up: see waitDrag.
void startDrag(HWND w, POINT from, POINT to, POINT rest, const std::string& key) {
  bringToFront(w);
  std::string down = key.empty() ? "" : " keydown " + key;
  std::string up = key.empty() ? "" : " keyup " + key;
  auto at = [](POINT p) { return " " + std::to_string(p.x) + " " + std::to_string(p.y); };
  POINT mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
  xdotool("mousemove --sync" + at(from) + down + " mousedown 1 sleep 0.1 mousemove --sync" + at(mid) +
          " sleep 0.1 mousemove --sync" + at(to) + " sleep 0.1 mouseup 1 mousemove --sync" + at(rest) + up);
}

bool inSizingLoop(HWND w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
  return (info.flags & GUI_INMOVESIZE) != 0;
}

// Waits until the window has taken a drag made by startDrag from the rectangle before.
bool waitDrag(HWND w, const RECT& before) {
  return waitFor([&] {
    RECT now = windowRect(w);
    return !EqualRect(&now, &before) && !inSizingLoop(w) && GetAsyncKeyState(VK_LBUTTON) >= 0 &&
           GetAsyncKeyState(VK_SHIFT) >= 0;
  });
}

// One viewer in a sandbox of its own, started at a position and video size.
class ViewerGeometry : public testing::Test {
 protected:
  HWND start(int x, int y, int w, int h, const std::string& more = "", const std::string& before = "") {
    viewer = startViewerAt(box, x, y, w, h, more, before);
    return viewer.window;
  }
  Sandbox box;
  Viewer viewer;
};

TEST_F(ViewerGeometry, F12EntersFullScreenAndReturnsToTheSameRectangle) {
  HWND w = start(100, 100, 360, 288);
  ASSERT_NE(w, nullptr);
  RECT before = windowRect(w);
  EXPECT_EQ(before.left, 100);
  EXPECT_EQ(before.top, 100);
  HWND capture = GetWindow(w, GW_CHILD);
  ASSERT_NE(capture, nullptr);

  ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(fullScreenRect()));
  RECT screen = screenRect();
  EXPECT_EQ(clientSize(w), sizeText(screen.right, screen.bottom));
  EXPECT_TRUE(waitFor([&] { return clientSize(capture) == clientSize(w); })) << clientSize(capture);

  ASSERT_TRUE(pressF12(w, "Vistrel (360x288)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(before));
  EXPECT_TRUE(waitFor([&] { return clientSize(capture) == "360x288"; })) << clientSize(capture);
  EXPECT_EQ(closeViewer(viewer), 0);
}

TEST_F(ViewerGeometry, MaximizeByTheCaptionEntersFullScreen) {
  HWND w = start(100, 100, 360, 288);
  ASSERT_NE(w, nullptr);
  RECT before = windowRect(w);
  POINT clientTop{0, 0};
  ClientToScreen(w, &clientTop);
  int x = (before.left + before.right) / 2, y = (before.top + clientTop.y) / 2;  // on the caption

  bringToFront(w);
  doubleClickScreen(x, y);
  ASSERT_TRUE(waitTitle(w, "Vistrel (full-screen)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(fullScreenRect()));

  ASSERT_TRUE(pressF12(w, "Vistrel (360x288)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(before));
}

TEST_F(ViewerGeometry, PredefinedSizesKeepThePositionAndLeaveFullScreenFirst) {
  HWND w = start(100, 100, 360, 288);
  ASSERT_NE(w, nullptr);
  struct Row {
    WORD key;
    const char* title;
  } rows[] = {
      {'1', "Vistrel (720x576)"}, {'6', "Vistrel (120x96)"}, {'4', "Vistrel (180x144)"}, {'2', "Vistrel (360x288)"},
  };
  for (const Row& r : rows) {
    pressKey(w, r.key, {VK_CONTROL});
    EXPECT_TRUE(waitTitle(w, r.title)) << "Ctrl+" << char(r.key) << ": " << windowText(w);
    RECT now = windowRect(w);
    EXPECT_EQ(now.left, 100);
    EXPECT_EQ(now.top, 100);
  }

  ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
  pressKey(w, '4', {VK_CONTROL});
  ASSERT_TRUE(waitTitle(w, "Vistrel (180x144)")) << windowText(w);
  RECT now = windowRect(w);
  EXPECT_EQ(now.left, 100);
  EXPECT_EQ(now.top, 100);
  EXPECT_EQ(clientSize(w), "180x144");
  // Windowed again: F12 enters full screen, not leaves it.
  EXPECT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
}

TEST_F(ViewerGeometry, TopmostOnlyWhileWindowed) {
  HWND w = start(100, 100, 360, 288, "Topmost=1\r\n");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(isTopmost(w));
  ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
  EXPECT_FALSE(isTopmost(w));
  ASSERT_TRUE(pressF12(w, "Vistrel (360x288)")) << windowText(w);
  EXPECT_TRUE(isTopmost(w));
}

// Topmost picked in full screen changes nothing on screen until full screen is left.
TEST_F(ViewerGeometry, TopmostPickedInFullScreenAppliesWhenFullScreenIsLeft) {
  HWND w = start(100, 100, 360, 288);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
  for (bool topmost : {true, false, true}) {
    click(w, 200, 200, true);
    ASSERT_NE(waitPopupMenu(), nullptr);
    pressKey(nullptr, 'T');
    ASSERT_TRUE(waitPopupMenuClosed());
    ASSERT_TRUE(waitInputHandled(w));
    EXPECT_FALSE(isTopmost(w)) << "picked to " << topmost << " in full screen";
  }
  ASSERT_TRUE(pressF12(w, "Vistrel (360x288)")) << windowText(w);
  EXPECT_TRUE(isTopmost(w));
  EXPECT_EQ(closeViewer(viewer), 0);
  EXPECT_EQ(settingsValue(box, "Position", "Topmost"), "1");
}

// In full screen the placement, arrow and Clear keys do nothing, nor does Alt+Space (the window
// menu, whose caption lies off the screen).
TEST_F(ViewerGeometry, FullScreenIgnoresPlacementArrowsAndTheWindowMenuKey) {
  HWND w = start(100, 100, 360, 288);
  ASSERT_NE(w, nullptr);
  RECT windowed = windowRect(w);
  ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
  struct Row {
    WORD key;
    std::vector<WORD> modifiers;
  } rows[] = {
      {VK_HOME, {}},  {VK_END, {}},        {VK_PRIOR, {}},         {VK_NEXT, {VK_SHIFT}}, {VK_CLEAR, {}},
      {VK_LEFT, {}},  {VK_RIGHT, {VK_CONTROL}}, {VK_UP, {VK_SHIFT}}, {VK_DOWN, {VK_SHIFT, VK_CONTROL}},
      {VK_SPACE, {VK_MENU}},
  };
  for (const Row& r : rows) {
    pressKey(w, r.key, r.modifiers);
    ASSERT_TRUE(waitInputHandled(w)) << "key " << r.key << ": a menu took the keyboard";
    EXPECT_EQ(str(windowRect(w)), str(fullScreenRect())) << "key " << r.key;
    EXPECT_EQ(windowText(w), "Vistrel (full-screen)");
  }
  EXPECT_EQ(waitPopupMenu(0), nullptr);
  ASSERT_TRUE(pressF12(w, "Vistrel (360x288)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(windowed));
}

TEST_F(ViewerGeometry, ClosedInFullScreenRestartsInFullScreenWithTheWindowedGeometry) {
  RECT windowed{};
  {
    HWND w = start(120, 80, 400, 300);
    ASSERT_NE(w, nullptr);
    windowed = windowRect(w);
    ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
    ASSERT_EQ(closeViewer(viewer), 0);
  }
  struct Row {
    const char* key;
    const char* expected;
  } rows[] = {{"x", "120"}, {"y", "80"}, {"w", "400"}, {"h", "300"}, {"Fullscreen", "1"}};
  for (const Row& r : rows) EXPECT_EQ(settingsValue(box, "Position", r.key), r.expected) << r.key;

  viewer = startViewer(box);
  HWND w = viewer.window;
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(waitTitle(w, "Vistrel (full-screen)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(fullScreenRect()));
  ASSERT_TRUE(pressF12(w, "Vistrel (400x300)")) << windowText(w);
  EXPECT_EQ(str(windowRect(w)), str(windowed));
}

TEST_F(ViewerGeometry, FullScreenLowersATopmostTaskbarOnlyWithHideTaskbar) {
  struct Row {
    const char* more;
    bool topmostAfter;
  } rows[] = {{"HideTaskbar=1\r\n", false}, {"HideTaskbar=0\r\n", true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.more);
    Sandbox box;
    box.copyTestProgram("taskbar_standin.exe");
    Process tray = box.start("taskbar_standin.exe");
    HWND taskbar = waitProcessWindow(tray.id(), "Shell_TrayWnd");
    ASSERT_NE(taskbar, nullptr);
    ASSERT_TRUE(isTopmost(taskbar));
    {
      Viewer viewer = startViewerAt(box, 100, 100, 360, 288, r.more);
      HWND w = viewer.window;
      ASSERT_NE(w, nullptr);
      ASSERT_TRUE(pressF12(w, "Vistrel (full-screen)")) << windowText(w);
      EXPECT_EQ(isTopmost(taskbar), r.topmostAfter);
      ASSERT_TRUE(pressF12(w, "Vistrel (360x288)")) << windowText(w);
      EXPECT_EQ(isTopmost(taskbar), r.topmostAfter) << "the taskbar is not raised again";
    }
    PostMessageA(taskbar, WM_CLOSE, 0, 0);
    EXPECT_EQ(tray.waitExit(), 0);
  }
}

// The platform's sizing loop adds each mouse step to the rectangle as corrected at the step
// before, so a drag in several steps may end a few pixels short of the pointer: the quotient q
// may fall short by one for each step after the first.
TEST_F(ViewerGeometry, ShiftDragKeepsTheFrameAspectRatio) {
  HWND w = start(200, 150, 360, 288);
  ASSERT_NE(w, nullptr);
  enum Grip { kBottomRight, kLeftEdge, kTopLeft, kBottomEdge };
  struct Row {
    Grip grip;
    int dx, dy;
    bool shift;
    int q;  // with Shift: the quotient at the pointer (client 5q x 4q)
    const char* freeSize;  // without Shift: the client size at the pointer
  } rows[] = {
      {kBottomRight, 137, 61, true, 87, nullptr},    // height leads: 288 + 61 = 349
      {kBottomRight, -101, -37, true, 62, nullptr},  // 251
      {kBottomRight, 137, 61, false, 0, "497x349"},  // without Shift the drag is free
      {kLeftEdge, -83, 0, true, 88, nullptr},        // width leads: 360 + 83 = 443
      {kLeftEdge, 52, 20, true, 61, nullptr},        // 308
      {kTopLeft, -30, -70, true, 89, nullptr},       // 358
      {kBottomEdge, 0, 30, true, 79, nullptr},       // 318
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "grip " << r.grip << " by " << r.dx << "," << r.dy << (r.shift ? " with Shift" : ""));
    pressKey(w, '2', {VK_CONTROL});
    ASSERT_TRUE(waitTitle(w, "Vistrel (360x288)")) << windowText(w);
    Sleep(500);  // the X window follows the new size a little later, and the drag aims at the X window
    RECT before = windowRect(w);
    POINT from{};
    switch (r.grip) {
      case kBottomRight: from = {before.right - 2, before.bottom - 2}; break;
      case kLeftEdge: from = {before.left + 2, (before.top + before.bottom) / 2}; break;
      case kTopLeft: from = {before.left + 2, before.top + 2}; break;
      case kBottomEdge: from = {(before.left + before.right) / 2, before.bottom - 2}; break;
    }
    bool left = r.grip == kLeftEdge || r.grip == kTopLeft, top = r.grip == kTopLeft;
    POINT rest{left ? before.right - 30 : before.left + 30, top ? before.bottom - 30 : before.top + 30};
    startDrag(w, from, {from.x + r.dx, from.y + r.dy}, rest, r.shift ? "shift" : "");
    ASSERT_TRUE(waitDrag(w, before));
    RECT client = clientRect(w);
    EXPECT_TRUE(waitTitle(w, "Vistrel (" + sizeText(client.right, client.bottom) + ")")) << windowText(w);
    if (r.shift) {
      int q = client.bottom / 4;
      EXPECT_EQ(clientSize(w), sizeText(5 * q, 4 * q));
      EXPECT_LE(q, r.q);
      EXPECT_GE(q, r.q - 2);
    } else {
      EXPECT_EQ(clientSize(w), r.freeSize);
    }
    RECT after = windowRect(w);
    if (left)
      EXPECT_EQ(after.right, before.right);
    else
      EXPECT_EQ(after.left, before.left);
    if (top)
      EXPECT_EQ(after.bottom, before.bottom);
    else
      EXPECT_EQ(after.top, before.top);
  }
}

// Restore aspect ratio from the popup menu: the height leads and is only ever reduced.
TEST_F(ViewerGeometry, RestoreAspectRatioFromThePopupMenu) {
  struct Row {
    const char* ini;
    WORD key;  // stretched with Ctrl+key before the restore
    const char* stretched;
    const char* restored;
  } rows[] = {
      {"", VK_DOWN, "Vistrel (360x298)", "Vistrel (370x296)"},
      {"", VK_RIGHT, "Vistrel (370x288)", "Vistrel (360x288)"},
      {"[TVSystem]\r\nNTSC=1\r\n", VK_DOWN, "Vistrel (360x250)", "Vistrel (375x250)"},
      {"[TVSystem]\r\nNTSC=1\r\n", VK_LEFT, "Vistrel (350x240)", "Vistrel (360x240)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.restored);
    Sandbox box;
    bool ntsc = r.ini[0] != '\0';
    Viewer viewer = startViewerAt(box, 200, 150, 360, ntsc ? 240 : 288, "", r.ini);
    HWND w = viewer.window;
    ASSERT_NE(w, nullptr);
    pressKey(w, r.key, {VK_CONTROL});
    ASSERT_TRUE(waitTitle(w, r.stretched)) << windowText(w);
    RECT before = windowRect(w);
    click(w, 60, 60, true);
    ASSERT_NE(waitPopupMenu(), nullptr);
    pressKey(nullptr, 'R');
    EXPECT_TRUE(waitTitle(w, r.restored)) << windowText(w);
    RECT after = windowRect(w);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
  }
}

// A minimized window has a 0 x 0 client area, and so has the capture window.
TEST_F(ViewerGeometry, MinimizedWindowShowsAZeroSize) {
  HWND w = start(200, 150, 360, 288);
  ASSERT_NE(w, nullptr);
  HWND capture = GetWindow(w, GW_CHILD);
  ASSERT_NE(capture, nullptr);
  pressKey(w, VK_SPACE, {VK_MENU});  // the window menu
  ASSERT_NE(waitPopupMenu(), nullptr);
  pressKey(nullptr, 'N');  // Minimize
  EXPECT_TRUE(waitTitle(w, "Vistrel (0x0)")) << windowText(w);
  EXPECT_TRUE(IsIconic(w));
  EXPECT_EQ(clientSize(capture), "0x0");
}

// At the largest size (Ctrl+1) and the smallest (Ctrl+6) a stretch outward does nothing; one step
// inward then shows the limit, one pixel inside it.
void expectSizeLimits(HWND w, const char* belowLargest, const char* aboveSmallest) {
  struct Limit {
    WORD size, outward1, outward2, inward1, inward2;
    const char* title;
  } limits[] = {
      {'1', VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP, belowLargest},
      {'6', VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, aboveSmallest},
  };
  for (const Limit& l : limits) {
    pressKey(w, l.size, {VK_CONTROL});
    pressKey(w, l.outward1, {VK_CONTROL});
    pressKey(w, l.outward2, {VK_CONTROL});
    pressKey(w, l.inward1);
    pressKey(w, l.inward2);
    EXPECT_TRUE(waitTitle(w, l.title)) << windowText(w);
  }
}

TEST_F(ViewerGeometry, ArrowsStretchOrMoveWithinTheSizeLimits) {
  HWND w = start(200, 150, 360, 288);
  ASSERT_NE(w, nullptr);
  struct Row {
    WORD key;
    std::vector<WORD> modifiers;
    int left, top, right, bottom;  // change of the window rectangle
  } rows[] = {
      {VK_RIGHT, {}, 0, 0, 1, 0},
      {VK_RIGHT, {VK_CONTROL}, 0, 0, 10, 0},
      {VK_DOWN, {VK_CONTROL}, 0, 0, 0, 10},
      {VK_LEFT, {}, 0, 0, -1, 0},
      {VK_UP, {VK_CONTROL}, 0, 0, 0, -10},
      {VK_LEFT, {VK_SHIFT}, -1, 0, -1, 0},
      {VK_UP, {VK_SHIFT, VK_CONTROL}, 0, -10, 0, -10},
      {VK_RIGHT, {VK_SHIFT, VK_CONTROL}, 10, 0, 10, 0},
      {VK_DOWN, {VK_SHIFT}, 0, 1, 0, 1},
  };
  for (const Row& r : rows) {
    RECT before = windowRect(w);
    RECT expected = offset(before, r.left, r.top, r.right, r.bottom);
    pressKey(w, r.key, r.modifiers);
    EXPECT_TRUE(waitRect(w, expected)) << "key " << r.key << " with " << r.modifiers.size() << " modifiers: "
                                       << str(windowRect(w)) << ", expected " << str(expected);
  }

  expectSizeLimits(w, "Vistrel (719x575)", "Vistrel (121x97)");
}

TEST_F(ViewerGeometry, NtscSizeLimits) {
  HWND w = start(200, 150, 360, 240, "", "[TVSystem]\r\nNTSC=1\r\n");
  ASSERT_NE(w, nullptr);
  expectSizeLimits(w, "Vistrel (719x479)", "Vistrel (121x81)");
}

TEST_F(ViewerGeometry, PlacementKeysUseTheWorkAreaOrWithShiftTheScreen) {
  RECT screen = screenRect();
  RECT work{0, 0, screen.right, screen.bottom - 40};
  ScopedWorkArea area(box, work);
  ASSERT_TRUE(area.ok()) << "the bench could not set a work area: " << str(workArea());
  HWND w = start(200, 150, 360, 288);
  ASSERT_NE(w, nullptr);
  RECT r = windowRect(w);
  int width = r.right - r.left, height = r.bottom - r.top;
  enum Where { kStart, kMiddle, kEnd };
  struct Row {
    WORD key;
    bool shift;
    Where x, y;
  } rows[] = {
      {VK_HOME, false, kStart, kStart}, {VK_NEXT, false, kEnd, kEnd},       {VK_END, false, kStart, kEnd},
      {VK_PRIOR, false, kEnd, kStart},  {VK_CLEAR, false, kMiddle, kMiddle}, {VK_END, true, kStart, kEnd},
      {VK_NEXT, true, kEnd, kEnd},      {VK_CLEAR, true, kMiddle, kMiddle},  {VK_HOME, true, kStart, kStart},
      {VK_PRIOR, true, kEnd, kStart},
  };
  auto place = [](Where where, int start, int end, int size) {
    return where == kStart ? start : where == kEnd ? end - size : start + ((end - start - size) >> 1);
  };
  for (const Row& row : rows) {
    const RECT& a = row.shift ? screen : work;
    int x = place(row.x, a.left, a.right, width), y = place(row.y, a.top, a.bottom, height);
    RECT expected{x, y, x + width, y + height};
    pressKey(w, row.key, row.shift ? std::vector<WORD>{VK_SHIFT} : std::vector<WORD>{});
    EXPECT_TRUE(waitRect(w, expected)) << "key " << row.key << (row.shift ? " with Shift: " : ": ")
                                       << str(windowRect(w)) << ", expected " << str(expected);
  }
}

// The taskbar's Maximize may reach a minimized window: full screen is toggled on the restored
// window, both ways, and the windowed geometry survives to the settings file.
TEST_F(ViewerGeometry, MaximizeWhileMinimizedTogglesFullScreenOnTheRestoredWindow) {
  HWND w = start(100, 100, 360, 288);
  ASSERT_NE(w, nullptr);
  RECT windowed = windowRect(w);
  struct Row {
    const char* title;
    RECT rect;
  } rows[] = {{"Vistrel (full-screen)", fullScreenRect()}, {"Vistrel (360x288)", windowed}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.title);
    PostMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitFor([&] { return IsIconic(w) != FALSE; }));
    PostMessageA(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(waitFor([&] { return !IsIconic(w) && windowText(w) == r.title; })) << windowText(w);
    EXPECT_TRUE(waitRect(w, r.rect)) << str(windowRect(w)) << ", expected " << str(r.rect);
  }
  ASSERT_EQ(closeViewer(viewer), 0);
  EXPECT_EQ(viewer_test::settingsText(box), positionIni(100, 100, 360, 288,
                                                        "DisableScreenSaver=1\r\nTopmost=0\r\nFullscreen=0\r\n"));
}

// A saved position where the window would show on no monitor (a damaged file, a monitor that is
// gone) opens it at the top left of the work area with its size; one partly on screen stays.
// The work area's corner is where Home places the window: the viewer's own view of the work
// area (a second changed work area in one test run reaches new processes, not this one).
TEST_F(ViewerGeometry, SavedPositionOffEveryMonitorOpensAtTheWorkAreaCorner) {
  RECT screen = screenRect();
  ScopedWorkArea area(box, {50, 30, screen.right, screen.bottom});
  struct Row {
    int x, y;
    bool moved;  // to the work area's corner
  } rows[] = {
      {-32000, -32000, true}, {screen.right + 5, 100, true}, {100, screen.bottom, true},
      {-200, -150, false},    {screen.right - 10, screen.bottom - 10, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
    HWND w = start(r.x, r.y, 240, 192);
    ASSERT_NE(w, nullptr);
    RECT opened = windowRect(w);
    SendMessageA(w, WM_KEYDOWN, VK_HOME, 0);
    RECT corner = windowRect(w);
    POINT expected = r.moved ? POINT{corner.left, corner.top} : POINT{r.x, r.y};
    EXPECT_EQ(opened.left, expected.x);
    EXPECT_EQ(opened.top, expected.y);
    EXPECT_EQ(corner.left, 50) << "the work area's corner, not the screen's";
    EXPECT_EQ(corner.top, 30);
    ASSERT_EQ(closeViewer(viewer), 0);
    EXPECT_EQ(viewer_test::settingsValue(box, "Position", "x"), "50");
    EXPECT_EQ(viewer_test::settingsValue(box, "Position", "y"), "30");
  }
}

// On a monitor left of or above the main one the window's edges lie at negative coordinates;
// the arrows stretch and shrink it all the same.
TEST_F(ViewerGeometry, ArrowsStretchAWindowWithNegativeEdges) {
  const int width = 360 + 2 * GetSystemMetrics(SM_CXFRAME);
  const int height = 288 + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  HWND w = start(5 - width, 5 - height, 360, 288);  // 5 x 5 pixels on screen
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(windowRect(w).right, 5);
  struct Row {
    WORD key;
    std::vector<WORD> modifiers;
    int right, bottom;  // the edges after the key
  } rows[] = {
      {VK_LEFT, {VK_CONTROL}, -5, 5}, {VK_UP, {VK_CONTROL}, -5, -5}, {VK_RIGHT, {}, -4, -5},
      {VK_DOWN, {}, -4, -4},          {VK_LEFT, {}, -5, -4},         {VK_DOWN, {VK_CONTROL}, -5, 6},
  };
  for (const Row& r : rows) {
    RECT expected = windowRect(w);
    expected.right = r.right;
    expected.bottom = r.bottom;
    pressKey(w, r.key, r.modifiers);
    EXPECT_TRUE(waitRect(w, expected)) << "key " << r.key << ": " << str(windowRect(w)) << ", expected "
                                       << str(expected);
  }
}

}  // namespace

