// The viewer's settings file as a user meets it: a first start without one, hand-edited
// values, the keys it writes back and the ones it leaves alone.
#include <gtest/gtest.h>

#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

std::string clientSize(HWND w) {
  RECT r = clientRect(w);
  return std::to_string(r.right) + "x" + std::to_string(r.bottom);
}

TEST(ViewerSettings, FirstStartWithoutAFileWritesTheSevenKeysInOrder) {
  Sandbox box;
  Viewer v = startViewer(box);
  ASSERT_NE(v.window, nullptr);
  RECT r = windowRect(v.window);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(clientSize(v.window), "360x288");
  EXPECT_FALSE(fileExists(box.path("vistrel.ini"))) << "nothing is written before the end";
  EXPECT_EQ(closeViewer(v), 0);
  EXPECT_EQ(settingsText(box), iniLines({"[Position]", "x=0", "y=0", "w=360", "h=288", "DisableScreenSaver=1",
                                         "Topmost=0", "Fullscreen=0"}));
}

// Each row: the file a user wrote, the video size the window opens with, and the values
// written back for the keys that are saved.
TEST(ViewerSettings, HandEditedValuesAreBoundedAndFlagsReadByTheirLowBits) {
  struct Row {
    std::string file;
    const char* size;
    const char* x;
    const char* disableScreenSaver;
    const char* topmost;
  } rows[] = {
      {iniLines({"[Position]", "w=2000", "h=50"}), "720x96", "0", "1", "0"},
      {iniLines({"[Position]", "w=0", "h=-5"}), "120x96", "0", "1", "0"},
      {iniLines({"[Position]", "w=-5", "h=9999"}), "120x576", "0", "1", "0"},
      {iniLines({"[TVSystem]", "NTSC=1", "[Position]"}), "360x240", "0", "1", "0"},
      {iniLines({"[TVSystem]", "NTSC=7", "[Position]", "h=500", "w=719"}), "719x480", "0", "1", "0"},
      {iniLines({"[TVSystem]", "NTSC=1", "[Position]", "h=50"}), "360x80", "0", "1", "0"},
      {iniLines({"[Position]", "Topmost=256", "DisableScreenSaver=512"}), "360x288", "0", "0", "0"},
      {iniLines({"[Position]", "Topmost=2", "DisableScreenSaver=0"}), "360x288", "0", "0", "1"},
      {iniLines({"[Position]", "x=-30", "y=40", "w=abc"}), "120x288", "-30", "1", "0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    Sandbox box;
    Viewer v = startViewer(box, row.file);
    ASSERT_NE(v.window, nullptr);
    EXPECT_EQ(clientSize(v.window), row.size);
    EXPECT_EQ(closeViewer(v), 0);
    std::string size = settingsValue(box, "Position", "w") + "x" + settingsValue(box, "Position", "h");
    EXPECT_EQ(size, row.size);
    EXPECT_EQ(settingsValue(box, "Position", "x"), row.x);
    EXPECT_EQ(settingsValue(box, "Position", "DisableScreenSaver"), row.disableScreenSaver);
    EXPECT_EQ(settingsValue(box, "Position", "Topmost"), row.topmost);
    EXPECT_EQ(settingsValue(box, "Position", "Fullscreen"), "0");
  }
}

TEST(ViewerSettings, RoundTripChangesOnlyTheSavedKeysAndKeepsTheHandEditedOnes) {
  Sandbox box;
  std::string before = iniLines({"[TVSystem]", "NTSC=0", "SECAM=10", "[Position]", "x=100", "y=80", "w=400",
                                 "h=300", "DisableScreenSaver=0", "Topmost=1", "Fullscreen=0", "HideTaskbar=1",
                                 "SuppressWarnings=1", "BuzMixerLine=8"});
  Viewer v = startViewer(box, before);
  ASSERT_NE(v.window, nullptr);
  RECT r = windowRect(v.window);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 80);
  EXPECT_EQ(clientSize(v.window), "400x300");
  EXPECT_EQ(closeViewer(v), 0);
  EXPECT_EQ(settingsText(box), before);
}

// The settings file is named after the executable's lower-cased path; an executable
// without the ".exe" ending has no settings file at all.
TEST(ViewerSettings, FileNameFollowsTheExecutable) {
  Sandbox box;
  std::string folder = box.path("TV");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(box.path("vistrel.exe").c_str(), (folder + "\\VISTREL.EXE").c_str(), FALSE));
  {
    Process p = box.start("TV\\VISTREL.EXE");
    Viewer v{std::move(p), nullptr};
    v.window = waitViewerWindow(v.process.id());
    ASSERT_NE(v.window, nullptr);
    EXPECT_EQ(closeViewer(v), 0);
  }
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*.ini").c_str(), &found);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << "no settings file beside VISTREL.EXE";
  FindClose(h);
  EXPECT_STREQ(found.cFileName, "vistrel.ini");

  // Renamed to another ending: the file beside it is neither read nor written.
  ASSERT_TRUE(CopyFileA(box.path("vistrel.exe").c_str(), box.path("vistrel.bin").c_str(), FALSE));
  std::string handWritten = iniLines({"[Position]", "w=200", "h=160"});
  ASSERT_TRUE(writeFile(box.path("vistrel.ini"), handWritten));
  Viewer v{box.start("vistrel.bin"), nullptr};
  v.window = waitViewerWindow(v.process.id());
  ASSERT_NE(v.window, nullptr);
  EXPECT_NE(clientSize(v.window), "200x160");  // the start-up size keeps its value from before loading
  EXPECT_EQ(closeViewer(v), 0);
  EXPECT_EQ(settingsText(box), handWritten);
}

}  // namespace
