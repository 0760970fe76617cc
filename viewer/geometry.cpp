// PLACEHOLDER: built by the window geometry work; empty until then.
#include "viewer/geometry.h"

void applyTopmost(HWND) {}
void toggleFullScreen(HWND) {}
void fillSizeLimits(MINMAXINFO*) {}
void onClientResized(HWND, int, int) {}
void correctAspectDrag(HWND, int, RECT*) {}
void restoreAspectRatio(HWND) {}
void setPredefinedSize(HWND, int) {}
void stepWindow(HWND, int, int) {}
void placeWindow(HWND, WPARAM) {}
