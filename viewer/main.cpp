// Entry of vistrel: single instance, settings, main window and the message loop.
#include <windows.h>

#include "viewer/main_window.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/viewer_state.h"

ViewerState viewerState;

namespace {

constexpr char kInstanceMutex[] = "Vistrel single instance";
constexpr int kFirstWindowWaitMs = 5000;

void bringForward(HWND running) {
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  BringWindowToTop(running);
  SetForegroundWindow(running);
}

// A second start only brings the running viewer forward. Two starts at the same moment may
// both look before either has its window, so a named mutex tells them apart; the one that
// finds it taken waits a while for the first one's window.
bool bringRunningViewerForward() {
  CreateMutexA(nullptr, FALSE, kInstanceMutex);  // held until the process ends
  bool first = GetLastError() != ERROR_ALREADY_EXISTS;
  HWND running = FindWindowA(kMainWindowClass, nullptr);
  for (DWORD start = GetTickCount(); !first && !running && GetTickCount() - start < kFirstWindowWaitMs;) {
    Sleep(50);
    running = FindWindowA(kMainWindowClass, nullptr);
  }
  if (running) bringForward(running);
  return running || !first;
}

void computeFrameExtras() {
  viewerState.frameExtraWidth = 2 * GetSystemMetrics(SM_CXFRAME);
  viewerState.frameExtraHeight = 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
}

void loadResources() {
  viewerState.viewerMenu = LoadMenuA(viewerState.instance, MAKEINTRESOURCEA(IDR_VIEWER_MENU));
  viewerState.dialogBrush = CreateSolidBrush(RGB(96, 96, 96));
  viewerState.accelerators = LoadAcceleratorsA(viewerState.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
}

void runMessageLoop(HWND mainWindow) {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(mainWindow, viewerState.accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  viewerState.instance = GetModuleHandleA(nullptr);
  if (bringRunningViewerForward()) return 0;
  loadSettings();
  computeFrameExtras();
  registerMainWindowClass();
  loadResources();
  if (HWND mainWindow = createMainWindow()) {
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    UpdateWindow(mainWindow);
    runMessageLoop(mainWindow);
  }
  DestroyMenu(viewerState.viewerMenu);
  DeleteObject(viewerState.dialogBrush);
  return 0;
}
