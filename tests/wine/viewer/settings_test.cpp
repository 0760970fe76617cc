// The viewer's settings file as a user meets it: a first start without one, hand-edited
// values, the keys it writes back and the ones it leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A folder tree deep enough that the executable's path does not fit the 512-character
// buffer; built and removed with the wide "\\?\" functions, which have no MAX_PATH limit.
class DeepFolder {
 public:
  // Nests folders under root until the path of the folder named last is exactly length
  // characters long.
  DeepFolder(const std::string& root, const std::string& last, size_t length) : root_(root) {
    std::string path = root;
    while (path.size() + 1 + 60 + 1 + last.size() < length) add(path += "\\" + std::string(60, 'd'));
    size_t filler = length - path.size() - 1 - last.size() - 1;
    if (filler > 0) add(path += "\\" + std::string(filler, 'e'));
    add(path += "\\" + last);
    path_ = path;
  }
  ~DeepFolder() {
    // A program started from the tree may still be ending: retry for a while.
    for (auto f = files_.rbegin(); f != files_.rend(); ++f)
      harness::waitFor([&] { return DeleteFileW(wide(*f).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }, 5000);
    for (auto d = folders_.rbegin(); d != folders_.rend(); ++d) RemoveDirectoryW(wide(*d).c_str());
  }
  const std::string& path() const { return path_; }
  bool copyIn(const std::string& from, const std::string& name) {
    files_.push_back(path_ + "\\" + name);
    return CopyFileW(wide(from).c_str(), wide(files_.back()).c_str(), FALSE);
  }
  void track(const std::string& file) { files_.push_back(file); }
  static std::wstring wide(const std::string& path) {
    std::string full = "\\\\?\\" + path;
    return std::wstring(full.begin(), full.end());
  }

 private:
  void add(const std::string& folder) {
    folders_.push_back(folder);
    CreateDirectoryW(wide(folder).c_str(), nullptr);
  }
  std::string root_, path_;
  std::vector<std::string> folders_, files_;
};

// The executable's path fills the whole buffer and is cut short, here right after a
// folder named "cut.exe": the settings file is then neither read nor written, rather than
// "cut.ini" or some other file being taken for it.
TEST(ViewerSettings, AnExecutablePathLongerThanTheBufferHasNoSettingsFile) {
  Sandbox box;
  // Wine's own CreateProcess stops at MAX_PATH; its loader started as a Unix program does
  // not, and the viewer then sees its path on drive Z:, so the tree is built there.
  using UnixName = char*(CDECL*)(const WCHAR*);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr);
  auto unixPath = [&](const std::string& path) {
    char* name = unixName(DeepFolder::wide(path).c_str() + 4);
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  };
  DeepFolder deep(box.dir(), "cut.exe", 512);
  ASSERT_EQ(deep.path().size(), 512u);
  ASSERT_TRUE(deep.copyIn(box.path("vistrel.exe"), "vistrel.exe")) << GetLastError();
  std::string parent = deep.path().substr(0, deep.path().size() - 8);
  std::string handWritten = iniLines({"[Position]", "w=200", "h=160"});
  for (const char* name : {"cut.ini", "vistrel.ini"}) {
    std::string file = (std::string(name) == "cut.ini" ? parent : deep.path()) + "\\" + name;
    deep.track(file);
    HANDLE h = CreateFileW(DeepFolder::wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, handWritten.data(), static_cast<DWORD>(handWritten.size()), &written, nullptr);
    CloseHandle(h);
  }
  std::string line = "\"" + unixToWindows("/usr/bin/wine") + "\" \"" + unixPath(deep.path() + "\\vistrel.exe") + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, box.dir().c_str(), &si, &pi))
      << GetLastError();
  Process loader(pi);  // its handle does not follow the viewer's end: watch the window instead
  HWND w = waitWindow("Vistrel", nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_NE(clientSize(w), "200x160") << "a settings file was read";
  PostMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(waitFor([&] { return !IsWindow(w); }));
  auto read = [](const std::string& file) {
    HANDLE h = CreateFileW(DeepFolder::wide(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    char buf[256];
    DWORD n = 0;
    if (h != INVALID_HANDLE_VALUE) {
      ReadFile(h, buf, sizeof buf, &n, nullptr);
      CloseHandle(h);
    }
    return std::string(buf, n);
  };
  EXPECT_EQ(read(parent + "\\cut.ini"), handWritten);
  EXPECT_EQ(read(deep.path() + "\\vistrel.ini"), handWritten);
}

}  // namespace
