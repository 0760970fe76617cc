// Private messages between the Wine tests and the stand-in main window (dialog_host.exe).
// Wine keeps mixer values per process, so the tests read and write the mixer through the
// host: these answer with the host's own winmm calls, apart from the code under test.
#pragma once
#include <windows.h>

// wParam: LOWORD component type, HIWORD 0 = volume, 1 = mute. Answer: the value, or -1.
constexpr UINT kHostReadMixer = WM_APP + 1;
// As kHostReadMixer, with lParam the value to write. Answer: 1 on success, 0 on failure.
constexpr UINT kHostWriteMixer = WM_APP + 2;
// Answer: 1 while the code under test holds a mixer device open.
constexpr UINT kHostMixerOpen = WM_APP + 3;
// Answer: mixerGetNumDevs in the host.
constexpr UINT kHostMixerDevices = WM_APP + 4;

constexpr WPARAM hostControl(DWORD componentType, bool mute) {
  return MAKEWPARAM(componentType, mute ? 1 : 0);
}
