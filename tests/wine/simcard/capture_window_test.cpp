// avicap32.dll (the capture stand-in) under Wine, used in this process as the viewer uses it:
// the window it creates, every WM_CAP_* effect the viewer relies on, its log and its faults.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"

#include <vfw.h>

using namespace harness;

namespace {

constexpr char kServer[] = "I2CDriverWindow";

// A top-level window standing in for the viewer's main window.
struct Host {
  HWND window = nullptr;
  HWND capture = nullptr;

  explicit Host(int clientWidth, int clientHeight) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "CaptureHost";
      registered = RegisterClassA(&wc) != 0;
    }
    // Shown without activation: destroying an active top-level window makes Wine wait 2 s
    // for the missing window manager.
    window = CreateWindowExA(WS_EX_NOACTIVATE, "CaptureHost", "host", WS_POPUP, 0, 0, clientWidth, clientHeight,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }
  ~Host() {
    if (capture && IsWindow(capture)) DestroyWindow(capture);
    DestroyWindow(window);
  }
  HWND create(int x, int y, int w, int h, int id = 0) {
    capture = capCreateCaptureWindowA("BUZ Dead", WS_CHILD | WS_VISIBLE, x, y, w, h, window, id);
    return capture;
  }
  // Creation as the viewer does it: covering the client area, driver 0, overlay and scale on.
  bool startLive() {
    RECT r;
    GetClientRect(window, &r);
    return create(0, 0, r.right, r.bottom) && send(WM_CAP_DRIVER_CONNECT) && send(WM_CAP_SET_OVERLAY, 1) &&
           send(WM_CAP_SET_SCALE, 1);
  }
  LRESULT send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(capture, msg, wp, lp); }
};

// The capture window's pixels as they are on screen, 32 bits each.
std::vector<DWORD> windowPixels(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(w);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + r.right * r.bottom);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(w, screen);
  return pixels;
}

DWORD pixelAt(HWND w, int x, int y) {
  RECT r;
  GetClientRect(w, &r);
  return windowPixels(w)[y * r.right + x] & 0xFFFFFF;
}

bool pictureChanges(HWND w, int withinMs) {
  std::vector<DWORD> first = windowPixels(w);
  return waitFor([&] { return windowPixels(w) != first; }, withinMs);
}

// Pumps messages for ms, so that the capture window gets its frame timer.
void pumpFor(int ms) {
  DWORD end = GetTickCount() + ms;
  waitFor([&] { return GetTickCount() >= end; }, ms + 1000);
}

struct DibFacts {
  int width = 0, height = 0, bits = 0;
  size_t size = 0;
  double meanLuma = 0;
  bool grey = true;
};

DibFacts clipboardFacts() {
  std::vector<unsigned char> dib = clipboardDib();
  DibFacts f;
  if (dib.size() < 40) return f;
  auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  f.width = h->biWidth;
  f.height = h->biHeight;
  f.bits = h->biBitCount;
  f.size = dib.size();
  size_t rowBytes = (f.width * 3 + 3) & ~3;
  if (f.bits != 24 || dib.size() < 40 + rowBytes * f.height) return f;
  double sum = 0;
  for (int y = 0; y < f.height; ++y) {
    const unsigned char* row = dib.data() + 40 + rowBytes * y;
    for (int x = 0; x < f.width; ++x) {
      int b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
      sum += 0.299 * r + 0.587 * g + 0.114 * b;
      if (r != g || g != b) f.grey = false;
    }
  }
  f.meanLuma = sum / (static_cast<double>(f.width) * f.height);
  return f;
}

// The I2C server of the sandbox, for writes to the shared chip.
struct Server {
  Process process;
  HWND window = nullptr;
  explicit Server(Sandbox& box) : process(box.start("busgate.drv")) { window = waitWindow(kServer, kServer); }
  ~Server() {
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    process.waitExit(5000);
  }
  bool write(unsigned sub, unsigned value) {
    DWORD_PTR reply = 0;
    return SendMessageTimeoutA(window, WM_USER + 900, sub, value, SMTO_NORMAL, 3000, &reply) &&
           ((reply >> 8) & 0xFF) == 0xAA;
  }
};

DibFacts grabAndCopy(Host& host) {
  host.send(WM_CAP_GRAB_FRAME_NOSTOP);
  host.send(WM_CAP_EDIT_COPY);
  return clipboardFacts();
}

// Acts on a dialog of this process once it shows, from inside its modal loop.
std::function<void(HWND)> dialogAction;
std::string dialogTitle;
void CALLBACK dialogTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindWindowA("#32770", dialogTitle.c_str());
  if (!dlg) return;
  KillTimer(nullptr, id);
  dialogAction(dlg);
}
void onDialog(const std::string& title, std::function<void(HWND)> action) {
  dialogTitle = title;
  dialogAction = std::move(action);
  SetTimer(nullptr, 0, 100, dialogTimer);
}
void pressButton(HWND dlg, int id) { SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

}  // namespace

