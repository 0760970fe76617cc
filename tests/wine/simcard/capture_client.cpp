// A small viewer-like client of the capture service, for tests and for looking at the picture:
// a window "SimcardClient" whose client area is covered by a capture window, connected to
// driver 0 with overlay and scale on. Arguments: client width and height (default 720 576).
// The capture window follows the client size; WM_CONTEXTMENU sets the title "context menu".
#include <windows.h>

#include <vfw.h>

#include <cstdlib>

namespace {

HWND capture = nullptr;

LRESULT CALLBACK clientProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      RECT r;
      GetClientRect(w, &r);
      capture = capCreateCaptureWindowA("capture", WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom, w, 0);
      if (!capture) return -1;
      CAPDRIVERCAPS caps{};
      if (!SendMessageA(capture, WM_CAP_DRIVER_CONNECT, 0, 0) ||
          !SendMessageA(capture, WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps)) ||
          !SendMessageA(capture, WM_CAP_SET_OVERLAY, 1, 0) || !SendMessageA(capture, WM_CAP_SET_SCALE, 1, 0))
        return -1;
      return 0;
    }
    case WM_SIZE:
      if (capture) MoveWindow(capture, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_CONTEXTMENU:
      SetWindowTextA(w, "context menu");
      return 0;
    case WM_DESTROY:
      if (capture) {
        SendMessageA(capture, WM_CAP_DRIVER_DISCONNECT, 0, 0);
        DestroyWindow(capture);
      }
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int show) {
  int width = 720, height = 576;
  if (args && *args) {
    char* end = nullptr;
    width = static_cast<int>(strtol(args, &end, 10));
    height = static_cast<int>(strtol(end, nullptr, 10));
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = clientProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "SimcardClient";
  RegisterClassA(&wc);
  RECT r = {0, 0, width, height};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND w = CreateWindowA("SimcardClient", "capture client", WS_OVERLAPPEDWINDOW, 0, 0, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  if (!w) return 1;
  ShowWindow(w, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
