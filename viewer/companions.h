// Companion programs beside the viewer: the SECAM switch and the register editor.
#pragma once
#include <windows.h>

// Full path of fileName in the viewer's own folder, into a 512-byte buffer.
bool companionPath(char* buffer, const char* fileName);
void runSecamCompanion();                  // command 107
bool confirmAdvancedUse(HWND mainWindow);  // the advanced-user warning before command 119
void runRegisterEditor();                  // command 119, after the warning
