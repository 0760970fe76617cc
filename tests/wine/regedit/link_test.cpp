// quorvex.drv when the I2C server fails: the one link failure message and a dead link
// afterwards, and "Could not load I2C driver" when no server window can be found.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "regedit/resource.h"
#include "tests/wine/harness/harness.h"
#include "tests/wine/regedit/editor_bench.h"

using namespace harness;
using namespace bench;

namespace {

using Lines = std::vector<std::string>;

// Ends the busgate.drv processes that process parent started and that still run; returns
// how many there were.
int killChildren(DWORD parent) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  int found = 0;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe)) {
    if (pe.th32ParentProcessID != parent || lstrcmpiA(pe.szExeFile, "busgate.drv") != 0) continue;
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pe.th32ProcessID)) {
      ++found;
      TerminateProcess(h, 9);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
  CloseHandle(snap);
  return found;
}

// Whether a server window is stuck in a request (it handles no message).
bool serverHung() {
  HWND server = findWindow(kServerName, kServerName);
  DWORD_PTR ignored = 0;
  return server && !SendMessageTimeoutA(server, WM_NULL, 0, 0, SMTO_NORMAL, 200, &ignored);
}

// What the editor's error box showed; it is dismissed.
ErrorBoxView takeErrorBox(const Editor& e, int timeoutMs = kWait) {
  HWND box = waitErrorBox(e.process.id(), timeoutMs);
  if (!box) return {};
  ErrorBoxView view = viewErrorBox(box);
  dismiss(box);
  return view;
}

// The one error box look: OK alone, the error icon, not above other programs' windows.
void expectErrorBoxLook(const ErrorBoxView& shown) {
  EXPECT_EQ(shown.buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(shown.errorIcon);
  EXPECT_FALSE(shown.topmost) << "task-modal, not system-modal";
}

// Starts the editor where it can have no server: "Could not load I2C driver" without an owner,
// exit code 0, no dialog. Returns the editor's process id.
DWORD expectNoServer(Sandbox& box) {
  Editor e;
  e.process = box.start("quorvex.drv");
  ErrorBoxView shown = takeErrorBox(e);
  EXPECT_EQ(shown.text, "Could not load I2C driver");
  EXPECT_EQ(shown.owner, nullptr);
  expectErrorBoxLook(shown);
  EXPECT_EQ(e.process.waitExit(), 0);
  EXPECT_EQ(findWindow("#32770", kDialogTitle), nullptr);
  return e.process.id();
}

// The editor against a server that never answers the first status poll (request 27).
Editor startWithHungPoll(Sandbox& box) {
  ScopedEnv fault("SIMCARD_I2C", "hang-after=26");
  return startEditor(box);
}

}  // namespace

TEST(LinkFailure, ShownOnceThenTheLinkIsDeadButTheDialogStays) {
  struct Row {
    const char* fault;
    Lines lastLines;  // the log's end once the link failed
    bool closeLogged;  // the server still ran when it was asked to close
    const char* version;  // shown in the "Chip" group
  } rows[] = {
      // The 10th of the start-up reads (0x0A) is refused; the rest of the batch is skipped.
      {"nak-after=10", {"read 09 01 ack", "read 0a nak", "close"}, true, "V1"},
      // The server ends after answering the 5th request: the 6th finds no window.
      {"exit-after=5", {"read 04 00 ack"}, false, "V1"},
      // The 4th request never gets an answer; the editor gives up after 5 seconds.
      {"hang-after=3", {"read 00 10 ack", "read 02 c0 ack"}, false, "V1"},
      // A wrong acknowledge (0x55) to the first write, and to the version read: its value,
      // which comes with it, is not taken.
      {"bad-ack=1", {"start", "write 00 00 nak", "close"}, true, "V0"},
      {"bad-ack=2", {"write 00 00 ack", "read 00 nak", "close"}, true, "V0"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fault);
    Sandbox box;
    ScopedEnv fault("SIMCARD_I2C", r.fault);
    Process editor = box.start("quorvex.drv");
    Editor e;
    e.process = std::move(editor);
    ErrorBoxView shown = takeErrorBox(e, 30000);  // a hung request: 5 s, then 2 s for the server to close
    EXPECT_EQ(shown.text, kLinkFailure);
    expectErrorBoxLook(shown);
    e.dialog = waitWindow("#32770", kDialogTitle);
    ASSERT_NE(e.dialog, nullptr) << "the dialog opens after a failure during its start";
    EXPECT_EQ(shown.owner, e.dialog);
    EXPECT_EQ(e.text(IDC_VERSION), r.version);

    Lines lines = settledLines(box);
    ASSERT_GE(lines.size(), r.lastLines.size());
    EXPECT_EQ(Lines(lines.end() - static_cast<long>(r.lastLines.size()), lines.end()), r.lastLines);

    // Polls, a tick and a reread reach nothing now and show no second message.
    clickControl(e.item(IDC_HPLL));
    pressKey(e.dialog, 'R', {VK_MENU});
    EXPECT_EQ(waitErrorBox(e.process.id(), 2500), nullptr);
    EXPECT_EQ(logLines(box), lines);
    EXPECT_EQ(IsDlgButtonChecked(e.dialog, IDC_HPLL), BST_CHECKED) << "the control stays editable";

    PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(e.process.waitExit(), 0);
    EXPECT_EQ(logLines(box), lines) << "the dropped link is not asked to close a second time";
    killServers();
  }
}

