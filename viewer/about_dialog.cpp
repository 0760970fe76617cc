// PLACEHOLDER: built by the dialog look work; empty until then.
#include "viewer/about_dialog.h"

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}
void drawDialogFrame(HWND) {}
