// The About, Help and Volume dialogs and the Buz keys in vistrel.exe itself, with the
// bench's sound server (Wine's mixer: speakers volume and mute, wave-out source line).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/wine/harness/log_lines.h"
#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

constexpr int kMasterSlider = 115, kBuzSlider = 116, kMasterMute = 117, kBuzMute = 118;

class ViewerVolume : public testing::Test {
 protected:
  // With the mixer stand-in (line in is the Buz line; faults as SIMCARD_MIXER).
  void startWithMixer(const char* faults = "") {
    SimulatedMixer mixer(box, faults);
    start(nullptr);
  }
  void start(const char* buzMixerLine) {
    std::string ini = iniLines({"[Position]", "x=100", "y=100", "w=360", "h=288"});
    if (buzMixerLine) ini += std::string("BuzMixerLine=") + buzMixerLine + "\r\n";
    viewer = startViewer(box, ini);
    ASSERT_NE(viewer.window, nullptr);
  }
  void TearDown() override {
    if (HWND d = dialog(0)) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    if (viewer.process.running()) {
      EXPECT_EQ(closeViewer(viewer), 0);
    }
  }
  HWND dialog(int timeoutMs = kWait) const { return waitProcessWindow(viewer.process.id(), "#32770", timeoutMs); }
  HWND openAt(WORD key, int x, int y) const {
    bringToFront(viewer.window);
    moveMouse(x, y);
    pressKey(viewer.window, key);
    return dialog();
  }
  bool waitClosed() const { return waitFor([&] { return dialog(0) == nullptr; }); }
  int beepsAfterKey(WORD key, int expected) const {
    const int before = beepCount();
    pressKey(viewer.window, key);
    if (expected) waitBeeps(before + expected);
    Sleep(400);
    return beepCount() - before;
  }

  // The stand-in's writes so far ("set 1002 volume 34799", "refuse 4 mute 1").
  std::vector<std::string> mixerWrites() const {
    std::vector<std::string> writes;
    for (const std::string& line : completeLines(box.log("mixer.log")))
      if (line.rfind("set ", 0) == 0 || line.rfind("refuse ", 0) == 0) writes.push_back(line);
    return writes;
  }
  std::string lastWrite() const {
    std::vector<std::string> writes = mixerWrites();
    return writes.empty() ? "" : writes.back();
  }
  // Waits for the write after the first `count`; "" when none comes.
  std::string nextWrite(size_t count) const {
    std::vector<std::string> writes;
    waitFor([&] { return (writes = mixerWrites()).size() > count; });
    return writes.size() > count ? writes[count] : "";
  }
  // Presses key (with modifiers) on w and returns the one write it made.
  std::string writeAfterKey(HWND w, WORD key, std::vector<WORD> modifiers = {}) const {
    const size_t count = mixerWrites().size();
    pressKey(w, key, modifiers);
    return nextWrite(count);
  }

  Sandbox box;
  Viewer viewer;
};

POINT centreOf(HWND w) {
  RECT r = windowRect(w);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LRESULT sliderPos(HWND d, int id) { return SendDlgItemMessageA(d, id, TBM_GETPOS, 0, 0); }

// The stand-in's volume controls: 0 to 65535 in 32 steps of 2047; a slider shows 32 - level.
constexpr int kStandInSteps = 32, kStandInStep = 2047;
std::string volumeWrite(const char* line, LRESULT level) {
  return std::string("set ") + line + " volume " + std::to_string(level * kStandInStep);
}
std::string sliderWrite(const char* line, HWND d, int slider) {
  return volumeWrite(line, kStandInSteps - sliderPos(d, slider));
}

TEST_F(ViewerVolume, VOpensTheVolumeDialogAtThePointerAndADragReachesTheMixer) {
  start("8");
  HWND d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  POINT c = centreOf(d);
  EXPECT_LE(std::abs(c.x - 600), 2);
  EXPECT_LE(std::abs(c.y - 500), 2);
  // A new process finds Wine's speakers at full volume: the master slider at the top.
  EXPECT_EQ(SendDlgItemMessageA(d, kMasterSlider, TBM_GETRANGEMAX, 0, 0), 192);
  EXPECT_EQ(sliderPos(d, kMasterSlider), 0);
  const int ids[] = {kMasterSlider, kBuzSlider, kMasterMute, kBuzMute};
  for (int id : ids) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, id))) << id;

  RECT s = windowRect(GetDlgItem(d, kMasterSlider));
  const int x = (s.left + s.right) / 2;
  ASSERT_TRUE(dragScreen(d, {x, s.top + 13}, {x, (s.top + s.bottom) / 2}, ""));
  const LRESULT dragged = sliderPos(d, kMasterSlider);
  EXPECT_NEAR(dragged, 96, 24);
  pressKey(d, VK_ESCAPE);
  ASSERT_TRUE(waitClosed());

  // Opened again, the dialog reads the speakers' volume afresh through winmm.
  d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  EXPECT_NEAR(sliderPos(d, kMasterSlider), dragged, 1) << "Wine may read a written volume back one unit lower";
}

