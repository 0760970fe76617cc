// The viewer's companion programs run for real: the simulated SECAM companion (command 107,
// S and Ctrl+S) and the register editor (command 119, Tweak), seen through their logs, the
// simulated chip, their windows and the beeps.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>  // needs windows.h before it

#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"

using namespace harness;

namespace {

constexpr char kViewerClass[] = "Vistrel";
constexpr char kDialogClass[] = "#32770";
constexpr char kEditorTitle[] = "Quorvex Control Center";
constexpr char kWarningTitle[] = "Vistrel Warning";
constexpr char kServer[] = "I2CDriverWindow";
constexpr char kDecoy[] = "SmokeApp";  // window class of the bench's test program
constexpr WPARAM kTweak = 119;
constexpr int kQuietMs = 1000;  // how long nothing more may happen after an action
constexpr int kMessageBoxText = 0xFFFF;  // the text control of a message box
constexpr char kWarningText[] =
    "This feature is for VERY ADVANCED Buz users only! Use it at your own risk. Don't ever think "
    "of touching anything if you haven't read the Quorvex description at least once.\r\r"
    "Naturally, a really advanced user will find the way to get rid of this warning message...";

// True when w handles a message within a second.
bool answers(HWND w) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

std::vector<DWORD> processIds(const char* exeName) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, exeName) == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

HCURSOR shownCursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

DWORD processOf(HWND w) {
  DWORD id = 0;
  GetWindowThreadProcessId(w, &id);
  return id;
}

std::string imagePath(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  if (process) {
    if (!QueryFullProcessImageNameA(process, 0, path, &size)) path[0] = '\0';
    CloseHandle(process);
  }
  return path;
}

void closeAll(const char* cls, const char* title) {
  for (HWND w; (w = FindWindowA(cls, title)) != nullptr;) {
    PostMessageA(w, WM_CLOSE, 0, 0);
    if (!waitFor([&] { return !IsWindow(w); }, 5000)) break;
  }
}

// Ends what a failed test may have left running, so that the next test starts with none.
void endAll(const char* exeName) {
  for (DWORD id : processIds(exeName)) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
      TerminateProcess(h, 99);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

// Expects exactly n beeps after `before`, and no more within the quiet time.
void expectBeeps(int before, int n) {
  if (n > 0) {
    EXPECT_EQ(waitBeeps(before + n), before + n);
  }
  Sleep(kQuietMs);
  EXPECT_EQ(beepCount(), before + n);
}

// A sandbox with the viewer running in it. Editors, warning boxes and the I2C server they
// started are closed at the end, so the next test starts with none.
struct ViewerRun {
  ~ViewerRun() {
    closeAll(kDialogClass, kWarningTitle);
    closeAll(kDialogClass, kEditorTitle);
    closeAll(kServer, kServer);
    closeAll(kDecoy, nullptr);
    for (const char* program : {"quorvex.drv", "busgate.drv", "chromset.drv", "Program.exe"}) endAll(program);
  }

  // Writes vistrel.ini beside the viewer (folder relative to the sandbox, "" for its root).
  bool writeSettings(const std::string& text, const std::string& folder = "") {
    std::string dir = folder.empty() ? box.dir() : box.path(folder);
    return writeFile(dir + "\\vistrel.ini", text);
  }

  // Starts the viewer (a path inside the sandbox) and waits for its main window.
  bool start(const std::string& name = "vistrel.exe", const std::string& cwd = "") {
    process = box.start(name, "", cwd);
    viewer = process.started() ? waitProcessWindow(process.id(), kViewerClass) : nullptr;
    return viewer != nullptr;
  }

  std::vector<std::string> secamLog() const { return completeLines(box.log("secam.log")); }
  bool waitSecamLog(size_t lines, int timeoutMs = kWait) const {
    return waitFor([&] { return secamLog().size() >= lines; }, timeoutMs);
  }
  unsigned chipByte(unsigned subaddress) const {
    std::string chip = readFile(box.path("decoder.bin"));
    return chip.size() == 32 ? static_cast<unsigned char>(chip[subaddress]) : 0x100;
  }

  void tweak() const { PostMessageA(viewer, WM_COMMAND, kTweak, 0); }
  HWND tweakToWarning() const {
    tweak();
    return waitWindow(kDialogClass, kWarningTitle);
  }

  Sandbox box;
  Process process;
  HWND viewer = nullptr;
};

// ---- Command 107: the SECAM companion

TEST(ViewerCompanions, SecamKeyHandsTheCodeToTheCompanionWhichSetsTheDecoder) {
  struct Row {
    const char* settings;
    std::vector<WORD> modifiers;
    const char* argument;
    unsigned chroma;
  } rows[] = {
      {"", {}, "args s53", 0x53},
      {"[TVSystem]\r\nSECAM=10\r\n", {VK_CONTROL}, "args s0a", 0x0A},
      {"[TVSystem]\r\nSECAM=511\r\n", {}, "args sff", 0xFF},  // its low 8 bits
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.argument);
    ViewerRun run;
    ASSERT_TRUE(run.writeSettings(row.settings));
    ASSERT_TRUE(run.start());
    int before = beepCount();
    pressKey(run.viewer, 'S', row.modifiers);
    ASSERT_TRUE(run.waitSecamLog(2));
    EXPECT_EQ(run.secamLog(), (std::vector<std::string>{row.argument, "exit 0"}));
    EXPECT_EQ(run.chipByte(0x0E), row.chroma);
    expectBeeps(before, 0);
    EXPECT_TRUE(answers(run.viewer));
  }
}