TEST(CaptureWindow, IsTheChildAskedForAndLogsEveryMessage) {
  Sandbox box;
  Host host(400, 300);
  HWND w = host.create(10, 20, 320, 240, 7);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(GetParent(w), host.window);
  EXPECT_EQ(GetDlgCtrlID(w), 7);
  EXPECT_EQ(windowText(w), "BUZ Dead");
  EXPECT_TRUE(windowStyle(w) & WS_CHILD);
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, host.window, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 330);
  EXPECT_EQ(r.bottom, 260);

  EXPECT_EQ(host.send(WM_CAP_DRIVER_CONNECT, 1), 0) << "only driver 0 exists";
  EXPECT_EQ(host.send(WM_CAP_DRIVER_CONNECT, 0), 1);
  CAPDRIVERCAPS caps;
  memset(&caps, 0xCC, sizeof caps);
  ASSERT_EQ(sizeof caps, 44u);
  EXPECT_EQ(host.send(WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps)), 1);
  EXPECT_EQ(caps.wDeviceIndex, 0u);
  EXPECT_TRUE(caps.fHasOverlay);
  EXPECT_EQ(host.send(WM_CAP_SET_OVERLAY, 1), 1);
  EXPECT_EQ(host.send(WM_CAP_SET_SCALE, 1), 1);
  MoveWindow(w, 0, 0, 400, 300, TRUE);
  MoveWindow(w, 0, 0, 400, 300, TRUE);  // the same size again: no line
  EXPECT_EQ(host.send(WM_CAP_DRIVER_DISCONNECT), 1);
  DestroyWindow(w);
  std::vector<std::string> expected = {"create 10 20 320 240", "DRIVER_CONNECT 1 -> 0", "DRIVER_CONNECT 0 -> 1",
                                       "DRIVER_GET_CAPS 44 -> 1", "SET_OVERLAY 1 -> 1", "SET_SCALE 1 -> 1",
                                       "size 400 300", "DRIVER_DISCONNECT 0 -> 1", "destroy"};
  EXPECT_EQ(completeLines(box.log("capture.log")), expected);
}

TEST(CaptureWindow, InjectedFaultsFailTheirStep) {
  struct Row {
    const char* fault;
    bool window, connect, caps, overlay, scale;
  } rows[] = {
      {"no-window", false, false, false, false, false}, {"no-driver", true, false, false, false, false},
      {"no-caps", true, true, false, true, true},         {"no-overlay", true, true, true, false, true},
      {"no-scale", true, true, true, true, false},         {"", true, true, true, true, true},
  };
  for (const Row& r : rows) {
    Sandbox box;
    ScopedEnv fault("SIMCARD_CAPTURE", r.fault);
    Host host(200, 150);
    HWND w = host.create(0, 0, 200, 150);
    EXPECT_EQ(w != nullptr, r.window) << r.fault;
    if (!w) continue;
    CAPDRIVERCAPS caps{};
    EXPECT_EQ(host.send(WM_CAP_DRIVER_CONNECT) != 0, r.connect) << r.fault;
    EXPECT_EQ(host.send(WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps)) != 0, r.caps) << r.fault;
    EXPECT_EQ(host.send(WM_CAP_SET_OVERLAY, 1) != 0, r.overlay) << r.fault;
    EXPECT_EQ(host.send(WM_CAP_SET_SCALE, 1) != 0, r.scale) << r.fault;
  }
}

TEST(CaptureWindow, CapabilitiesNameTheDialogsOffered) {
  struct Row {
    const char* dialogs;  // null: not set
    BOOL source, format, display;
  } rows[] = {{nullptr, 1, 1, 1}, {"source,format,display", 1, 1, 1}, {"source", 1, 0, 0},
              {"format,display", 0, 1, 1}, {"", 0, 0, 0}};
  for (const Row& r : rows) {
    Sandbox box;
    ScopedEnv dialogs("SIMCARD_CAPTURE_DIALOGS", r.dialogs);
    Host host(200, 150);
    ASSERT_NE(host.create(0, 0, 200, 150), nullptr);
    host.send(WM_CAP_DRIVER_CONNECT);
    CAPDRIVERCAPS caps{};
    ASSERT_EQ(host.send(WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps)), 1);
    const char* name = r.dialogs ? r.dialogs : "(unset)";
    EXPECT_EQ(caps.fHasDlgVideoSource, r.source) << name;
    EXPECT_EQ(caps.fHasDlgVideoFormat, r.format) << name;
    EXPECT_EQ(caps.fHasDlgVideoDisplay, r.display) << name;
  }
}

