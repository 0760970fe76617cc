// Command-line switches: a second start hands them to the running viewer and ends with their
// outcome; with no viewer running the viewer starts and carries them out itself.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/harness/log_lines.h"
#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

// A second start of the viewer with args; its exit code, -1 when it did not end.
long secondStart(Sandbox& box, const std::string& args) {
  Process p = box.start("vistrel.exe", args);
  return p.started() ? p.waitExit(4 * kWait) : -1;
}

std::string clientSize(HWND w) {
  RECT r = clientRect(w);
  return std::to_string(r.right) + "x" + std::to_string(r.bottom);
}

std::string rectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

size_t lineCount(const Sandbox& box, const char* log) { return completeLines(box.log(log)).size(); }

std::vector<std::string> linesAfter(const Sandbox& box, const char* log, size_t count) {
  std::vector<std::string> lines = completeLines(box.log(log));
  return std::vector<std::string>(lines.begin() + std::min(count, lines.size()), lines.end());
}

// What a user sees of the window: its rectangle, title and topmost state.
std::string windowState(HWND w) {
  return rectText(windowRect(w)) + " " + windowText(w) + ((windowExStyle(w) & WS_EX_TOPMOST) ? " topmost" : "");
}

// Size, full screen and topmost, each to a definite state however often it is asked for; a bad
// switch anywhere in a start does nothing at all; the first failure stops the switches after it.
TEST(ViewerSwitches, WindowSwitchesSetADefiniteStateAndBadOnesChangeNothing) {
  Sandbox box;
  FrameFolder folder;
  Viewer v = startViewerAt(box, 100, 80, 360, 288, "GrabFolder=" + folder.windowsPath() + "\r\n");
  ASSERT_NE(v.window, nullptr);
  const RECT windowed = windowRect(v.window);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  struct Step {
    const char* args;
    long exitCode;
    std::function<bool()> shows;
  } steps[] = {
      {"/size 4", 0, [&] { return clientSize(v.window) == "180x144"; }},
      {"-SIZE 1", 0, [&] { return clientSize(v.window) == "720x576"; }},
      {"/size 2", 0, [&] { return clientSize(v.window) == "360x288"; }},
      {"/fullscreen on", 0,
       [&] {
         return windowText(v.window) == "Vistrel (full-screen)" &&
                clientSize(v.window) == std::to_string(cx) + "x" + std::to_string(cy);
       }},
      {"/fullscreen ON", 0, [&] { return windowText(v.window) == "Vistrel (full-screen)"; }},
      {"/fullscreen off", 0, [&] { return rectText(windowRect(v.window)) == rectText(windowed); }},
      {"/fullscreen off", 0, [&] { return rectText(windowRect(v.window)) == rectText(windowed); }},
      {"/topmost on", 0, [&] { return (windowExStyle(v.window) & WS_EX_TOPMOST) != 0; }},
      {"/topmost on", 0, [&] { return (windowExStyle(v.window) & WS_EX_TOPMOST) != 0; }},
      {"-Topmost off", 0, [&] { return (windowExStyle(v.window) & WS_EX_TOPMOST) == 0; }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args);
    EXPECT_EQ(secondStart(box, step.args), step.exitCode);
    EXPECT_TRUE(waitFor(step.shows)) << windowState(v.window);
  }

  const std::string before = windowState(v.window);
  const size_t captureLines = lineCount(box, "capture.log");
  for (const char* bad : {"/size 3", "/size", "/bogus", "/fullscreen yes", "/topmost", "/volume 5", "/volume +0",
                          "/size 4 /bogus", "/bogus /size 4", "size 4", "/save \"\""}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(secondStart(box, bad), 2);
  }
  EXPECT_EQ(windowState(v.window), before);
  EXPECT_EQ(linesAfter(box, "capture.log", captureLines), std::vector<std::string>{});
  EXPECT_TRUE(folder.files().empty());

  ASSERT_TRUE(writeFile(folder.windowsPath() + "\\taken.png", "mine"));
  EXPECT_EQ(secondStart(box, "/size 4 /save " + folder.windowsPath() + "\\taken.png /size 6"), 3);
  EXPECT_TRUE(waitFor([&] { return clientSize(v.window) == "180x144"; })) << "done before the failure";
  EXPECT_EQ(readFile(folder.windowsPath() + "\\taken.png"), "mine");
  EXPECT_EQ(folder.files(), std::vector<std::string>{"taken.png"});
  EXPECT_EQ(closeViewer(v), 0);
}

