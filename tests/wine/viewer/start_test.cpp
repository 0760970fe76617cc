// Starting and ending the viewer: a capture card that cannot be set up, a second start,
// closing a minimized viewer.
#include <gtest/gtest.h>

#include "tests/wine/harness/log_lines.h"
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

std::string savedGeometry(const Sandbox& box) {
  std::string text;
  for (const char* key : {"x", "y", "w", "h"}) text += std::string(key) + "=" + settingsValue(box, "Position", key) + " ";
  return text;
}

void minimize(HWND w) {
  pressKey(w, VK_SPACE, {VK_MENU});  // the window menu
  if (waitPopupMenu()) pressKey(nullptr, 'N');
}

// Exit from the popup menu of a minimized viewer (F10 still reaches it) saves the restored
// geometry, so the next start shows the window where it was; so does an Exit command posted
// as the taskbar's window menu would.
TEST(ViewerStart, ExitWhileMinimizedSavesTheRestoredPlace) {
  Sandbox box;
  ASSERT_TRUE(writeFile(box.path("vistrel.ini"), iniLines({"[Position]", "x=50", "y=60", "w=240", "h=192"})));
  for (bool byMenu : {true, false}) {
    SCOPED_TRACE(byMenu ? "Exit from the popup menu" : "posted Exit command");
    Viewer v = startViewer(box);
    ASSERT_NE(v.window, nullptr);
    RECT r = windowRect(v.window);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    minimize(v.window);
    ASSERT_TRUE(waitFor([&] { return IsIconic(v.window) != FALSE; }));
    if (byMenu) {
      pressKey(nullptr, VK_F10);
      ASSERT_NE(waitPopupMenu(), nullptr);
      pressKey(nullptr, 'X');
    } else {
      PostMessageA(v.window, WM_COMMAND, 105, 0);
    }
    EXPECT_EQ(v.process.waitExit(), 0);
    EXPECT_EQ(savedGeometry(box), "x=50 y=60 w=240 h=192 ");
  }
}

// At the end of a session Windows ends the process without destroying its window: the
// settings of the run are saved on WM_ENDSESSION, and only when the session really ends.
TEST(ViewerStart, EndOfSessionSavesTheSettings) {
  Sandbox box;
  Viewer v = startViewer(box, iniLines({"[Position]", "x=50", "y=60", "w=240", "h=192"}));
  ASSERT_NE(v.window, nullptr);
  pressKey(v.window, VK_RIGHT, {VK_SHIFT, VK_CONTROL});  // moved 10 to the right
  ASSERT_TRUE(waitFor([&] { return windowRect(v.window).left == 60; }));
  DWORD_PTR answer = 0;
  for (BOOL ending : {FALSE, TRUE}) {
    SCOPED_TRACE(ending);
    ASSERT_TRUE(SendMessageTimeoutA(v.window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kWait, &answer));
    EXPECT_EQ(answer, TRUE);
    ASSERT_TRUE(SendMessageTimeoutA(v.window, WM_ENDSESSION, ending, 0, SMTO_NORMAL, kWait, &answer));
    if (!ending) {
      EXPECT_EQ(savedGeometry(box), "x=50 y=60 w=240 h=192 ") << "a cancelled end writes nothing";
    }
  }
  v.process.kill();  // as Windows ends it
  EXPECT_EQ(savedGeometry(box), "x=60 y=60 w=240 h=192 ");
  EXPECT_EQ(settingsValue(box, "Position", "Fullscreen"), "0");
}

// Two starts at the same moment: one viewer runs, with one capture connection; the other
// ends with 0.
TEST(ViewerStart, TwoStartsAtOnceLeaveOneViewer) {
  Sandbox box;
  Process starts[] = {box.start("vistrel.exe"), box.start("vistrel.exe")};
  ASSERT_TRUE(starts[0].started() && starts[1].started());
  HWND w = waitWindow("Vistrel", nullptr);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(waitFor([&] { return !starts[0].running() || !starts[1].running(); }));
  Process& second = starts[0].running() ? starts[1] : starts[0];
  Process& first = starts[0].running() ? starts[0] : starts[1];
  EXPECT_EQ(second.waitExit(), 0);
  EXPECT_TRUE(first.running());
  int connections = 0;
  for (const std::string& line : completeLines(box.log("capture.log")))
    connections += line.rfind("DRIVER_CONNECT", 0) == 0;
  EXPECT_EQ(connections, 1) << box.log("capture.log");
  EXPECT_EQ(FindWindowExA(nullptr, w, "Vistrel", nullptr), nullptr) << "a second main window";
  Viewer v{std::move(first), w};
  EXPECT_EQ(closeViewer(v), 0);
}

}  // namespace