TEST(CaptureWindow, LivePictureMovesFreezeStopsItOverlayRestartsIt) {
  Sandbox box;
  Host host(360, 288);
  ASSERT_TRUE(host.startLive());
  EXPECT_TRUE(pictureChanges(host.capture, 2000)) << "overlay shows a moving picture";
  EXPECT_EQ(host.send(WM_CAP_GRAB_FRAME_NOSTOP), 1);
  EXPECT_TRUE(pictureChanges(host.capture, 2000)) << "grab without stop leaves overlay on";
  EXPECT_EQ(host.send(WM_CAP_GRAB_FRAME), 1);
  pumpFor(200);
  EXPECT_FALSE(pictureChanges(host.capture, 1200)) << "a grabbed frame stands still";
  EXPECT_EQ(host.send(WM_CAP_EDIT_COPY), 1);
  EXPECT_FALSE(pictureChanges(host.capture, 600)) << "copying while frozen keeps the picture";
  std::vector<DWORD> frozen = windowPixels(host.capture);
  EXPECT_EQ(host.send(WM_CAP_GRAB_FRAME_NOSTOP), 1);
  EXPECT_TRUE(waitFor([&] { return windowPixels(host.capture) != frozen; }, 2000))
      << "a grab while overlay is stopped shows the new frame";
  pumpFor(200);
  EXPECT_FALSE(pictureChanges(host.capture, 600)) << "and the picture stands still again";
  EXPECT_EQ(host.send(WM_CAP_SET_OVERLAY, 1), 1);
  EXPECT_TRUE(pictureChanges(host.capture, 2000));
  EXPECT_EQ(host.send(WM_CAP_SET_OVERLAY, 0), 1);
  pumpFor(200);
  EXPECT_FALSE(pictureChanges(host.capture, 800)) << "overlay off stops the picture";
}

TEST(CaptureWindow, ScaleStretchesThePictureOrShowsItAtTheTopLeft) {
  Sandbox box;
  Host host(800, 660);
  ASSERT_TRUE(host.startLive());
  pumpFor(300);
  int rampY = 576 * 66 / 100, beyond = 790;  // the grey ramp ends white at the right
  int scaledRampY = 660 * 66 / 100;
  EXPECT_NE(pixelAt(host.capture, beyond, scaledRampY), 0u) << "scaled: the picture reaches the right edge";
  EXPECT_EQ(host.send(WM_CAP_SET_SCALE, 0), 1);
  pumpFor(300);
  EXPECT_EQ(pixelAt(host.capture, beyond, rampY), 0u) << "unscaled: nothing right of 720";
  EXPECT_NE(pixelAt(host.capture, 715, rampY), 0u) << "unscaled: the frame's own right edge";
}

TEST(CaptureWindow, CopyGivesA24BitDibOfTheFrameSize) {
  Sandbox box;
  Host host(300, 200);
  ASSERT_TRUE(host.startLive());
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(host.send(WM_CAP_GRAB_FRAME_NOSTOP), 1);
  EXPECT_EQ(host.send(WM_CAP_EDIT_COPY), 1);
  DibFacts f = clipboardFacts();
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.height, 576);
  EXPECT_EQ(f.bits, 24);
  EXPECT_EQ(f.size, 40u + 720 * 3 * 576);

  Server server(box);
  ASSERT_NE(server.window, nullptr);
  ASSERT_TRUE(server.write(0x08, 0xC8));  // 60 Hz fields: NTSC frame
  f = grabAndCopy(host);
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.height, 480);
}

TEST(CaptureWindow, PictureFollowsTheSharedDecoder) {
  Sandbox box;
  Server server(box);
  ASSERT_NE(server.window, nullptr);
  Host host(360, 288);
  ASSERT_TRUE(host.startLive());
  DibFacts powerOn = grabAndCopy(host);
  EXPECT_TRUE(powerOn.grey) << "COLO is off at power-on";

  ASSERT_TRUE(server.write(0x11, 0x1D));  // colour on
  DibFacts colour = grabAndCopy(host);
  EXPECT_FALSE(colour.grey);
  EXPECT_NEAR(colour.meanLuma, powerOn.meanLuma, 3.0);

  ASSERT_TRUE(server.write(0x0A, 0xFF));  // brightness
  DibFacts bright = grabAndCopy(host);
  EXPECT_GT(bright.meanLuma, colour.meanLuma + 60) << colour.meanLuma << " -> " << bright.meanLuma;

  ASSERT_TRUE(server.write(0x11, 0x1C));  // colour off again
  EXPECT_TRUE(grabAndCopy(host).grey);

  ASSERT_TRUE(server.write(0x0A, 0x80));
  ASSERT_TRUE(server.write(0x11, 0x1D));
  ASSERT_TRUE(server.write(0x0C, 0x00));  // saturation 0
  EXPECT_TRUE(grabAndCopy(host).grey);
}

