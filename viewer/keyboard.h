// The main window's keys (WM_KEYDOWN) that are not accelerators: Buz volume and mute,
// and, in window mode only, the placement and stretch/move keys.
#pragma once
#include <windows.h>

// Handles key for the main window; false when it goes to default processing.
bool handleKey(HWND mainWindow, WPARAM key);
