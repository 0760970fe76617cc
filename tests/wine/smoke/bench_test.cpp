// The bench itself: a program started from its sandbox, found, driven and observed.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/harness/harness.h"

using namespace harness;

TEST(Bench, StartsDrivesAndObservesAProgram) {
  Sandbox box;
  box.copyTestProgram("smoke_app.exe");
  Process app = box.start("smoke_app.exe");
  ASSERT_TRUE(app.started());
  HWND w = waitWindow("SmokeApp", nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(windowText(w), "smoke");

  pressKey(w, 'K', {VK_CONTROL});
  EXPECT_TRUE(waitTitle(w, "ctrl+k")) << windowText(w);
  pressKey(w, 'K');
  EXPECT_TRUE(waitTitle(w, "k")) << windowText(w);

  int before = beepCount();
  pressKey(w, 'B');
  EXPECT_EQ(waitBeeps(before + 1), before + 1);
  Sleep(300);
  EXPECT_EQ(beepCount(), before + 1) << "one beep only";

  PostMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(app.waitExit(), 7);
}

TEST(Bench, DragsABorderWithShiftHeldThroughTheXServer) {
  Sandbox box;
  box.copyTestProgram("smoke_app.exe");
  Process app = box.start("smoke_app.exe");
  HWND w = waitWindow("SmokeApp", nullptr);
  ASSERT_NE(w, nullptr);
  RECT before = windowRect(w);
  POINT corner{before.right - 2, before.bottom - 2};
  ASSERT_TRUE(dragScreen(w, corner, {corner.x + 60, corner.y + 40}, "shift"));
  EXPECT_TRUE(waitTitle(w, "sizing+shift")) << windowText(w);
  RECT after = windowRect(w);
  EXPECT_EQ(after.left, before.left);
  EXPECT_GT(after.right, before.right);
  EXPECT_GT(after.bottom, before.bottom);
}

TEST(Bench, SandboxHasItsOwnFolderAndStandInSettings) {
  Sandbox a, b;
  EXPECT_NE(a.dir(), b.dir());
  char log[512];
  ASSERT_GT(GetEnvironmentVariableA("SIMCARD_LOG", log, sizeof log), 0u);
  EXPECT_EQ(std::string(log), b.dir());
  ASSERT_TRUE(writeFile(a.path("x.txt"), std::string("a\0b", 3)));
  EXPECT_EQ(readFile(a.path("x.txt")), std::string("a\0b", 3));
  EXPECT_EQ(readFile(a.path("missing.txt")), "");
}

TEST(Bench, ScreenshotIsTakenWithoutRingingTheBell) {
  const std::string unixPath = "/tmp/vt-bench-shot-" + std::to_string(GetCurrentProcessId()) + ".ppm";
  int before = beepCount();
  ASSERT_TRUE(screenshot(unixPath));
  EXPECT_EQ(readFile(unixToWindows(unixPath)).substr(0, 2), "P6");
  Sleep(300);  // a bell would have reached BELL_LOG by now
  EXPECT_EQ(beepCount(), before);
  DeleteFileA(unixToWindows(unixPath).c_str());
}