TEST(ViewerCompanions, SecamCompanionExitCodeOtherThanZeroBeepsOnce) {
  struct Row {
    const char* exitCode;
    int beeps;
  } rows[] = {{"0", 0}, {"1", 1}, {"3", 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.exitCode);
    ScopedEnv forced("SIMCARD_SECAM_EXIT", row.exitCode);
    ViewerRun run;
    ASSERT_TRUE(run.start());
    int before = beepCount();
    pressKey(run.viewer, 'S');
    ASSERT_TRUE(run.waitSecamLog(2));
    EXPECT_EQ(run.secamLog()[1], std::string("exit ") + row.exitCode);
    expectBeeps(before, row.beeps);
    EXPECT_TRUE(answers(run.viewer));
  }
}

TEST(ViewerCompanions, SecamCompanionOutlivingTheLimitBeepsOnceAndIsLeftAlone) {
  ScopedEnv delay("SIMCARD_SECAM_DELAY_MS", "21000");
  ViewerRun run;
  ASSERT_TRUE(run.start());
  int before = beepCount();
  pressKey(run.viewer, 'S');
  DWORD pressed = GetTickCount();
  ASSERT_TRUE(run.waitSecamLog(1));
  HCURSOR waiting = shownCursor();
  ASSERT_EQ(waitBeeps(before + 1, 25000), before + 1);
  DWORD waited = GetTickCount() - pressed;
  EXPECT_GE(waited, 14500u);
  EXPECT_LE(waited, 19500u);
  EXPECT_TRUE(answers(run.viewer)) << "the viewer waits no longer";
  EXPECT_NE(shownCursor(), waiting) << "the wait cursor is put back";
  EXPECT_EQ(run.secamLog(), std::vector<std::string>{"args s53"}) << "the companion still runs";
  EXPECT_TRUE(run.waitSecamLog(2, 10000)) << "the companion was left to end by itself";
  EXPECT_EQ(run.secamLog().back(), "exit 0");
  EXPECT_EQ(beepCount(), before + 1);
}

// ---- Both commands