TEST_F(ViewerVolume, AboutShowsNameOverStampAndRightClickClosesHelp) {
  start("8");
  bringToFront(viewer.window);
  moveMouse(500, 400);
  PostMessageA(viewer.window, WM_COMMAND, 104, 0);
  HWND d = dialog();
  ASSERT_NE(d, nullptr);
  HWND name = nullptr;
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (windowText(c) == "Vistrel v1.0 beta") name = c;
  ASSERT_NE(name, nullptr);
  HWND stamp = GetDlgItem(d, 124);
  EXPECT_EQ(windowText(stamp), "15 Jul 00   05:55:55");
  EXPECT_GT(windowRect(stamp).top, windowRect(name).top);
  EXPECT_EQ(GetWindow(d, GW_OWNER), viewer.window);
  EXPECT_FALSE(IsWindowEnabled(viewer.window)) << "modal";
  click(d, 3, 3);
  ASSERT_TRUE(waitClosed());

  PostMessageA(viewer.window, WM_COMMAND, 106, 0);
  d = dialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(GetWindow(d, GW_OWNER), viewer.window);
  EXPECT_EQ(GetDlgItem(d, 124), nullptr);
  EXPECT_NE(GetWindow(d, GW_CHILD), nullptr);
  pressKey(d, VK_ESCAPE);
  ASSERT_TRUE(waitClosed());

  d = openAt(VK_F1, 500, 400);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(GetDlgItem(d, 124), nullptr);
  HWND summary = GetWindow(d, GW_CHILD);
  click(summary, 30, 10, true);
  EXPECT_TRUE(waitClosed());
  EXPECT_TRUE(IsWindowEnabled(viewer.window)) << "the main window takes input again";
}

// A box opened with the pointer at a corner of the screen lies wholly on the work area.
TEST_F(ViewerVolume, BoxesOpenedAtAScreenCornerStayOnTheWorkArea) {
  start("8");
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  struct Row {
    int command;
    POINT pointer;
  } rows[] = {{104, {area.right - 1, area.bottom - 1}}, {114, {area.left, area.top}},
              {114, {area.right - 1, area.top}},     {106, {area.left, area.bottom - 1}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "command " << r.command << " at " << r.pointer.x << "," << r.pointer.y);
    bringToFront(viewer.window);
    moveMouse(r.pointer.x, r.pointer.y);
    PostMessageA(viewer.window, WM_COMMAND, r.command, 0);
    HWND d = dialog();
    ASSERT_NE(d, nullptr);
    RECT box = windowRect(d), inside{};
    EXPECT_TRUE(IntersectRect(&inside, &box, &area) && EqualRect(&inside, &box))
        << box.left << "," << box.top << " - " << box.right << "," << box.bottom;
    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitClosed());
  }
}

TEST_F(ViewerVolume, BuzKeysBeepOnceEachWithoutTheLineInWindowAndFullScreen) {
  start(nullptr);  // default BuzMixerLine 2: line in, which Wine's mixer lacks
  const WORD keys[] = {VK_ADD, VK_SUBTRACT, VK_DELETE, VK_INSERT};
  for (WORD key : keys) EXPECT_EQ(beepsAfterKey(key, 1), 1) << "window, key " << key;
  pressKey(viewer.window, VK_F12);
  ASSERT_TRUE(waitTitle(viewer.window, "Vistrel (full-screen)"));
  for (WORD key : keys) EXPECT_EQ(beepsAfterKey(key, 1), 1) << "full screen, key " << key;

  HWND d = openAt('V', 400, 400);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, kMasterSlider)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kBuzSlider)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kBuzMute)));
}