// Freeze to a definite state, grab, save (into the grab folder, or to a file that must not
// exist yet, named relative to the second start's folder), the Buz line's volume and mute.
TEST(ViewerSwitches, CaptureFileAndMixerSwitchesDoWhatTheirKeysDo) {
  Sandbox box;
  FrameFolder folder;
  SimulatedMixer mixer(box);
  Viewer v =
      startViewer(box, iniLines({"[Position]", "w=360", "h=288"}) + "GrabFolder=" + folder.windowsPath() + "\r\n");
  ASSERT_NE(v.window, nullptr);
  ASSERT_TRUE(waitFor([&] { return lineCount(box, "capture.log") >= 5; }));
  struct Step {
    const char* args;
    const char* log;
    std::vector<std::string> logged;
  } steps[] = {
      {"/freeze on", "capture.log", {"GRAB_FRAME 0 -> 1"}},
      {"/FREEZE on", "capture.log", {}},
      {"/freeze off", "capture.log", {"SET_OVERLAY 1 -> 1"}},
      {"/freeze off", "capture.log", {}},
      {"/grab", "capture.log", {"GRAB_FRAME_NOSTOP 0 -> 1", "EDIT_COPY 0 -> 1"}},
      {"/save", "capture.log", {"GRAB_FRAME_NOSTOP 0 -> 1", "FILE_SAVEDIB 0 -> 1"}},
      {"/volume +3", "mixer.log", {"open", "set 1002 volume 38893", "close"}},
      {"/volume -3", "mixer.log", {"open", "set 1002 volume 32752", "close"}},
      {"/mute on", "mixer.log", {"open", "set 1002 mute 1", "close"}},
      {"-mute OFF", "mixer.log", {"open", "set 1002 mute 0", "close"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args);
    const size_t count = lineCount(box, step.log);
    EXPECT_EQ(secondStart(box, step.args), 0);
    EXPECT_EQ(linesAfter(box, step.log, count), step.logged);
  }
  EXPECT_EQ(pngHeader(readFile(folder.windowsPath() + "\\" + folder.files().at(0))).width, 720u);

  // FILE is taken from the second start's own folder.
  Process named = box.start("vistrel.exe", "/save named.png", folder.windowsPath());
  EXPECT_EQ(named.waitExit(4 * kWait), 0);
  const std::string saved = readFile(folder.windowsPath() + "\\named.png");
  EXPECT_EQ(pngHeader(saved).height, 576u);
  const int beeps = beepCount();
  Process again = box.start("vistrel.exe", "/save named.png", folder.windowsPath());
  EXPECT_EQ(again.waitExit(4 * kWait), 3) << "an existing file is refused";
  EXPECT_EQ(waitBeeps(beeps + 1), beeps + 1);
  EXPECT_TRUE(readFile(folder.windowsPath() + "\\named.png") == saved);
  EXPECT_EQ(folder.files().size(), 2u);
  EXPECT_EQ(closeViewer(v), 0);
}

// /exit ends the running viewer as Exit does (settings saved); with no viewer it starts none
// and ends with 1. Started with switches and no viewer running, the viewer carries them out
// once its window runs and ends, when closed, with their outcome.
TEST(ViewerSwitches, ExitAndTheSwitchesOfAStartWithNoViewerRunning) {
  Sandbox box;
  ASSERT_TRUE(writeFile(box.path("vistrel.ini"), iniLines({"[Position]", "x=30", "y=40", "w=360", "h=288"})));
  EXPECT_EQ(secondStart(box, "/exit"), 1);
  EXPECT_EQ(secondStart(box, "/grab /exit"), 1);
  EXPECT_EQ(secondStart(box, "/size 4 /bogus"), 2);
  EXPECT_EQ(FindWindowA("Vistrel", nullptr), nullptr) << "a viewer was started";
  EXPECT_EQ(lineCount(box, "capture.log"), 0u);

  Process first = box.start("vistrel.exe", "/size 4 /freeze on");
  ASSERT_TRUE(first.started());
  HWND w = waitViewerWindow(first.id());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(waitTitle(w, "Vistrel (180x144)"));
  EXPECT_TRUE(waitFor([&] { return box.log("capture.log").find("GRAB_FRAME 0 -> 1") != std::string::npos; }));
  EXPECT_EQ(secondStart(box, "/size 2 /exit"), 0);
  EXPECT_EQ(first.waitExit(), 0);
  EXPECT_EQ(settingsValue(box, "Position", "w"), "360");
  EXPECT_EQ(settingsValue(box, "Position", "x"), "30");

  // A failed switch of the first start: the viewer runs on and ends with 3.
  const int beeps = beepCount();
  Process failing = box.start("vistrel.exe", "/save missing\\shot.png /size 4");
  w = waitViewerWindow(failing.id());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(waitBeeps(beeps + 1), beeps + 1);
  ASSERT_TRUE(waitInputHandled(w));
  EXPECT_EQ(windowText(w), "Vistrel (360x288)") << "the switch after the failure was done";
  Viewer v{std::move(failing), w};
  EXPECT_EQ(closeViewer(v), 3);

  // A viewer that cannot start its capture carries out nothing: the "BUZ Dead" box, then 3.
  ScopedEnv noDriver("SIMCARD_CAPTURE", "no-driver");
  Process dead = box.start("vistrel.exe", "/grab");
  HWND deadBox = waitProcessWindow(dead.id(), "#32770");
  ASSERT_NE(deadBox, nullptr);
  EXPECT_EQ(windowText(deadBox), "BUZ Dead");
  pressKey(deadBox, VK_RETURN);
  EXPECT_EQ(dead.waitExit(), 3);
}

}  // namespace