TEST(ViewerCompanions, MissingCompanionBeepsOnceAndTheViewerGoesOn) {
  struct Row {
    const char* file;
    bool tweak;
  } rows[] = {{"chromset.drv", false}, {"quorvex.drv", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ViewerRun run;
    ASSERT_TRUE(DeleteFileA(run.box.path(row.file).c_str()));
    ASSERT_TRUE(run.writeSettings("[Position]\r\nSuppressWarnings=1\r\n"));
    ASSERT_TRUE(run.start());
    int before = beepCount();
    if (row.tweak) {
      run.tweak();
    } else {
      pressKey(run.viewer, 'S');
    }
    expectBeeps(before, 1);
    EXPECT_TRUE(answers(run.viewer));
    EXPECT_EQ(findWindow(kDialogClass, kEditorTitle), nullptr);
    EXPECT_EQ(run.secamLog(), std::vector<std::string>{});
  }
}

// Unquoted, "<box>\Program Files\Buz Tools\chromset.drv s53" would start <box>\Program.exe;
// a name without a path would find the copies in the current folder.
TEST(ViewerCompanions, ViewerInAFolderWithBlanksFindsBothCompanionsBesideItself) {
  ViewerRun run;
  const std::string folder = "Program Files\\Buz Tools";
  ASSERT_TRUE(CreateDirectoryA(run.box.path("Program Files").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(run.box.path(folder).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(run.box.path("elsewhere").c_str(), nullptr));
  for (const char* file : {"vistrel.exe", "chromset.drv", "quorvex.drv", "busgate.drv"}) {
    ASSERT_TRUE(MoveFileA(run.box.path(file).c_str(), run.box.path(folder + "\\" + file).c_str())) << file;
  }
  run.box.copyTestProgram("smoke_app.exe");
  for (const char* decoy : {"Program.exe", "elsewhere\\chromset.drv", "elsewhere\\quorvex.drv"}) {
    ASSERT_TRUE(CopyFileA(run.box.path("smoke_app.exe").c_str(), run.box.path(decoy).c_str(), FALSE)) << decoy;
  }
  ASSERT_TRUE(run.writeSettings("[Position]\r\nSuppressWarnings=1\r\n", folder));
  ASSERT_TRUE(run.start(folder + "\\vistrel.exe", run.box.path("elsewhere")));
  int before = beepCount();

  run.tweak();
  HWND editor = waitWindow(kDialogClass, kEditorTitle);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(imagePath(processOf(editor)), run.box.path(folder + "\\quorvex.drv"));

  // With the editor's I2C server running, the SECAM companion uses it.
  pressKey(run.viewer, 'S');
  ASSERT_TRUE(run.waitSecamLog(2));
  EXPECT_EQ(run.secamLog(), (std::vector<std::string>{"args s53", "exit 0"}));
  EXPECT_EQ(run.chipByte(0x0E), 0x53u);

  expectBeeps(before, 0);
  EXPECT_EQ(findWindow(kDecoy, nullptr), nullptr) << "a decoy was started";
}

// ---- Command 119: the warning and the register editor

TEST(ViewerCompanions, WarningBoxIsOwnedByTheViewerAndCancelsByDefault) {
  for (WORD key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    ViewerRun run;
    ASSERT_TRUE(run.start());
    HWND box = run.tweakToWarning();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), run.viewer);
    char text[512] = "";
    GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
    EXPECT_STREQ(text, kWarningText);
    HWND cancel = GetDlgItem(box, IDCANCEL);
    ASSERT_NE(cancel, nullptr);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(windowStyle(cancel) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, cancel);
    EXPECT_EQ(GetForegroundWindow(), box);
    Sleep(300);  // the box's own sound
    int before = beepCount();

    pressKey(box, key);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
    expectBeeps(before, 0);
    EXPECT_EQ(findWindow(kDialogClass, kEditorTitle), nullptr);
    EXPECT_EQ(processIds("quorvex.drv"), std::vector<DWORD>{});
    EXPECT_TRUE(answers(run.viewer));
  }
}

TEST(ViewerCompanions, WarningOkStartsTheEditorBesideTheViewer) {
  ViewerRun run;
  ASSERT_TRUE(run.start());
  HWND box = run.tweakToWarning();
  ASSERT_NE(box, nullptr);
  HWND ok = GetDlgItem(box, IDOK);
  RECT r = clientRect(ok);
  click(ok, r.right / 2, r.bottom / 2);
  HWND editor = waitWindow(kDialogClass, kEditorTitle);
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_TRUE(waitFor([&] { return IsWindowVisible(editor) != FALSE; }));
  EXPECT_EQ(GetWindow(editor, GW_OWNER), nullptr) << "a program of its own, not a viewer dialog";
  EXPECT_NE(processOf(editor), run.process.id());
  EXPECT_TRUE(answers(run.viewer));
  EXPECT_TRUE(run.process.running());
}

TEST(ViewerCompanions, SuppressWarningsSkipsTheBox) {
  ViewerRun run;
  ASSERT_TRUE(run.writeSettings("[Position]\r\nSuppressWarnings=1\r\n"));
  ASSERT_TRUE(run.start());
  run.tweak();
  bool boxSeen = false;
  HWND editor = nullptr;
  waitFor([&] {
    boxSeen = boxSeen || findWindow(kDialogClass, kWarningTitle) != nullptr;
    return (editor = findWindow(kDialogClass, kEditorTitle)) != nullptr;
  });
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(boxSeen);
  EXPECT_EQ(findWindow(kDialogClass, kWarningTitle), nullptr);
}

TEST(ViewerCompanions, SecondTweakBringsTheRunningEditorForwardAndTheSecondCopyEnds) {
  ViewerRun run;
  ASSERT_TRUE(run.writeSettings("[Position]\r\nSuppressWarnings=1\r\n"));
  ASSERT_TRUE(run.start());
  run.tweak();
  HWND editor = waitWindow(kDialogClass, kEditorTitle);
  ASSERT_NE(editor, nullptr);
  DWORD first = processOf(editor);
  ASSERT_TRUE(readyForInput(editor)) << "the editor has finished opening";
  // Wine restores a window minimized just after it was mapped, when the X server's answer to
  // the mapping arrives: minimized again until it stays so for half a second.
  ASSERT_TRUE(waitFor([&] {
    ShowWindow(editor, SW_MINIMIZE);
    Sleep(500);
    return IsIconic(editor) != 0;
  }));
  ASSERT_TRUE(bringToFront(run.viewer));
  int before = beepCount();

  run.tweak();
  EXPECT_TRUE(waitFor([&] { return !IsIconic(editor) && GetForegroundWindow() == editor; }));
  EXPECT_TRUE(waitFor([&] { return processIds("quorvex.drv") == std::vector<DWORD>{first}; }));
  EXPECT_EQ(findWindow(kDialogClass, kEditorTitle), editor);
  expectBeeps(before, 0);
  EXPECT_TRUE(answers(run.viewer));
}

}  // namespace
