// The Volume dialog: master and Buz line sliders and mute boxes.
#pragma once
#include <windows.h>

INT_PTR CALLBACK volumeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
