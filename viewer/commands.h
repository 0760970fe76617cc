// The viewer's command table: menu items and accelerators (WM_COMMAND).
#pragma once
#include <windows.h>

// Runs command id for the main window; false when id is not a viewer command.
bool runCommand(HWND mainWindow, int id);
