#include "viewer/frame_saver.h"

#include <shlobj.h>

#include "common/wait_cursor.h"
#include "viewer/beep.h"
#include "viewer/capture_window.h"
#include "viewer/companions.h"
#include "viewer/frame_file_rules.h"
#include "viewer/png_file.h"
#include "viewer/settings.h"

namespace {

constexpr int kMostNumbers = 9999;  // names tried for one second's saves
constexpr int kMostFrameSide = 8192;

// A file made with a new name in a folder, deleted when the object goes unless it was kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(const char* folder) : made_(GetTempFileNameA(folder, "vis", 0, path_) != 0) {}
  ~TemporaryFile() {
    if (made_) DeleteFileA(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  bool made() const { return made_; }
  const char* path() const { return path_; }
  void keep() { made_ = false; }

 private:
  char path_[MAX_PATH];
  bool made_;
};

// A whole file mapped read-only into memory; bytes is null when it cannot be.
class MappedFile {
 public:
  explicit MappedFile(const char* path) {
    file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return;
    size = GetFileSize(file_, nullptr);
    mapping_ = size != INVALID_FILE_SIZE && size > 0 ? CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr)
                                                     : nullptr;
    if (mapping_) bytes = static_cast<const BYTE*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
  }
  ~MappedFile() {
    if (bytes) UnmapViewOfFile(bytes);
    if (mapping_) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  const BYTE* bytes = nullptr;
  DWORD size = 0;

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
};

// The picture of a DIB file: its header with the colours, and its pixel rows.
struct DibPicture {
  const BITMAPINFO* info = nullptr;
  const BYTE* bits = nullptr;
  int width = 0, height = 0;
};

DWORD coloursInTable(const BITMAPINFOHEADER& h) {
  DWORD colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? 1u << h.biBitCount : 0);
  return h.biCompression == BI_BITFIELDS && h.biSize == sizeof h ? colours + 3 : colours;
}

// Whether the file holds an uncompressed DIB whose header, colours and rows all lie within it.
bool readDibFile(const MappedFile& file, DibPicture* picture) {
  BITMAPFILEHEADER head;
  BITMAPINFOHEADER h;
  if (!file.bytes || file.size < sizeof head + sizeof h) return false;
  CopyMemory(&head, file.bytes, sizeof head);
  CopyMemory(&h, file.bytes + sizeof head, sizeof h);
  const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const WORD bits = h.biBitCount;
  if (head.bfType != 0x4D42 || h.biSize < sizeof h || h.biSize > file.size || h.biWidth <= 0 ||
      h.biWidth > kMostFrameSide || height == 0 || height > kMostFrameSide ||
      (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) || h.biClrUsed > 256)
    return false;
  const DWORD stride = (static_cast<DWORD>(h.biWidth) * bits + 31) / 32 * 4;
  const DWORD headers = sizeof head + h.biSize + coloursInTable(h) * sizeof(RGBQUAD);
  if (headers > head.bfOffBits || head.bfOffBits > file.size || file.size - head.bfOffBits < stride * height)
    return false;
  *picture = {reinterpret_cast<const BITMAPINFO*>(file.bytes + sizeof head), file.bytes + head.bfOffBits, h.biWidth,
              height};
  return true;
}

// A picture as 24-bit rows, top row first, in a DIB section of its own.
class Rows24 {
 public:
  explicit Rows24(const DibPicture& p) : width(p.width), height(p.height), stride((p.width * 3 + 3) & ~3) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, p.width, -p.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* rows = nullptr;
    section_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &rows, nullptr, 0);
    if (!section_) return;
    HDC screen = GetDC(nullptr);
    if (SetDIBits(screen, section_, 0, p.height, p.bits, p.info, DIB_RGB_COLORS) == p.height)
      bits = static_cast<BYTE*>(rows);
    ReleaseDC(nullptr, screen);
  }
  ~Rows24() {
    if (section_) DeleteObject(section_);
  }
  Rows24(const Rows24&) = delete;
  Rows24& operator=(const Rows24&) = delete;
  BYTE* bits = nullptr;  // null when the picture could not be converted
  const int width, height, stride;

 private:
  HBITMAP section_ = nullptr;
};

// The frame as a PNG in png, a temporary file in folder, by way of a DIB file beside it.
bool writeFramePng(const char* folder, const TemporaryFile& png) {
  TemporaryFile dib(folder);
  if (!png.made() || !dib.made() || !saveFrameDib(dib.path())) return false;
  MappedFile file(dib.path());
  DibPicture picture;
  if (!readDibFile(file, &picture)) return false;
  Rows24 rows(picture);
  return rows.bits && writePng24(png.path(), rows.width, rows.height, rows.stride, rows.bits);
}

bool picturesFolder(char* folder) {
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  static HMODULE shell = nullptr;  // loaded by the first save that needs it, as GDI+ is
  if (!shell) shell = LoadLibraryA("shell32.dll");
  FARPROC address = shell ? GetProcAddress(shell, "SHGetFolderPathA") : nullptr;
  if (!address) return false;
  auto getFolderPath = reinterpret_cast<GetFolderPath>(reinterpret_cast<void (*)()>(address));
  return SUCCEEDED(getFolderPath(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder));
}

// "GrabFolder" (a relative one in the viewer's folder); without it the Pictures folder, or the
// viewer's own folder when that cannot be had.
bool grabFolder(char* folder) {
  const ViewerSettings& s = viewerSettings;
  if (s.grabFolderTooLong) return false;
  if (s.grabFolder[0] && !isRelativeFolder(s.grabFolder))
    return lstrcpynA(folder, s.grabFolder, kSettingsPathSize) != nullptr;
  if (s.grabFolder[0]) return companionPath(folder, s.grabFolder);
  return picturesFolder(folder) || companionPath(folder, "");
}

FrameTime localTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// Renames temp to the first free frame name in folder; never onto an existing file.
bool renameToFrameName(const char* temp, const char* folder, const FrameTime& time) {
  char path[kSettingsPathSize];
  for (int number = 1; number <= kMostNumbers; ++number) {
    if (!frameFilePath(path, sizeof path, folder, time, number)) return false;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) continue;
    if (MoveFileA(temp, path)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;  // taken meanwhile: next name
  }
  return false;
}

bool beepUnless(bool done) {
  if (!done) beep();
  return done;
}

}  // namespace

bool saveFrame() {
  WaitCursor waitCursor;
  const FrameTime time = localTime();
  char folder[kSettingsPathSize];
  if (!grabFolder(folder)) return beepUnless(false);
  TemporaryFile png(folder);
  if (!writeFramePng(folder, png) || !renameToFrameName(png.path(), folder, time)) return beepUnless(false);
  png.keep();
  return true;
}

bool saveFrameAs(const char* path) {
  WaitCursor waitCursor;
  char fullPath[kSettingsPathSize], folder[kSettingsPathSize];
  char* fileName = nullptr;
  DWORD length = GetFullPathNameA(path, kSettingsPathSize, fullPath, &fileName);
  if (length == 0 || length >= kSettingsPathSize || !fileName || *fileName == '\0' ||
      GetFileAttributesA(fullPath) != INVALID_FILE_ATTRIBUTES)
    return beepUnless(false);
  lstrcpynA(folder, fullPath, static_cast<int>(fileName - fullPath) + 1);
  TemporaryFile png(folder);
  if (!writeFramePng(folder, png) || !MoveFileA(png.path(), fullPath)) return beepUnless(false);
  png.keep();
  return true;
}
