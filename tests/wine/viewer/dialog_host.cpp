// A stand-in main window for testing the viewer's dialogs and volume keys before and apart
// from the real main window: it opens the About, Help and Volume dialogs on commands 104,
// 106 and 114 (F1 and V too) and sends the keypad, Insert and Delete keys to the volume
// keys. Its command line sets "BuzMixerLine" as a number (default 2), or, as "type=N", the
// Buz line's component type itself (the tests use the speakers, 4, whose values Wine keeps).
// It also answers the private messages of dialog_host_protocol.h.
#include <windows.h>

#include <mmsystem.h>

#include <cstdlib>
#include <cstring>

#include "tests/wine/viewer/dialog_host_protocol.h"
#include "viewer/about_dialog.h"
#include "viewer/mixer/mixer.h"
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

// The control named by a kHostReadMixer/kHostWriteMixer wParam, on its own mixer handle.
static bool hostControlDetails(HMIXER mixer, WPARAM which, DWORD* value, MIXERCONTROLDETAILS& details) {
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = LOWORD(which);
  if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE))
    return false;
  MIXERCONTROLA control{};
  MIXERLINECONTROLSA controls{};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = HIWORD(which) ? MIXERCONTROL_CONTROLTYPE_MUTE : MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                            MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE))
    return false;
  details = MIXERCONTROLDETAILS{};
  details.cbStruct = sizeof details;
  details.dwControlID = control.dwControlID;
  details.cChannels = 1;
  details.cbDetails = sizeof *value;
  details.paDetails = value;
  return true;
}

static LRESULT hostMixer(UINT message, WPARAM which, LPARAM lParam) {
  HMIXER mixer = nullptr;
  if (mixerOpen(&mixer, 0, 0, 0, CALLBACK_NULL)) return message == kHostReadMixer ? -1 : 0;
  DWORD value = static_cast<DWORD>(lParam);
  MIXERCONTROLDETAILS details;
  LRESULT answer = message == kHostReadMixer ? -1 : 0;
  if (hostControlDetails(mixer, which, &value, details)) {
    auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    if (message == kHostReadMixer && !mixerGetControlDetailsA(object, &details, 0)) answer = value;
    if (message == kHostWriteMixer && !mixerSetControlDetails(object, &details, 0)) answer = 1;
  }
  mixerClose(mixer);
  return answer;
}

static LRESULT CALLBACK hostProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (onKey(w, wParam)) return 0;
      break;
    case WM_COMMAND:
      openDialog(w, LOWORD(wParam));
      return 0;
    case kHostReadMixer:
    case kHostWriteMixer:
      return hostMixer(message, wParam, lParam);
    case kHostMixerOpen:
      return mixerHandle != nullptr;
    case kHostMixerDevices:
      return mixerGetNumDevs();
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  viewerState.instance = instance;
  viewerState.dialogBrush = CreateSolidBrush(RGB(96, 96, 96));
  if (std::strncmp(commandLine, "type=", 5) == 0)
    viewerSettings.buzMixerLine = std::atoi(commandLine + 5);
  else if (*commandLine)
    viewerSettings.buzMixerLine = 0x1000 + std::atoi(commandLine);
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