// Picks "&Volume..." from the popup menu with the keyboard: the tenth item, counting the
// grayed ones and not the separators. Returns the number of beeps that followed.
// The pointer is parked off every window first: a mouse move that reaches the menu after
// the first keys (its own appearance under the pointer makes one) clears the selection.
int pickVolumeFromThePopup(HWND window) {
  moveMouse(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  bringToFront(window);
  POINT at{40, 40};
  ClientToScreen(window, &at);
  PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(at.x, at.y));
  if (!waitPopupMenu()) return -1;
  for (int i = 0; i < 10; ++i) pressKey(nullptr, VK_DOWN);
  const int before = beepCount();
  pressKey(nullptr, VK_RETURN);
  Sleep(1000);
  return beepCount() - before;
}

TEST_F(ViewerVolume, VolumeItemOfThePopupOpensTheDialog) {
  start("8");
  EXPECT_EQ(pickVolumeFromThePopup(viewer.window), 0);
  EXPECT_NE(dialog(), nullptr);
}

TEST_F(ViewerVolume, WithoutAMixerVBeepsAndOpensNothing) {
  NoAudioDriver noAudio;
  start("8");
  EXPECT_EQ(beepsAfterKey('V', 1), 1);
  EXPECT_EQ(dialog(1000), nullptr);
  EXPECT_EQ(beepsAfterKey(VK_ADD, 1), 1);
  // The grayed menu item does nothing: an enabled one would run command 114 and beep.
  EXPECT_EQ(pickVolumeFromThePopup(viewer.window), 0);
  EXPECT_EQ(dialog(500), nullptr);
  if (waitPopupMenu(200)) pressKey(nullptr, VK_ESCAPE);
  EXPECT_TRUE(waitPopupMenuClosed());
}

// The master line is the speakers, whose values Wine reads back a little low: a position
// written from the slider comes back the same when the dialog opens again, however often.
TEST_F(ViewerVolume, MasterSliderKeepsItsPositionOverReopening) {
  start("8");
  HWND d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  pressKey(d, VK_HOME);  // the focus is on the master slider
  for (int i = 0; i < 40; ++i) pressKey(d, VK_DOWN);
  ASSERT_TRUE(waitFor([&] { return sliderPos(d, kMasterSlider) == 40; })) << sliderPos(d, kMasterSlider);
  for (int round = 0; round < 3; ++round) {
    pressKey(d, VK_ESCAPE);
    ASSERT_TRUE(waitClosed());
    d = openAt('V', 600, 500);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(sliderPos(d, kMasterSlider), 40) << "round " << round;
    pressKey(d, VK_UP);  // and back: written again
    pressKey(d, VK_DOWN);
    ASSERT_TRUE(waitFor([&] { return sliderPos(d, kMasterSlider) == 40; }));
  }
}

// Scroll messages that come from neither slider (no control, a check box, a foreign
// window) write nothing, though the Buz line's record was never filled.
TEST_F(ViewerVolume, ScrollMessagesFromNoSliderLeaveTheMixerAlone) {
  start(nullptr);  // line in, which Wine's mixer lacks
  HWND d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  const LRESULT master = sliderPos(d, kMasterSlider);
  const LPARAM senders[] = {0, reinterpret_cast<LPARAM>(GetDlgItem(d, kMasterMute)),
                            reinterpret_cast<LPARAM>(viewer.window)};
  for (LPARAM from : senders)
    for (WORD code : {TB_THUMBTRACK, TB_ENDTRACK}) SendMessageA(d, WM_VSCROLL, MAKEWPARAM(code, 0), from);
  pressKey(d, VK_ESCAPE);
  ASSERT_TRUE(waitClosed());
  d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(sliderPos(d, kMasterSlider), master);
}

