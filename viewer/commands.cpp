#include "viewer/commands.h"

#include "viewer/about_dialog.h"
#include "viewer/beep.h"
#include "viewer/capture_window.h"
#include "viewer/companions.h"
#include "viewer/frame_saver.h"
#include "viewer/geometry.h"
#include "viewer/main_window.h"
#include "viewer/mixer/volume_dialog.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/viewer_state.h"

namespace {

void openDialog(HWND owner, int resource, DLGPROC procedure, LPARAM parameter) {
  DialogBoxParamA(viewerState.instance, MAKEINTRESOURCEA(resource), owner, procedure, parameter);
}

void toggleScreenSaverOption(HWND) { viewerSettings.disableScreenSaver = !viewerSettings.disableScreenSaver; }

// In full screen the new value takes effect when full screen is left.
void toggleTopmostOption(HWND w) {
  viewerSettings.topmost = !viewerSettings.topmost;
  if (!viewerSettings.fullscreen) applyTopmost(w);
}

// The trackbar class is made available before the dialog is created.
void openVolumeDialog(HWND w) {
  if (initVolumeDialogClasses())
    openDialog(w, IDD_VOLUME, volumeDialogProc, 0);
  else
    beep();
}

void tweakDecoder(HWND w) {
  if (viewerSettings.suppressWarnings || confirmAdvancedUse(w)) runRegisterEditor();
}

struct Command {
  int id;
  void (*run)(HWND mainWindow);
};

constexpr Command kCommands[] = {
    {CMD_SOURCE, [](HWND) { showSourceDialog(); }},
    {CMD_FORMAT, [](HWND) { showFormatDialog(); }},
    {CMD_DISPLAY, [](HWND) { showDisplayDialog(); }},
    {CMD_COMPRESSION, [](HWND) { showCompressionDialog(); }},
    {CMD_ABOUT, [](HWND w) { openDialog(w, IDD_ABOUT, aboutDialogProc, 1); }},
    {CMD_EXIT, shutDown},
    {CMD_HELP, [](HWND w) { openDialog(w, IDD_HELP, aboutDialogProc, 0); }},
    {CMD_ENABLE_SECAM, [](HWND) { runSecamCompanion(); }},
    {CMD_FREEZE, [](HWND) { toggleFreeze(); }},
    {CMD_GRAB, [](HWND) { grabToClipboard(); }},
    {CMD_SAVE_FRAME, [](HWND) { saveFrame(); }},
    {CMD_RESTORE_ASPECT, restoreAspectRatio},
    {CMD_DISABLE_SCREEN_SAVER, toggleScreenSaverOption},
    {CMD_TOPMOST, toggleTopmostOption},
    {CMD_FULL_SCREEN, toggleFullScreen},
    {CMD_VOLUME, openVolumeDialog},
    {CMD_TWEAK, tweakDecoder},
    {CMD_SIZE_1_1, [](HWND w) { setPredefinedSize(w, 1); }},
    {CMD_SIZE_1_2, [](HWND w) { setPredefinedSize(w, 2); }},
    {CMD_SIZE_1_4, [](HWND w) { setPredefinedSize(w, 4); }},
    {CMD_SIZE_1_6, [](HWND w) { setPredefinedSize(w, 6); }},
};

}  // namespace

bool runCommand(HWND mainWindow, int id) {
  for (const Command& c : kCommands) {
    if (c.id == id) {
      c.run(mainWindow);
      return true;
    }
  }
  return false;
}
