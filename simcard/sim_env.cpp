#include "simcard/sim_env.h"

#include <windows.h>

namespace simcard {

std::optional<std::string> envText(const char* name) {
  char buf[2048];
  SetLastError(0);
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  if (n >= sizeof buf) return std::nullopt;  // too long to be one of ours
  return std::string(buf, n);
}

void appendLog(const char* file, const std::string& line) {
  auto dir = envText("SIMCARD_LOG");
  if (!dir || dir->empty()) return;
  std::string path = *dir + "\\" + file;
  HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

std::string ownFolder() {
  char path[512];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return "";
  std::string s(path, n);
  std::size_t slash = s.find_last_of('\\');
  return slash == std::string::npos ? "" : s.substr(0, slash + 1);
}

}  // namespace simcard
