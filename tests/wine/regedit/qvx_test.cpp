// qvx.exe beside the editor: snapshots the editor saved, registers it writes to the chip that
// the editor then shows, the chip read live; and the notice line opening the register page.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "qvx/field_catalog.h"
#include "regedit/resource.h"
#include "tests/wine/harness/harness.h"
#include "tests/wine/regedit/editor_bench.h"
#include "tests/wine/regedit/qvx_runs.h"

using namespace harness;
using namespace bench;

namespace {

using Lines = std::vector<std::string>;

// show and live output as field name -> value.
std::map<std::string, std::string> valuesOf(const std::string& text) {
  std::map<std::string, std::string> values;
  std::istringstream lines(text);
  std::string reg, bits, name, value, rest;
  while (lines >> reg >> bits >> name >> value) {
    values[name] = value;
    std::getline(lines, rest);
  }
  return values;
}

// What the editor's control of a field shows, as qvx prints it.
std::string editorValue(const Editor& e, const qvx::Field& f) {
  int id = f.naming->id;
  switch (f.kind) {
    case qvx::Kind::List: return std::to_string(SendMessageA(e.item(id), CB_GETCURSEL, 0, 0));
    case qvx::Kind::Bit: return std::to_string(SendMessageA(e.item(id), BM_GETCHECK, 0, 0));
    default: return e.text(GetDlgCtrlID(reinterpret_cast<HWND>(SendMessageA(e.item(id), UDM_GETBUDDY, 0, 0))));
  }
}

void startServer(Sandbox& box, Process& server) {
  server = box.start("busgate.drv");
  ASSERT_NE(waitWindow(kServerName, kServerName), nullptr);
}

// Moves the brightness arrows until the field shows value, checking each step.
bool setBrightness(Editor& e, int value) {
  for (int tries = 0; tries < 40; ++tries) {
    std::string now = e.text(IDC_BRIGHTNESS);
    if (now == std::to_string(value)) return true;
    clickArrow(e.item(IDC_BRIGHTNESS_SPIN), std::stoi(now) < value);
    waitFor([&] { return e.text(IDC_BRIGHTNESS) != now; }, 3000);
  }
  return false;
}

class QvxTest : public ::testing::Test {
 protected:
  void TearDown() override {
    closeEditor();
    killServers();
  }
  void closeEditor() {
    if (IsWindow(editor.dialog)) PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (editor.process.started()) {
      EXPECT_EQ(editor.process.waitExit(), 0);
    }
    editor = Editor{};
  }

  std::unique_ptr<Sandbox> box = std::make_unique<Sandbox>();
  Process server;  // a server the test started; it outlives the editor, which polls it
  Editor editor;
};

}  // namespace

TEST_F(QvxTest, EditorSnapshotShowsInQvxAndApplyMakesAFreshChipShowIt) {
  editor = startEditor(*box);
  ASSERT_NE(editor.dialog, nullptr);
  chooseOption(editor.item(IDC_MODE), 6);
  ASSERT_TRUE(setBrightness(editor, 140));
  pressKey(editor.dialog, 'S', {VK_MENU});
  HWND save = waitWindow("#32770", "Save Quorvex snapshot");
  ASSERT_NE(save, nullptr);
  pressKey(save, VK_RETURN);  // the proposed snapshot.qvx beside the editor
  ASSERT_TRUE(waitFor([&] { return readFile(box->path("snapshot.qvx")).size() == 32; }));
  const std::string snapshot = readFile(box->path("snapshot.qvx"));

  QvxRun show = runQvx(*box, "show snapshot.qvx");
  EXPECT_EQ(show.code, 0) << show.err;
  auto values = valuesOf(show.out);
  EXPECT_EQ(values.size(), 74u);
  EXPECT_EQ(values["MODE"], "6");
  EXPECT_EQ(values["BRIG"], "140");
  EXPECT_NE(show.out.find(" 6  110 - Mode 6: Y (automatic gain) + C (gain channel 2 adapted to Y gain)\r\n"),
            std::string::npos);
  QvxRun json = runQvx(*box, "show --json snapshot.qvx");
  EXPECT_NE(json.out.find("{\"name\": \"BRIG\", \"register\": \"0x0A\", \"bits\": \"7-0\", \"value\": 140, "),
            std::string::npos);
  closeEditor();
  killServers();

  // A fresh chip in a new sandbox: apply sends the 20 writable registers in the editor's order.
  box = std::make_unique<Sandbox>();
  ASSERT_TRUE(writeFile(box->path("tuned.qvx"), snapshot));
  startServer(*box, server);
  QvxRun apply = runQvx(*box, "apply tuned.qvx");
  EXPECT_EQ(apply.code, 0) << apply.err;
  unsigned char regs[32];
  memcpy(regs, snapshot.data(), 32);
  EXPECT_EQ(linesFrom(*box, 1), pushAllLines(regs));
  editor = startEditor(*box);
  ASSERT_NE(editor.dialog, nullptr);
  ASSERT_TRUE(waitLines(*box, 1 + 20 + 1 + 25));
  // The controls are filled once the editor has read the chip.
  waitFor([&] { return SendMessageA(editor.item(IDC_MODE), CB_GETCURSEL, 0, 0) != CB_ERR; });
  EXPECT_EQ(SendMessageA(editor.item(IDC_MODE), CB_GETCURSEL, 0, 0), 6);
  EXPECT_EQ(editor.text(IDC_BRIGHTNESS), "140");
}

