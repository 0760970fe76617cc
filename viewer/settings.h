// The viewer's options and start-up geometry, and the settings file that keeps them.
#pragma once
#include <windows.h>

// Paths are held in buffers of this many characters.
constexpr DWORD kSettingsPathSize = 512;

struct ViewerSettings {
  bool ntsc = false;
  BYTE secamCode = 0x53;
  int frameWidth = 720;
  int frameHeight = 576;
  int minWidth = 120;
  int minHeight = 96;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool disableScreenSaver = true;
  bool topmost = false;
  bool fullscreen = false;  // live full-screen state, switched only by toggleFullScreen
  bool startFullscreen = false;
  bool hideTaskbar = false;
  bool suppressWarnings = false;
  DWORD buzMixerLine = 0x1002;
  // "GrabFolder", where saved frames go: empty for the default (the Pictures folder); set by
  // hand only, never written. grabFolderTooLong when the file's value did not fit.
  char grabFolder[kSettingsPathSize] = "";
  bool grabFolderTooLong = false;
};

extern ViewerSettings viewerSettings;

void loadSettings();
void saveSettings(HWND mainWindow);

// The settings file beside the executable, named after it (vistrel.ini), into a buffer of
// kSettingsPathSize characters; false when the executable's path cannot be had in full or
// does not end in ".exe".
bool settingsPath(char* buffer);
// Writes value in signed decimal under section "Position", key, of the settings file at path.
void writePositionInt(const char* path, const char* key, int value);
