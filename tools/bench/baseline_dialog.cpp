// The editor's baseline: a minimal modal dialog from a resource template that shows a
// version text in control 506 once it is initialised. Built a second time with
// BENCH_EDITOR_IMPORTS, it also imports the DLLs the editor imports (common controls,
// common dialogs, shell), to show what loading them costs; given a module's path on its
// command line, that build shows the module's dialog 1 instead of its own (the editor's
// template with nothing of the editor's work).
#include <windows.h>

#ifdef BENCH_EDITOR_IMPORTS
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#endif

namespace {

#ifdef BENCH_EDITOR_IMPORTS
// Referenced, never called: the loader maps the DLLs at start as it does for the editor.
void* volatile editorImports[] = {reinterpret_cast<void*>(&InitCommonControls),
                                  reinterpret_cast<void*>(&GetOpenFileNameA),
                                  reinterpret_cast<void*>(&ShellExecuteA)};
#endif

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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int) {
#ifdef BENCH_EDITOR_IMPORTS
  InitCommonControls();
  if (args && *args) {
    instance = LoadLibraryExA(args, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!instance) return 1;
  }
#else
  (void)args;
#endif
  DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialog), nullptr, dialogProc, 0);
  return 0;
}
