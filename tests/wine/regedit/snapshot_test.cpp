// quorvex.drv's snapshot files through the real file dialogs: save and load round trips,
// the proposed folder and name, short and long files, unreadable files, a failed save.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "regedit/resource.h"
#include "tests/wine/harness/harness.h"
#include "tests/wine/regedit/editor_bench.h"

using namespace harness;
using namespace bench;

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::string;

// The chip at power-on, version 1, status bytes pinned to zero.
const unsigned char kChip[32] = {0x10, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                                 0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

Bytes bytesOf(const unsigned char (&regs)[32]) { return Bytes(reinterpret_cast<const char*>(regs), 32); }

// A snapshot with every field changed from the chip's state; status bytes zero.
Bytes otherSnapshot() {
  unsigned char regs[32];
  for (int i = 0; i < 32; ++i) regs[i] = static_cast<unsigned char>(0x21 + 7 * i);
  for (int s : {0x1A, 0x1B, 0x1C, 0x1F}) regs[s] = 0;
  return bytesOf(regs);
}

Lines pushAllOf(const Bytes& b) {
  unsigned char regs[32];
  for (int i = 0; i < 32; ++i) regs[i] = static_cast<unsigned char>(b[i]);
  return pushAllLines(regs);
}

Lines withoutPolls(const Lines& lines) {
  Lines out;
  for (const auto& l : lines)
    if (l.rfind("read 1", 0) != 0) out.push_back(l);
  return out;
}

HWND waitTitled(DWORD pid, const std::string& title, HWND except = nullptr, int timeoutMs = kWait) {
  return waitProcessWindowWhere(pid, [&](HWND w) { return w != except && windowText(w) == title; }, timeoutMs);
}

class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pins_ = std::make_unique<ScopedEnv>("SIMCARD_STATUS", "1A:00,1B:00,1C:00,1F:00");
    editor = startEditor(box);
    ASSERT_NE(editor.dialog, nullptr);
    ASSERT_TRUE(waitLines(box, 27));
  }
  void TearDown() override {
    if (IsWindow(editor.dialog)) PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(editor.process.waitExit(5000), 0);
    killServers();
  }

  // Opens the Save (mnemonic S) or Load (L) file dialog with Alt and the key, types name
  // unless it is empty (keeping the proposed one), confirms with Enter and answers an
  // overwrite question with Enter (its default is Yes).
  void chooseFile(bool save, const std::string& name) {
    const std::string title = save ? "Save Quorvex snapshot" : "Load Quorvex snapshot";
    pressKey(editor.dialog, save ? 'S' : 'L', {VK_MENU});
    HWND fd = waitTitled(editor.process.id(), title);
    ASSERT_NE(fd, nullptr) << title;
    if (!name.empty()) typeText(fd, name);
    pressKey(fd, VK_RETURN);
    if (save) {
      if (HWND ask = waitTitled(editor.process.id(), title, fd, 1500)) pressKey(ask, VK_RETURN);
    }
    EXPECT_TRUE(waitFor([&] { return !IsWindow(fd); })) << "file dialog still open";
  }

  // Chooses a file as chooseFile does and returns the text of the error box that follows,
  // dismissed ("" when none came).
  std::string errorAfterChoosing(bool save, const std::string& name) {
    chooseFile(save, name);
    HWND error = waitErrorBox(editor.process.id());
    if (!error) return "";
    std::string text = messageText(error);
    dismiss(error);
    return text;
  }

  int modeIndex() { return static_cast<int>(SendMessageA(editor.item(IDC_MODE), CB_GETCURSEL, 0, 0)); }

  std::unique_ptr<ScopedEnv> pins_;
  Sandbox box;
  Editor editor;
};

}  // namespace

