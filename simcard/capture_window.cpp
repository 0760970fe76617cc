#include "simcard/capture_window.h"

#include <vfw.h>

#include <cstdio>
#include <vector>

#include "simcard/capture_dialogs.h"
#include "simcard/capture_rules.h"
#include "simcard/picture_rules.h"
#include "simcard/shared_decoder.h"
#include "simcard/sim_env.h"

namespace simcard {
namespace {

constexpr char kClassName[] = "SimcardCaptureWindow";
constexpr char kLog[] = "capture.log";
constexpr UINT_PTR kFrameTimer = 1;

struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[kPaletteSize];
};

// The frame as it is drawn: an 8-bit top-down DIB section, so GDI can write the clock into
// it with the fixed base palette while the screen gets the adjusted one.
struct Frame {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HFONT font = nullptr;
  std::uint8_t* bits = nullptr;
  int width = 0, height = 0, stride = 0;
  DibInfo shown{};  // header and the adjusted colours of the last rendered frame
};

struct Capture {
  HINSTANCE dll = nullptr;
  SharedDecoder decoder;
  CaptureFaults faults;
  CaptureDialogs dialogs;
  bool connected = false, overlay = false, scale = false, showing = false;
  int clientWidth = 0, clientHeight = 0;
  Frame frame;  // the frame last taken, by overlay or a grab: what the window shows
};

Capture* captureOf(HWND w) { return reinterpret_cast<Capture*>(GetWindowLongPtrA(w, GWLP_USERDATA)); }

// ---- Frame rendering

void releaseFrame(Frame& f) {
  if (f.dc) {
    SelectObject(f.dc, f.oldBitmap);
    DeleteDC(f.dc);
  }
  if (f.bitmap) DeleteObject(f.bitmap);
  if (f.font) DeleteObject(f.font);
  f = Frame{};
}

bool prepareFrame(Frame& f, int width, int height) {
  if (f.bits && f.width == width && f.height == height) return true;
  releaseFrame(f);
  DibInfo info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = width;
  info.header.biHeight = -height;  // top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biClrUsed = kPaletteSize;
  const Palette& base = basePalette();
  for (int i = 0; i < kPaletteSize; ++i) info.colours[i] = {base[i].b, base[i].g, base[i].r, 0};
  void* bits = nullptr;
  f.bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  f.dc = CreateCompatibleDC(nullptr);
  if (!f.bitmap || !f.dc || !bits) {
    releaseFrame(f);
    return false;
  }
  f.oldBitmap = SelectObject(f.dc, f.bitmap);
  f.font = CreateFontA(-height / 10, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                       FIXED_PITCH | FF_MODERN, "Courier New");
  SelectObject(f.dc, f.font);
  SetBkMode(f.dc, TRANSPARENT);
  SetTextColor(f.dc, RGB(255, 255, 255));
  f.bits = static_cast<std::uint8_t*>(bits);
  f.width = width;
  f.height = height;
  f.stride = (width + 3) & ~3;
  f.shown = info;
  return true;
}

void drawCaptionBand(Frame& f, const PatternLayout& l, const VideoStandard& standard, unsigned frameIndex) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char clock[32];
  snprintf(clock, sizeof clock, "%02u:%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond,
           frameIndex % static_cast<unsigned>(standard.fps));
  RECT band = {f.width / 24, l.rampBottom, f.width - f.width / 24, f.height};
  DrawTextA(f.dc, clock, -1, &band, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  DrawTextA(f.dc, standard.name, -1, &band, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Takes one frame from the simulated card into the DIB section.
bool renderFrame(Capture& c) {
  Registers regs = c.decoder.snapshot();
  VideoStandard standard = videoStandard(regs);
  if (!prepareFrame(c.frame, standard.width, standard.height)) return false;
  unsigned frameIndex = static_cast<unsigned>(GetTickCount() * static_cast<unsigned long long>(standard.fps) / 1000);
  PatternLayout layout = patternLayout(standard.width, standard.height, frameIndex, standard.fps);
  GdiFlush();
  renderPattern(c.frame.bits, c.frame.width, c.frame.height, c.frame.stride, layout);
  drawCaptionBand(c.frame, layout, standard, frameIndex);
  GdiFlush();
  Palette palette = adjustedPalette(pictureControls(regs));
  for (int i = 0; i < kPaletteSize; ++i) c.frame.shown.colours[i] = {palette[i].b, palette[i].g, palette[i].r, 0};
  return true;
}

Palette shownPalette(const Frame& f) {
  Palette p{};
  for (int i = 0; i < kPaletteSize; ++i) p[i] = {f.shown.colours[i].rgbRed, f.shown.colours[i].rgbGreen, f.shown.colours[i].rgbBlue};
  return p;
}

// Takes one frame into the frame buffer and shows it, as a driver does whether overlay runs
// or not.
bool grab(HWND w, Capture& c) {
  if (!renderFrame(c)) return false;
  c.showing = true;
  InvalidateRect(w, nullptr, FALSE);
  return true;
}

// ---- Painting

void paint(HWND w, Capture& c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  RECT client;
  GetClientRect(w, &client);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (!c.showing || !c.frame.bits) {
    FillRect(dc, &client, black);
  } else {
    const Frame& f = c.frame;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(&f.shown);
    SetStretchBltMode(dc, COLORONCOLOR);
    int width = c.scale ? client.right : f.width;
    int height = c.scale ? client.bottom : f.height;
    StretchDIBits(dc, 0, 0, width, height, 0, 0, f.width, f.height, f.bits, info, DIB_RGB_COLORS, SRCCOPY);
    RECT right = {width, 0, client.right, client.bottom}, below = {0, height, width, client.bottom};
    FillRect(dc, &right, black);
    FillRect(dc, &below, black);
  }
  EndPaint(w, &ps);
}

void startOverlay(HWND w, Capture& c) {
  c.overlay = true;
  renderFrame(c);
  c.showing = true;
  InvalidateRect(w, nullptr, FALSE);
  SetTimer(w, kFrameTimer, 1000 / videoStandard(c.decoder.snapshot()).fps, nullptr);
}

void stopOverlay(HWND w, Capture& c) {
  c.overlay = false;
  KillTimer(w, kFrameTimer);
}

void onFrameTimer(HWND w, Capture& c) {
  if (!c.overlay) return;
  int fps = videoStandard(c.decoder.snapshot()).fps;
  renderFrame(c);
  SetTimer(w, kFrameTimer, 1000 / fps, nullptr);  // follows a change of standard
  InvalidateRect(w, nullptr, FALSE);
}

// ---- WM_CAP_* messages

LRESULT onConnect(HWND w, Capture& c, WPARAM index) {
  if (index != 0 || c.faults.noDriver || !c.decoder.open()) return FALSE;
  c.connected = true;
  InvalidateRect(w, nullptr, FALSE);
  return TRUE;
}

LRESULT onDisconnect(HWND w, Capture& c) {
  if (!c.connected) return FALSE;
  stopOverlay(w, c);
  c.connected = c.showing = false;
  InvalidateRect(w, nullptr, FALSE);
  return TRUE;
}

LRESULT onGetCaps(Capture& c, WPARAM size, LPARAM record) {
  if (!c.connected || c.faults.noCaps || !record || size == 0) return FALSE;
  CAPDRIVERCAPS caps{};
  caps.wDeviceIndex = 0;
  caps.fHasOverlay = TRUE;
  caps.fHasDlgVideoSource = c.dialogs.source;
  caps.fHasDlgVideoFormat = c.dialogs.format;
  caps.fHasDlgVideoDisplay = c.dialogs.display;
  caps.fCaptureInitialized = TRUE;
  memcpy(reinterpret_cast<void*>(record), &caps, size < sizeof caps ? size : sizeof caps);
  return TRUE;
}

// Copies the frame last shown; before any, one is grabbed.
LRESULT onCopy(HWND w, Capture& c) {
  if (!c.connected || (!c.frame.bits && !grab(w, c))) return FALSE;
  const Frame& f = c.frame;
  std::vector<std::uint8_t> dib = packedDib24(f.bits, f.width, f.height, f.stride, shownPalette(f));
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  if (!mem) return FALSE;
  memcpy(GlobalLock(mem), dib.data(), dib.size());
  GlobalUnlock(mem);
  if (!OpenClipboard(w)) {
    GlobalFree(mem);
    return FALSE;
  }
  EmptyClipboard();
  bool placed = SetClipboardData(CF_DIB, mem) != nullptr;
  CloseClipboard();
  if (!placed) GlobalFree(mem);
  return placed;
}

// Writes the frame last shown (grabbing one first when there is none), as onCopy copies it, as a
// DIB file at path. Like a driver, it leaves what it wrote when a write fails.
LRESULT onSaveDib(HWND w, Capture& c, const char* path) {
  if (!c.connected || !path || (!c.frame.bits && !grab(w, c))) return FALSE;
  const Frame& f = c.frame;
  std::vector<std::uint8_t> dib = packedDib24(f.bits, f.width, f.height, f.stride, shownPalette(f));
  BITMAPFILEHEADER head{};
  head.bfType = 0x4D42;  // "BM"
  head.bfSize = static_cast<DWORD>(sizeof head + dib.size());
  head.bfOffBits = sizeof head + sizeof(BITMAPINFOHEADER);
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD headWritten = 0, dibWritten = 0;
  bool written = WriteFile(file, &head, sizeof head, &headWritten, nullptr) && headWritten == sizeof head &&
                 WriteFile(file, dib.data(), static_cast<DWORD>(dib.size()), &dibWritten, nullptr) &&
                 dibWritten == dib.size();
  return CloseHandle(file) && written;
}

LRESULT onDialog(HWND w, Capture& c, UINT msg) {
  if (!c.connected) return FALSE;
  Registers regs = c.decoder.snapshot();
  VideoStandard standard = videoStandard(regs);
  switch (msg) {
    case WM_CAP_DLG_VIDEOSOURCE:
      if (!c.dialogs.source) return FALSE;
      showSourceDialog(c.dll, w, c.decoder);
      break;
    case WM_CAP_DLG_VIDEOFORMAT:
      if (!c.dialogs.format) return FALSE;
      showFormatDialog(c.dll, w, standard.width, standard.height);
      break;
    case WM_CAP_DLG_VIDEODISPLAY:
      if (!c.dialogs.display) return FALSE;
      showDisplayDialog(c.dll, w, c.overlay, c.scale);
      break;
    default:
      showCompressionDialog(c.dll, w);
  }
  return TRUE;
}

LRESULT onCaptureMessage(HWND w, Capture& c, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CAP_DRIVER_CONNECT: return onConnect(w, c, wp);
    case WM_CAP_DRIVER_DISCONNECT: return onDisconnect(w, c);
    case WM_CAP_DRIVER_GET_CAPS: return onGetCaps(c, wp, lp);
    case WM_CAP_SET_OVERLAY:
      if (!c.connected || (wp && c.faults.noOverlay)) return FALSE;
      if (wp) startOverlay(w, c);
      else stopOverlay(w, c);
      return TRUE;
    case WM_CAP_SET_SCALE:
      if (!c.connected || (wp && c.faults.noScale)) return FALSE;
      c.scale = wp != 0;
      InvalidateRect(w, nullptr, FALSE);
      return TRUE;
    case WM_CAP_GRAB_FRAME:
      if (!c.connected) return FALSE;
      stopOverlay(w, c);
      return grab(w, c);
    case WM_CAP_GRAB_FRAME_NOSTOP:
      return c.connected && grab(w, c);
    case WM_CAP_EDIT_COPY: return onCopy(w, c);
    case WM_CAP_FILE_SAVEDIB: return onSaveDib(w, c, reinterpret_cast<const char*>(lp));
    case WM_CAP_DLG_VIDEOSOURCE:
    case WM_CAP_DLG_VIDEOFORMAT:
    case WM_CAP_DLG_VIDEODISPLAY:
    case WM_CAP_DLG_VIDEOCOMPRESSION: return onDialog(w, c, msg);
  }
  return FALSE;
}

// ---- Window

void onSize(HWND w, Capture& c) {
  RECT r;
  GetClientRect(w, &r);
  if (r.right == c.clientWidth && r.bottom == c.clientHeight) return;
  c.clientWidth = r.right;
  c.clientHeight = r.bottom;
  appendLog(kLog, "size " + std::to_string(r.right) + " " + std::to_string(r.bottom));
  InvalidateRect(w, nullptr, FALSE);
}

LRESULT CALLBACK captureProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Capture* c = captureOf(w);
  if (msg >= WM_CAP_START && msg < WM_CAP_START + 0x100 && c) {
    LRESULT result = onCaptureMessage(w, *c, msg, wp, lp);
    appendLog(kLog, captureLogLine(msg, static_cast<unsigned long>(wp), static_cast<long>(result)));
    return result;
  }
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      c = static_cast<Capture*>(cs->lpCreateParams);
      SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));
      c->clientWidth = cs->cx;
      c->clientHeight = cs->cy;
      appendLog(kLog, "create " + std::to_string(cs->x) + " " + std::to_string(cs->y) + " " +
                          std::to_string(cs->cx) + " " + std::to_string(cs->cy));
      break;
    }
    case WM_SIZE:
      if (c) onSize(w, *c);
      return 0;
    case WM_TIMER:
      if (c && wp == kFrameTimer) onFrameTimer(w, *c);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (c) {
        paint(w, *c);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      if (c) {
        appendLog(kLog, "destroy");
        KillTimer(w, kFrameTimer);
        releaseFrame(c->frame);
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        delete c;
      }
      break;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

template <class T>
T fromEnvironment(const char* name, std::optional<T> (*parse)(std::string_view)) {
  auto text = envText(name);
  if (!text) return T{};
  auto value = parse(*text);
  return value ? *value : T{};
}

}  // namespace

HWND createCaptureWindow(HINSTANCE dll, const char* name, DWORD style, int x, int y, int width, int height,
                         HWND parent, int id) {
  CaptureFaults faults = fromEnvironment<CaptureFaults>("SIMCARD_CAPTURE", parseCaptureFaults);
  if (faults.noWindow) return nullptr;
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = captureProc;
    wc.hInstance = dll;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    registered = RegisterClassA(&wc) != 0;
    if (!registered) return nullptr;
  }
  auto* c = new Capture;
  c->dll = dll;
  c->faults = faults;
  c->dialogs = fromEnvironment<CaptureDialogs>("SIMCARD_CAPTURE_DIALOGS", parseCaptureDialogs);
  HWND w = CreateWindowExA(0, kClassName, name, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), dll, c);
  return w;  // the window owns c from WM_NCCREATE on and frees it at WM_NCDESTROY
}

}  // namespace simcard
