#include "viewer/mixer/volume_dialog.h"

#include <commctrl.h>

#include "viewer/about_dialog.h"
#include "viewer/beep.h"
#include "viewer/mixer/mixer.h"
#include "viewer/resource.h"
#include "viewer/settings.h"

// comctl32 is loaded only when the Volume dialog is first wanted, so that the viewer's
// start does not pay for a library that only the sliders need.
static HMODULE commonControls = nullptr;

bool initVolumeDialogClasses() {
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (!commonControls) commonControls = LoadLibraryA("comctl32.dll");
  FARPROC address = commonControls ? GetProcAddress(commonControls, "InitCommonControlsEx") : nullptr;
  if (!address) return false;
  auto init = reinterpret_cast<InitFunction>(reinterpret_cast<void (*)()>(address));
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  return init(&classes) != FALSE;
}

void disableDialogItem(HWND dialog, int controlId) {
  EnableWindow(GetDlgItem(dialog, controlId), FALSE);
}

void showVolumeLevel(HWND dialog, DWORD componentType, int controlId, MixerVolumeControl& control) {
  if (!readVolumeLevel(componentType, control)) {
    disableDialogItem(dialog, controlId);
    return;
  }
  SendDlgItemMessageA(dialog, controlId, TBM_SETRANGEMAX, 0, control.steps);
  SendDlgItemMessageA(dialog, controlId, TBM_SETRANGEMIN, 0, 0);
  SendDlgItemMessageA(dialog, controlId, TBM_SETPOS, 1, sliderPositionForLevel(control));
}

void showMuteState(HWND dialog, DWORD componentType, int controlId, MixerMuteControl& control) {
  if (!readMuteState(componentType, control)) {
    disableDialogItem(dialog, controlId);
    return;
  }
  CheckDlgButton(dialog, controlId, control.muted ? BST_CHECKED : BST_UNCHECKED);
}

void initVolumeDialog(HWND dialog) {
  showVolumeLevel(dialog, kMasterLine, IDC_MASTER_SLIDER, masterVolume);
  showMuteState(dialog, kMasterLine, IDC_MASTER_MUTE, masterMute);
  showVolumeLevel(dialog, viewerSettings.buzMixerLine, IDC_BUZ_SLIDER, buzVolume);
  showMuteState(dialog, viewerSettings.buzMixerLine, IDC_BUZ_MUTE, buzMute);
}

void applyTrackbar(HWND dialog, int controlId, const MixerVolumeControl& control) {
  const auto position = static_cast<int32_t>(SendDlgItemMessageA(dialog, controlId, TBM_GETPOS, 0, 0));
  const uint32_t value = volumeValueForLevel(control, levelForSliderPosition(control, position));
  if (!writeMixerValue(control.controlId, value)) disableDialogItem(dialog, controlId);
}

void applyMuteCheckBox(HWND dialog, int controlId, const MixerMuteControl& control) {
  const DWORD state = IsDlgButtonChecked(dialog, controlId) == BST_CHECKED ? 1 : 0;
  if (!writeMixerValue(control.controlId, state)) disableDialogItem(dialog, controlId);
}

static void closeVolumeDialog(HWND dialog) {
  closeMixer();
  EndDialog(dialog, 0);
}

static INT_PTR onInitDialog(HWND dialog) {
  if (!openMixer()) {
    beep();
    closeVolumeDialog(dialog);
    return TRUE;
  }
  centreOnPointer(dialog);
  initVolumeDialog(dialog);
  return TRUE;
}

static void onCommand(HWND dialog, WPARAM wParam) {
  switch (wParam) {
    case IDC_MASTER_MUTE:
      applyMuteCheckBox(dialog, IDC_MASTER_MUTE, masterMute);
      break;
    case IDC_BUZ_MUTE:
      applyMuteCheckBox(dialog, IDC_BUZ_MUTE, buzMute);
      break;
    default:
      closeVolumeDialog(dialog);
  }
}

static void onVScroll(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const WORD code = LOWORD(wParam);
  if (code != TB_THUMBTRACK && code != TB_ENDTRACK) return;
  // Only the dialog's own two sliders: a scroll message with no or a foreign control
  // handle must not write to the mixer.
  const auto from = reinterpret_cast<HWND>(lParam);
  if (from == GetDlgItem(dialog, IDC_MASTER_SLIDER))
    applyTrackbar(dialog, IDC_MASTER_SLIDER, masterVolume);
  else if (from == GetDlgItem(dialog, IDC_BUZ_SLIDER))
    applyTrackbar(dialog, IDC_BUZ_SLIDER, buzVolume);
}

INT_PTR CALLBACK volumeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return onInitDialog(dialog);
    case WM_COMMAND:
      onCommand(dialog, wParam);
      return TRUE;
    case WM_VSCROLL:
      onVScroll(dialog, wParam, lParam);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      return answerDialogColour(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      closeVolumeDialog(dialog);
      return TRUE;
    case WM_NCPAINT:
      drawDialogFrame(dialog);
      return TRUE;
    case WM_NCACTIVATE:
      return answerNcActivate(dialog, wParam, lParam);
    default:
      return FALSE;
  }
}