TEST(CaptureWindow, DriverDialogsAreModalAndSourceSetsTheStandard) {
  Sandbox box;
  Host host(300, 200);
  ASSERT_TRUE(host.startLive());
  onDialog("Video Source", [](HWND dlg) {
    pressButton(dlg, 1002);  // NTSC
    pressButton(dlg, IDOK);
  });
  EXPECT_EQ(host.send(WM_CAP_DLG_VIDEOSOURCE), 1);
  std::string chip = readFile(box.path("decoder.bin"));
  ASSERT_EQ(chip.size(), 32u);
  EXPECT_EQ(chip[0x08] & 0x40, 0x40) << "NTSC: 60 Hz fields";
  EXPECT_EQ(chip[0x0E] & 0x70, 0x00);
  EXPECT_EQ(grabAndCopy(host).height, 480);

  onDialog("Video Source", [](HWND dlg) {
    pressButton(dlg, 1003);  // SECAM
    pressButton(dlg, IDCANCEL);
  });
  EXPECT_EQ(host.send(WM_CAP_DLG_VIDEOSOURCE), 1);
  EXPECT_EQ(readFile(box.path("decoder.bin"))[0x0E] & 0x70, 0x00) << "Cancel writes nothing";

  struct Row {
    UINT msg;
    const char* title;
  } rows[] = {{WM_CAP_DLG_VIDEOFORMAT, "Video Format"},
              {WM_CAP_DLG_VIDEODISPLAY, "Video Display"},
              {WM_CAP_DLG_VIDEOCOMPRESSION, "Video Compression"}};
  for (const Row& r : rows) {
    bool seen = false;
    onDialog(r.title, [&](HWND dlg) {
      seen = true;
      pressButton(dlg, IDOK);
    });
    EXPECT_EQ(host.send(r.msg), 1) << r.title;
    EXPECT_TRUE(seen) << r.title;
  }
  EXPECT_EQ(countLinesStartingWith(box.log("capture.log"), "DLG_VIDEOSOURCE 0 -> 1"), 2);
  EXPECT_EQ(countLinesStartingWith(box.log("capture.log"), "DLG_VIDEOCOMPRESSION 0 -> 1"), 1);
}

TEST(CaptureWindow, DialogsNotOfferedAreNotShown) {
  Sandbox box;
  ScopedEnv dialogs("SIMCARD_CAPTURE_DIALOGS", "");
  Host host(300, 200);
  ASSERT_TRUE(host.startLive());
  EXPECT_EQ(host.send(WM_CAP_DLG_VIDEOSOURCE), 0);
  EXPECT_EQ(host.send(WM_CAP_DLG_VIDEOFORMAT), 0);
  EXPECT_EQ(host.send(WM_CAP_DLG_VIDEODISPLAY), 0);
  onDialog("Video Compression", [](HWND dlg) { pressButton(dlg, IDOK); });
  EXPECT_EQ(host.send(WM_CAP_DLG_VIDEOCOMPRESSION), 1);
}

TEST(CaptureWindow, ZeroSizeIsValid) {
  Sandbox box;
  Host host(300, 200);
  HWND w = host.create(0, 0, 0, 0);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(host.send(WM_CAP_DRIVER_CONNECT), 1);
  EXPECT_EQ(host.send(WM_CAP_SET_OVERLAY, 1), 1);
  EXPECT_EQ(host.send(WM_CAP_SET_SCALE, 1), 1);
  pumpFor(300);
  MoveWindow(w, 0, 0, 100, 80, TRUE);
  MoveWindow(w, 0, 0, 0, 0, TRUE);
  pumpFor(100);
  std::string log = box.log("capture.log");
  EXPECT_EQ(countLinesStartingWith(log, "create 0 0 0 0"), 1);
  EXPECT_EQ(countLinesStartingWith(log, "size 100 80"), 1);
  EXPECT_EQ(countLinesStartingWith(log, "size 0 0"), 1);
}

TEST(CaptureWindow, RightButtonReleaseReachesTheParentAsContextMenu) {
  Sandbox box;
  box.copyTestProgram("capture_client.exe");
  Process client = box.start("capture_client.exe", "360 288");
  HWND w = waitWindow("SimcardClient", nullptr);
  ASSERT_NE(w, nullptr);
  click(w, 180, 140, true);
  EXPECT_TRUE(waitTitle(w, "context menu")) << windowText(w);
  PostMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(client.waitExit(), 0);
  EXPECT_EQ(countLinesStartingWith(box.log("capture.log"), "destroy"), 1);
}
