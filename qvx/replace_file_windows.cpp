// Replacing a file atomically on Windows: a temporary file beside it, then MoveFileExA.
#include <windows.h>

#include "qvx/snapshot_io.h"

namespace qvx {

namespace {

bool writeNew(const char* path, const void* bytes, DWORD size) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size && FlushFileBuffers(file);
  return CloseHandle(file) && ok;
}

}  // namespace

bool replaceFile(const std::string& target, const void* bytes, std::size_t size, std::string& error) {
  std::size_t cut = target.find_last_of("\\/:");
  std::string folder = cut == std::string::npos ? ".\\" : target.substr(0, cut + 1);
  char temporary[MAX_PATH];
  if (folder.size() >= MAX_PATH - 14 || !GetTempFileNameA(folder.c_str(), "qvx", 0, temporary)) {
    error = target + ": cannot create a file in its folder";
    return false;
  }
  if (writeNew(temporary, bytes, static_cast<DWORD>(size)) &&
      MoveFileExA(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  error = target + ": cannot write";
  DeleteFileA(temporary);
  return false;
}

}  // namespace qvx