TEST_F(QvxTest, LiveShowsWhatTheEditorShows) {
  editor = startEditor(*box);
  ASSERT_NE(editor.dialog, nullptr);
  chooseOption(editor.item(IDC_CSTD), 5);
  clickControl(editor.item(IDC_HPLL));
  clickArrow(editor.item(IDC_HUE_SPIN), false);  // negative: read back as signed
  ASSERT_TRUE(waitFor([&] { return editor.text(IDC_HUE)[0] == '-'; }));
  QvxRun live = runQvx(*box, "live");
  ASSERT_EQ(live.code, 0) << live.err;
  auto values = valuesOf(live.out);
  for (const qvx::Field& f : qvx::fields()) {
    if (!f.writable()) continue;
    EXPECT_EQ(values[f.name()], editorValue(editor, f)) << f.name();
  }
  // The chip version, which the editor shows as "V" and one hexadecimal digit.
  ASSERT_EQ(values.count("VERSION"), 1u);
  EXPECT_EQ(editor.text(IDC_VERSION), std::string("V") + "0123456789ABCDEF"[std::stoi(values["VERSION"]) & 15]);
  EXPECT_EQ(values["CSTD"], "5");
  EXPECT_EQ(values["HPLL"], "1");
  EXPECT_EQ(values["HUEC"], editor.text(IDC_HUE));
}

