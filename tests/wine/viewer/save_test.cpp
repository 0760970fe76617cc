// Save frame (Shift+G, the popup menu, command 125): the PNG file it leaves, what it leaves
// alone (the clipboard, existing files), and what a failure leaves (one beep, no file).
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/wine/harness/log_lines.h"
#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

constexpr WPARAM kSaveFrame = 125;

bool captureLogHas(const Sandbox& box, const std::string& line, size_t count = 1) {
  return waitFor([&] {
    size_t seen = 0;
    for (const std::string& l : completeLines(box.log("capture.log"))) seen += l == line;
    return seen >= count;
  });
}

bool putTextOnClipboard(const char* text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
  memcpy(GlobalLock(mem), text, strlen(text) + 1);
  GlobalUnlock(mem);
  bool placed = SetClipboardData(CF_TEXT, mem) != nullptr;
  CloseClipboard();
  return placed;
}

std::string clipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

std::string grabFolderIni(const std::string& folder) {
  return iniLines({"[Position]", "w=360", "h=288"}) + "GrabFolder=" + folder + "\r\n";
}

// The menu item below Grab is Save frame with its key.
TEST(ViewerSave, MenuItemSitsBelowGrabWithItsKey) {
  Sandbox box;
  HMODULE exe = LoadLibraryExA(box.path("vistrel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(200));
  HMENU popup = GetSubMenu(menu, 0);
  int grab = -1;
  for (int i = 0; i < GetMenuItemCount(popup); ++i)
    if (GetMenuItemID(popup, i) == 109) grab = i;
  ASSERT_GE(grab, 0);
  char text[64] = "";
  GetMenuStringA(popup, grab + 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Save &frame\tShift+G");
  EXPECT_EQ(GetMenuItemID(popup, grab + 1), kSaveFrame);
  DestroyMenu(menu);
  FreeLibrary(exe);
}

// Frozen, Shift+G saves the frozen picture: a 24-bit PNG at the frame's size whose pixels are
// those Grab then puts on the clipboard, and the text the user had on the clipboard is still
// there. Saved twice, the same picture gives two files, the second never over the first.
TEST(ViewerSave, FrozenFrameIsSavedAsA24BitPngOfTheClipboardsPixelsAndTheClipboardIsKept) {
  Sandbox box;
  FrameFolder folder;
  Viewer v = startViewer(box, grabFolderIni(folder.windowsPath()));
  ASSERT_NE(v.window, nullptr);
  ASSERT_TRUE(captureLogHas(box, "SET_SCALE 1 -> 1"));
  pressKey(v.window, VK_SPACE);
  ASSERT_TRUE(captureLogHas(box, "GRAB_FRAME 0 -> 1"));
  ASSERT_TRUE(putTextOnClipboard("the user's text"));
  const DWORD sequence = GetClipboardSequenceNumber();
  for (int save = 1; save <= 2; ++save) {
    pressKey(v.window, 'G', {VK_SHIFT});
    ASSERT_TRUE(folder.waitFiles(save)) << "save " << save;
  }
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "the clipboard was touched";
  EXPECT_EQ(clipboardText(), "the user's text");

  pressKey(v.window, 'G');
  std::vector<unsigned char> dib;
  ASSERT_TRUE(waitFor([&] { return !(dib = clipboardDib()).empty(); }));
  const std::string grabbed = dibRgb(dib);
  ASSERT_EQ(grabbed.size(), 720u * 576 * 3);

  const std::vector<std::string> files = folder.files();
  ASSERT_EQ(files.size(), 2u);
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    EXPECT_EQ(name.rfind("vistrel-", 0), 0u);
    const std::string path = folder.unixPath() + "/" + name;
    PngHeader h = pngHeader(readFile(unixToWindows(path)));
    EXPECT_EQ(h.width, 720u);
    EXPECT_EQ(h.height, 576u);
    EXPECT_EQ(h.bitDepth, 8u);
    EXPECT_EQ(h.colourType, 2u) << "not 24-bit RGB";
    EXPECT_TRUE(pngRgb(path) == grabbed) << "the saved pixels are not the frozen frame's";
  }
  std::vector<std::string> sent;
  for (const std::string& line : completeLines(box.log("capture.log")))
    if (line.rfind("GRAB", 0) == 0 || line.rfind("FILE_SAVEDIB", 0) == 0) sent.push_back(line);
  EXPECT_EQ(sent, (std::vector<std::string>{"GRAB_FRAME 0 -> 1", "FILE_SAVEDIB 0 -> 1", "FILE_SAVEDIB 0 -> 1"}))
      << "frozen, a save takes no new frame";
  EXPECT_EQ(closeViewer(v), 0);
}

// Twenty saves asked for at once give twenty files: per second of the clock, vistrel-STAMP.png
// and then -2, -3 ... without a gap, and nothing else (no temporary file is left).
TEST(ViewerSave, TwentySavesAtOnceGiveTwentyNumberedFiles) {
  Sandbox box;
  FrameFolder folder;
  Viewer v = startViewer(box, grabFolderIni(folder.windowsPath()));
  ASSERT_NE(v.window, nullptr);
  ASSERT_TRUE(captureLogHas(box, "SET_SCALE 1 -> 1"));
  for (int i = 0; i < 20; ++i) PostMessageA(v.window, WM_COMMAND, kSaveFrame, 0);
  ASSERT_TRUE(captureLogHas(box, "FILE_SAVEDIB 0 -> 1", 20));
  ASSERT_TRUE(waitInputHandled(v.window));
  const std::vector<std::string> files = folder.files();
  ASSERT_EQ(files.size(), 20u);
  std::map<std::string, std::vector<std::string>> bySecond;
  for (const std::string& name : files) bySecond[name.substr(0, 23)].push_back(name);  // "vistrel-YYYYMMDD-HHMMSS"
  for (auto& [stamp, names] : bySecond) {
    std::vector<std::string> expected{stamp + ".png"};
    for (size_t n = 2; n <= names.size(); ++n) expected.push_back(stamp + "-" + std::to_string(n) + ".png");
    std::sort(names.begin(), names.end()), std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
  }
  EXPECT_EQ(pngHeader(readFile(folder.windowsPath() + "\\" + files.back())).width, 720u);
  EXPECT_EQ(closeViewer(v), 0);
}

// A grab folder that is missing, or a disk that takes no byte: one beep, and no file is left,
// not even a temporary one. A second start's /save to that viewer gets 3.
TEST(ViewerSave, AFolderThatCannotBeWrittenGivesOneBeepAndNoFile) {
  {
    SCOPED_TRACE("missing folder");
    Sandbox box;
    FrameFolder folder;
    Viewer v = startViewer(box, grabFolderIni(folder.windowsPath() + "\\missing"));
    ASSERT_NE(v.window, nullptr);
    const int beeps = beepCount();
    pressKey(v.window, 'G', {VK_SHIFT});
    EXPECT_EQ(waitBeeps(beeps + 1), beeps + 1);
    ASSERT_TRUE(waitInputHandled(v.window));  // its own beep: the save beeped once only
    EXPECT_EQ(beepCount(), beeps + 2);
    EXPECT_TRUE(folder.files().empty());
    EXPECT_FALSE(fileExists(folder.windowsPath() + "\\missing"));
    EXPECT_EQ(closeViewer(v), 0);
  }
  {
    SCOPED_TRACE("full disk");
    Sandbox box;
    FrameFolder folder;
    {  // a first run makes the simulated chip's file, which a run without file space cannot
      Viewer once = startViewer(box, grabFolderIni(folder.windowsPath()));
      ASSERT_NE(once.window, nullptr);
      EXPECT_EQ(closeViewer(once), 0);
    }
    // Started from a Unix shell, it gets no WINEDLLOVERRIDES: the capture stand-in by the registry.
    ScopedDllOverride standIn("vistrel.exe", "avicap32", "n");
    ASSERT_TRUE(box.startWithoutFileSpace("vistrel.exe"));
    HWND w = waitWindow("Vistrel", nullptr);
    ASSERT_NE(w, nullptr);
    struct Closer {
      HWND w;
      ~Closer() {
        PostMessageA(w, WM_CLOSE, 0, 0);
        EXPECT_TRUE(waitFor([] { return FindWindowA("Vistrel", nullptr) == nullptr; }));
      }
    } closer{w};
    ASSERT_TRUE(waitTitle(w, "Vistrel (360x288)"));  // the capture window runs (it can write no log)
    const int beeps = beepCount();
    PostMessageA(w, WM_COMMAND, kSaveFrame, 0);
    EXPECT_EQ(waitBeeps(beeps + 1), beeps + 1);
    Process second = box.start("vistrel.exe", "/save");
    EXPECT_EQ(second.waitExit(), 3);
    EXPECT_EQ(waitBeeps(beeps + 2), beeps + 2);  // the bell reaches the log after the answer
    Sleep(500);
    EXPECT_EQ(beepCount(), beeps + 2);
    EXPECT_EQ(folder.files(), std::vector<std::string>{});
  }
}

// Without GrabFolder, frames go to the user's Pictures folder; a relative GrabFolder lies in
// the viewer's own folder.
TEST(ViewerSave, DefaultFolderIsPicturesAndARelativeOneLiesBesideTheViewer) {
  char pictures[MAX_PATH] = "";
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, 0, pictures)));
  for (bool relative : {false, true}) {
    SCOPED_TRACE(relative ? "relative" : "default");
    Sandbox box;
    ASSERT_TRUE(CreateDirectoryA(box.path("frames").c_str(), nullptr));
    const std::string folder = relative ? box.path("frames") : pictures;
    const std::string pattern = folder + "\\vistrel-*.png";
    auto saved = [&] {
      std::vector<std::string> names;
      WIN32_FIND_DATAA fd;
      HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
      if (h == INVALID_HANDLE_VALUE) return names;
      do names.push_back(fd.cFileName);
      while (FindNextFileA(h, &fd));
      FindClose(h);
      return names;
    };
    const size_t before = saved().size();
    Viewer v = startViewer(box, relative ? grabFolderIni("frames") : iniLines({"[Position]", "w=360", "h=288"}));
    ASSERT_NE(v.window, nullptr);
    ASSERT_TRUE(captureLogHas(box, "SET_SCALE 1 -> 1"));
    const std::vector<std::string> old = saved();
    pressKey(v.window, 'G', {VK_SHIFT});
    EXPECT_TRUE(waitFor([&] { return saved().size() == before + 1; }));
    for (const std::string& name : saved())
      if (std::find(old.begin(), old.end(), name) == old.end()) DeleteFileA((folder + "\\" + name).c_str());
    EXPECT_EQ(closeViewer(v), 0);
    EXPECT_EQ(settingsValue(box, "Position", "GrabFolder"), relative ? "frames" : "(missing)") << "never written";
  }
}

}  // namespace
