// The viewer's About, Help and Volume dialogs and the Buz volume keys, run in the stand-in
// main window (dialog_host.exe) against the mixer Wine gives over the bench's PulseAudio
// null sink: speakers volume (0..65535, 192 steps) and mute, and the wave-out source line.
// Wine keeps mixer values per process, so values are set and read back through the host.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "tests/wine/harness/harness.h"
#include "tests/wine/viewer/dialog_host_protocol.h"

using namespace harness;

namespace {

constexpr DWORD kSpeakers = 4;
constexpr DWORD kWaveOut = 0x1008;
constexpr int kMasterSlider = 115, kBuzSlider = 116, kMasterMute = 117, kBuzMute = 118;
constexpr LRESULT kSteps = 192, kStepSize = 65535 / 192;  // 341

// The stand-in main window in a sandbox of its own; args is its BuzMixerLine.
struct Host {
  Sandbox box;
  Process process;
  HWND main = nullptr;

  explicit Host(const std::string& args) {
    box.copyTestProgram("dialog_host.exe");
    process = box.start("dialog_host.exe", args);
    main = waitWindow("VistrelDialogHost", nullptr);
  }
  ~Host() {
    if (HWND d = dialog(0)) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    if (main) PostMessageA(main, WM_CLOSE, 0, 0);
    process.waitExit(5000);
  }