// Without the trackbar class the Volume dialog cannot be made: V beeps once each time.
TEST_F(ViewerVolume, WithoutCommonControlsVBeeps) {
  ScopedDllOverride noComctl("vistrel.exe", "comctl32", "");  // disabled
  start("8");
  for (int press = 0; press < 2; ++press) {
    EXPECT_EQ(beepsAfterKey('V', 1), 1) << "press " << press;
    EXPECT_EQ(dialog(500), nullptr);
  }
}

// Every static text of the About and Help boxes fits its rectangle in the dialogs' font
// (10 point MS Sans Serif; wrapped with a wider face, the Help text loses its last lines).
TEST_F(ViewerVolume, InformationBoxTextsFitTheirRectangles) {
  start("8");
  const SIZE units = dialogBaseUnits("MS Sans Serif", 10);
  for (int command : {104, 106}) {
    moveMouse(500, 400);
    PostMessageA(viewer.window, WM_COMMAND, command, 0);
    HWND d = dialog();
    ASSERT_NE(d, nullptr) << command;
    // The measuring font is the dialog's: the box is sized in its base units.
    EXPECT_EQ(clientRect(d).right, MulDiv(command == 104 ? 98 : 130, units.cx, 4)) << command;
    int texts = 0;
    for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      const LONG type = windowStyle(c) & SS_TYPEMASK;
      if (windowText(c).empty() || (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)) continue;
      ++texts;
      const SIZE needed = wrappedTextSize(c, "MS Sans Serif", 10);
      EXPECT_LE(needed.cy, clientRect(c).bottom) << windowText(c);
      EXPECT_LE(needed.cx, clientRect(c).right) << windowText(c);
    }
    EXPECT_GE(texts, command == 104 ? 4 : 3);
    click(d, 2, 2);
    ASSERT_TRUE(waitClosed());
  }
}

// The keypad, Insert and Delete of the viewer itself, read from what reaches the mixer: each
// press is one write to the Buz line (line in, from level 16), in window mode and in full screen.
TEST_F(ViewerVolume, BuzKeysWriteTheBuzLineAndNeverTheMaster) {
  startWithMixer();
  HWND w = viewer.window;
  const int beeps = beepCount();
  struct Row {
    WORD key;
    bool ctrl;
    std::string write;
  };
  const Row window[] = {
      {VK_ADD, false, volumeWrite("1002", 17)},     {VK_ADD, false, volumeWrite("1002", 18)},
      {VK_ADD, true, volumeWrite("1002", 26)},      {VK_SUBTRACT, false, volumeWrite("1002", 25)},
      {VK_SUBTRACT, true, volumeWrite("1002", 17)}, {VK_ADD, true, volumeWrite("1002", 25)},
      {VK_ADD, true, volumeWrite("1002", 32)},      {VK_SUBTRACT, true, volumeWrite("1002", 24)},
      {VK_DELETE, false, "set 1002 mute 1"},        {VK_DELETE, true, "set 1002 mute 1"},
      {VK_INSERT, false, "set 1002 mute 0"},        {VK_INSERT, true, "set 1002 mute 0"},
  };
  const Row fullScreen[] = {
      {VK_ADD, false, volumeWrite("1002", 25)},     {VK_SUBTRACT, true, volumeWrite("1002", 17)},
      {VK_DELETE, false, "set 1002 mute 1"},        {VK_INSERT, true, "set 1002 mute 0"},
  };
  auto check = [&](const Row& r, const char* mode) {
    std::vector<WORD> modifiers;
    if (r.ctrl) modifiers.push_back(VK_CONTROL);
    EXPECT_EQ(writeAfterKey(w, r.key, modifiers), r.write) << mode << (r.ctrl ? "Ctrl+" : "") << "key " << r.key;
  };
  for (const Row& r : window) check(r, "window, ");
  pressKey(w, VK_F12);
  ASSERT_TRUE(waitTitle(w, "Vistrel (full-screen)"));
  for (const Row& r : fullScreen) check(r, "full screen, ");
  EXPECT_EQ(beepCount(), beeps);
}

