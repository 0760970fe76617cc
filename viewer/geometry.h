// Window geometry and full screen: size limits, size title, aspect-ratio drag,
// predefined sizes, keyboard stretch, move and placement, topmost and full screen.
#pragma once
#include <windows.h>

void applyTopmost(HWND mainWindow);
void toggleFullScreen(HWND mainWindow);
void fillSizeLimits(MINMAXINFO* info);                           // WM_GETMINMAXINFO
void onClientResized(HWND mainWindow, int width, int height);    // WM_SIZE, while captureWindow exists
void correctAspectDrag(HWND mainWindow, int edge, RECT* dragged);  // WM_SIZING with Shift down
void restoreAspectRatio(HWND mainWindow);                        // command 110
void setPredefinedSize(HWND mainWindow, int divisor);            // commands 120 to 123: 1, 2, 4, 6
void stepWindow(HWND mainWindow, int dx, int dy);                // arrows: move with Shift, else stretch
void placeWindow(HWND mainWindow, WPARAM key);                   // Home, End, Page Up, Page Down, Clear
// The top-left corner for a window of this size at (x, y): kept when the window would show on
// some monitor, else the top-left of the nearest monitor's work area.
POINT positionOnAMonitor(int x, int y, int width, int height);
