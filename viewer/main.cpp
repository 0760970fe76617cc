// Entry of vistrel: single instance, settings, main window and the message loop.
#include <windows.h>

#include "viewer/main_window.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/switch_rules.h"
#include "viewer/switches.h"
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

struct RunningViewer {
  bool found;   // another viewer runs or is starting
  HWND window;  // its main window; null when it did not show one in time
};

// Two starts at the same moment may both look before either has its window, so a named mutex
// tells them apart; the one that finds it taken waits a while for the first one's window.
RunningViewer findRunningViewer() {
  CreateMutexA(nullptr, FALSE, kInstanceMutex);  // held until the process ends
  bool first = GetLastError() != ERROR_ALREADY_EXISTS;
  HWND running = FindWindowA(kMainWindowClass, nullptr);
  for (DWORD start = GetTickCount(); !first && !running && GetTickCount() - start < kFirstWindowWaitMs;) {
    Sleep(50);
    running = FindWindowA(kMainWindowClass, nullptr);
  }
  return {running || !first, running};
}

// A second start without switches only brings the running viewer forward; with switches it
// hands them over and ends with their outcome.
int leaveToRunningViewer(const RunningViewer& running) {
  if (hasStartSwitches()) return running.window ? handSwitchesTo(running.window) : kSwitchFailed;
  if (running.window) bringForward(running.window);
  return 0;
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

// Bad switches end the start before anything is done. With no viewer running, the viewer
// starts and carries out its switches once its window runs; it ends with their outcome.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  viewerState.instance = GetModuleHandleA(nullptr);
  if (!readStartSwitches(commandLine)) return kBadSwitch;
  RunningViewer running = findRunningViewer();
  if (running.found) return leaveToRunningViewer(running);
  if (startSwitchesNeedRunningViewer()) return kNoViewer;
  loadSettings();
  computeFrameExtras();
  registerMainWindowClass();
  loadResources();
  if (HWND mainWindow = createMainWindow()) {
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    UpdateWindow(mainWindow);
    if (hasStartSwitches()) PostMessageA(mainWindow, kRunStartSwitches, 0, 0);
    runMessageLoop(mainWindow);
  }
  DestroyMenu(viewerState.viewerMenu);
  DeleteObject(viewerState.dialogBrush);
  return startSwitchesOutcome();
}
