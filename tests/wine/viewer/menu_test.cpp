// The popup menu: where it opens, and the commands a user picks from it.
#include <gtest/gtest.h>

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

}  // namespace
