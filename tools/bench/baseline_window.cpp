// The viewer's baseline: a minimal Win32 program that creates, shows and paints (grey on a
// black class background) one window of the client size given on its command line.
// Built a second time with BENCH_VIEWER_IMPORTS, it also imports the DLLs the viewer
// imports (the capture service, winmm), to show what loading them costs.
#include <windows.h>

#include <cstdlib>

#ifdef BENCH_VIEWER_IMPORTS
#include <mmsystem.h>
#include <vfw.h>
#endif

namespace {

#ifdef BENCH_VIEWER_IMPORTS
// Referenced, never called: the loader maps the DLLs at start as it does for the viewer.
void* volatile viewerImports[] = {reinterpret_cast<void*>(&capCreateCaptureWindowA),
                                  reinterpret_cast<void*>(&mixerGetNumDevs)};
#endif

void onPaint(HWND w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
  EndPaint(w, &ps);
}

LRESULT CALLBACK windowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      onPaint(w);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int) {
  char* rest = nullptr;
  int width = static_cast<int>(std::strtol(args, &rest, 10));
  int height = static_cast<int>(std::strtol(rest, nullptr, 10));
  if (width <= 0 || height <= 0) width = 360, height = 288;

  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = "BenchWindow";
  RegisterClassA(&wc);
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND w = CreateWindowExA(0, "BenchWindow", "Bench window", WS_OVERLAPPEDWINDOW, 0, 0, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  if (!w) return 1;
  ShowWindow(w, SW_SHOWNORMAL);
  UpdateWindow(w);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
