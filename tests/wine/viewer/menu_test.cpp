// The popup menu: where it opens, and the commands a user picks from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

POINT topLeft(HWND w) {
  RECT r = windowRect(w);
  return {r.left, r.top};
}

void closePopup(HWND menu) {
  pressKey(nullptr, VK_ESCAPE);
  EXPECT_TRUE(waitPopupMenuClosed()) << "popup " << menu << " stays open";
}

// While it lives, a global CBT hook (syscommand_hook.dll from the sandbox) logs to
// "syscommand.log" each system command the viewer passes to the platform.
class SysCommandWatch {
 public:
  explicit SysCommandWatch(Sandbox& box) {
    box.copyTestProgram("syscommand_hook.dll");
    dll_ = LoadLibraryA(box.path("syscommand_hook.dll").c_str());
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(dll_, "syscommandHook@12")));
    hook_ = proc ? SetWindowsHookExA(WH_CBT, proc, dll_, 0) : nullptr;
  }
  ~SysCommandWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (dll_) FreeLibrary(dll_);
  }
  bool ok() const { return hook_ != nullptr; }

 private:
  HMODULE dll_ = nullptr;
  HHOOK hook_ = nullptr;
};

// The screen's pixels in r, row by row.
std::vector<COLORREF> screenPixels(const RECT& r) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  if (bits) memcpy(pixels.data(), bits, pixels.size() * sizeof(COLORREF));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

class ViewerMenu : public testing::Test {
 protected:
  void SetUp() override {
    viewer = startViewer(box, iniLines({"[Position]", "x=200", "y=150", "w=360", "h=288"}));
    ASSERT_NE(viewer.window, nullptr);
  }
  void TearDown() override {
    if (viewer.process.running()) {
      EXPECT_EQ(closeViewer(viewer), 0);
    }
  }
  Sandbox box;
  Viewer viewer;
};

TEST_F(ViewerMenu, RightClickOnTheVideoOpensThePopupAtTheClick) {
  click(viewer.window, 100, 80, true);
  HWND menu = waitPopupMenu();
  ASSERT_NE(menu, nullptr) << "no popup menu";
  POINT p{100, 80};
  ClientToScreen(viewer.window, &p);
  POINT at = topLeft(menu);
  EXPECT_EQ(at.x, p.x);
  EXPECT_EQ(at.y, p.y);
  closePopup(menu);
}

TEST_F(ViewerMenu, F10OpensThePopupAtTheMousePointer) {
  RECT r = windowRect(viewer.window);
  bringToFront(viewer.window);
  moveMouse(r.left + 250, r.top + 60);
  pressKey(viewer.window, VK_F10);
  HWND menu = waitPopupMenu();
  ASSERT_NE(menu, nullptr) << "no popup menu";
  POINT at = topLeft(menu);
  EXPECT_EQ(at.x, r.left + 250);
  EXPECT_EQ(at.y, r.top + 60);
  closePopup(menu);
  EXPECT_TRUE(IsWindowVisible(viewer.window));
}

// A context-menu request from the keyboard carries (-1, -1): the popup opens at the
// pointer. Coordinates are signed: a point left of the screen is not a point at its right.
TEST_F(ViewerMenu, ContextMenuRequestsAreReadAsSignedCoordinates) {
  struct Row {
    int x, y;
    bool atPointer;
  } rows[] = {{-1, -1, true}, {-40, 300, false}, {300, -40, false}};
  moveMouse(420, 330);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
    bringToFront(viewer.window);
    PostMessageA(viewer.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer.window), MAKELPARAM(row.x, row.y));
    HWND menu = waitPopupMenu();
    ASSERT_NE(menu, nullptr);
    POINT at = topLeft(menu);
    if (row.atPointer) {
      EXPECT_EQ(at.x, 420);
      EXPECT_EQ(at.y, 330);
    } else {
      // Kept on screen near the edge it was asked beyond, never thrown to the far side.
      EXPECT_LE(at.x, row.x < 0 ? 0 : row.x);
      EXPECT_LE(at.y, row.y < 0 ? 0 : row.y);
    }
    closePopup(menu);
  }
}

