// The capture window: the capture service's child window that shows the card's live
// video by overlay, scaled to the main window's client area.
#pragma once
#include <windows.h>

// Sends a capture message to the capture window; 0 without sending when there is none.
LRESULT sendToCapture(UINT message, WPARAM wParam, LPARAM lParam);
// Creates the capture window over the client area of mainWindow and connects driver 0
// with overlay and scaling; false when any step fails.
bool createCaptureWindow(HWND mainWindow);
// Disconnects the driver and destroys the capture window; safe when there is none.
void destroyCaptureWindow();

// The capture commands of the popup menu.
void showSourceDialog();       // 100
void showFormatDialog();       // 101
void showDisplayDialog();      // 102
void showCompressionDialog();  // 103
// 108 and 109 report whether the driver did it; the menu and keys do not look.
bool toggleFreeze();     // 108
bool grabToClipboard();  // 109: the frame on screen
// The frame Grab would copy, written by the driver as a DIB file (a .bmp) at path; false when
// there is no capture window or the driver could not.
bool saveFrameDib(const char* path);

// The box shown when the capture window cannot be set up.
void showCaptureFailure();
