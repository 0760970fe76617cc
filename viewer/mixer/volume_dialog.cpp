// PLACEHOLDER: built by the Volume dialog work; empty until then.
#include "viewer/mixer/volume_dialog.h"

INT_PTR CALLBACK volumeDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}
