#include "viewer/png_file.h"

namespace {

// The few declarations of GDI+'s flat interface that are used, as the platform defines them.
using GpStatus = int;
constexpr GpStatus kOk = 0;
constexpr INT kPixelFormat24bppRgb = 0x00021808;
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

struct StartupInput {
  UINT32 version = 1;
  void* debugEventCallback = nullptr;
  BOOL suppressBackgroundThread = TRUE;  // the viewer keeps its one thread
  BOOL suppressExternalCodecs = TRUE;
};
struct StartupOutput {
  GpStatus(WINAPI* notificationHook)(ULONG_PTR* token) = nullptr;
  void(WINAPI* notificationUnhook)(ULONG_PTR token) = nullptr;
};
using Startup = GpStatus(WINAPI*)(ULONG_PTR* token, const StartupInput* input, StartupOutput* output);
using CreateBitmapFromScan0 = GpStatus(WINAPI*)(INT width, INT height, INT stride, INT format, BYTE* scan0,
                                                void** bitmap);
using SaveImageToFile = GpStatus(WINAPI*)(void* image, const WCHAR* path, const CLSID* encoder, const void* params);
using DisposeImage = GpStatus(WINAPI*)(void* image);

struct GdiPlus {
  bool ready = false;
  CreateBitmapFromScan0 createBitmap = nullptr;
  SaveImageToFile saveImage = nullptr;
  DisposeImage disposeImage = nullptr;
};
GdiPlus gdiPlus;

template <class Function>
bool resolve(HMODULE dll, const char* name, Function* function) {
  FARPROC address = GetProcAddress(dll, name);
  *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
  return address != nullptr;
}

// Started once and kept until the process ends. Without its background thread GDI+ asks for
// its notification hook to be called instead.
bool loadGdiPlus() {
  if (gdiPlus.ready) return true;
  HMODULE dll = LoadLibraryA("gdiplus.dll");
  Startup startup = nullptr;
  if (!dll || !resolve(dll, "GdiplusStartup", &startup) ||
      !resolve(dll, "GdipCreateBitmapFromScan0", &gdiPlus.createBitmap) ||
      !resolve(dll, "GdipSaveImageToFile", &gdiPlus.saveImage) ||
      !resolve(dll, "GdipDisposeImage", &gdiPlus.disposeImage))
    return false;
  ULONG_PTR token = 0, hookToken = 0;
  StartupInput input;
  StartupOutput output;
  if (startup(&token, &input, &output) != kOk) return false;
  if (output.notificationHook) output.notificationHook(&hookToken);
  gdiPlus.ready = true;
  return true;
}

}  // namespace

bool writePng24(const char* path, int width, int height, int stride, BYTE* rows) {
  WCHAR widePath[MAX_PATH * 2];
  if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, sizeof widePath / sizeof widePath[0])) return false;
  if (!loadGdiPlus()) return false;
  void* bitmap = nullptr;
  if (gdiPlus.createBitmap(width, height, stride, kPixelFormat24bppRgb, rows, &bitmap) != kOk) return false;
  bool saved = gdiPlus.saveImage(bitmap, widePath, &kPngEncoder, nullptr) == kOk;
  gdiPlus.disposeImage(bitmap);
  return saved;
}
