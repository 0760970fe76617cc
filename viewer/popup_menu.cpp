#include "viewer/popup_menu.h"

#include <mmsystem.h>

#include "viewer/geometry_rules.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/viewer_state.h"

namespace {

HMENU popup() { return GetSubMenu(viewerState.viewerMenu, 0); }

UINT grayedWhen(bool grayed) { return MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED); }
UINT checkedWhen(bool checked) { return MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED); }

void updateMenuState(HWND mainWindow) {
  RECT client;
  GetClientRect(mainWindow, &client);
  bool aspectKept = hasFrameAspect(client.right, client.bottom, viewerSettings.ntsc);
  EnableMenuItem(popup(), CMD_RESTORE_ASPECT, grayedWhen(viewerSettings.fullscreen || aspectKept));
  CheckMenuItem(viewerState.viewerMenu, CMD_DISABLE_SCREEN_SAVER, checkedWhen(viewerSettings.disableScreenSaver));
  CheckMenuItem(viewerState.viewerMenu, CMD_TOPMOST, checkedWhen(viewerSettings.topmost));
  EnableMenuItem(popup(), CMD_VOLUME, grayedWhen(mixerGetNumDevs() == 0));
}

// Screen coordinates are signed: monitors left of or above the primary one lie at
// negative positions. A keyboard request (-1, -1) opens the menu at the mouse pointer.
POINT menuPosition(LPARAM position) {
  POINT p{static_cast<SHORT>(LOWORD(position)), static_cast<SHORT>(HIWORD(position))};
  if (p.x == -1 && p.y == -1) GetCursorPos(&p);
  return p;
}

}  // namespace

void showPopupMenu(HWND mainWindow, LPARAM position) {
  updateMenuState(mainWindow);
  POINT p = menuPosition(position);
  TrackPopupMenu(popup(), TPM_RIGHTBUTTON, p.x, p.y, 0, mainWindow, nullptr);
}