// Disable screen saver (sa&ver) and Topmost window (&Topmost) change what is saved.
TEST_F(ViewerMenu, OptionsPickedFromThePopupAreSaved) {
  click(viewer.window, 50, 50, true);
  ASSERT_NE(waitPopupMenu(), nullptr);
  pressKey(nullptr, 'V');  // the first item with this mnemonic: Disable screen saver
  pressKey(nullptr, VK_RETURN);
  ASSERT_TRUE(waitPopupMenuClosed());
  click(viewer.window, 50, 50, true);
  ASSERT_NE(waitPopupMenu(), nullptr);
  pressKey(nullptr, 'T');
  ASSERT_TRUE(waitPopupMenuClosed());
  EXPECT_EQ(closeViewer(viewer), 0);
  EXPECT_EQ(settingsValue(box, "Position", "DisableScreenSaver"), "0");
  EXPECT_EQ(settingsValue(box, "Position", "Topmost"), "1");
}

// Picking an option changes its check mark and nothing else: between two pictures of the popup
// only the rows of that item differ, the Topmost item's below the screen saver item's.
TEST_F(ViewerMenu, PickingAnOptionChangesItsOwnCheckMark) {
  // The popup is shown before its items are drawn: wait for text, then for two equal pictures.
  int width = 0;
  auto picture = [&] {
    click(viewer.window, 50, 50, true);
    HWND menu = waitPopupMenu();
    const RECT r = windowRect(menu);
    width = r.right - r.left;
    std::vector<COLORREF> last, now;
    waitFor([&] {
      last = std::move(now);
      now = screenPixels(r);
      auto dark = std::count_if(now.begin(), now.end(), [](COLORREF c) { return (c & 0xC0C0C0) == 0; });
      return dark > 200 && now == last;
    });
    return now;
  };
  auto changedRows = [](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, int width) {
    std::pair<int, int> rows{-1, -1};
    for (size_t i = 0; i < a.size() && a.size() == b.size(); ++i)
      if (a[i] != b[i]) {
        int y = static_cast<int>(i) / width;
        rows = {rows.first < 0 ? y : rows.first, y};
      }
    return rows;
  };
  const std::vector<COLORREF> before = picture();
  pressKey(nullptr, 'V');
  pressKey(nullptr, VK_RETURN);
  ASSERT_TRUE(waitPopupMenuClosed());
  const std::vector<COLORREF> screenSaverOff = picture();
  pressKey(nullptr, 'T');
  ASSERT_TRUE(waitPopupMenuClosed());
  const std::vector<COLORREF> topmostOn = picture();
  closePopup(nullptr);
  ASSERT_FALSE(before.empty());
  const auto screenSaverRow = changedRows(before, screenSaverOff, width);
  const auto topmostRow = changedRows(screenSaverOff, topmostOn, width);
  EXPECT_GE(screenSaverRow.first, 0) << "Disable screen saver: no change";
  EXPECT_GE(topmostRow.first, 0) << "Topmost window: no change";
  EXPECT_GT(topmostRow.first, screenSaverRow.second) << "Topmost's row lies below the screen saver's";
  EXPECT_LT(topmostRow.second - topmostRow.first, 30) << "one item's row";
}

// Exit ends the program with exit code 0 and saves the settings.
TEST_F(ViewerMenu, ExitFromThePopupEndsAndSaves) {
  MoveWindow(viewer.window, 120, 90, 300, 250, TRUE);
  RECT client = clientRect(viewer.window);
  click(viewer.window, 30, 30, true);
  ASSERT_NE(waitPopupMenu(), nullptr);
  pressKey(nullptr, 'X');
  EXPECT_EQ(viewer.process.waitExit(), 0);
  EXPECT_EQ(settingsText(box), iniLines({"[Position]", "x=120", "y=90", ("w=" + std::to_string(client.right)).c_str(),
                                         ("h=" + std::to_string(client.bottom)).c_str(), "DisableScreenSaver=1",
                                         "Topmost=0", "Fullscreen=0"}));
}