TEST_F(SnapshotTest, SaveProposesTheEditorsFolderAndLoadSendsTheWritableRegisters) {
  chooseOption(editor.item(IDC_MODE), 6);
  chooseFile(true, "");
  ASSERT_TRUE(waitFor([&] { return readFile(box.path("snapshot.qvx")).size() == 32; }));
  unsigned char saved[32];
  memcpy(saved, kChip, 32);
  saved[0x02] = 0xC6;
  EXPECT_EQ(readFile(box.path("snapshot.qvx")), bytesOf(saved));

  pressKey(editor.dialog, 'T', {VK_MENU});  // Reset: MODE back to 0
  ASSERT_TRUE(waitFor([&] { return modeIndex() == 0; }));
  settledLines(box);
  size_t mark = logLines(box).size();
  chooseFile(false, "");
  ASSERT_TRUE(waitFor([&] { return modeIndex() == 6; }));
  settledLines(box);
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), pushAllOf(bytesOf(saved)));
  EXPECT_EQ(editor.text(IDC_VERSION), "V1");
}

TEST_F(SnapshotTest, AfterLoadingFromAnotherFolderSaveProposesThatFile) {
  ASSERT_TRUE(CreateDirectoryA(box.path("other").c_str(), nullptr));
  Bytes mine = otherSnapshot();
  ASSERT_TRUE(writeFile(box.path("other\\mine.qvx"), mine));
  size_t mark = settledLines(box).size();
  chooseFile(false, "other\\mine.qvx");
  ASSERT_TRUE(waitFor([&] { return withoutPolls(linesFrom(box, mark)).size() >= 20; }));
  settledLines(box);
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), pushAllOf(mine));
  // 0x04 = 0x3D and bit 0 of 0x03 = 0x36 clear: GAI1 shows 61.
  EXPECT_EQ(editor.text(IDC_GAI1), "61");
  EXPECT_EQ(editor.text(IDC_VERSION), "V1") << "the file's 0x21 at 0x00 does not change the version shown";

  ASSERT_TRUE(writeFile(box.path("other\\mine.qvx"), "stale"));
  chooseFile(true, "");  // proposes other\mine.qvx, which exists: the overwrite question
  ASSERT_TRUE(waitFor([&] { return readFile(box.path("other\\mine.qvx")).size() == 32; }));
  EXPECT_EQ(readFile(box.path("other\\mine.qvx")), mine);
  EXPECT_FALSE(fileExists(box.path("snapshot.qvx")));
}

TEST_F(SnapshotTest, ShortFileIsRefusedAndLongFileGivesItsFirst32Bytes) {
  Bytes mine = otherSnapshot();
  ASSERT_TRUE(writeFile(box.path("short.qvx"), mine.substr(0, 31)));
  ASSERT_TRUE(writeFile(box.path("long.qvx"), mine + "12345678"));

  size_t mark = settledLines(box).size();
  chooseFile(false, "short.qvx");
  HWND error = waitErrorBox(editor.process.id());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(messageText(error), "Could not read data");
  EXPECT_EQ(GetWindow(error, GW_OWNER), editor.dialog);
  dismiss(error);
  EXPECT_EQ(withoutPolls(settledLines(box)).size(), withoutPolls(linesFrom(box, 0)).size());
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), Lines{}) << "nothing sent";
  EXPECT_EQ(editor.text(IDC_GAI1), "256") << "controls unchanged";

  chooseFile(false, "long.qvx");
  ASSERT_TRUE(waitFor([&] { return withoutPolls(linesFrom(box, mark)).size() >= 20; }));
  settledLines(box);
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), pushAllOf(mine));
  EXPECT_EQ(waitErrorBox(editor.process.id(), 300), nullptr);
}