TEST(LinkFailure, NoServerWindowMeansCouldNotLoadAndNoDialog) {
  struct Row {
    const char* fault;  // SIMCARD_I2C, or null for a missing busgate.drv
  } rows[] = {{"no-window"}, {"late-window=11000"}, {nullptr}};  // 11 s after idle: past the 10 s wait
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fault ? r.fault : "busgate.drv missing");
    Sandbox box;
    ScopedEnv fault("SIMCARD_I2C", r.fault ? r.fault : "");
    if (!r.fault) {
      ASSERT_TRUE(DeleteFileA(box.path("busgate.drv").c_str()));
    }
    DWORD editor = expectNoServer(box);
    EXPECT_EQ(killChildren(editor), 0) << "the editor left the server it started running";
    killServers();
  }
}

// A started server whose window shows only after it went idle (as under Wine while its desktop
// starts) is waited for and used, not refused as missing.
TEST(LinkFailure, AServerWhoseWindowShowsAfterItWentIdleIsUsed) {
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "late-window=1500");
  Editor e = startEditor(box);
  ASSERT_NE(e.dialog, nullptr);
  EXPECT_EQ(waitErrorBox(e.process.id(), 0), nullptr);
  EXPECT_TRUE(waitFor([&] { return e.text(IDC_VERSION) == "V1"; })) << "the chip was read through it";
  PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(e.process.waitExit(), 0);
  EXPECT_TRUE(waitFor([] { return !serverRunning(); })) << "the server it started was closed";
}

TEST(LinkFailure, HungServerStartedByTheEditorIsEndedSoARestartWorks) {
  Sandbox box;
  Editor e = startWithHungPoll(box);
  ASSERT_NE(e.dialog, nullptr);
  ErrorBoxView shown = takeErrorBox(e, 30000);  // after the poll, the request's 5 s and the close's 2 s
  EXPECT_EQ(shown.text, kLinkFailure);
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }, 3000)) << "the hung server still runs";

  PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(e.process.waitExit(), 0);
  // Restarted as the error box advises: a working link.
  size_t mark = logLines(box).size();
  Editor again = startEditor(box);
  ASSERT_NE(again.dialog, nullptr);
  ASSERT_TRUE(waitLines(box, mark + 27)) << "the restarted editor's start-up did not reach a server";
  EXPECT_TRUE(waitFor([&] { return again.text(IDC_VERSION) == "V1"; }));
  clickControl(again.item(IDC_HPLL));
  EXPECT_TRUE(waitFor([&] {
    auto lines = linesFrom(box, mark);
    return std::find(lines.begin(), lines.end(), "write 08 8c ack") != lines.end();
  }));
  PostMessageA(again.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(again.process.waitExit(), 0);
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }));
  killServers();
}

