// The editor's baseline: a minimal modal dialog from a resource template that shows a
// version text in control 506 once it is initialised.
#include <windows.h>

namespace {

constexpr int kDialog = 1;
constexpr int kVersion = 506;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, kVersion, "V1");
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialog), nullptr, dialogProc, 0);
  return 0;
}
