#include "viewer/settings.h"

#include "viewer/settings_rules.h"
#include "viewer/viewer_state.h"

ViewerSettings viewerSettings;

namespace {

const char kPosition[] = "Position";
const char kTvSystem[] = "TVSystem";

// The on/off options of section "Position", in the order they are read. The first
// three are also written back, in this order, after the geometry; the last two are
// set by hand in the file only.
struct FlagKey {
  const char* key;
  int fallback;                     // value when the key is missing
  bool ViewerSettings::*loadsInto;  // field the value goes to
  bool ViewerSettings::*savedFrom;  // field written at exit, or null when never written
};
constexpr FlagKey kFlagKeys[] = {
    {"DisableScreenSaver", -1, &ViewerSettings::disableScreenSaver, &ViewerSettings::disableScreenSaver},
    {"Topmost", 0, &ViewerSettings::topmost, &ViewerSettings::topmost},
    {"Fullscreen", 0, &ViewerSettings::startFullscreen, &ViewerSettings::fullscreen},
    {"HideTaskbar", 0, &ViewerSettings::hideTaskbar, nullptr},
    {"SuppressWarnings", 0, &ViewerSettings::suppressWarnings, nullptr},
};

int readInt(const char* path, const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path));
}

void loadTvSystem(const char* path) {
  ViewerSettings& s = viewerSettings;
  if (readInt(path, kTvSystem, "NTSC", 0) != 0) {
    FrameBounds f = frameBounds(true);
    s.ntsc = true;
    s.frameWidth = f.frameWidth;
    s.frameHeight = f.frameHeight;
    s.minWidth = f.minWidth;
    s.minHeight = f.minHeight;
  }
  s.secamCode = secamCodeFromProfile(readInt(path, kTvSystem, "SECAM", 83));
}

// Bounds and defaults depend on the TV system, so this comes after loadTvSystem.
void loadGeometry(const char* path) {
  ViewerSettings& s = viewerSettings;
  s.x = readInt(path, kPosition, "x", 0);
  s.y = readInt(path, kPosition, "y", 0);
  s.width = clampInt(readInt(path, kPosition, "w", s.frameWidth / 2), s.frameWidth, s.minWidth);
  s.height = clampInt(readInt(path, kPosition, "h", s.frameHeight / 2), s.frameHeight, s.minHeight);
}

// Read as text; a value that fills the whole buffer may have been cut short.
void loadGrabFolder(const char* path) {
  ViewerSettings& s = viewerSettings;
  DWORD length = GetPrivateProfileStringA(kPosition, "GrabFolder", "", s.grabFolder, kSettingsPathSize, path);
  s.grabFolderTooLong = length >= kSettingsPathSize - 1;
  if (s.grabFolderTooLong) s.grabFolder[0] = '\0';
}

void loadFlags(const char* path) {
  for (const FlagKey& f : kFlagKeys)
    viewerSettings.*f.loadsInto = profileFlag(readInt(path, kPosition, f.key, f.fallback));
}

// Where the window is now, or was before it went full screen: position, then client size.
void savedGeometry(HWND mainWindow, RECT* position, RECT* size) {
  *position = {viewerState.windowedRect.left, viewerState.windowedRect.top, viewerState.windowedClientWidth,
               viewerState.windowedClientHeight};
  *size = *position;
  if (!viewerSettings.fullscreen) {
    GetWindowRect(mainWindow, position);
    GetClientRect(mainWindow, size);
  }
}

}  // namespace

bool settingsPath(char* buffer) {
  DWORD length = GetModuleFileNameA(nullptr, buffer, kSettingsPathSize);
  if (length == 0 || length >= kSettingsPathSize) return false;
  CharLowerBuffA(buffer, length);
  return iniPathFromModulePath(buffer, length, kSettingsPathSize);
}

void writePositionInt(const char* path, const char* key, int value) {
  char text[100];
  wsprintfA(text, "%d", value);
  WritePrivateProfileStringA(kPosition, key, text, path);
}

void loadSettings() {
  char path[kSettingsPathSize];
  if (!settingsPath(path)) return;
  loadTvSystem(path);
  loadGeometry(path);
  loadFlags(path);
  viewerSettings.buzMixerLine = buzMixerLineFromProfile(readInt(path, kPosition, "BuzMixerLine", 2));
  loadGrabFolder(path);
}

void saveSettings(HWND mainWindow) {
  char path[kSettingsPathSize];
  if (!settingsPath(path)) return;
  RECT position, size;
  savedGeometry(mainWindow, &position, &size);
  writePositionInt(path, "x", position.left);
  writePositionInt(path, "y", position.top);
  writePositionInt(path, "w", size.right);
  writePositionInt(path, "h", size.bottom);
  for (const FlagKey& f : kFlagKeys)
    if (f.savedFrom) writePositionInt(path, f.key, viewerSettings.*f.savedFrom ? 1 : 0);
}
