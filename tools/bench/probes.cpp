#include "tools/bench/probes.h"

#include <psapi.h>

#include <cctype>
#include <cstdlib>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"

namespace bench {

double nowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool pollUntil(const std::function<bool()>& cond, int timeoutMs) {
  double end = nowMs() + timeoutMs;
  for (;;) {
    if (cond()) return true;
    if (nowMs() > end) return false;
    Sleep(1);
  }
}

Child::Child(const std::string& commandLine, const std::string& folder) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  startMs_ = nowMs();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi_))
    pi_ = {};
}

Child::~Child() {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

bool Child::waitExit(int timeoutMs) {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

double Child::peakWorkingSetKiB() const {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!pi_.hProcess || !GetProcessMemoryInfo(pi_.hProcess, &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

HWND visibleWindow(const char* cls, const char* title) {
  HWND w = FindWindowA(cls, title);
  return w && IsWindowVisible(w) ? w : nullptr;
}

namespace {

// Whether any of the screen points is not black.
bool anyLit(const POINT* points, int count) {
  HDC screen = GetDC(nullptr);
  bool lit = false;
  for (int i = 0; i < count; ++i) {
    COLORREF c = GetPixel(screen, points[i].x, points[i].y);
    if (c != CLR_INVALID && c != RGB(0, 0, 0)) lit = true;
  }
  ReleaseDC(nullptr, screen);
  return lit;
}

}  // namespace

bool showsPicture(HWND w) {
  RECT r{};
  if (!GetClientRect(w, &r) || r.right < 16 || r.bottom < 4) return false;
  POINT points[] = {{r.right / 16, r.bottom / 4}, {r.right * 3 / 16, r.bottom / 4}};
  for (POINT& p : points) ClientToScreen(w, &p);
  return anyLit(points, 2);
}

bool waitScreenClear(int timeoutMs) {
  POINT points[64];
  int n = 0;
  for (int y = 20; y < 600 && n < 64; y += 80)
    for (int x = 8; x < 720 && n < 64; x += 90) points[n++] = {x, y};
  return pollUntil([&] { return !anyLit(points, n); }, timeoutMs);
}

std::string controlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return {};
  char text[64];
  int n = GetWindowTextA(control, text, sizeof text);
  return std::string(text, n > 0 ? n : 0);
}

bool hasLineWith(const std::string& text, const std::string& piece) {
  for (const auto& line : harness::completeLines(text))
    if (line.find(piece) != std::string::npos) return true;
  return false;
}

int countLines(const std::string& text, const std::string& prefix) {
  return harness::countLinesStartingWith(text, prefix);
}

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string procFile(const std::string& name) { return harness::readFile("Z:\\proc\\" + name); }

}  // namespace

unsigned unixPidWithCommandLine(const std::string& text) {
  std::string wanted = lower(text);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  unsigned found = 0;
  do {
    std::string name = fd.cFileName;
    if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0]))) continue;
    std::string cmd = procFile(name + "\\cmdline");
    for (char& c : cmd)
      if (c == '\0') c = ' ';
    if (lower(cmd).find(wanted) != std::string::npos) found = static_cast<unsigned>(std::atol(name.c_str()));
  } while (!found && FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

long long unixCpuTicks(unsigned pid) {
  if (!pid) return -1;
  std::string stat = procFile(std::to_string(pid) + "\\stat");
  // Fields after the command name, which is in parentheses and may hold spaces:
  // state(3) ... utime(14) stime(15).
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  const char* p = stat.c_str() + close + 1;
  while (*p == ' ') ++p;
  if (!*p) return -1;
  ++p;  // the state letter (field 3)
  long long fields[12] = {};  // fields 4 to 15
  for (long long& f : fields) {
    char* end = nullptr;
    f = strtoll(p, &end, 10);
    if (end == p) return -1;
    p = end;
  }
  return fields[10] + fields[11];  // utime, stime (fields 14 and 15)
}

std::string loadAverage() {
  std::string text = procFile("loadavg");
  size_t cut = 0;
  for (int spaces = 0; cut < text.size() && spaces < 3; ++cut)
    if (text[cut] == ' ') ++spaces;
  return text.substr(0, cut ? cut - 1 : 0);
}

}  // namespace bench