// Each slider and mute box of the Volume dialog writes its own line: keys on a slider write
// when they end (TB_ENDTRACK), the value the slider then shows.
TEST_F(ViewerVolume, SlidersAndMuteBoxesWriteTheirOwnLine) {
  startWithMixer();
  HWND d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(sliderPos(d, kMasterSlider), 16);
  ASSERT_EQ(sliderPos(d, kBuzSlider), 16);
  struct Row {
    WORD key;
    std::vector<WORD> modifiers;
    int control;  // whose value the write is
    const char* line;
  } rows[] = {
      {VK_NEXT, {}, kMasterSlider, "4"},      {VK_UP, {}, kMasterSlider, "4"},
      {'B', {VK_MENU}, 0, nullptr},           // to the Buz slider: no write
      {VK_DOWN, {}, kBuzSlider, "1002"},      {VK_DOWN, {}, kBuzSlider, "1002"},
      {VK_PRIOR, {}, kBuzSlider, "1002"},     {'T', {VK_MENU}, kBuzMute, "1002"},
      {VK_SPACE, {}, kBuzMute, "1002"},       {'U', {VK_MENU}, kMasterMute, "4"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "key " << r.key << (r.modifiers.empty() ? "" : " with Alt"));
    if (!r.line) {
      pressKey(d, r.key, r.modifiers);
      continue;
    }
    const std::string write = writeAfterKey(d, r.key, r.modifiers);
    if (r.control == kBuzMute || r.control == kMasterMute)
      EXPECT_EQ(write, std::string("set ") + r.line + " mute " +
                           (SendDlgItemMessageA(d, r.control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0"));
    else
      EXPECT_EQ(write, sliderWrite(r.line, d, r.control));
  }
  EXPECT_EQ(sliderPos(d, kMasterSlider), 21) << "Page Down and Up do not cancel out: a page is more than a line";
  EXPECT_EQ(mixerWrites().size(), 8u);
}

// While the thumb is dragged the volume follows it, before the button is released.
TEST_F(ViewerVolume, DraggingTheThumbWritesBeforeTheButtonIsReleased) {
  startWithMixer("volume=65535");
  HWND d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(sliderPos(d, kMasterSlider), 0);
  RECT s = windowRect(GetDlgItem(d, kMasterSlider));
  const int x = (s.left + s.right) / 2;
  ASSERT_TRUE(holdDrag(d, {x, s.top + 13}, {x, (s.top + s.bottom) / 2}));
  const std::string during = nextWrite(0);
  const LRESULT held = sliderPos(d, kMasterSlider);
  ASSERT_TRUE(releaseDrag());
  EXPECT_EQ(during.rfind("set 4 volume ", 0), 0u) << "no write while the button was down: " << during;
  EXPECT_GT(held, 0);
  EXPECT_TRUE(waitFor([&] { return lastWrite() == sliderWrite("4", d, kMasterSlider); })) << lastWrite();
}

// A write the mixer refuses disables the control that made it; the others stay usable.
TEST_F(ViewerVolume, ARefusedWriteDisablesItsControl) {
  startWithMixer("refuse-writes");
  HWND d = openAt('V', 600, 500);
  ASSERT_NE(d, nullptr);
  const int ids[] = {kMasterSlider, kBuzSlider, kMasterMute, kBuzMute};
  for (int id : ids) ASSERT_TRUE(IsWindowEnabled(GetDlgItem(d, id))) << id;
  EXPECT_EQ(writeAfterKey(d, VK_DOWN).rfind("refuse 4 volume ", 0), 0u);
  EXPECT_TRUE(waitFor([&] { return !IsWindowEnabled(GetDlgItem(d, kMasterSlider)); }));
  EXPECT_EQ(writeAfterKey(d, 'T', {VK_MENU}), "refuse 1002 mute 1");
  EXPECT_TRUE(waitFor([&] { return !IsWindowEnabled(GetDlgItem(d, kBuzMute)); }));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, kBuzSlider)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, kMasterMute)));
  click(d, 2, clientRect(d).bottom - 2);  // the focus lies on a disabled box: close by a click
  ASSERT_TRUE(waitClosed());
  // The keys beep once for a refused write.
  EXPECT_EQ(beepsAfterKey(VK_ADD, 1), 1);
  EXPECT_EQ(lastWrite(), volumeWrite("1002", 17).replace(0, 3, "refuse"));
  EXPECT_EQ(beepsAfterKey(VK_DELETE, 1), 1);
  EXPECT_EQ(lastWrite(), "refuse 1002 mute 1");
}

}  // namespace