  LRESULT read(DWORD line, bool mute) const {
    return SendMessageA(main, kHostReadMixer, hostControl(line, mute), 0);
  }
  bool write(DWORD line, bool mute, DWORD value) const {
    return SendMessageA(main, kHostWriteMixer, hostControl(line, mute), value) == 1;
  }
  bool mixerOpen() const { return SendMessageA(main, kHostMixerOpen, 0, 0) != 0; }
  // The open dialog of the host, or null after timeoutMs.
  HWND dialog(int timeoutMs = kWait) const {
    return waitProcessWindow(process.id(), "#32770", timeoutMs);
  }
  // Opens a dialog with key vk (V: Volume, F1: Help, A: About) with the pointer at x, y.
  HWND open(WORD vk, int x = 640, int y = 480) const {
    bringToFront(main);
    moveMouse(x, y);
    pressKey(main, vk);
    return dialog();
  }
  bool waitClosed() const {
    return waitFor([&] { return dialog(0) == nullptr; });
  }
};

LRESULT sliderPos(HWND d, int id) { return SendDlgItemMessageA(d, id, TBM_GETPOS, 0, 0); }
bool checked(HWND d, int id) { return SendDlgItemMessageA(d, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != 0; }

HWND focusOf(HWND w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
  return info.hwndFocus;
}

POINT centreOf(HWND w) {
  RECT r = windowRect(w);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Wine turns a written volume into a float and back, so a value may read back one lower.
void expectVolume(LRESULT actual, LRESULT expected, const std::string& what) {
  EXPECT_TRUE(actual == expected || actual == expected - 1)
      << what << ": read " << actual << ", written should be " << expected;
}

// Beeps rung while action runs, waiting a little for late ones.
int beepsDuring(const std::function<void()>& action, int expected) {
  const int before = beepCount();
  action();
  if (expected > 0) waitBeeps(before + expected);
  Sleep(400);
  return beepCount() - before;
}

TEST(VolumeDialog, OpensAtThePointerWithTheMixersValues) {
  Host host("8");
  ASSERT_NE(host.main, nullptr);
  ASSERT_TRUE(host.write(kSpeakers, false, 40000));
  ASSERT_TRUE(host.write(kSpeakers, true, 1));
  const LRESULT master = host.read(kSpeakers, false);

  HWND d = host.open('V', 500, 400);
  ASSERT_NE(d, nullptr);
  POINT c = centreOf(d);
  EXPECT_LE(std::abs(c.x - 500), 2) << c.x;
  EXPECT_LE(std::abs(c.y - 400), 2) << c.y;
  EXPECT_EQ(windowText(d), "");
  EXPECT_EQ(windowStyle(d) & (WS_CAPTION | WS_SYSMENU | WS_POPUP | WS_BORDER), WS_POPUP | WS_BORDER);

  EXPECT_EQ(SendDlgItemMessageA(d, kMasterSlider, TBM_GETRANGEMIN, 0, 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(d, kMasterSlider, TBM_GETRANGEMAX, 0, 0), kSteps);
  EXPECT_EQ(sliderPos(d, kMasterSlider), kSteps - master / kStepSize) << "master value " << master;
  EXPECT_TRUE(checked(d, kMasterMute));
  // Wine's wave-out line takes values but reads back nothing: level 0, sound on.
  EXPECT_TRUE(enabled(d, kBuzSlider));
  EXPECT_TRUE(enabled(d, kBuzMute));
  EXPECT_EQ(sliderPos(d, kBuzSlider), kSteps);
  EXPECT_FALSE(checked(d, kBuzMute));
  EXPECT_EQ(className(GetDlgItem(d, kMasterSlider)), "msctls_trackbar32");
  EXPECT_TRUE(host.mixerOpen()) << "the mixer stays open while the dialog is";
}

TEST(VolumeDialog, TabOrderAndMnemonics) {
  Host host("8");
  ASSERT_TRUE(host.write(kSpeakers, true, 0));
  HWND d = host.open('V');
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(focusOf(d), GetDlgItem(d, kMasterSlider)) << "first tab stop";
  const int order[] = {kBuzSlider, kMasterMute, kBuzMute, kMasterSlider};
  for (int id : order) {
    pressKey(d, VK_TAB);
    EXPECT_TRUE(waitFor([&] { return focusOf(d) == GetDlgItem(d, id); })) << "tab to " << id;
  }
  struct Row { WORD key; int focus; };
  const Row mnemonics[] = {{'B', kBuzSlider}, {'M', kMasterSlider}, {'T', kBuzMute}, {'U', kMasterMute}};
  for (const Row& r : mnemonics) {
    pressKey(d, r.key, {VK_MENU});
    EXPECT_TRUE(waitFor([&] { return focusOf(d) == GetDlgItem(d, r.focus); }))
        << "Alt+" << char(r.key);
  }
  // Alt+U clicked the master mute box; Space on it toggles it back; both reach the mixer.
  EXPECT_TRUE(waitFor([&] { return host.read(kSpeakers, true) == 1; }));
  pressKey(d, VK_SPACE);
  EXPECT_TRUE(waitFor([&] { return host.read(kSpeakers, true) == 0; }));
  EXPECT_FALSE(checked(d, kMasterMute));
}

TEST(VolumeDialog, SliderDragAndMuteClicksReachTheMixer) {
  Host host("8");
  ASSERT_TRUE(host.write(kSpeakers, false, 65535));
  ASSERT_TRUE(host.write(kSpeakers, true, 0));
  HWND d = host.open('V');
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(sliderPos(d, kMasterSlider), 0);

  // The thumb sits at the top of the channel; drag it to the middle of the slider.
  RECT s = windowRect(GetDlgItem(d, kMasterSlider));
  const int x = (s.left + s.right) / 2;
  ASSERT_TRUE(dragScreen(d, {x, s.top + 13}, {x, (s.top + s.bottom) / 2}, ""));
  ASSERT_TRUE(waitFor([&] { return host.read(kSpeakers, false) < 65535; }));
  const LRESULT pos = sliderPos(d, kMasterSlider);
  EXPECT_NEAR(pos, kSteps / 2, kSteps / 8);
  expectVolume(host.read(kSpeakers, false), (kSteps - pos) * kStepSize, "master after drag");
  EXPECT_TRUE(enabled(d, kMasterSlider));

  struct Row { int box; DWORD line; LRESULT muted; };
  const Row clicks[] = {{kMasterMute, kSpeakers, 1}, {kMasterMute, kSpeakers, 0}, {kBuzMute, kWaveOut, -2}};
  for (const Row& r : clicks) {
    HWND box = GetDlgItem(d, r.box);
    RECT b = clientRect(box);
    const bool before = checked(d, r.box);
    click(box, 6, b.bottom / 2);
    EXPECT_TRUE(waitFor([&] { return checked(d, r.box) != before; })) << "box " << r.box;
    if (r.muted >= 0) {
      EXPECT_TRUE(waitFor([&] { return host.read(r.line, true) == r.muted; })) << r.box;
    }
    EXPECT_TRUE(enabled(d, r.box)) << "the mixer took the value of box " << r.box;
    EXPECT_NE(host.dialog(0), nullptr) << "a click on a box leaves the dialog open";
  }
  // Reopened, the dialog shows what the drag wrote.
  pressKey(d, VK_ESCAPE);
  ASSERT_TRUE(host.waitClosed());
  d = host.open('V');
  ASSERT_NE(d, nullptr);
  EXPECT_NEAR(sliderPos(d, kMasterSlider), pos, 1);
}

TEST(VolumeDialog, EveryClosingPathClosesTheMixer) {
  Host host("8");
  struct Row { const char* how; std::function<void(HWND)> close; bool closes; };
  const Row rows[] = {
      {"left click on the background", [](HWND d) { click(d, 2, clientRect(d).bottom - 2); }, true},
      {"right click on the background", [](HWND d) { click(d, 2, clientRect(d).bottom - 2, true); }, true},
      {"click on a label", [](HWND d) { click(d, 10, 8); }, true},
      {"Esc", [](HWND d) { pressKey(d, VK_ESCAPE); }, true},
      {"Enter", [](HWND d) { pressKey(d, VK_RETURN); }, true},
      {"click on a slider", [](HWND d) {
         HWND s = GetDlgItem(d, kBuzSlider);
         click(s, clientRect(s).right / 2, clientRect(s).bottom - 4);
       }, false},
  };
  for (const Row& r : rows) {
    HWND d = host.open('V');
    ASSERT_NE(d, nullptr) << r.how;
    EXPECT_TRUE(host.mixerOpen()) << r.how;
    r.close(d);
    if (r.closes) {
      EXPECT_TRUE(host.waitClosed()) << r.how;
      EXPECT_FALSE(host.mixerOpen()) << r.how;
    } else {
      Sleep(500);
      EXPECT_NE(host.dialog(0), nullptr) << r.how;
      pressKey(d, VK_ESCAPE);
      EXPECT_TRUE(host.waitClosed()) << r.how;
    }
  }
}

TEST(VolumeDialog, MissingBuzLineDisablesOnlyTheBuzControls) {
  Host host("");  // the default BuzMixerLine, line in, which Wine's mixer lacks
  HWND d = host.open('V');
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(enabled(d, kMasterSlider));
  EXPECT_TRUE(enabled(d, kMasterMute));
  EXPECT_FALSE(enabled(d, kBuzSlider));
  EXPECT_FALSE(enabled(d, kBuzMute));
  EXPECT_EQ(focusOf(d), GetDlgItem(d, kMasterSlider));
}

// The Buz keys on the speakers line, the one whose values Wine reads back.
TEST(VolumeKeys, KeypadStepsTheBuzLevel) {
  Host host("type=4");
  struct Row { DWORD start; WORD key; bool ctrl; LRESULT level; };
  const Row rows[] = {
      {40000, VK_ADD, false, 1},     {40000, VK_SUBTRACT, false, -1},
      {40000, VK_ADD, true, 8},      {40000, VK_SUBTRACT, true, -8},
      {65535, VK_ADD, false, 0},     // already at the top level
      {5 * 341 + 200, VK_SUBTRACT, true, -5},
      {0, VK_SUBTRACT, false, 0},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(host.write(kSpeakers, false, r.start));
    const LRESULT level = host.read(kSpeakers, false) / kStepSize;
    const int beeps = beepsDuring([&] {
      if (r.ctrl) pressKey(host.main, r.key, {VK_CONTROL}); else pressKey(host.main, r.key);
    }, 0);
    const LRESULT expected = std::min<LRESULT>(std::max<LRESULT>(level + r.level, 0), kSteps) * kStepSize;
    waitFor([&] { return host.read(kSpeakers, false) <= expected && host.read(kSpeakers, false) >= expected - 1; }, 3000);
    expectVolume(host.read(kSpeakers, false), expected,
                 "start " + std::to_string(r.start) + (r.ctrl ? " Ctrl" : "") + " key " + std::to_string(r.key));
    EXPECT_EQ(beeps, 0) << "start " << r.start;
    EXPECT_FALSE(host.mixerOpen());
  }
}

// Wine reads a written volume back a little low; the level is read to the nearest step,
// so every press moves it, however many follow one another.
TEST(VolumeKeys, RepeatedPressesMoveTheLevelEveryTime) {
  Host host("type=4");
  ASSERT_TRUE(host.write(kSpeakers, false, 100 * kStepSize));
  struct Row { WORD key; bool ctrl; int times; LRESULT level; };
  const Row rows[] = {{VK_ADD, false, 5, 105}, {VK_SUBTRACT, true, 1, 97}, {VK_SUBTRACT, true, 1, 89},
                      {VK_SUBTRACT, false, 3, 86}};
  for (const Row& r : rows) {
    for (int i = 0; i < r.times; ++i) {
      if (r.ctrl) pressKey(host.main, r.key, {VK_CONTROL}); else pressKey(host.main, r.key);
    }
    const LRESULT expected = r.level * kStepSize;
    waitFor([&] { return host.read(kSpeakers, false) <= expected && host.read(kSpeakers, false) >= expected - 1; }, 3000);
    expectVolume(host.read(kSpeakers, false), expected, "level " + std::to_string(r.level));
  }
}

TEST(VolumeKeys, DeleteMutesAndInsertUnmutesTheBuzLine) {
  Host host("type=4");
  ASSERT_TRUE(host.write(kSpeakers, true, 0));
  struct Row { WORD key; bool ctrl; LRESULT muted; };
  const Row rows[] = {{VK_DELETE, false, 1}, {VK_DELETE, false, 1}, {VK_INSERT, false, 0},
                      {VK_INSERT, false, 0}, {VK_DELETE, true, 1},  {VK_INSERT, true, 0}};
  for (const Row& r : rows) {
    const int beeps = beepsDuring([&] {
      if (r.ctrl) pressKey(host.main, r.key, {VK_CONTROL}); else pressKey(host.main, r.key);
    }, 0);
    EXPECT_TRUE(waitFor([&] { return host.read(kSpeakers, true) == r.muted; }, 3000)) << r.key << " ctrl " << r.ctrl;
    EXPECT_EQ(beeps, 0) << r.key;
  }
  EXPECT_FALSE(host.mixerOpen());
}

TEST(VolumeKeys, WaveOutBuzLineTakesEveryKeyWithoutABeep) {
  Host host("8");
  const WORD keys[] = {VK_ADD, VK_SUBTRACT, VK_DELETE, VK_INSERT};
  for (WORD key : keys) EXPECT_EQ(beepsDuring([&] { pressKey(host.main, key); }, 0), 0) << key;
  EXPECT_FALSE(host.mixerOpen());
}

TEST(VolumeKeys, MissingBuzLineBeepsOncePerKey) {
  Host host("");
  ASSERT_TRUE(host.write(kSpeakers, false, 40000));
  const LRESULT master = host.read(kSpeakers, false);
  struct Row { WORD key; bool ctrl; };
  const Row rows[] = {{VK_ADD, false}, {VK_SUBTRACT, true}, {VK_DELETE, false}, {VK_INSERT, true}};
  for (const Row& r : rows) {
    const int beeps = beepsDuring([&] {
      if (r.ctrl) pressKey(host.main, r.key, {VK_CONTROL}); else pressKey(host.main, r.key);
    }, 1);
    EXPECT_EQ(beeps, 1) << r.key;
    EXPECT_FALSE(host.mixerOpen()) << r.key;
  }
  EXPECT_EQ(host.read(kSpeakers, false), master) << "the master line is left alone";
}

TEST(VolumeKeys, NoSoundDriverMeansNoMixer) {
  NoAudioDriver noAudio;
  Host host("8");
  ASSERT_NE(host.main, nullptr);
  ASSERT_EQ(SendMessageA(host.main, kHostMixerDevices, 0, 0), 0);
  EXPECT_EQ(beepsDuring([&] { pressKey(host.main, 'V'); }, 1), 1);
  EXPECT_EQ(host.dialog(1000), nullptr) << "no Volume dialog without a mixer";
  const WORD keys[] = {VK_ADD, VK_SUBTRACT, VK_DELETE, VK_INSERT};
  for (WORD key : keys) EXPECT_EQ(beepsDuring([&] { pressKey(host.main, key); }, 1), 1) << key;
  EXPECT_FALSE(host.mixerOpen());
}

// ---- About and Help

std::string controlText(HWND d, int id) { return windowText(GetDlgItem(d, id)); }

HWND childWithText(HWND d, const std::string& text) {
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (windowText(c) == text) return c;
  return nullptr;
}

// The static control of the given SS_ type (SS_ICON, SS_BITMAP); its picture must be loaded.
HWND pictureControl(HWND d, LONG type) {
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if ((windowStyle(c) & SS_TYPEMASK) == type) return c;
  return nullptr;
}

void expectPicture(HWND d, LONG type, int width, int height, const char* what) {
  HWND picture = pictureControl(d, type);
  ASSERT_NE(picture, nullptr) << what;
  const UINT get = type == SS_ICON ? STM_GETICON : STM_GETIMAGE;
  EXPECT_NE(SendMessageA(picture, get, type == SS_ICON ? 0 : IMAGE_BITMAP, 0), 0) << what << " loaded";
  RECT r = clientRect(picture);
  EXPECT_EQ(r.right, width) << what;
  EXPECT_EQ(r.bottom, height) << what;
}

TEST(AboutAndHelp, AboutShowsNameOverBuildStamp) {
  Host host("8");
  HWND d = host.open('A', 400, 300);
  ASSERT_NE(d, nullptr);
  POINT c = centreOf(d);
  EXPECT_LE(std::abs(c.x - 400), 2);
  EXPECT_LE(std::abs(c.y - 300), 2);
  HWND name = childWithText(d, "Vistrel v1.0 beta");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(controlText(d, 124), "15 Jul 00   05:55:55");
  EXPECT_GT(windowRect(GetDlgItem(d, 124)).top, windowRect(name).top);
  expectPicture(d, SS_ICON, 16, 16, "smiling face");
  EXPECT_EQ(windowText(d), "");
  EXPECT_EQ(windowStyle(d) & (WS_CAPTION | WS_SYSMENU | WS_POPUP | WS_BORDER), WS_POPUP | WS_BORDER);
}

TEST(AboutAndHelp, HelpHasTheKeySummaryAndNoStamp) {
  Host host("8");
  HWND d = host.open(VK_F1);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(GetDlgItem(d, 124), nullptr);
  EXPECT_NE(childWithText(d, "[Ctrl+]Arrow keys - stretch/shrink window\n[Ctrl+]Shift+Arrow keys - move window\n"
                             "[Ctrl+]Keypad+/- - change Buz volume\nIns/Del - unmute/mute Buz\n"
                             "F12 - window/fullscreen\nF1 - (surprise, surprise!) help\nF10 - popup menu\n"
                             "Hold Shift key while resizing window with\nmouse to preserve default aspect ratio"),
            nullptr);
  EXPECT_NE(childWithText(d, "It may be necessary to reenable SECAM after each capture action"), nullptr);
  expectPicture(d, SS_BITMAP, 79, 58, "keypad picture");
  expectPicture(d, SS_ICON, 16, 16, "frowning face");
}

TEST(AboutAndHelp, EveryClosingPath) {
  Host host("8");
  struct Row { WORD open; const char* how; std::function<void(HWND)> close; };
  auto summary = [](HWND d) { return GetWindow(d, GW_CHILD); };
  const Row rows[] = {
      {VK_F1, "right click on the key summary", [&](HWND d) { click(summary(d), 20, 5, true); }},
      {VK_F1, "left click on the keypad picture", [](HWND d) {
         HWND p = GetWindow(GetWindow(d, GW_CHILD), GW_HWNDNEXT);
         click(p, 5, 5);
       }},
      {'A', "left click on the name", [](HWND d) { click(childWithText(d, "Vistrel v1.0 beta"), 10, 4); }},
      {'A', "right click on the background", [](HWND d) { click(d, 2, 2, true); }},
      {'A', "Esc", [](HWND d) { pressKey(d, VK_ESCAPE); }},
      {VK_F1, "Enter", [](HWND d) { pressKey(d, VK_RETURN); }},
  };
  for (const Row& r : rows) {
    HWND d = host.open(r.open);
    ASSERT_NE(d, nullptr) << r.how;
    r.close(d);
    EXPECT_TRUE(host.waitClosed()) << r.how;
  }
}

// ---- The shared look, seen on the screen

TEST(DialogLook, GreyBackgroundLightBlueTextWhiteFrame) {
  Host host("8");
  const struct { WORD key; const char* name; } boxes[] = {{'A', "about"}, {VK_F1, "help"}, {'V', "volume"}};
  for (const auto& box : boxes) {
    HWND d = host.open(box.key, 500, 500);
    ASSERT_NE(d, nullptr) << box.name;
    Sleep(500);
    const ScreenPixels shot = screenPixels();
    ASSERT_GT(shot.width, 0) << box.name;
    const RECT r = windowRect(d);
    const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    const POINT frame[] = {{midX, r.top}, {midX, r.bottom - 1}, {r.left, midY}, {r.right - 1, midY},
                           {r.left, r.top}, {r.right - 1, r.bottom - 1}};
    for (POINT p : frame) EXPECT_EQ(shot.at(p.x, p.y), RGB(255, 255, 255)) << box.name << " frame at " << p.x << "," << p.y;
    EXPECT_EQ(shot.at(r.left + 1, r.bottom - 2), RGB(96, 96, 96)) << box.name << " background";
    int text = 0, grey = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
      for (int x = r.left + 1; x < r.right - 1; ++x) {
        text += shot.at(x, y) == RGB(96, 192, 255);
        grey += shot.at(x, y) == RGB(96, 96, 96);
      }
    EXPECT_GT(text, 20) << box.name << " light blue text";
    EXPECT_GT(grey, (r.right - r.left) * (r.bottom - r.top) / 2) << box.name << " mostly dark grey";
    pressKey(d, VK_ESCAPE);
    ASSERT_TRUE(host.waitClosed()) << box.name;
  }
}

// Wine repaints a dialog's border in its own colours when the dialog is activated again;
// the frame stays white after each return.
TEST(DialogLook, FrameStaysWhiteWhenTheBoxIsActivatedAgain) {
  Host host("8");
  HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  const struct { WORD key; const char* name; } boxes[] = {{'A', "about"}, {VK_F1, "help"}, {'V', "volume"}};
  for (const auto& box : boxes) {
    HWND d = host.open(box.key, 500, 500);
    ASSERT_NE(d, nullptr) << box.name;
    const RECT r = windowRect(d);
    const POINT frame[] = {{(r.left + r.right) / 2, r.top}, {r.left, (r.top + r.bottom) / 2},
                           {r.right - 1, r.bottom - 1}};
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(bringToFront(other)) << box.name;
      ASSERT_TRUE(bringToFront(d)) << box.name;
      DWORD_PTR ignored;
      SendMessageTimeoutA(d, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &ignored);  // its activation is handled
      ScreenPixels shot;
      EXPECT_TRUE(waitFor([&] {
        shot = screenPixels();
        for (POINT p : frame)
          if (shot.at(p.x, p.y) != RGB(255, 255, 255)) return false;
        return true;
      }, 3000)) << box.name << " round " << round << ": frame at the top is 0x" << std::hex
                << shot.at(frame[0].x, frame[0].y);
    }
    pressKey(d, VK_ESCAPE);
    ASSERT_TRUE(host.waitClosed()) << box.name;
  }
  DestroyWindow(other);
}

}  // namespace