// Source, Format and Display are enabled for the dialogs the driver offers and stay
// grayed otherwise; Compression is always there. A grayed item picked by its mnemonic
// does nothing.
TEST(ViewerMenuState, DriverDialogItemsFollowTheDriversCapabilities) {
  struct Row {
    const char* offered;  // SIMCARD_CAPTURE_DIALOGS
    WORD mnemonic;
    const char* message;
    bool opens;
  } rows[] = {
      {"source", 'S', "DLG_VIDEOSOURCE", true},          {"source", 'F', "DLG_VIDEOFORMAT", false},
      {"source", 'D', "DLG_VIDEODISPLAY", false},        {"format,display", 'F', "DLG_VIDEOFORMAT", true},
      {"format,display", 'D', "DLG_VIDEODISPLAY", true}, {"format,display", 'S', "DLG_VIDEOSOURCE", false},
      {"none", 'C', "DLG_VIDEOCOMPRESSION", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.offered) + " / " + row.message);
    Sandbox box;
    ScopedEnv env("SIMCARD_CAPTURE_DIALOGS", row.offered);
    Viewer v = startViewer(box);
    ASSERT_NE(v.window, nullptr);
    click(v.window, 40, 40, true);
    ASSERT_NE(waitPopupMenu(), nullptr);
    pressKey(nullptr, row.mnemonic);
    HWND dialog = waitProcessWindow(v.process.id(), "#32770", row.opens ? kWait : 1000);
    if (row.opens) {
      ASSERT_NE(dialog, nullptr) << "the driver's dialog did not open";
      pressKey(dialog, VK_ESCAPE);
      EXPECT_TRUE(waitFor([&] { return box.log("capture.log").find(row.message) != std::string::npos; }));
    } else {
      EXPECT_EQ(dialog, nullptr) << "a grayed item opened its dialog";
      pressKey(nullptr, VK_ESCAPE);
      EXPECT_TRUE(waitPopupMenuClosed());
      EXPECT_EQ(box.log("capture.log").find(row.message), std::string::npos);
    }
    EXPECT_EQ(closeViewer(v), 0);
  }
}

