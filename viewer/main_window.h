// The viewer's main window: a frame around the capture window, with the popup menu,
// keys and commands.
#pragma once
#include <windows.h>

extern const char kMainWindowClass[];  // "Vistrel", also the single-instance identity

void registerMainWindowClass();
// Creates the main window at the saved position with the saved client size, moved onto a
// monitor when it would show on none; null on failure.
HWND createMainWindow();
// The shutdown steps of WM_DESTROY, Exit and the end of a session: capture window torn down,
// a minimized window restored, settings saved, quit message posted. Runs once per process,
// however often it is asked for.
void shutDown(HWND mainWindow);