TEST_F(QvxTest, EveryLabelOfThePageIsATextOfTheEditor) {
  editor = startEditor(*box);
  ASSERT_NE(editor.dialog, nullptr);
  std::string texts;
  for (HWND c = GetWindow(editor.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    texts += "\n" + windowText(c) + "\n";
  for (const qvx::Field& f : qvx::fields())
    EXPECT_NE(texts.find("\n" + std::string(f.naming->label) + "\n"), std::string::npos) << f.name();
}

TEST_F(QvxTest, ApplyOfNamedFieldsChangesOnlyThoseFieldsOnTheChip) {
  startServer(*box, server);
  ASSERT_EQ(runQvx(*box, "new a.qvx").code, 0);
  ASSERT_EQ(runQvx(*box, "set a.qvx MODE=6 GUDL=5 GAI1=44 BRIG=1").code, 0);

  QvxRun bad = runQvx(*box, "apply a.qvx MODE GAIN1");
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.err.rfind("qvx: unknown field \"GAIN1\"; nearest: GAI1", 0), 0u) << bad.err;
  size_t mark = logLines(*box).size();
  EXPECT_EQ(mark, 1u) << "nothing sent for a bad argument";

  // 0x02 holds MODE and GUDL: only MODE's bits come from the file. GAI1 spans 0x04 and 0x03.
  QvxRun apply = runQvx(*box, "apply a.qvx mode gai1");
  EXPECT_EQ(apply.code, 0) << apply.err;
  EXPECT_EQ(linesFrom(*box, mark), Lines({"read 02 c0 ack", "read 03 23 ack", "read 04 00 ack",
                                          "write 02 c6 ack", "write 03 22 ack", "write 04 2c ack"}));
  QvxRun live = runQvx(*box, "live");
  auto values = valuesOf(live.out);
  EXPECT_EQ(values["MODE"], "6");
  EXPECT_EQ(values["GUDL"], "0");
  EXPECT_EQ(values["GAI1"], "44");
  EXPECT_EQ(values["BRIG"], "128");
}

TEST_F(QvxTest, LiveAndApplyWithoutAServerFailWithStatusTwo) {
  ASSERT_FALSE(serverRunning());
  ASSERT_EQ(runQvx(*box, "new a.qvx").code, 0);
  for (const char* args : {"live", "apply a.qvx"}) {
    QvxRun r = runQvx(*box, args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.err, "qvx: no I2C server is running (window \"I2CDriverWindow\")\r\n") << args;
    EXPECT_EQ(r.out, "");
  }
}

namespace {

// The temporary files qvx.exe makes beside a target ("qvxNNNN.tmp") that are still there.
int temporaryFiles(Sandbox& box) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(box.path("qvx*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do ++n;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return n;
}

}  // namespace

// As the editor's Save: a read-only snapshot is refused, one that another program holds open
// is written in place; a longer file keeps its rest either way, an existing one needs --force.
TEST_F(QvxTest, SetRefusesAReadOnlyFileAndWritesAHeldOneInPlace) {
  const std::string tuned(32, '\x11');
  ASSERT_TRUE(writeFile(box->path("ro.qvx"), tuned));
  ASSERT_TRUE(SetFileAttributesA(box->path("ro.qvx").c_str(), FILE_ATTRIBUTE_READONLY));
  QvxRun ro = runQvx(*box, "set ro.qvx MODE=6");
  EXPECT_EQ(ro.code, 2);
  EXPECT_EQ(ro.err, "qvx: ro.qvx: read-only; nothing was written\r\n");
  EXPECT_EQ(readFile(box->path("ro.qvx")), tuned);

  std::string expected = tuned + "rest";
  expected[0x02] = static_cast<char>((0x11 & ~0x07) | 6);
  ASSERT_TRUE(writeFile(box->path("long.qvx"), tuned + "rest"));
  QvxRun replaced = runQvx(*box, "set long.qvx MODE=6");
  EXPECT_EQ(replaced.code, 0) << replaced.err;
  EXPECT_EQ(readFile(box->path("long.qvx")), expected);

  ASSERT_TRUE(writeFile(box->path("held.qvx"), tuned + "rest"));
  HANDLE held = CreateFileA(box->path("held.qvx").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  QvxRun set = runQvx(*box, "set held.qvx MODE=6");
  EXPECT_EQ(set.code, 0) << set.err;
  EXPECT_EQ(readFile(box->path("held.qvx")), expected);
  QvxRun again = runQvx(*box, "new held.qvx");
  EXPECT_EQ(again.code, 2);
  EXPECT_EQ(readFile(box->path("held.qvx")), expected);
  QvxRun forced = runQvx(*box, "new --force held.qvx");
  EXPECT_EQ(forced.code, 0) << forced.err;
  EXPECT_EQ(readFile(box->path("held.qvx")).size(), 32u);
  CloseHandle(held);
  EXPECT_EQ(temporaryFiles(*box), 0);
}

namespace {

// Associates .html with open_logger.exe in the prefix's HKCR while it lives.
class HtmlOpensLogger {
 public:
  explicit HtmlOpensLogger(const std::string& logger) {
    RegCreateKeyExA(HKEY_CLASSES_ROOT, ".html", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &html_, nullptr);
    char old[256] = {};
    DWORD size = sizeof old;
    hadOld_ = RegQueryValueExA(html_, "", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == 0;
    old_ = old;
    setDefault(html_, kClass);
    HKEY command;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kClass) + "\\shell\\open\\command").c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &command, nullptr);
    setDefault(command, "\"" + logger + "\" \"%1\"");
    RegCloseKey(command);
  }
  ~HtmlOpensLogger() {
    if (hadOld_)
      setDefault(html_, old_);
    else
      RegDeleteValueA(html_, "");
    RegCloseKey(html_);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClass);
  }

 private:
  static constexpr char kClass[] = "vt.qvxtest.page";
  static void setDefault(HKEY key, const std::string& value) {
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  HKEY html_ = nullptr;
  bool hadOld_ = false;
  std::string old_;
};

std::string lowered(std::string s) {
  CharLowerA(s.data());
  return s;
}

}  // namespace

TEST_F(QvxTest, NoticeLineOpensThePageBesideTheEditorAndBeepsWhenItIsMissing) {
  box->copyTestProgram("open_logger.exe");
  ASSERT_TRUE(fileExists(box->path("quorvex.html")));
  HtmlOpensLogger association(box->path("open_logger.exe"));
  editor = startEditor(*box);
  ASSERT_NE(editor.dialog, nullptr);
  const std::string opened = box->path("opened.log");

  clickControl(editor.item(IDC_NOTICE));
  ASSERT_TRUE(waitFor([&] { return readFile(opened).find('\n') != std::string::npos; }));
  EXPECT_NE(lowered(readFile(opened)).find(lowered("\"" + box->path("quorvex.html") + "\"\r\n")), std::string::npos)
      << readFile(opened);

  ASSERT_TRUE(DeleteFileA(box->path("quorvex.html").c_str()));
  int beeps = beepCount();
  const std::string before = readFile(opened);
  clickControl(editor.item(IDC_NOTICE));
  EXPECT_EQ(waitBeeps(beeps + 1), beeps + 1);
  waitFor([] { return false; }, 1000);  // room for a wrong second beep or a late start
  EXPECT_EQ(beepCount(), beeps + 1);
  EXPECT_EQ(readFile(opened), before) << "nothing was started";
}
