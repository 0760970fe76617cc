// The quorvex program: single-instance entry, the "Quorvex Control Center" dialog with
// its status poll, buttons and notice line, and the orderly close.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "regedit/field_controls.h"
#include "regedit/i2c_link.h"
#include "regedit/paths.h"
#include "regedit/resource.h"
#include "regedit/snapshot_file.h"
#include "regedit/status_display.h"
#include "common/wait_cursor.h"

namespace quorvex {
namespace {

const char kDialogTitle[] = "Quorvex Control Center";
const char kHelpPage[] = "quorvex.html";  // the register reference page beside the editor
constexpr UINT_PTR kPollTimer = 1;
constexpr COLORREF kNoticeColour = RGB(0, 64, 255);

struct EditorState {
  HINSTANCE instance = nullptr;
  HCURSOR handCursor = nullptr;
  HGDIOBJ lampFirstImage = nullptr;
  StatusCache statusCache;
  int depth = 0;               // dialog procedure calls under way, nested ones included
  bool closePending = false;   // a close asked for inside another message's handling
};

EditorState editor;

void pollStatus() {
  LinkBatch batch;
  for (const std::uint8_t* s = statusRegisters; *s != kListEnd; ++s) pullRegister(*s);
}

void showStatus(HWND dialog) {
  std::array<StatusText, kMaxStatusTexts> texts;
  int count = statusUpdates(editor.statusCache, registerShadow, texts);
  for (int i = 0; i < count; ++i) SetDlgItemTextA(dialog, texts[i].id, texts[i].text);
}

void showVersion(HWND dialog) {
  char text[3] = {'V', versionChar(registerShadow.bytes[0x00]), 0};
  SetDlgItemTextA(dialog, IDC_VERSION, text);
}

HGDIOBJ setLampImage(HWND dialog, HGDIOBJ image) {
  return reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, IDC_LAMP, STM_SETIMAGE,
                                                       IMAGE_BITMAP,
                                                       reinterpret_cast<LPARAM>(image)));
}

BOOL onInitDialog(HWND dialog) {
  i2cLink.ownerWindow = dialog;
  setDefaultSnapshotPath();
  i2cLink.litBitmap = LoadBitmapA(editor.instance, MAKEINTRESOURCEA(IDB_LAMP_LIT));
  i2cLink.idleBitmap = LoadBitmapA(editor.instance, MAKEINTRESOURCEA(IDB_LAMP_IDLE));
  editor.lampFirstImage = setLampImage(dialog, i2cLink.idleBitmap);
  HICON icon = LoadIconA(editor.instance, MAKEINTRESOURCEA(IDI_QUORVEX));
  SetClassLongA(dialog, GCL_HICON, static_cast<LONG>(reinterpret_cast<LONG_PTR>(icon)));
  {
    LinkBatch batch;
    pushRegister(0x00);
    pullAll();
  }
  fillControls(dialog);
  showVersion(dialog);
  SetTimer(dialog, kPollTimer, 1000, nullptr);
  return TRUE;
}

void closeEditor(HWND dialog) {
  closeServer();
  i2cLink.ownerWindow = nullptr;
  KillTimer(dialog, kPollTimer);
  setLampImage(dialog, editor.lampFirstImage);
  DeleteObject(i2cLink.litBitmap);
  DeleteObject(i2cLink.idleBitmap);
  EndDialog(dialog, 1);
}

// A close asked for while another message is being handled (inside the error box of a
// request, say) waits until that handling is done.
void requestClose(HWND dialog) {
  if (editor.depth > 1)
    editor.closePending = true;
  else
    closeEditor(dialog);
}

void onReset(HWND dialog) {
  WaitCursor wait;
  resetAll();
  refreshControls(dialog);
}

void onLoad(HWND dialog) {
  if (!loadSnapshot(dialog)) return;
  WaitCursor wait;
  pushAll();
  refreshControls(dialog);
}

void onReread(HWND dialog) {
  WaitCursor wait;
  pullAll();
  refreshControls(dialog);
}

void onReinit() {
  WaitCursor wait;
  pushAll();
}

