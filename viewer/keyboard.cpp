#include "viewer/keyboard.h"

#include "viewer/geometry.h"
#include "viewer/mixer/volume_keys.h"
#include "viewer/settings.h"

namespace {

bool ctrlDown() { return GetKeyState(VK_CONTROL) < 0; }

// Volume and mute of the Buz line: active in window mode and full screen alike.
bool handleVolumeKey(WPARAM key) {
  switch (key) {
    case VK_ADD: stepBuzVolume(ctrlDown() ? 8 : 1); return true;
    case VK_DELETE: setBuzMute(1); return true;
    case VK_SUBTRACT: stepBuzVolume(ctrlDown() ? -8 : -1); return true;
    case VK_INSERT: setBuzMute(0); return true;
    default: return false;
  }
}

bool isPlacementKey(WPARAM key) {
  return key == VK_HOME || key == VK_END || key == VK_PRIOR || key == VK_NEXT || key == VK_CLEAR;
}

struct ArrowStep {
  WPARAM key;
  int dx, dy;
};
constexpr ArrowStep kArrowSteps[] = {
    {VK_LEFT, -1, 0},
    {VK_RIGHT, 1, 0},
    {VK_UP, 0, -1},
    {VK_DOWN, 0, 1},
};

bool handleArrowKey(HWND mainWindow, WPARAM key) {
  for (const ArrowStep& a : kArrowSteps) {
    if (a.key == key) {
      int factor = ctrlDown() ? 10 : 1;
      stepWindow(mainWindow, a.dx * factor, a.dy * factor);
      return true;
    }
  }
  return false;
}

}  // namespace

bool handleKey(HWND mainWindow, WPARAM key) {
  if (handleVolumeKey(key)) return true;
  if (viewerSettings.fullscreen) return false;
  if (isPlacementKey(key)) {
    placeWindow(mainWindow, key);
    return true;
  }
  return handleArrowKey(mainWindow, key);
}
