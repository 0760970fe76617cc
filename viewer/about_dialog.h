// The About and Help boxes, and the look the viewer's dialogs share.
#pragma once
#include <windows.h>

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The one-pixel white frame around a whole dialog window (WM_NCPAINT).
void drawDialogFrame(HWND dialog);
