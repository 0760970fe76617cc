// quorvex.drv under Wine against the simulated I2C server: start-up traffic, what the
// controls show, the bytes each control sends, the buttons, the status display, closing
// and the single instance.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include <string>
#include <vector>

#include "regedit/resource.h"
#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"
#include "tests/wine/regedit/editor_bench.h"

using namespace harness;
using namespace bench;

namespace {

using Lines = std::vector<std::string>;

// The chip as the simulated card powers up (version 1), status bytes pinned to zero.
const unsigned char kChip[32] = {0x10, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                                 0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const unsigned char kDefaults[32] = {0x00, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                                     0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01, 0x00, 0x00, 0x00,
                                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const int kReadable[25] = {0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D,
                           0x0E, 0x10, 0x11, 0x12, 0x13, 0x15, 0x16, 0x17, 0x1A, 0x1B, 0x1C, 0x1F};

Lines readAllLines(const unsigned char (&regs)[32]) {
  Lines lines;
  for (int s : kReadable) {
    char line[32];
    snprintf(line, sizeof line, "read %02x %02x ack", s, regs[s]);
    lines.push_back(line);
  }
  return lines;
}

Lines concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Lines without the status poll's reads, which come once a second in between.
Lines withoutPolls(const Lines& lines) {
  Lines out;
  for (const auto& l : lines) {
    bool poll = l.rfind("read 1a ", 0) == 0 || l.rfind("read 1b ", 0) == 0 ||
                l.rfind("read 1c ", 0) == 0 || l.rfind("read 1f ", 0) == 0;
    if (!poll) out.push_back(l);
  }
  return out;
}

// Waits until no more lines come, then the non-poll lines after index from.
Lines trafficAfter(const Sandbox& box, size_t from) {
  settledLines(box);
  return withoutPolls(linesFrom(box, from));
}

std::string lastLine(const Sandbox& box) {
  Lines lines = logLines(box);
  return lines.empty() ? "" : lines.back();
}

int upDownPos(const Editor& e, int id) {
  return static_cast<short>(LOWORD(SendMessageA(e.item(id), UDM_GETPOS, 0, 0)));
}

int listIndex(const Editor& e, int id) {
  return static_cast<int>(SendMessageA(e.item(id), CB_GETCURSEL, 0, 0));
}

bool ticked(const Editor& e, int id) { return IsDlgButtonChecked(e.dialog, id) == BST_CHECKED; }

// The cursor shown with the pointer in the middle of control, once it is not `unlike` and has
// stayed the same for 200 ms (on a loaded machine a passing cursor can be read first).
HCURSOR cursorOver(HWND control, HCURSOR unlike) {
  RECT r = windowRect(control);
  moveMouse((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  HCURSOR c = nullptr;
  DWORD since = GetTickCount();
  waitFor([&] {
    HCURSOR now = foregroundCursor();
    if (now != c) since = GetTickCount();
    c = now;
    return c != nullptr && c != unlike && GetTickCount() - since >= 200;
  }, 3000);
  return c;
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pins_ = std::make_unique<ScopedEnv>("SIMCARD_STATUS", "1A:00,1B:00,1C:00,1F:00");
  }
  void TearDown() override {
    if (editor.dialog && IsWindow(editor.dialog)) PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    editor.process.waitExit(5000);
    killServers();
  }
  void start() {
    editor = startEditor(box);
    ASSERT_NE(editor.dialog, nullptr);
    ASSERT_TRUE(waitLines(box, 27));
  }
  Sandbox box;
  Editor editor;
  std::unique_ptr<ScopedEnv> pins_;
};

}  // namespace

TEST_F(EditorTest, StartWritesRegisterZeroThenReadsTheTwentyFiveInOrder) {
  start();
  Lines lines = logLines(box);
  lines.resize(27);
  EXPECT_EQ(lines, concat({"start", "write 00 00 ack"}, readAllLines(kChip)));
}

TEST_F(EditorTest, ControlsShowTheChipsRegisters) {
  start();
  struct Spin { int id, value; const char* shown; } spins[] = {
      {IDC_BRIGHTNESS_SPIN, 128, "128"}, {IDC_CONTRAST_SPIN, 71, "71"}, {IDC_SATURATION_SPIN, 64, "64"},
      {IDC_HUE_SPIN, 0, "0"},           {IDC_HSB_SPIN, -21, "-21"},    {IDC_HSS_SPIN, -32, "-32"},
      {IDC_GAI1_SPIN, 256, "256"},      {IDC_GAI2_SPIN, 256, "256"},   {IDC_VSTA_SPIN, 0, "0"},
      {IDC_VSTO_SPIN, 0, "0"}};
  for (const Spin& s : spins) {
    EXPECT_EQ(upDownPos(editor, s.id), s.value) << s.id;
    EXPECT_EQ(editor.text(s.id - 1), s.shown) << s.id - 1;
  }
  EXPECT_EQ(editor.text(IDC_VERSION), "V1");
  struct List { int id, index; } lists[] = {{IDC_MODE, 0}, {IDC_FUSE, 3}, {IDC_APER, 1},
                                            {IDC_CHBW, 1}, {IDC_OFTS, 1}, {IDC_AOSL, 1}};
  for (const List& l : lists) EXPECT_EQ(listIndex(editor, l.id), l.index) << l.id;
  EXPECT_EQ(SendMessageA(editor.item(IDC_MODE), CB_GETCOUNT, 0, 0), 8);
  EXPECT_EQ(SendMessageA(editor.item(IDC_VCTR), CB_GETCOUNT, 0, 0), 4);
  for (int id : {IDC_VTRC, IDC_AUFD, IDC_VBSL, IDC_OEHV, IDC_OEYC, IDC_COMPO}) EXPECT_TRUE(ticked(editor, id)) << id;
  for (int id : {IDC_GAFIX, IDC_HPLL, IDC_COLO, IDC_TCLO}) EXPECT_FALSE(ticked(editor, id)) << id;
}

TEST_F(EditorTest, DialogHasItsSizeTitleAndControlPlaces) {
  start();
  // Dialog units to pixels as the dialog's font gives them, found from the etched frame that
  // covers the whole client area (487 x 297 units).
  RECT client = clientRect(editor.dialog);
  int baseX = (client.right * 4 + 487 / 2) / 487, baseY = (client.bottom * 8 + 297 / 2) / 297;
  auto mapX = [&](int x) { return MulDiv(x, baseX, 4); };
  auto mapY = [&](int y) { return MulDiv(y, baseY, 8); };
  EXPECT_EQ(client.right, mapX(487));
  EXPECT_EQ(client.bottom, mapY(297));
  EXPECT_EQ(windowText(editor.dialog), "Quorvex Control Center");
  EXPECT_EQ(windowStyle(editor.dialog) & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(windowStyle(editor.dialog) & WS_MINIMIZEBOX, 0);
  // A sample of places, in dialog units: id, x, y, width, height.
  struct Place { int id, x, y, w, h; } places[] = {
      {IDC_MODE, 51, 6, 76, 0},        {IDC_HSS, 100, 166, 0, 13},  {IDC_TCLO, 269, 166, 122, 13},
      {IDC_EXIT, 401, 246, 36, 14},     {IDC_REINIT, 443, 278, 36, 13}, {IDC_NOTICE, 271, 281, 122, 13},
      {IDC_VERSION, 460, 208, 14, 9},   {307, 460, 86, 12, 9},          {407, 460, 181, 6, 9}};
  for (const Place& p : places) {
    RECT want{mapX(p.x), mapY(p.y), mapX(p.x + p.w), mapY(p.y + p.h)};
    RECT r = windowRect(editor.item(p.id));
    MapWindowPoints(nullptr, editor.dialog, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, want.left) << p.id;
    EXPECT_EQ(r.top, want.top) << p.id;
    if (p.w) {  // an edit box gives room to its up-down arrows: only its place is fixed
      EXPECT_EQ(r.right - r.left, mapX(p.w)) << p.id;
    }
  }
  EXPECT_EQ(editor.text(IDC_EXIT), "E&xit");
  // The notice line is drawn in RGB(0, 64, 255).
  bringToFront(editor.dialog);
  RedrawWindow(editor.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT notice = windowRect(editor.item(IDC_NOTICE));
  bool blue = waitFor([&] {
    HDC screen = GetDC(nullptr);
    bool found = false;
    for (int y = notice.top; y < notice.bottom && !found; ++y)
      for (int x = notice.left; x < notice.right && !found; ++x)
        found = GetPixel(screen, x, y) == RGB(0, 64, 255);
    ReleaseDC(nullptr, screen);
    return found;
  }, 3000);
  EXPECT_TRUE(blue);
  EXPECT_EQ(editor.text(IDC_REREAD), "Re&read");
}

// Every label fits its rectangle in the dialog's font (8 point MS Sans Serif); with a wider
// face "Brigthness/Contrast" wraps and loses its second word.
TEST_F(EditorTest, EveryLabelFitsItsRectangle) {
  start();
  const SIZE units = dialogBaseUnits("MS Sans Serif", 8);
  EXPECT_EQ(clientRect(editor.dialog).right, MulDiv(487, units.cx, 4)) << "the measuring font is the dialog's";
  int labels = 0;
  for (HWND c = GetWindow(editor.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (className(c) != "Static" || (windowStyle(c) & SS_TYPEMASK) > SS_RIGHT || windowText(c).empty()) continue;
    ++labels;
    const SIZE needed = wrappedTextSize(c, "MS Sans Serif", 8);
    EXPECT_LE(needed.cy, clientRect(c).bottom) << windowText(c);
  }
  EXPECT_GT(labels, 10);
}

TEST_F(EditorTest, NumberBoxesShowTheChipsValuesWhole) {
  // Three-digit negatives, and a sync value outside the arrows' range (-107 to 108).
  unsigned char chip[32];
  memcpy(chip, kChip, 32);
  chip[0x06] = 0x80;  // HSB -128
  chip[0x07] = 0x6C;  // HSS 108
  chip[0x0A] = 0xFF;  // brightness 255
  chip[0x0B] = 0x80;  // contrast -128
  chip[0x0C] = 0x9C;  // saturation -100
  chip[0x0D] = 0x95;  // hue -107
  chip[0x04] = 0xFF;  // GAI1 511 with bit 8 in 0x03
  ASSERT_TRUE(writeFile(box.path("decoder.bin"), std::string(reinterpret_cast<char*>(chip), 32)));
  start();
  struct Box { int id; const char* shown; } boxes[] = {
      {IDC_HSB, "-128"}, {IDC_HSS, "108"}, {IDC_BRIGHTNESS, "255"}, {IDC_CONTRAST, "-128"},
      {IDC_SATURATION, "-100"}, {IDC_HUE, "-107"}, {IDC_GAI1, "511"}};
  for (const Box& b : boxes) EXPECT_EQ(editor.text(b.id), b.shown) << b.id;

  // From the chip's -128 one step up; once left, the value outside the range is not reached again.
  size_t mark = settledLines(box).size();
  clickArrow(editor.item(IDC_HSB_SPIN), true);
  EXPECT_TRUE(waitFor([&] { return editor.text(IDC_HSB) == "-127"; }, 3000)) << editor.text(IDC_HSB);
  clickArrow(editor.item(IDC_HSB_SPIN), false);
  Lines sent = trafficAfter(box, mark);
  ASSERT_FALSE(sent.empty());
  for (const auto& l : sent) EXPECT_EQ(l, "write 06 81 ack");
  EXPECT_EQ(editor.text(IDC_HSB), "-127");
  clickArrow(editor.item(IDC_HUE_SPIN), false);
  EXPECT_TRUE(waitFor([&] { return editor.text(IDC_HUE) == "-108"; }, 3000)) << editor.text(IDC_HUE);
}

TEST_F(EditorTest, LinkLampIsLitDuringASlowRequestAndIdleAfter) {
  // Every request after the 26 of the start-up takes 2 s: the status poll's reads.
  ScopedEnv slow("SIMCARD_I2C", "delay-after=26:2000");
  start();
  HWND lamp = editor.item(IDC_LAMP);
  auto green = [&] { return GetGValue(middlePixel(lamp)); };
  EXPECT_TRUE(waitFor([&] { return green() > 200; }, 5000)) << "lit during the poll, green " << int(green());
  // The server ends in the middle of the request: the link fails and the lamp goes idle.
  killServers();
  HWND error = waitErrorBox(editor.process.id());
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(waitFor([&] { return green() < 160; }, 3000)) << "idle once the request is over";
  dismiss(error);
  EXPECT_LT(green(), 160);
  EXPECT_GT(green(), 80);
}

TEST_F(EditorTest, OptionTickAndArrowEachSendTheirRegister) {
  start();
  size_t mark = logLines(box).size();
  chooseOption(editor.item(IDC_MODE), 6);
  EXPECT_EQ(trafficAfter(box, mark), Lines({"write 02 c6 ack"}));
  EXPECT_EQ(listIndex(editor, IDC_MODE), 6);
  RECT list = windowRect(editor.item(IDC_MODE));
  EXPECT_GT(SendMessageA(editor.item(IDC_MODE), CB_GETDROPPEDWIDTH, 0, 0), 2 * (list.right - list.left))
      << "the dropped list is widened to its longest option";

  mark = logLines(box).size();
  clickControl(editor.item(IDC_HPLL));  // register 0x08 bit 2
  EXPECT_EQ(trafficAfter(box, mark), Lines({"write 08 8c ack"}));
  EXPECT_TRUE(ticked(editor, IDC_HPLL));
  mark = logLines(box).size();
  clickControl(editor.item(IDC_HPLL));
  EXPECT_EQ(trafficAfter(box, mark), Lines({"write 08 88 ack"}));

  // One arrow click notifies more than once; every notification sends the same byte.
  mark = logLines(box).size();
  clickArrow(editor.item(IDC_HSB_SPIN), false);  // -21 -> -22
  Lines hsb = trafficAfter(box, mark);
  ASSERT_FALSE(hsb.empty());
  for (const auto& l : hsb) EXPECT_EQ(l, "write 06 ea ack");
  EXPECT_EQ(editor.text(IDC_HSB), "-22");
}

TEST_F(EditorTest, DownArrowOpensAListAndChangesNothing) {
  start();
  HWND mode = editor.item(IDC_MODE);
  SendMessageA(editor.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(mode), TRUE);
  size_t mark = logLines(box).size();
  pressKey(editor.dialog, VK_DOWN);
  EXPECT_TRUE(waitFor([&] { return SendMessageA(mode, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  pressKey(editor.dialog, VK_ESCAPE);  // closes the list
  EXPECT_TRUE(waitFor([&] { return SendMessageA(mode, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  EXPECT_EQ(listIndex(editor, IDC_MODE), 0);
  EXPECT_EQ(writes(linesFrom(box, mark)), Lines{});
}

TEST_F(EditorTest, NineBitFieldSendsLowRegisterThenHighRegister) {
  start();
  size_t mark = logLines(box).size();
  clickArrow(editor.item(IDC_GAI1_SPIN), false);  // 256 -> 255
  Lines down = trafficAfter(box, mark);
  ASSERT_GE(down.size(), 2u);
  for (size_t i = 0; i < down.size(); ++i) EXPECT_EQ(down[i], i % 2 ? "write 03 22 ack" : "write 04 ff ack");
  EXPECT_EQ(upDownPos(editor, IDC_GAI1_SPIN), 255);

  mark = logLines(box).size();
  clickArrow(editor.item(IDC_GAI1_SPIN), true);  // 255 -> 256: carry into 0x03 bit 0
  Lines up = trafficAfter(box, mark);
  ASSERT_GE(up.size(), 2u);
  for (size_t i = 0; i < up.size(); ++i) EXPECT_EQ(up[i], i % 2 ? "write 03 23 ack" : "write 04 00 ack");
  EXPECT_EQ(upDownPos(editor, IDC_GAI1_SPIN), 256);
  EXPECT_EQ(upDownPos(editor, IDC_GAI2_SPIN), 256) << "the sibling's bit 8 went along unchanged";
}

TEST_F(EditorTest, ResetRereadAndReinitTraffic) {
  ScopedEnv version("SIMCARD_CHIP_VERSION", "2");
  start();
  chooseOption(editor.item(IDC_CSTD), 5);  // 0x0E = 0x51
  settledLines(box);

  size_t mark = logLines(box).size();
  pressKey(editor.dialog, 'I', {VK_MENU});  // Re&init: the 20 writable registers as shown
  unsigned char shown[32];
  memcpy(shown, kChip, 32);
  shown[0x0E] = 0x51;
  EXPECT_EQ(trafficAfter(box, mark), pushAllLines(shown));
  EXPECT_EQ(listIndex(editor, IDC_CSTD), 5);

  mark = logLines(box).size();
  pressKey(editor.dialog, 'T', {VK_MENU});  // Rese&t: defaults to the chip and the controls
  EXPECT_EQ(trafficAfter(box, mark), pushAllLines(kDefaults));
  EXPECT_EQ(listIndex(editor, IDC_CSTD), 0);

  // Reread: 25 reads, the controls follow the chip; the version text stays as at start,
  // also when the chip's version byte has changed since.
  SendMessageA(editor.item(IDC_CSTD), CB_SETCURSEL, 7, 0);
  ASSERT_TRUE(setChipByte(box, 0x00, 0x30));
  mark = logLines(box).size();
  pressKey(editor.dialog, 'R', {VK_MENU});
  unsigned char chip[32];
  memcpy(chip, kDefaults, 32);
  chip[0] = 0x30;
  Lines reread = settledLines(box);
  reread.erase(reread.begin(), reread.begin() + static_cast<long>(mark));
  // Polls may come in between; the 25 reads themselves come as one run.
  auto first = std::find(reread.begin(), reread.end(), "read 00 30 ack");
  ASSERT_NE(first, reread.end());
  EXPECT_EQ(Lines(first, first + std::min<long>(25, reread.end() - first)), readAllLines(chip));
  EXPECT_EQ(listIndex(editor, IDC_CSTD), 0);
  EXPECT_EQ(editor.text(IDC_VERSION), "V2");
}

TEST_F(EditorTest, StatusShownAfterOneSecondAndOnlyWhenChanged) {
  pins_.reset();
  ScopedEnv pins("SIMCARD_STATUS", "1A:0A,1B:C1,1C:7F,1F:40");
  start();
  ASSERT_TRUE(waitFor([&] { return editor.text(304) == "41"; }, 5000));
  struct Row { int id; const char* text; } rows[] = {
      {300, "0"}, {301, "1"}, {302, "0"}, {303, "1"}, {304, "41"}, {305, "1"}, {306, "7f"}, {307, "0"},
      {400, "0"}, {401, "0"}, {402, "0"}, {403, "0"}, {404, "0"}, {405, "0"}, {406, "1"}, {407, "0"}};
  for (const Row& r : rows) EXPECT_EQ(editor.text(r.id), r.text) << r.id;
  // A value written by someone else stays until the chip's byte changes, also across a field
  // change, which does not refresh the status groups.
  SetWindowTextA(editor.item(304), "zz");
  SetWindowTextA(editor.item(407), "zz");
  size_t polls = logLines(box).size();
  ASSERT_TRUE(waitLines(box, polls + 8, 5000));
  EXPECT_EQ(editor.text(304), "zz");
  clickControl(editor.item(IDC_HPLL));
  ASSERT_TRUE(waitFor([&] { return writes(linesFrom(box, polls)) == Lines{"write 08 8c ack"}; }));
  polls = logLines(box).size();
  ASSERT_TRUE(waitLines(box, polls + 4, 5000));
  EXPECT_EQ(editor.text(304), "zz");
  EXPECT_EQ(editor.text(407), "zz");
}

TEST_F(EditorTest, StatusPolledOnceASecond) {
  start();
  auto polls = [&] { return countLinesStartingWith(box.log("i2c.log"), "read 1f "); };
  int before = polls();
  ASSERT_TRUE(waitFor([&] { return polls() > before; }));
  DWORD firstSeen = GetTickCount();
  int first = polls();
  ASSERT_TRUE(waitFor([&] { return polls() >= first + 4; }, 4 * kWait));
  // Four intervals of 1000 ms; a late look at the first poll only shortens what is measured,
  // so the bound leaves room for that and for a slow machine.
  EXPECT_GE(GetTickCount() - firstSeen, 3000u) << "polled more often than once a second";
}

TEST_F(EditorTest, StatusShownEvenWhenAllZero) {
  start();
  ASSERT_TRUE(waitFor([&] { return editor.text(407) == "0"; }, 5000));
  EXPECT_EQ(editor.text(304), "00");
  EXPECT_EQ(editor.text(300), "0");
}

TEST_F(EditorTest, EnterAndEscapeDoNotClose) {
  start();
  pressKey(editor.dialog, VK_RETURN);
  pressKey(editor.dialog, VK_ESCAPE);
  // Keys are handled in order: once Re&init has sent its writes, Enter and Escape were handled.
  size_t mark = logLines(box).size();
  pressKey(editor.dialog, 'I', {VK_MENU});
  ASSERT_TRUE(waitFor([&] { return writes(linesFrom(box, mark)).size() >= 20; }));
  EXPECT_TRUE(IsWindow(editor.dialog));
  EXPECT_TRUE(editor.process.running());
}

TEST_F(EditorTest, ExitAsksTheServerToCloseAndEndsWithZero) {
  start();
  clickControl(editor.item(IDC_EXIT));
  EXPECT_EQ(editor.process.waitExit(), 0);
  EXPECT_TRUE(waitFor([&] { return logLines(box).back() == "close"; }));
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }));
}

TEST_F(EditorTest, CloseBoxAndAltF4AskTheServerToCloseToo) {
  for (bool altF4 : {false, true}) {
    Sandbox own;
    Editor e = startEditor(own);
    ASSERT_NE(e.dialog, nullptr);
    if (altF4) {
      // From a check box: a dropped-down list takes Alt+F4 for itself under Wine.
      SendMessageA(e.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(e.item(IDC_HPLL)), TRUE);
      pressKey(e.dialog, VK_F4, {VK_MENU});
    } else {
      ASSERT_TRUE(clickCloseBox(e.dialog));
    }
    EXPECT_EQ(e.process.waitExit(), 0) << (altF4 ? "Alt+F4" : "close box");
    EXPECT_TRUE(waitFor([&] { return logLines(own).back() == "close"; }));
    EXPECT_TRUE(waitFor([] { return !serverRunning(); }));
    killServers();
  }
}

TEST_F(EditorTest, PostedCloseEndsTheEditorAndSessionEndClosesTheServer) {
  start();
  // The end of a session: the server is asked to close; the system then ends the editor.
  SendMessageA(editor.dialog, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(waitFor([&] { return lastLine(box) == "close"; }));
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }));
  EXPECT_TRUE(editor.process.running());
  editor.process.kill();
  killServers();

  // A close asked for as taskkill does, with a posted WM_CLOSE.
  Sandbox own;
  Editor e = startEditor(own);
  ASSERT_NE(e.dialog, nullptr);
  PostMessageA(e.dialog, WM_CLOSE, 0, 0);
  EXPECT_EQ(e.process.waitExit(), 0);
  EXPECT_TRUE(waitFor([&] { return lastLine(own) == "close"; }));
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }));
}

TEST_F(EditorTest, SecondStartHandsOverToTheFirst) {
  start();
  // Another window in front first (minimizing needs a window manager, which the bench lacks).
  HWND other = CreateWindowA("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_TRUE(bringToFront(other));
  ASSERT_NE(GetForegroundWindow(), editor.dialog);
  size_t before = settledLines(box).size();
  Process second = box.start("quorvex.drv");
  EXPECT_EQ(second.waitExit(), 0);
  EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == editor.dialog; }));
  EXPECT_EQ(withoutPolls(linesFrom(box, before)), Lines{}) << "no second server, no traffic, no close";
  EXPECT_TRUE(IsWindow(editor.dialog));
  DestroyWindow(other);
}

TEST_F(EditorTest, UsesARunningServerAndClosesIt) {
  // A server started before the editor is used as it is, and asked to close at the end.
  Process server = box.start("busgate.drv");
  ASSERT_NE(waitWindow(kServerName, kServerName), nullptr);
  start();
  EXPECT_EQ(logLines(box)[0], "start");
  EXPECT_EQ(logLines(box)[1], "write 00 00 ack") << "only one server started";
  PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(editor.process.waitExit(), 0);
  EXPECT_EQ(server.waitExit(), 0);
}

TEST_F(EditorTest, WaitCursorWhileResetRereadAndReinitRun) {
  for (int id : {IDC_RESET, IDC_REREAD, IDC_REINIT}) {
    SCOPED_TRACE(id);
    Sandbox own;
    ScopedEnv hang("SIMCARD_I2C", "hang-after=26");  // the first request after the start's never returns
    parkPointer();
    Editor e;
    e.process = own.start("quorvex.drv");
    e.dialog = waitWindow("#32770", kDialogTitle);
    ASSERT_NE(e.dialog, nullptr);
    // Queued before the poll timer's first tick: the button's first request is the one that hangs.
    PostMessageA(e.dialog, WM_COMMAND, id, 0);
    std::vector<HCURSOR> busy;
    HWND box = nullptr;
    waitFor([&] {
      if (GetForegroundWindow() == e.dialog) busy.push_back(foregroundCursor());
      return (box = waitErrorBox(e.process.id(), 0)) != nullptr;
    });
    ASSERT_NE(box, nullptr) << "the request timed out";
    dismiss(box);
    ASSERT_TRUE(readyForInput(e.dialog)) << "the button's work has ended";
    HCURSOR after = foregroundCursor();
    EXPECT_NE(std::find_if(busy.begin(), busy.end(), [&](HCURSOR c) { return c && c != after; }), busy.end())
        << "a cursor of its own while the button works, and the previous one back after";
    PostMessageA(e.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(e.process.waitExit(), 0);
    killServers();
  }
}

TEST_F(EditorTest, NoticeLineShowsAHand) {
  start();
  ASSERT_TRUE(readyForInput(editor.dialog));
  HCURSOR plain = cursorOver(editor.item(IDC_VERSION), nullptr);
  ASSERT_NE(plain, nullptr);
  HCURSOR hand = cursorOver(editor.item(IDC_NOTICE), plain);
  EXPECT_NE(hand, plain) << "the hand over the notice line";
  EXPECT_EQ(cursorOver(editor.item(IDC_VERSION), hand), plain);
  EXPECT_EQ(cursorOver(editor.item(IDC_NOTICE), plain), hand) << "again on a second visit";

  // What a click opens: QvxTest.NoticeLineOpensThePageBesideTheEditorAndBeepsWhenItIsMissing.
}
