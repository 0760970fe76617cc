// The viewer's popup menu ("MyMenu", the first submenu of menu 200).
#pragma once
#include <windows.h>

// Brings the items' state up to date and shows the popup at the position that
// WM_CONTEXTMENU carries (screen coordinates; both -1 for a keyboard request).
void showPopupMenu(HWND mainWindow, LPARAM position);