// The help page's full path beside the editor; false when it cannot be built or is missing.
bool findHelpPage(char (&page)[kPathSize]) {
  char module[kPathSize] = {};
  DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  if (n == 0 || n >= sizeof module || !siblingPath(std::string_view(module, n), kHelpPage, page))
    return false;
  DWORD attributes = GetFileAttributesA(page);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void openHelpPage(HWND dialog) {
  char page[kPathSize];
  if (findHelpPage(page))
    ShellExecuteA(dialog, "open", page, nullptr, nullptr, SW_SHOWNORMAL);
  else
    MessageBeep(0xFFFFFFFF);
}

// Button clicks: the whole wParam is compared, so only notification code 0 acts.
void onButton(HWND dialog, WPARAM wParam) {
  if (wParam > 0xFFFF) return;
  int id = static_cast<int>(wParam);
  if (bitFieldClicked(dialog, id)) return;
  switch (id) {
    case IDC_EXIT: requestClose(dialog); break;
    case IDC_RESET: onReset(dialog); break;
    case IDC_SAVE: saveSnapshot(dialog); break;
    case IDC_LOAD: onLoad(dialog); break;
    case IDC_REREAD: onReread(dialog); break;
    case IDC_REINIT: onReinit(); break;
    case IDC_NOTICE: openHelpPage(dialog); break;
    default: break;  // IDOK and IDCANCEL (Enter, Esc) among them: nothing
  }
}

void onCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
  switch (HIWORD(wParam)) {
    case CBN_DROPDOWN: fitDropDownWidth(reinterpret_cast<HWND>(lParam)); break;
    case CBN_SELCHANGE: listFieldChanged(dialog, LOWORD(wParam)); break;
    default: onButton(dialog, wParam); break;
  }
}

BOOL onSetCursor(HWND dialog, WPARAM wParam) {
  if (reinterpret_cast<HWND>(wParam) != GetDlgItem(dialog, IDC_NOTICE)) return FALSE;
  SetCursor(editor.handCursor);
  SetWindowLongA(dialog, DWL_MSGRESULT, TRUE);
  return TRUE;
}

INT_PTR onCtlColorStatic(HWND dialog, WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, IDC_NOTICE)) return FALSE;
  LRESULT brush = DefWindowProcA(dialog, WM_CTLCOLORSTATIC, wParam, lParam);
  SetTextColor(reinterpret_cast<HDC>(wParam), kNoticeColour);
  return static_cast<INT_PTR>(brush);
}

INT_PTR dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_TIMER:
      pollStatus();
      showStatus(dialog);
      return TRUE;
    case WM_COMMAND: onCommand(dialog, wParam, lParam); return TRUE;
    case WM_VSCROLL: numberFieldMoved(dialog, reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
      requestClose(dialog);
      return TRUE;
    case WM_CLOSE: requestClose(dialog); return TRUE;  // taskkill and other tools
    case WM_ENDSESSION:
      if (wParam) closeServer();
      return TRUE;
    case WM_SETCURSOR: return onSetCursor(dialog, wParam);
    case WM_CTLCOLORSTATIC: return onCtlColorStatic(dialog, wParam, lParam);
    default: return FALSE;
  }
}

INT_PTR CALLBACK editorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ++editor.depth;
  INT_PTR result = dispatch(dialog, message, wParam, lParam);
  if (--editor.depth == 0 && editor.closePending) {
    editor.closePending = false;
    closeEditor(dialog);
  }
  return result;
}

// A running editor is brought forward instead of starting a second one.
bool handOverToRunningEditor() {
  HWND running = FindWindowA(MAKEINTATOM(0x8002), kDialogTitle);
  if (!running) return false;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  BringWindowToTop(running);
  SetForegroundWindow(running);
  return true;
}

}  // namespace
}  // namespace quorvex

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace quorvex;
  if (handOverToRunningEditor()) return 0;
  InitCommonControls();
  editor.instance = instance;
  editor.handCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR));
  if (!connectServer()) return 0;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_QUORVEX), nullptr, editorDialogProc, 0);
  return 0;
}
