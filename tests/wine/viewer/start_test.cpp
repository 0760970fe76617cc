// Starting and ending the viewer: a capture card that cannot be set up, a second start,
// closing a minimized viewer.
#include <gtest/gtest.h>

#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

bool hasVisibleViewerWindow() {
  HWND w = FindWindowA("Vistrel", nullptr);
  return w && IsWindowVisible(w);
}

// Whatever step of the capture set-up fails, the user gets one beep and the one box;
// the program ends with 0 and still saves the geometry the window was created with.
TEST(ViewerStart, FailedCaptureSetUpShowsBuzDeadAndStillSavesTheFile) {
  const char* faults[] = {"no-window", "no-driver", "no-caps", "no-overlay", "no-scale"};
  for (const char* fault : faults) {
    SCOPED_TRACE(fault);
    Sandbox box;
    ScopedEnv env("SIMCARD_CAPTURE", fault);
    ASSERT_TRUE(writeFile(box.path("vistrel.ini"),
                          iniLines({"[Position]", "x=40", "y=30", "w=400", "h=300", "Fullscreen=1", "Topmost=1"})));
    int beeps = beepCount();
    Process viewer = box.start("vistrel.exe");
    ASSERT_TRUE(viewer.started());
    HWND box_ = waitProcessWindow(viewer.id(), "#32770");
    ASSERT_NE(box_, nullptr) << "no message box";
    EXPECT_EQ(windowText(box_), "BUZ Dead");
    char text[256] = "";
    GetDlgItemTextA(box_, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "You'll laugh but your system thinks it is not\requipped with any video capture card");
    EXPECT_EQ(waitBeeps(beeps + 1), beeps + 1);
    EXPECT_FALSE(hasVisibleViewerWindow());
    pressKey(box_, VK_RETURN);
    EXPECT_EQ(viewer.waitExit(), 0);
    EXPECT_EQ(beepCount(), beeps + 1) << "one beep only";
    EXPECT_EQ(settingsText(box), iniLines({"[Position]", "x=40", "y=30", "w=400", "h=300", "Fullscreen=0",
                                           "Topmost=1", "DisableScreenSaver=1"}));
  }
}

TEST(ViewerStart, SecondStartBringsTheMinimizedFirstOneBackAndEnds) {
  Sandbox box;
  Viewer first = startViewer(box);
  ASSERT_NE(first.window, nullptr);
  ShowWindow(first.window, SW_MINIMIZE);
  ASSERT_TRUE(waitFor([&] { return IsIconic(first.window) != FALSE; }));

  Process second = box.start("vistrel.exe");
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.waitExit(), 0);
  EXPECT_TRUE(waitFor([&] { return !IsIconic(first.window); })) << "first viewer still minimized";
  EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == first.window; })) << "first viewer not in front";
  EXPECT_FALSE(fileExists(box.path("vistrel.ini"))) << "the second start must not save";
  EXPECT_EQ(FindWindowExA(nullptr, first.window, "Vistrel", nullptr), nullptr) << "a second main window";
  EXPECT_EQ(closeViewer(first), 0);
}

TEST(ViewerStart, ClosingAMinimizedViewerSavesTheRestoredPlace) {
  Sandbox box;
  Viewer v = startViewer(box, iniLines({"[Position]", "x=50", "y=60", "w=240", "h=192"}));
  ASSERT_NE(v.window, nullptr);
  ShowWindow(v.window, SW_MINIMIZE);
  ASSERT_TRUE(waitFor([&] { return IsIconic(v.window) != FALSE; }));
  EXPECT_EQ(closeViewer(v), 0);
  EXPECT_EQ(settingsValue(box, "Position", "x"), "50");
  EXPECT_EQ(settingsValue(box, "Position", "y"), "60");
  EXPECT_EQ(settingsValue(box, "Position", "w"), "240");
  EXPECT_EQ(settingsValue(box, "Position", "h"), "192");
}

}  // namespace
