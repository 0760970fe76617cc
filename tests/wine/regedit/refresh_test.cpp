// quorvex.drv's Reread under Wine: after the chip was changed behind its back every control
// shows, and the display draws, what a fresh start on that chip shows; after a Reread of a chip
// left alone nothing differs, and what another program put into a control is replaced by the
// chip's value.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <map>
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
using States = std::map<int, std::string>;
using Chip = std::array<unsigned char, 32>;

// The chip as the simulated card powers up (version 1), status bytes zero.
constexpr Chip kPowerOn = {0x10, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                           0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr int kWritable[] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
                             0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12, 0x13, 0x15, 0x16, 0x17};

// The power-on chip with both sync fields outside their arrows' range (-107 to 108): HSB -128,
// HSS 127.
Chip outOfRange() {
  Chip c = kPowerOn;
  c[0x06] = 0x80;
  c[0x07] = 0x7F;
  return c;
}

// Every bit of every writable register inverted: every field shows another value, every list
// another option, and the sync fields leave their range on the other side (HSB 127, HSS -128).
Chip inverted(const Chip& c) {
  Chip out = c;
  for (int s : kWritable) out[s] = static_cast<unsigned char>(~c[s]);
  return out;
}

// The ids whose states differ, each with both states.
std::string differences(const States& got, const States& want) {
  std::string out;
  for (const auto& [id, state] : want) {
    auto it = got.find(id);
    std::string shown = it == got.end() ? "(missing)" : it->second;
    if (shown != state) out += "\n  control " + std::to_string(id) + ": " + shown + "\n    wanted " + state;
  }
  return out;
}

Lines withoutPolls(const Lines& lines) {
  Lines out;
  for (const auto& l : lines)
    if (l.rfind("read 1a ", 0) != 0 && l.rfind("read 1b ", 0) != 0 && l.rfind("read 1c ", 0) != 0 &&
        l.rfind("read 1f ", 0) != 0)
      out.push_back(l);
  return out;
}

// A window of the test's own over the middle of the dialog, shown without taking the focus.
HWND cover(HWND dialog) {
  RECT r = windowRect(dialog);
  HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | SS_BLACKRECT,
                           r.left + 40, r.top + 60, (r.right - r.left) - 80, (r.bottom - r.top) - 120, nullptr, nullptr,
                           nullptr, nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  UpdateWindow(w);
  waitFor([] { return false; }, 300);
  return w;
}

class RefreshTest : public ::testing::Test {
 protected:
  void SetUp() override { pins_ = std::make_unique<ScopedEnv>("SIMCARD_STATUS", "1A:00,1B:00,1C:00,1F:00"); }
  void TearDown() override {
    close();
    killServers();
  }

  // Starts the editor on the chip and waits for its first status poll to be shown.
  void startOn(const Chip& chip) {
    ASSERT_TRUE(writeFile(box.path("decoder.bin"), std::string(chip.begin(), chip.end())));
    parkPointer();
    editor = startEditor(box);
    ASSERT_NE(editor.dialog, nullptr);
    ASSERT_TRUE(waitFor([&] { return editor.text(407) == "0"; }));
  }
  void close() {
    if (editor.dialog && IsWindow(editor.dialog)) PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    editor.process.waitExit();
    waitFor([] { return !serverRunning(); });
  }

  // Clicks Reread (the test waits until the editor has handled it) and returns the editor's
  // requests it caused, polls left out.
  Lines reread() {
    size_t mark = settledLines(box).size();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(editor.dialog, WM_COMMAND, IDC_REREAD, 0, SMTO_NORMAL, kWait, &ignored);
    return withoutPolls(linesFrom(box, mark));
  }

  // The dialog in front, as the display shows it once it stopped changing.
  std::string picture() {
    bringToFront(editor.dialog);
    std::string last = dialogPicture(editor.dialog);
    for (int i = 0; i < 10; ++i) {
      waitFor([] { return false; }, 300);
      std::string now = dialogPicture(editor.dialog);
      if (now == last) return now;
      last = now;
    }
    return last;
  }

  // What a fresh start on the chip shows; the editor started here is closed again.
  void freshStart(const Chip& chip, States* states, std::string* shown) {
    close();
    startOn(chip);
    *states = controlStates(editor.dialog);
    *shown = picture();
    close();
  }

  Sandbox box;
  Editor editor;
  std::unique_ptr<ScopedEnv> pins_;
};

