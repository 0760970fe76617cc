// Window geometry and full screen of the main window. The arithmetic is in geometry_rules.
#include "viewer/geometry.h"

#include "viewer/geometry_rules.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/viewer_state.h"

namespace {

// SetWindowPos flag sets.
constexpr UINT kResize = SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOCOPYBITS;  // 0x0146
constexpr UINT kMove = SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOCOPYBITS;    // 0x0145
constexpr UINT kChildSize = SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOCOPYBITS;            // 0x0144
constexpr UINT kPlace = SWP_NOZORDER | SWP_SHOWWINDOW;                                 // 0x0044
constexpr UINT kZOrderOnly = SWP_NOSIZE | SWP_NOMOVE;                                  // 0x0003
constexpr UINT kTaskbar = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW;                      // 0x000B
static_assert(kResize == 0x0146 && kMove == 0x0145 && kChildSize == 0x0144 && kPlace == 0x0044 &&
              kZOrderOnly == 0x0003 && kTaskbar == 0x000B);

constexpr int kTitleSize = 100;

bool shiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

ScreenSize frameExtra() { return {viewerState.frameExtraWidth, viewerState.frameExtraHeight}; }

ScreenRect toScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT toRect(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

RECT windowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

RECT clientRect(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return r;
}

// Sets the window to a client size, the top-left corner staying.
void resizeClient(HWND mainWindow, ScreenSize client) {
  SetWindowPos(mainWindow, nullptr, 0, 0, client.width + viewerState.frameExtraWidth,
               client.height + viewerState.frameExtraHeight, kResize);
}

// The taskbar stays above a full-screen window while it is topmost; it is lowered once.
void lowerTaskbar() {
  HWND taskbar = FindWindowA("Shell_TrayWnd", "");
  if (taskbar && (GetWindowLongA(taskbar, GWL_EXSTYLE) & WS_EX_TOPMOST))
    SetWindowPos(taskbar, HWND_NOTOPMOST, 0, 0, 0, 0, kTaskbar);
}

void enterFullScreen(HWND mainWindow) {
  SetWindowPos(mainWindow, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  viewerState.windowedRect = windowRect(mainWindow);
  // Border and caption lie outside the screen; the client area is the whole screen.
  RECT target{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  AdjustWindowRectEx(&target, WS_OVERLAPPEDWINDOW, FALSE, 0);
  if (viewerSettings.hideTaskbar) lowerTaskbar();
  SetWindowPos(mainWindow, nullptr, target.left, target.top, target.right - target.left,
               target.bottom - target.top, kPlace);
}

void leaveFullScreen(HWND mainWindow) {
  const RECT& r = viewerState.windowedRect;
  SetWindowPos(mainWindow, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, kPlace);
}

// Shift places on the whole primary screen, otherwise on the work area, which leaves out the taskbar.
RECT placementArea() {
  if (shiftDown()) return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

}  // namespace

void applyTopmost(HWND mainWindow) {
  SetWindowPos(mainWindow, viewerSettings.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
}

void toggleFullScreen(HWND mainWindow) {
  applyTopmost(mainWindow);
  RECT client = clientRect(mainWindow);
  viewerState.windowedClientWidth = client.right;
  viewerState.windowedClientHeight = client.bottom;
  viewerSettings.fullscreen = !viewerSettings.fullscreen;
  if (viewerSettings.fullscreen)
    enterFullScreen(mainWindow);
  else
    leaveFullScreen(mainWindow);
}

void fillSizeLimits(MINMAXINFO* info) {
  const ViewerSettings& s = viewerSettings;
  POINT largest{s.frameWidth + viewerState.frameExtraWidth, s.frameHeight + viewerState.frameExtraHeight};
  info->ptMaxSize = largest;
  info->ptMaxTrackSize = largest;
  info->ptMinTrackSize = {s.minWidth + viewerState.frameExtraWidth, s.minHeight + viewerState.frameExtraHeight};
}

void onClientResized(HWND mainWindow, int width, int height) {
  char title[kTitleSize];
  if (formatSizeTitle(title, sizeof title, width, height, viewerSettings.fullscreen)) SetWindowTextA(mainWindow, title);
  SetWindowPos(viewerState.captureWindow, nullptr, 0, 0, width, height, kChildSize);
}

void correctAspectDrag(HWND, int edge, RECT* dragged) {
  *dragged = toRect(aspectDragRect(toScreenRect(*dragged), edge, frameExtra(), viewerSettings.ntsc));
}

void restoreAspectRatio(HWND mainWindow) {
  RECT client = clientRect(mainWindow);
  resizeClient(mainWindow, restoredAspectClient({client.right, client.bottom}, viewerSettings.ntsc));
}

void setPredefinedSize(HWND mainWindow, int divisor) {
  if (viewerSettings.fullscreen) SendMessageA(mainWindow, WM_COMMAND, CMD_FULL_SCREEN, 0);
  resizeClient(mainWindow, predefinedClient({viewerSettings.frameWidth, viewerSettings.frameHeight}, divisor));
}

void stepWindow(HWND mainWindow, int dx, int dy) {
  RECT r = windowRect(mainWindow);
  if (shiftDown()) {
    SetWindowPos(mainWindow, nullptr, r.left + dx, r.top + dy, 0, 0, kMove);
    return;
  }
  ScreenRect s = stretchedRect(toScreenRect(r), dx, dy);
  SetWindowPos(mainWindow, nullptr, 0, 0, s.right - s.left, s.bottom - s.top, kResize);
}

void placeWindow(HWND mainWindow, WPARAM key) {
  RECT area = placementArea();
  RECT r = windowRect(mainWindow);
  ScreenPoint corner{};
  if (!placedCorner(toScreenRect(area), {r.right - r.left, r.bottom - r.top}, static_cast<unsigned>(key), &corner))
    return;
  SetWindowPos(mainWindow, nullptr, corner.x, corner.y, 0, 0, kMove);
}

POINT positionOnAMonitor(int x, int y, int width, int height) {
  RECT window{x, y, x + width, y + height};
  if (MonitorFromRect(&window, MONITOR_DEFAULTTONULL)) return {x, y};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor);
  return {monitor.rcWork.left, monitor.rcWork.top};
}