// Restore aspect ratio is grayed while the video already has the frame's aspect ratio.
TEST(ViewerMenuState, RestoreAspectRatioOnlyWhenTheVideoIsOutOfShape) {
  struct Row {
    const char* file;
    const char* before;
    const char* after;
  } rows[] = {
      {"[Position]\r\nw=360\r\nh=288\r\n", "Vistrel (360x288)", "Vistrel (360x288)"},
      {"[Position]\r\nw=400\r\nh=300\r\n", "Vistrel (400x300)", "Vistrel (375x300)"},
      {"[TVSystem]\r\nNTSC=1\r\n[Position]\r\nw=360\r\nh=240\r\n", "Vistrel (360x240)", "Vistrel (360x240)"},
      {"[TVSystem]\r\nNTSC=1\r\n[Position]\r\nw=360\r\nh=288\r\n", "Vistrel (360x288)", "Vistrel (432x288)"},
      // 360 = 290 / 4 * 5 and 360 = 241 / 2 * 3, yet the heights are no multiple of 4 or 2.
      {"[Position]\r\nw=360\r\nh=290\r\n", "Vistrel (360x290)", "Vistrel (360x288)"},
      {"[TVSystem]\r\nNTSC=1\r\n[Position]\r\nw=360\r\nh=241\r\n", "Vistrel (360x241)", "Vistrel (360x240)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    Sandbox box;
    Viewer v = startViewer(box, row.file);
    ASSERT_NE(v.window, nullptr);
    ASSERT_TRUE(waitTitle(v.window, row.before)) << windowText(v.window);
    click(v.window, 40, 40, true);
    ASSERT_NE(waitPopupMenu(), nullptr);
    pressKey(nullptr, 'R');
    pressKey(nullptr, VK_ESCAPE);  // closes the popup when the grayed item kept it open
    ASSERT_TRUE(waitPopupMenuClosed());
    EXPECT_TRUE(waitTitle(v.window, row.after, 2000)) << windowText(v.window);
    EXPECT_EQ(closeViewer(v), 0);
  }
}

// In full screen Restore aspect ratio is grayed: picked, it would resize the full-screen window
// (an NTSC frame is 3:2, the bench's screen 5:4).
TEST(ViewerMenuState, RestoreAspectRatioIsGrayedInFullScreen) {
  Sandbox box;
  Viewer v = startViewerAt(box, 100, 100, 360, 250, "", "[TVSystem]\r\nNTSC=1\r\n");
  ASSERT_NE(v.window, nullptr);
  ASSERT_TRUE(pressF12(v.window, "Vistrel (full-screen)"));
  const RECT full = windowRect(v.window);
  click(v.window, 200, 200, true);
  ASSERT_NE(waitPopupMenu(), nullptr);
  pressKey(nullptr, 'R');
  pressKey(nullptr, VK_ESCAPE);  // closes the popup when the grayed item kept it open
  ASSERT_TRUE(waitPopupMenuClosed());
  ASSERT_TRUE(waitInputHandled(v.window));
  const RECT now = windowRect(v.window);
  EXPECT_TRUE(EqualRect(&now, &full)) << now.right - now.left << "x" << now.bottom - now.top;
  EXPECT_EQ(windowText(v.window), "Vistrel (full-screen)");
  // Windowed again, the item works on the same out-of-shape video.
  ASSERT_TRUE(pressF12(v.window, "Vistrel (360x250)"));
  click(v.window, 40, 40, true);
  ASSERT_NE(waitPopupMenu(), nullptr);
  pressKey(nullptr, 'R');
  EXPECT_TRUE(waitTitle(v.window, "Vistrel (375x250)")) << windowText(v.window);
}

// The screen saver request: refused while "Disable screen saver" is set, passed on to the
// platform (which would start the screen saver) while it is not. Under Wine the platform starts
// none, so what is seen is the request reaching default processing: a CBT hook sees it there.
TEST(ViewerMenuState, ScreenSaverRequestRefusedOnlyWhileTheOptionIsSet) {
  struct Row {
    const char* option;
    bool passedOn;
  } rows[] = {{"DisableScreenSaver=1", false}, {"DisableScreenSaver=0", true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.option);
    Sandbox box;
    SysCommandWatch watch(box);
    ASSERT_TRUE(watch.ok());
    Viewer v = startViewerAt(box, 100, 100, 360, 288, std::string(r.option) + "\r\n");
    ASSERT_NE(v.window, nullptr);
    DWORD_PTR result = 1;
    for (WPARAM request : {SC_SCREENSAVE, SC_SCREENSAVE | 2, SC_RESTORE}) {
      ASSERT_TRUE(SendMessageTimeoutA(v.window, WM_SYSCOMMAND, request, 0, SMTO_NORMAL, kWait, &result));
      EXPECT_EQ(result, 0u);
    }
    // Restore (of a window that is neither minimized nor maximized) always goes on: it marks the
    // end of what the hook saw.
    ASSERT_TRUE(waitFor([&] { return box.log("syscommand.log").find("f120") != std::string::npos; }));
    const std::string passed = r.passedOn ? "syscommand f140\nsyscommand f140\n" : "";
    EXPECT_EQ(box.log("syscommand.log"), passed + "syscommand f120\n");
  }
}

}  // namespace