namespace {

// Another program holding the file open, with the sharing it allows.
HANDLE holdOpen(const std::string& path, DWORD share) {
  return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool temporaryLeft(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*.tmp").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

}  // namespace

TEST_F(SnapshotTest, LoadReadsAFileAnotherProgramHasOpen) {
  Bytes mine = otherSnapshot();
  ASSERT_TRUE(writeFile(box.path("open.qvx"), mine));
  HANDLE reader = holdOpen(box.path("open.qvx"), FILE_SHARE_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  size_t mark = settledLines(box).size();
  chooseFile(false, "open.qvx");
  EXPECT_EQ(waitErrorBox(editor.process.id(), 1500), nullptr) << "refused";
  EXPECT_TRUE(waitFor([&] { return editor.text(IDC_GAI1) == "61"; }));
  settledLines(box);
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), pushAllOf(mine));
  CloseHandle(reader);

  // Held open with no sharing at all, it cannot be read.
  HANDLE lock = holdOpen(box.path("open.qvx"), 0);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  mark = settledLines(box).size();
  EXPECT_EQ(errorAfterChoosing(false, "open.qvx"), "Could not open input file");
  CloseHandle(lock);
  settledLines(box);
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), Lines{});
}

TEST_F(SnapshotTest, SaveWritesAFileAnotherProgramHasOpen) {
  // Held open without delete sharing, the old file cannot be replaced, but it is written.
  const Bytes old = "the old snapshot, 32 bytes long!";
  ASSERT_TRUE(writeFile(box.path("keep.qvx"), old));
  HANDLE reader = holdOpen(box.path("keep.qvx"), FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  chooseFile(true, "keep.qvx");
  EXPECT_TRUE(waitFor([&] { return readFile(box.path("keep.qvx")) == bytesOf(kChip); }));
  EXPECT_EQ(waitErrorBox(editor.process.id(), 500), nullptr);
  CloseHandle(reader);
  EXPECT_FALSE(temporaryLeft(box.dir()));

  // Held open with no sharing, it can be neither replaced nor written: reported, left as it was.
  ASSERT_TRUE(writeFile(box.path("keep.qvx"), old));
  HANDLE lock = holdOpen(box.path("keep.qvx"), 0);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(errorAfterChoosing(true, "keep.qvx"), "Could not create output file");
  CloseHandle(lock);
  EXPECT_EQ(readFile(box.path("keep.qvx")), old);
  EXPECT_FALSE(temporaryLeft(box.dir()));

  // Once the file is free, the same save replaces it.
  chooseFile(true, "keep.qvx");
  EXPECT_TRUE(waitFor([&] { return readFile(box.path("keep.qvx")) == bytesOf(kChip); }));
  EXPECT_FALSE(temporaryLeft(box.dir()));
}

TEST_F(SnapshotTest, SaveCutShortLeavesTheOldFileIntact) {
  // The editor again, with every write cut short after 20 bytes (as on a full disk).
  PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(editor.process.waitExit(), 0);
  {
    ScopedEnv shortWrites("QUORVEX_WRITE_LIMIT", "20");
    editor = startEditor(box);
  }
  ASSERT_NE(editor.dialog, nullptr);
  const Bytes old = "the old snapshot, 32 bytes long!";
  ASSERT_TRUE(writeFile(box.path("keep.qvx"), old));
  EXPECT_EQ(errorAfterChoosing(true, "keep.qvx"), "Could not write data");
  EXPECT_EQ(readFile(box.path("keep.qvx")), old);
  EXPECT_FALSE(temporaryLeft(box.dir()));
}

TEST_F(SnapshotTest, CancelInEitherFileDialogChangesNothing) {
  size_t mark = settledLines(box).size();
  for (bool save : {true, false, true}) {
    pressKey(editor.dialog, save ? 'S' : 'L', {VK_MENU});
    HWND fd = waitTitled(editor.process.id(), save ? "Save Quorvex snapshot" : "Load Quorvex snapshot");
    ASSERT_NE(fd, nullptr);
    pressKey(fd, VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(fd); }));
  }
  // The editor answers again once the dialogs have gone: nothing was saved, loaded or shown.
  ASSERT_TRUE(readyForInput(editor.dialog));
  EXPECT_EQ(waitErrorBox(editor.process.id(), 0), nullptr);
  EXPECT_FALSE(fileExists(box.path("snapshot.qvx")));
  EXPECT_EQ(withoutPolls(linesFrom(box, mark)), Lines{});
  EXPECT_EQ(editor.text(IDC_GAI1), "256");

  chooseFile(true, "");  // still proposes snapshot.qvx beside the editor
  EXPECT_TRUE(waitFor([&] { return readFile(box.path("snapshot.qvx")) == bytesOf(kChip); }));
}

