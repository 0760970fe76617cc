// Test-only stand-in for the platform's taskbar: a topmost strip along the bottom of the
// screen, class "Shell_TrayWnd", no title. It ends on WM_CLOSE.
// With the argument "resetdisplay" it only resets the display settings and ends: Wine reads the
// work area (_NET_WORKAREA) once per process, so a fresh process must publish a new one.
#include <windows.h>

#include <cstring>

static LRESULT CALLBACK trayProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

static void resetDisplay() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  ChangeDisplaySettingsExA(nullptr, &mode, nullptr, CDS_RESET, nullptr);
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR args, int) {
  if (std::strcmp(args, "resetdisplay") == 0) {
    resetDisplay();
    return 0;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = trayProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = "Shell_TrayWnd";
  RegisterClassA(&wc);
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, cy - 40, cx, 40,
                           nullptr, nullptr, inst, nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
