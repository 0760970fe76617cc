// Saving and loading the register copy as a 32-byte file.
#include "regedit/snapshot_file.h"

#include <commdlg.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "regedit/field_controls.h"
#include "regedit/i2c_link.h"
#include "regedit/paths.h"
#include "common/wait_cursor.h"

namespace quorvex {

char snapshotPath[kPathSize];

void setDefaultSnapshotPath() {
  snapshotPath[0] = '\0';
  char module[kPathSize] = {};
  DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  if (n == 0 || n >= sizeof module) return;  // nothing, or a truncated path
  defaultSnapshotPath(std::string_view(module, n), snapshotPath);
}

namespace {

const char kFilter[] = "Quorvex registers snapshot (*.qvx)\0*.qvx\0\0";

// The record in the form without the later extension fields.
constexpr DWORD kOpenFileNameSize = 76;
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == kOpenFileNameSize);

// A file name beside target for the new contents into name; false when none can be made.
bool temporaryBeside(const char* target, char (&name)[MAX_PATH]) {
  std::string_view folderPart = splitPath(target).folder;
  if (folderPart.empty()) folderPart = ".\\";
  char folder[MAX_PATH - 14];
  return copyText(folder, sizeof folder, folderPart) && GetTempFileNameA(folder, "qvx", 0, name);
}

constexpr DWORD kFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

// How many of the 32 bytes a write asks for: all, unless the test hook QUORVEX_WRITE_LIMIT
// cuts writes short (what a full disk does), which no user sets.
DWORD writeLength() {
  char text[4];
  DWORD n = GetEnvironmentVariableA("QUORVEX_WRITE_LIMIT", text, sizeof text);
  if (n == 0 || n >= sizeof text) return kRegisterCount;
  DWORD limit = static_cast<DWORD>(std::atoi(text));
  return limit < kRegisterCount ? limit : kRegisterCount;
}

// Creates (or empties) path and writes the 32 shadow bytes to it. Returns the error text,
// or null.
const char* writeShadowTo(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, kFileFlags,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return "Could not create output file";
  DWORD written = 0;
  BOOL ok = WriteFile(file, registerShadow.bytes.data(), writeLength(), &written, nullptr);
  CloseHandle(file);
  return ok && written == kRegisterCount ? nullptr : "Could not write data";
}

// A target that another program holds open without delete sharing, or that is protected,
// cannot be replaced, but may still be written in place.
bool replaceRefused(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Writes the shadow to a temporary file and moves it over the target, so a failed write
// never destroys the file being replaced; a target that cannot be replaced is written in
// place. The temporary file never stays behind. Returns the error text, or null.
const char* writeSnapshot(const char* target) {
  char temporary[MAX_PATH] = {};
  if (!temporaryBeside(target, temporary)) return "Could not create output file";
  const char* error = writeShadowTo(temporary);
  if (!error && !MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = replaceRefused(GetLastError()) ? writeShadowTo(target) : "Could not create output file";
  DeleteFileA(temporary);  // gone already after a successful move
  return error;
}

}  // namespace

bool chooseSnapshotFile(HWND dialog, bool save) {
  // The parts of a path that fits kPathSize fit these buffers.
  PathParts parts = splitPath(snapshotPath);
  char file[kPathSize] = {};
  char folder[kPathSize] = {};
  copyText(file, sizeof file, parts.fileName);
  copyText(folder, sizeof folder, parts.folder);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = kOpenFileNameSize;
  ofn.hwndOwner = dialog;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrTitle = save ? "Save Quorvex snapshot" : "Load Quorvex snapshot";
  ofn.lpstrDefExt = "qvx";
  ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                         OFN_NOREADONLYRETURN | OFN_LONGNAMES
                   : OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES;
  BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return false;
  copyText(snapshotPath, sizeof snapshotPath, file);  // same size as file: it fits
  return true;
}

void saveSnapshot(HWND dialog) {
  if (!chooseSnapshotFile(dialog, true)) return;
  WaitCursor wait;
  UpdateWindow(dialog);
  // A file dialog that lets a read-only file through must not get it replaced.
  DWORD attributes = GetFileAttributesA(snapshotPath);
  bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  if (const char* error = readOnly ? "Could not create output file" : writeSnapshot(snapshotPath))
    showError(error);
}

bool loadSnapshot(HWND dialog) {
  if (!chooseSnapshotFile(dialog, false)) return false;
  WaitCursor wait;
  UpdateWindow(dialog);
  // Another program may have the file open for reading or writing.
  HANDLE file = CreateFileA(snapshotPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, kFileFlags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    showError("Could not open input file");
    return false;
  }
  std::uint8_t bytes[kRegisterCount];
  DWORD read = 0;
  if (!ReadFile(file, bytes, sizeof bytes, &read, nullptr) || read != sizeof bytes) {
    showError("Could not read data");
    CloseHandle(file);
    return false;
  }
  CloseHandle(file);
  std::memcpy(registerShadow.bytes.data(), bytes, kRegisterCount);
  return true;
}

}  // namespace quorvex