TEST_F(SnapshotTest, DialogsRefuseAMissingFileAndAddTheExtension) {
  // Load: a name that does not exist is refused by the dialog itself, which stays open.
  pressKey(editor.dialog, 'L', {VK_MENU});
  HWND fd = waitTitled(editor.process.id(), "Load Quorvex snapshot");
  ASSERT_NE(fd, nullptr);
  typeText(fd, "missing.qvx");
  pressKey(fd, VK_RETURN);
  HWND refusal = waitProcessWindowWhere(editor.process.id(), [&](HWND w) { return GetWindow(w, GW_OWNER) == fd; });
  ASSERT_NE(refusal, nullptr) << "the dialog's own notice";
  pressKey(refusal, VK_RETURN);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(refusal); }));
  EXPECT_TRUE(IsWindow(fd));
  pressKey(fd, VK_ESCAPE);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(fd); }));
  EXPECT_EQ(waitErrorBox(editor.process.id(), 0), nullptr);

  // Save: a name typed without extension gets ".qvx".
  chooseFile(true, "typed");
  EXPECT_TRUE(waitFor([&] { return readFile(box.path("typed.qvx")) == bytesOf(kChip); }));
  EXPECT_FALSE(fileExists(box.path("typed")));
}

TEST_F(SnapshotTest, ReadOnlyTargetIsRefusedAndKept) {
  // Wine's save dialog lets a read-only file through (it only asks to replace it).
  const Bytes old = "the old snapshot, 32 bytes long!";
  ASSERT_TRUE(writeFile(box.path("ro.qvx"), old));
  ASSERT_TRUE(SetFileAttributesA(box.path("ro.qvx").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(errorAfterChoosing(true, "ro.qvx"), "Could not create output file");
  EXPECT_EQ(readFile(box.path("ro.qvx")), old);
  EXPECT_NE(GetFileAttributesA(box.path("ro.qvx").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  SetFileAttributesA(box.path("ro.qvx").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SnapshotTest, WaitCursorWhileLoadAndSaveWork) {
  // Each fails, so its error box shows while the work still holds the cursor.
  ASSERT_TRUE(writeFile(box.path("short.qvx"), "short"));
  ASSERT_TRUE(writeFile(box.path("ro.qvx"), otherSnapshot()));
  ASSERT_TRUE(SetFileAttributesA(box.path("ro.qvx").c_str(), FILE_ATTRIBUTE_READONLY));
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "load");
    parkPointer();
    chooseFile(save, save ? "ro.qvx" : "short.qvx");
    HWND error = waitErrorBox(editor.process.id());
    ASSERT_NE(error, nullptr);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == error; }));
    HCURSOR busy = foregroundCursor();
    dismiss(error);
    ASSERT_TRUE(readyForInput(editor.dialog)) << "the button's work has ended";
    EXPECT_NE(busy, nullptr);
    EXPECT_NE(busy, foregroundCursor()) << "a cursor of its own while working, the previous one back after";
  }
  SetFileAttributesA(box.path("ro.qvx").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SnapshotTest, NoRoomToWriteIsReported) {
  // The editor again, now unable to write a byte into any file; its server runs as before.
  PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(editor.process.waitExit(), 0);
  Process server = box.start("busgate.drv");
  ASSERT_NE(waitWindow(kServerName, kServerName), nullptr);
  ASSERT_TRUE(box.startWithoutFileSpace("quorvex.drv"));
  editor.dialog = waitWindow("#32770", kDialogTitle);
  ASSERT_NE(editor.dialog, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(editor.dialog, &pid);
  editor.process = openProcess(pid);

  chooseFile(true, "");
  HWND error = waitErrorBox(pid);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(messageText(error), "Could not write data");
  dismiss(error);
  PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(editor.process.waitExit(), 0);
}
