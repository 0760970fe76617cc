// A stand-in main window for testing the viewer's dialogs and volume keys before and apart
// from the real main window: it opens the About, Help and Volume dialogs on commands 104,
// 106 and 114 (F1 and V too) and sends the keypad, Insert and Delete keys to the volume
// keys. Its command line sets "BuzMixerLine" as a number (default 2).
#include <windows.h>

#include <cstdlib>

#include "viewer/about_dialog.h"
#include "viewer/mixer/volume_dialog.h"
#include "viewer/mixer/volume_keys.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/viewer_state.h"

ViewerSettings viewerSettings;
ViewerState viewerState;

static void openDialog(HWND main, int command) {
  switch (command) {
    case CMD_ABOUT:
      DialogBoxParamA(viewerState.instance, MAKEINTRESOURCEA(IDD_ABOUT), main, aboutDialogProc, 1);
      break;
    case CMD_HELP:
      DialogBoxParamA(viewerState.instance, MAKEINTRESOURCEA(IDD_HELP), main, aboutDialogProc, 0);
      break;
    case CMD_VOLUME:
      initVolumeDialogClasses();
      DialogBoxParamA(viewerState.instance, MAKEINTRESOURCEA(IDD_VOLUME), main, volumeDialogProc, 0);
      break;
  }
}

static bool onKey(HWND main, WPARAM key) {
  const int times = GetKeyState(VK_CONTROL) < 0 ? 8 : 1;
  switch (key) {
    case VK_ADD: stepBuzVolume(times); return true;
    case VK_SUBTRACT: stepBuzVolume(-times); return true;
    case VK_DELETE: setBuzMute(1); return true;
    case VK_INSERT: setBuzMute(0); return true;
    case 'V': openDialog(main, CMD_VOLUME); return true;
    case VK_F1: openDialog(main, CMD_HELP); return true;
    case 'A': openDialog(main, CMD_ABOUT); return true;
    default: return false;
  }
}

static LRESULT CALLBACK hostProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (onKey(w, wParam)) return 0;
      break;
    case WM_COMMAND:
      openDialog(w, LOWORD(wParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  viewerState.instance = instance;
  viewerState.dialogBrush = CreateSolidBrush(RGB(96, 96, 96));
  if (commandLine && *commandLine) viewerSettings.buzMixerLine = 0x1000 + std::atoi(commandLine);
  WNDCLASSA cls{};
  cls.lpfnWndProc = hostProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = "VistrelDialogHost";
  RegisterClassA(&cls);
  CreateWindowA("VistrelDialogHost", "dialog host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                nullptr, nullptr, instance, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(viewerState.dialogBrush);
  return 0;
}
