// Saving and loading the register copy as a 32-byte file.
#include "regedit/snapshot_file.h"

#include <commdlg.h>

#include <algorithm>
#include <cstddef>

#include "regedit/field_controls.h"
#include "regedit/i2c_link.h"
#include "regedit/paths.h"

namespace quorvex {

std::string snapshotPath;

void setDefaultSnapshotPath() {
  snapshotPath.clear();
  char module[kPathSize] = {};
  DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  if (n == 0 || n >= sizeof module) return;  // nothing, or a truncated path
  snapshotPath = defaultSnapshotPath(std::string(module, n));
}

namespace {

const char kFilter[] = "Quorvex registers snapshot (*.qvx)\0*.qvx\0\0";

// The record in the form without the later extension fields.
constexpr DWORD kOpenFileNameSize = 76;
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == kOpenFileNameSize);

// Wait cursor for the life of the object.
class WaitCursor {
 public:
  explicit WaitCursor(HWND dialog) : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
    UpdateWindow(dialog);
  }
  ~WaitCursor() { SetCursor(previous_); }

 private:
  HCURSOR previous_;
};

// A file name beside target for the new contents, "" when none can be made.
std::string temporaryBeside(const std::string& target) {
  std::string folder = splitPath(target).folder;
  if (folder.empty()) folder = ".\\";
  char name[MAX_PATH] = {};
  if (folder.size() >= MAX_PATH - 14 || !GetTempFileNameA(folder.c_str(), "qvx", 0, name))
    return "";
  return name;
}

// Writes the shadow to a temporary file and moves it over the target, so a failure
// never destroys the file being replaced. Returns the error text, or null.
const char* writeSnapshot(const std::string& target) {
  std::string temporary = temporaryBeside(target);
  if (temporary.empty()) return "Could not create output file";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(temporary.c_str());
    return "Could not create output file";
  }
  DWORD written = 0;
  BOOL ok = WriteFile(file, registerShadow.bytes.data(), kRegisterCount, &written, nullptr);
  CloseHandle(file);
  const char* error = nullptr;
  if (!ok || written != kRegisterCount)
    error = "Could not write data";
  else if (!MoveFileExA(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = "Could not create output file";
  if (error) DeleteFileA(temporary.c_str());
  return error;
}

}  // namespace

bool chooseSnapshotFile(HWND dialog, bool save) {
  PathParts parts = splitPath(snapshotPath);
  char file[kPathSize] = {};
  parts.fileName.copy(file, sizeof file - 1);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = kOpenFileNameSize;
  ofn.hwndOwner = dialog;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = parts.folder.c_str();
  ofn.lpstrTitle = save ? "Save Quorvex snapshot" : "Load Quorvex snapshot";
  ofn.lpstrDefExt = "qvx";
  ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                         OFN_NOREADONLYRETURN | OFN_LONGNAMES
                   : OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES;
  BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return false;
  snapshotPath = file;
  return true;
}

void saveSnapshot(HWND dialog) {
  if (!chooseSnapshotFile(dialog, true)) return;
  WaitCursor wait(dialog);
  if (const char* error = writeSnapshot(snapshotPath)) showError(error);
}

bool loadSnapshot(HWND dialog) {
  if (!chooseSnapshotFile(dialog, false)) return false;
  WaitCursor wait(dialog);
  HANDLE file = CreateFileA(snapshotPath.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    showError("Could not open input file");
    return false;
  }
  std::uint8_t bytes[kRegisterCount];
  DWORD read = 0;
  BOOL ok = ReadFile(file, bytes, sizeof bytes, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != sizeof bytes) {
    showError("Could not read data");
    return false;
  }
  std::copy(bytes, bytes + kRegisterCount, registerShadow.bytes.begin());
  return true;
}

}  // namespace quorvex
