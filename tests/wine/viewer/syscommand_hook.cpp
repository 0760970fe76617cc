// A global CBT hook for the viewer's tests: it appends "syscommand XXXX" to syscommand.log in
// SIMCARD_LOG for each system command that the thread of the window of class "Vistrel" passes to default
// processing (the platform's DefWindowProc announces each one to the CBT hooks).
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) LRESULT CALLBACK syscommandHook(int code, WPARAM wParam, LPARAM lParam) {
  char dir[MAX_PATH] = "";
  HWND viewer = FindWindowA("Vistrel", nullptr);
  if (code == HCBT_SYSCOMMAND && viewer && GetWindowThreadProcessId(viewer, nullptr) == GetCurrentThreadId() &&
      GetEnvironmentVariableA("SIMCARD_LOG", dir, sizeof dir)) {
    char path[MAX_PATH + 20], line[32];
    std::snprintf(path, sizeof path, "%s\\syscommand.log", dir);
    int n = std::snprintf(line, sizeof line, "syscommand %04x\n", static_cast<unsigned>(wParam & 0xFFF0));
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (h != INVALID_HANDLE_VALUE) WriteFile(h, line, n, &written, nullptr), CloseHandle(h);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
