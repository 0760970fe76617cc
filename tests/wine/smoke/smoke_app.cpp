// Test-only program for the bench's own tests: reports Ctrl+K and a Shift-drag of its
// border in its title, beeps on B, ends with exit code 7.
#include <windows.h>

static LRESULT CALLBACK smokeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      if (wp == 'K') SetWindowTextA(w, GetKeyState(VK_CONTROL) < 0 ? "ctrl+k" : "k");
      if (wp == 'B') MessageBeep(0xFFFFFFFF);
      return 0;
    case WM_SIZING:
      if (GetKeyState(VK_SHIFT) < 0) SetWindowTextA(w, "sizing+shift");
      break;
    case WM_DESTROY:
      PostQuitMessage(7);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = smokeProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "SmokeApp";
  RegisterClassA(&wc);
  HWND w = CreateWindowA("SmokeApp", "smoke", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr, nullptr, inst, nullptr);
  ShowWindow(w, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
