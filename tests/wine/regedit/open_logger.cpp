// Stands in for the program that opens .html files: appends its command line to
// opened.log beside itself, one line per start, and ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* cut = n && n < MAX_PATH ? strrchr(path, '\\') : nullptr;
  if (!cut || (cut - path) + sizeof "\\opened.log" > MAX_PATH) return 1;
  strcpy(cut, "\\opened.log");
  HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  const char* line = GetCommandLineA();
  DWORD written;
  WriteFile(log, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
  WriteFile(log, "\r\n", 2, &written, nullptr);
  CloseHandle(log);
  return 0;
}