TEST(LinkFailure, HungServerFoundRunningIsNeitherUsedNorEnded) {
  Sandbox box;
  Process server;
  {
    ScopedEnv fault("SIMCARD_I2C", "hang-after=0");
    server = box.start("busgate.drv");
  }
  HWND window = waitWindow(kServerName, kServerName);
  ASSERT_NE(window, nullptr);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, 0x785, 0x00, 0, SMTO_NORMAL, 100, &ignored);  // now stuck in it
  ASSERT_TRUE(waitFor(serverHung));

  expectNoServer(box);
  EXPECT_TRUE(server.running()) << "a server the editor did not start was ended";
  killServers();
}

TEST(LinkFailure, RereadAndCloseSentDuringAHungRequestGiveOneErrorBox) {
  Sandbox box;
  Editor e = startWithHungPoll(box);
  ASSERT_NE(e.dialog, nullptr);
  ASSERT_TRUE(waitFor(serverHung)) << "the first poll did not reach the server";
  // Sent by another program while the editor waits for the server.
  SendNotifyMessageA(e.dialog, WM_COMMAND, MAKEWPARAM(IDC_REREAD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(e.item(IDC_REREAD)));
  SendNotifyMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);

  int boxes = 0;
  waitFor([&] {
    if (HWND error = waitErrorBox(e.process.id(), 0)) {
      ++boxes;
      EXPECT_EQ(messageText(error), kLinkFailure);
      EXPECT_EQ(GetWindow(error, GW_OWNER), e.dialog);
      dismiss(error);
    }
    return !e.process.running();
  }, 30000);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(e.process.waitExit(), 0);
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }, 3000)) << "the hung server still runs";
  killServers();
}

TEST(LinkFailure, ServerStartedFromAFolderWithBlanksIsTheRightProgram) {
  // Unquoted, "...\with blank\busgate.drv" would start "...\with.exe" first.
  Sandbox box;
  std::string folder = box.path("with blank");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  for (const char* name : {"quorvex.drv", "busgate.drv"})
    ASSERT_TRUE(CopyFileA(box.path(name).c_str(), (folder + "\\" + name).c_str(), FALSE));
  box.copyTestProgram("smoke_app.exe");
  ASSERT_TRUE(MoveFileA(box.path("smoke_app.exe").c_str(), box.path("with.exe").c_str()));

  Editor e = startEditor(box);  // not this one: the copy in the folder with blanks
  PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  e.process.waitExit();
  killServers();

  e = Editor{};
  e.process = box.start("with blank\\quorvex.drv");
  e.dialog = waitWindow("#32770", kDialogTitle);
  EXPECT_NE(e.dialog, nullptr);
  EXPECT_EQ(findWindow("SmokeApp", nullptr), nullptr) << "with.exe was started";
  if (HWND decoy = findWindow("SmokeApp", nullptr)) PostMessageA(decoy, WM_CLOSE, 0, 0);
  if (e.dialog) PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(e.process.waitExit(), 0);
  killServers();
}

TEST(LinkFailure, NoneForGarbageInTheBitsRepliesLeaveUnused) {
  // Garbage in bits 16-31 of every reply and in bits 0-7 of write replies: the link holds.
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "noisy");
  ScopedEnv pins("SIMCARD_STATUS", "1A:00,1B:C1,1C:00,1F:40");
  Editor e = startEditor(box);
  ASSERT_NE(e.dialog, nullptr);
  ASSERT_TRUE(waitLines(box, 27));
  EXPECT_EQ(e.text(IDC_VERSION), "V1");
  EXPECT_EQ(e.text(IDC_BRIGHTNESS), "128");
  EXPECT_EQ(e.text(IDC_HSB), "-21");
  EXPECT_TRUE(waitFor([&] { return e.text(304) == "41" && e.text(406) == "1"; })) << "the polled values";

  size_t mark = logLines(box).size();
  clickControl(e.item(IDC_HPLL));
  ASSERT_TRUE(waitFor([&] { return writes(linesFrom(box, mark)) == Lines{"write 08 8c ack"}; }));
  size_t after = logLines(box).size();
  EXPECT_TRUE(waitLines(box, after + 4)) << "polls go on after the write";
  EXPECT_EQ(waitErrorBox(e.process.id(), 0), nullptr);
  EXPECT_NE(logLines(box).back(), "close");

  PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(e.process.waitExit(), 0);
  killServers();
}
