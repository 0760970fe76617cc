#include "viewer/main_window.h"

#include "viewer/beep.h"
#include "viewer/capture_window.h"
#include "viewer/commands.h"
#include "viewer/geometry.h"
#include "viewer/keyboard.h"
#include "viewer/popup_menu.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/switches.h"
#include "viewer/viewer_state.h"

const char kMainWindowClass[] = "Vistrel";

namespace {

bool shutDownDone = false;

bool keyDown(int key) { return GetKeyState(key) < 0; }

LRESULT onCreate(HWND w) {
  if (!createCaptureWindow(w)) {
    destroyCaptureWindow();
    beep();
    showCaptureFailure();
    return -1;
  }
  applyTopmost(w);
  if (viewerSettings.startFullscreen) SendMessageA(w, WM_COMMAND, CMD_FULL_SCREEN, 0);
  return 0;
}

void onActivate(HWND w, WPARAM wParam) {
  if (LOWORD(wParam) != 0 && HIWORD(wParam) != 0) ShowWindow(w, SW_RESTORE);
}

// A minimized window is restored before it closes, so the saved position is the restored one.
bool onCloseWhileMinimized(HWND w) {
  if (!IsIconic(w)) return false;
  ShowWindow(w, SW_RESTORE);
  PostMessageA(w, WM_CLOSE, 0, 0);
  return true;
}

// F10 opens the popup menu at the mouse pointer instead of entering the menu mode.
bool onSysKeyUp(HWND w, WPARAM key) {
  if (key != VK_F10) return false;
  POINT p;
  GetCursorPos(&p);
  SendMessageA(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(p.x, p.y));
  return true;
}

bool onSysCommand(HWND w, WPARAM wParam) {
  switch (wParam & 0xFFF0) {
    case SC_SCREENSAVE: return viewerSettings.disableScreenSaver;
    case SC_KEYMENU: return viewerSettings.fullscreen;
    case SC_MAXIMIZE:
      // From the taskbar the request may reach a minimized window: full screen is toggled
      // on the restored one, so that the windowed geometry is kept.
      if (IsIconic(w)) ShowWindow(w, SW_RESTORE);
      SendMessageA(w, WM_COMMAND, CMD_FULL_SCREEN, 0);
      return true;
    default: return false;
  }
}

LRESULT CALLBACK mainWindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return onCreate(w);
    case WM_DESTROY: shutDown(w); return 0;
    // Wine destroys a window whose WM_CREATE failed without sending it WM_DESTROY;
    // the last message it gets still runs the shutdown steps (once, as always).
    case WM_NCDESTROY: shutDown(w); break;
    case WM_SIZE:
      if (viewerState.captureWindow) onClientResized(w, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ACTIVATE: onActivate(w, wParam); break;
    case WM_CLOSE:
      if (onCloseWhileMinimized(w)) return 0;
      break;
    // At the end of a session the process is ended without its windows being destroyed.
    case WM_ENDSESSION:
      if (wParam) shutDown(w);
      return 0;
    case WM_GETMINMAXINFO: fillSizeLimits(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_WINDOWPOSCHANGING:
      if (viewerSettings.fullscreen) return 0;
      break;
    case WM_CONTEXTMENU: showPopupMenu(w, lParam); return 0;
    case WM_KEYDOWN:
      if (handleKey(w, wParam)) return 0;
      break;
    case WM_SYSKEYUP:
      if (onSysKeyUp(w, wParam)) return 0;
      break;
    case WM_COMMAND:
      if (runCommand(w, LOWORD(wParam))) return 0;
      break;
    case WM_SYSCOMMAND:
      if (onSysCommand(w, wParam)) return 0;
      break;
    case WM_SIZING:
      if (keyDown(VK_SHIFT)) {
        correctAspectDrag(w, static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
        return 0;
      }
      break;
    case WM_COPYDATA: return runHandedOverSwitches(w, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kRunStartSwitches: runStartSwitches(w); return 0;
  }
  return DefWindowProcA(w, message, wParam, lParam);
}

}  // namespace

void registerMainWindowClass() {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = mainWindowProc;
  wc.hInstance = viewerState.instance;
  wc.hIcon = LoadIconA(viewerState.instance, MAKEINTRESOURCEA(IDI_VISTREL));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kMainWindowClass;
  RegisterClassA(&wc);
}

HWND createMainWindow() {
  const ViewerSettings& s = viewerSettings;
  const int width = s.width + viewerState.frameExtraWidth, height = s.height + viewerState.frameExtraHeight;
  POINT at = positionOnAMonitor(s.x, s.y, width, height);
  return CreateWindowExA(0, kMainWindowClass, "BUZ Dead", WS_OVERLAPPEDWINDOW, at.x, at.y, width, height, nullptr,
                         nullptr, viewerState.instance, nullptr);
}

// Exit ends the message loop without destroying the window; the platform may still
// destroy it as the process ends, and that must not save the settings a second time.
void shutDown(HWND mainWindow) {
  if (shutDownDone) return;
  shutDownDone = true;
  destroyCaptureWindow();
  // The geometry saved is the restored window's, whichever way the viewer ends.
  if (!viewerSettings.fullscreen && IsIconic(mainWindow)) ShowWindow(mainWindow, SW_RESTORE);
  saveSettings(mainWindow);
  PostQuitMessage(0);
}
