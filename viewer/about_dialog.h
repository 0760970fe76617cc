// The About and Help boxes, and the look the viewer's dialogs share: no caption, light
// blue text on dark grey, a one-pixel white frame, closed by a click on the box.
#pragma once
#include <windows.h>

constexpr COLORREF kDialogBackground = RGB(96, 96, 96);
constexpr COLORREF kDialogText = RGB(96, 192, 255);
constexpr COLORREF kDialogFrame = RGB(255, 255, 255);
constexpr char kBuildStamp[] = "15 Jul 00   05:55:55";

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Centres a dialog on the mouse pointer, inside the pointer's monitor work area, as the
// DS_CENTERMOUSE style asks (Wine places the dialog's top left corner at the pointer).
void centreOnPointer(HWND dialog);
// The one-pixel white frame around a whole dialog window (WM_NCPAINT).
void drawDialogFrame(HWND dialog);
// Answer to WM_NCACTIVATE: the default handling, then the white frame again.
INT_PTR answerNcActivate(HWND dialog, WPARAM wParam, LPARAM lParam);
// Answer to WM_CTLCOLORDLG and WM_CTLCOLORSTATIC: sets the shared colours on dc and
// hands out the viewer's dialogBrush.
INT_PTR answerDialogColour(HDC dc);