// The reads of a Reread as the server logs them, without those of the status registers (which
// withoutPolls cannot tell from the polls').
Lines readsOf(const Chip& chip) {
  static const int readable[] = {0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
                                 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12, 0x13, 0x15, 0x16, 0x17};
  Lines lines;
  for (int s : readable) {
    char line[32];
    snprintf(line, sizeof line, "read %02x %02x ack", s, chip[s]);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

// Two Rereads, each after every writable register was changed through the server by another
// program (the first while a window covers the dialog), each compared with a fresh start on the
// same chip: what every control holds, and what the display shows.
TEST_F(RefreshTest, RereadAfterEveryFieldChangedShowsWhatAFreshStartShows) {
  const Chip a = outOfRange(), b = inverted(a), c = kPowerOn;
  States freshB, freshC;
  std::string freshShownB, freshShownC;
  freshStart(b, &freshB, &freshShownB);
  freshStart(c, &freshC, &freshShownC);
  startOn(a);
  ASSERT_EQ(editor.text(IDC_HSB), "-128");

  // b: every field changed; a text put into a number box by another program goes too.
  ASSERT_TRUE(writeThroughServer(b.data()));
  SetWindowTextA(editor.item(IDC_VSTA), "77");
  HWND over = cover(editor.dialog);
  EXPECT_EQ(reread(), readsOf(b)) << "the reads, nothing written";
  DestroyWindow(over);
  States afterB = controlStates(editor.dialog);
  EXPECT_EQ(afterB[IDC_HSB], "text \"127\"");
  EXPECT_EQ(afterB[IDC_HSB_SPIN], "position 127, range -107 to 127") << "widened the other way";
  EXPECT_EQ(afterB[IDC_HSS_SPIN], "position -128, range -128 to 108");
  EXPECT_EQ(afterB[IDC_MODE].substr(0, 10), "selected 7");
  EXPECT_EQ(differences(afterB, freshB), "");
  EXPECT_EQ(pictureDifference(editor.dialog, picture(), freshShownB), "") << "the display";

  // c, the power-on chip: every field changed again, the sync fields back inside their range.
  ASSERT_TRUE(writeThroughServer(c.data()));
  EXPECT_EQ(reread(), readsOf(c));
  States afterC = controlStates(editor.dialog);
  EXPECT_EQ(afterC[IDC_HSB_SPIN], "position -21, range -107 to 108") << "narrowed to the field's range";
  EXPECT_EQ(afterC[IDC_FUSE].substr(0, 10), "selected 3");
  EXPECT_EQ(differences(afterC, freshC), "");
  EXPECT_EQ(pictureDifference(editor.dialog, picture(), freshShownC), "") << "the display";
}

// A Reread of a chip left alone changes nothing the editor set itself; what another program
// changed in the controls (a number box's text that was never sent, a list's options, its
// down-arrow setting, an arrows' range, a check) shows the chip's value again, as it always has.
TEST_F(RefreshTest, RereadOfAnUnchangedChipChangesNothingAndUndoesOtherProgramsChanges) {
  startOn(kPowerOn);
  // A user cannot type into a number box: it is read-only, so only another program can.
  size_t mark = settledLines(box).size();
  SendMessageA(editor.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editor.item(IDC_HSB)), TRUE);
  pressKey(editor.dialog, '5');
  pressKey(editor.dialog, VK_BACK);
  SendMessageA(editor.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editor.item(IDC_MODE)), TRUE);
  EXPECT_EQ(editor.text(IDC_HSB), "-21");
  EXPECT_EQ(writes(linesFrom(box, mark)), Lines{});

  const States before = controlStates(editor.dialog);
  const std::string shownBefore = picture();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(reread(), readsOf(kPowerOn));
    EXPECT_EQ(differences(controlStates(editor.dialog), before), "");
    EXPECT_EQ(pictureDifference(editor.dialog, picture(), shownBefore), "");

    SetWindowTextA(editor.item(IDC_HSB), "77");           // another value
    SetWindowTextA(editor.item(IDC_BRIGHTNESS), "0128");  // the same value, written otherwise
    SendMessageA(editor.item(IDC_MODE), CB_DELETESTRING, 7, 0);
    SendMessageA(editor.item(IDC_GUDL), CB_SETEXTENDEDUI, FALSE, 0);
    SendMessageA(editor.item(IDC_CONTRAST_SPIN), UDM_SETRANGE, 0, MAKELONG(100, 0));
    SendMessageA(editor.item(IDC_HPLL), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_NE(differences(controlStates(editor.dialog), before), "");

    EXPECT_EQ(reread(), readsOf(kPowerOn));
    EXPECT_EQ(differences(controlStates(editor.dialog), before), "");
    EXPECT_EQ(pictureDifference(editor.dialog, picture(), shownBefore), "");
  }
}
