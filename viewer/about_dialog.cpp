#include "viewer/about_dialog.h"

#include "viewer/resource.h"
#include "viewer/viewer_state.h"

#include <algorithm>

void centreOnPointer(HWND dialog) {
  POINT pointer;
  GetCursorPos(&pointer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  RECT box;
  GetWindowRect(dialog, &box);
  const int width = box.right - box.left, height = box.bottom - box.top;
  const int x = std::max(area.left, std::min(pointer.x - width / 2, area.right - width));
  const int y = std::max(area.top, std::min(pointer.y - height / 2, area.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void drawDialogFrame(HWND dialog) {
  HDC dc = GetWindowDC(dialog);
  HBRUSH white = CreateSolidBrush(kDialogFrame);
  RECT frame;
  GetWindowRect(dialog, &frame);
  OffsetRect(&frame, -frame.left, -frame.top);
  FrameRect(dc, &frame, white);
  DeleteObject(white);
  ReleaseDC(dialog, dc);
}

// The default handling repaints the border in the system's colours (Wine does so when the
// box comes back after another window was active); the white frame goes back over it.
INT_PTR answerNcActivate(HWND dialog, WPARAM wParam, LPARAM lParam) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, DefWindowProcA(dialog, WM_NCACTIVATE, wParam, lParam));
  drawDialogFrame(dialog);
  return TRUE;
}

INT_PTR answerDialogColour(HDC dc) {
  SetBkColor(dc, kDialogBackground);
  SetTextColor(dc, kDialogText);
  return reinterpret_cast<INT_PTR>(viewerState.dialogBrush);
}

// The initial value is non-zero for the About box, which alone shows the build stamp.
static INT_PTR onInitDialog(HWND dialog, LPARAM initialValue) {
  centreOnPointer(dialog);
  if (initialValue) SetDlgItemTextA(dialog, IDC_BUILD_STAMP, kBuildStamp);
  return TRUE;
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return onInitDialog(dialog, lParam);
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      return answerDialogColour(reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT:
      drawDialogFrame(dialog);
      return TRUE;
    case WM_NCACTIVATE:
      return answerNcActivate(dialog, wParam, lParam);
    default:
      return FALSE;
  }
}
