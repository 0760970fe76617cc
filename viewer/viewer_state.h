// The viewer's run-time state, never persisted.
#pragma once
#include <windows.h>

struct ViewerState {
  HINSTANCE instance = nullptr;
  HMENU viewerMenu = nullptr;
  HACCEL accelerators = nullptr;
  HBRUSH dialogBrush = nullptr;  // RGB(96, 96, 96): background of the About, Help and Volume dialogs
  int frameExtraWidth = 0;       // window width minus client width
  int frameExtraHeight = 0;      // window height minus client height
  HWND captureWindow = nullptr;
  bool frozen = false;
  RECT windowedRect{};  // window rectangle saved on entering full screen
  int windowedClientWidth = 0;
  int windowedClientHeight = 0;
};

extern ViewerState viewerState;
