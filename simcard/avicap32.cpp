// avicap32.dll: the capture service stand-in, installed into the Wine prefix only.
// It exports the two functions of the platform's DLL that the viewer links against.
#include <windows.h>

#include <vfw.h>

#include "simcard/capture_window.h"

namespace {
HINSTANCE dllInstance = nullptr;

// Copies text with its terminator into a buffer of size bytes; false when it does not fit.
bool copyText(char* buffer, int size, const char* text) {
  int length = lstrlenA(text);
  if (!buffer || size <= length) return false;
  memcpy(buffer, text, length + 1);
  return true;
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    dllInstance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HWND WINAPI capCreateCaptureWindowA(LPCSTR name, DWORD style, int x, int y, int width, int height,
                                               HWND parent, int id) {
  return simcard::createCaptureWindow(dllInstance, name, style, x, y, width, height, parent, id);
}

extern "C" WINBOOL WINAPI capGetDriverDescriptionA(UINT index, LPSTR name, int nameSize, LPSTR version,
                                                   int versionSize) {
  if (index != 0) return FALSE;
  return copyText(name, nameSize, "Simulated capture card") && copyText(version, versionSize, "Version 1.0");
}
