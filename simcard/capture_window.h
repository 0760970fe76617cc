// The simulated capture window: a child window that answers the WM_CAP_* messages with
// driver 0, the simulated card, and shows its live picture.
#pragma once
#include <windows.h>

namespace simcard {

// capCreateCaptureWindowA's work: the window, or nullptr (SIMCARD_CAPTURE=no-window).
HWND createCaptureWindow(HINSTANCE dll, const char* name, DWORD style, int x, int y, int width, int height,
                         HWND parent, int id);

}  // namespace simcard
