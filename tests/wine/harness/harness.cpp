#include "tests/wine/harness/harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/wine/harness/log_lines.h"

namespace harness {
namespace {

std::string env(const char* name) {
  char buf[1024];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void sendInputs(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(30);  // let the raw input reach the target's queue
}

INPUT keyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  static const WORD extended[] = {VK_INSERT, VK_DELETE, VK_HOME,  VK_END,    VK_PRIOR, VK_NEXT,
                                  VK_LEFT,   VK_RIGHT,  VK_UP,    VK_DOWN,   VK_DIVIDE};
  for (WORD e : extended)
    if (vk == e) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

INPUT mouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  return in;
}

void removeTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string p = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(p);
      else {
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace

bool waitFor(const std::function<bool()>& cond, int timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    pump();
    if (cond()) return true;
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    Sleep(20);
  }
}

// ---- Process

Process::Process(PROCESS_INFORMATION pi) : handle_(pi.hProcess), id_(pi.dwProcessId) {
  CloseHandle(pi.hThread);
}
Process::Process(Process&& other) noexcept { *this = std::move(other); }
Process& Process::operator=(Process&& other) noexcept {
  std::swap(handle_, other.handle_);
  std::swap(id_, other.id_);
  return *this;
}
Process::~Process() {
  kill();
  if (handle_) CloseHandle(handle_);
}
bool Process::running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }
long Process::waitExit(int timeoutMs) {
  if (!handle_) return -1;
  bool ended = waitFor([&] { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }, timeoutMs);
  DWORD code = 0;
  return ended && GetExitCodeProcess(handle_, &code) ? static_cast<long>(code) : -1;
}
void Process::kill() {
  if (running()) {
    TerminateProcess(handle_, 99);
    WaitForSingleObject(handle_, 5000);
  }
}

Process openProcess(DWORD pid) {
  PROCESS_INFORMATION pi{};
  pi.hProcess = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
  pi.dwProcessId = pid;
  return pi.hProcess ? Process(pi) : Process();
}

// ---- Sandbox

Sandbox::Sandbox() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  for (;;) {
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%svt-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) {
      dir_ = name;
      break;
    }
  }
  std::string out = env("VT_OUT");
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((out + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFileA((out + "\\" + fd.cFileName).c_str(), path(fd.cFileName).c_str(), FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetEnvironmentVariableA("SIMCARD_LOG", dir_.c_str());
  SetEnvironmentVariableA("SIMCARD_STATE", path("decoder.bin").c_str());
}

Sandbox::~Sandbox() { removeTree(dir_); }

void Sandbox::copyTestProgram(const std::string& name) {
  CopyFileA((env("VT_TESTBIN") + "\\" + name).c_str(), path(name).c_str(), FALSE);
}

Process Sandbox::start(const std::string& name, const std::string& args, const std::string& cwd) {
  std::string cmd = "\"" + path(name) + "\"";
  if (!args.empty()) cmd += " " + args;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      (cwd.empty() ? dir_ : cwd).c_str(), &si, &pi))
    return Process();
  return Process(pi);
}

bool Sandbox::startWithoutFileSpace(const std::string& name) {
  // ulimit -f 0 makes every write that would grow a file fail; SIGXFSZ ignored, so the
  // program sees a failed write instead of being killed.
  std::string script = newUnixFile("vt-nospace", ".sh");
  std::string text = "(ulimit -f 0; trap '' XFSZ; exec /usr/bin/wine '" + path(name) + "') >/dev/null 2>&1 &\n";
  bool ok = writeFile(unixToWindows(script), text) && runUnix("/bin/sh", script) == 0;
  DeleteFileA(unixToWindows(script).c_str());
  return ok;
}

std::string Sandbox::log(const std::string& name) const { return readFile(path(name)); }

// ---- ScopedEnv

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  char buf[1024];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  hadOld_ = n > 0 && n < sizeof buf;
  if (hadOld_) old_.assign(buf, n);
  SetEnvironmentVariableA(name, value);
}
ScopedEnv::~ScopedEnv() { SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr); }

NoAudioDriver::NoAudioDriver() {
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                  nullptr);
  RegSetValueExA(key_, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
}
NoAudioDriver::~NoAudioDriver() {
  RegDeleteValueA(key_, "Audio");
  RegCloseKey(key_);
}

ScopedDllOverride::ScopedDllOverride(const char* program, const char* dll, const char* mode) : dll_(dll) {
  const std::string path = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
  RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  RegSetValueExA(key_, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(mode), static_cast<DWORD>(strlen(mode) + 1));
}
ScopedDllOverride::~ScopedDllOverride() {
  RegDeleteValueA(key_, dll_.c_str());
  RegCloseKey(key_);
}

// ---- SimulatedMixer

SimulatedMixer::SimulatedMixer(Sandbox& box, const char* faults)
    : faults_("SIMCARD_MIXER", faults), override_("vistrel.exe", "winmm", "native,builtin") {
  CopyFileA((env("VT_SIMCARD") + "\\winmm.dll").c_str(), box.path("winmm.dll").c_str(), FALSE);
}

// ---- Windows

HWND findWindow(const char* cls, const char* title) { return FindWindowA(cls, title); }

HWND waitWindow(const char* cls, const char* title, int timeoutMs) {
  HWND w = nullptr;
  waitFor([&] { return (w = FindWindowA(cls, title)) != nullptr; }, timeoutMs);
  return w;
}

namespace {
struct WindowSearch {
  DWORD pid;
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK matchProcessWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner != s->pid || !IsWindowVisible(w) || !(*s->match)(w)) return TRUE;
  s->found = w;
  return FALSE;
}
}  // namespace

HWND waitProcessWindowWhere(DWORD pid, const std::function<bool(HWND)>& match, int timeoutMs) {
  WindowSearch s{pid, &match, nullptr};
  waitFor([&] {
    EnumWindows(matchProcessWindow, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, timeoutMs);
  return s.found;
}

HWND waitProcessWindow(DWORD pid, const char* cls, int timeoutMs) {
  return waitProcessWindowWhere(pid, [&](HWND w) { return !cls || className(w) == cls; }, timeoutMs);
}

std::string windowText(HWND w) {
  char buf[512];
  int n = GetWindowTextA(w, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

std::string className(HWND w) {
  char buf[256];
  int n = GetClassNameA(w, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

RECT windowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

RECT clientRect(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return r;
}

LONG windowStyle(HWND w) { return GetWindowLongA(w, GWL_STYLE); }
LONG windowExStyle(HWND w) { return GetWindowLongA(w, GWL_EXSTYLE); }

bool waitTitle(HWND w, const std::string& title, int timeoutMs) {
  return waitFor([&] { return windowText(w) == title; }, timeoutMs);
}

namespace {

// Runs measure on a screen device context with face at points selected.
template <class Measure>
SIZE withDialogFont(const char* face, int points, Measure measure) {
  HDC dc = GetDC(nullptr);
  LOGFONTA f{};
  f.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  f.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(f.lfFaceName, face, LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&f);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = measure(dc);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return size;
}

}  // namespace

SIZE dialogBaseUnits(const char* face, int points) {
  return withDialogFont(face, points, [](HDC dc) {
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SIZE letters;
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
  });
}

SIZE wrappedTextSize(HWND control, const char* face, int points) {
  const std::string text = windowText(control);
  return withDialogFont(face, points, [&](HDC dc) {
    RECT r{0, 0, clientRect(control).right, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return SIZE{r.right, r.bottom};
  });
}

// ---- Input

bool bringToFront(HWND w) {
  return waitFor([&] {
    if (GetForegroundWindow() == w) return true;
    SetForegroundWindow(w);
    return false;
  }, 5000);
}

bool readyForInput(HWND w) {
  DWORD_PTR ignored;
  return bringToFront(w) && SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &ignored) &&
         GetForegroundWindow() == w;
}

bool closeBoxPoint(HWND w, POINT& p) {
  RECT r = windowRect(w);
  int captionBottom = r.top + GetSystemMetrics(SM_CYFRAME) * 2 + GetSystemMetrics(SM_CYCAPTION);
  auto hit = [&](int x, int y) {
    DWORD_PTR code = HTNOWHERE;
    SendMessageTimeoutA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, kWait, &code);
    return code == HTCLOSE;
  };
  // The box lies in the caption's right end: scan rows there from the right for its extent.
  int from = std::max<int>(r.left, r.right - 4 * GetSystemMetrics(SM_CXSIZE));
  for (int y = r.top; y < captionBottom; ++y) {
    int right = r.right - 1;
    while (right >= from && !hit(right, y)) --right;
    if (right < from) continue;
    int left = right;
    while (left > from && hit(left - 1, y)) --left;
    int bottom = y;
    while (bottom + 1 < r.bottom && hit(left, bottom + 1)) ++bottom;
    p = {(left + right) / 2, (y + bottom) / 2};
    return true;
  }
  return false;
}

bool clickCloseBox(HWND w) {
  POINT p;
  if (!readyForInput(w) || !closeBoxPoint(w, p)) return false;
  if (!waitFor([&] { return WindowFromPoint(p) == w; }, 3000)) return false;
  clickScreen(p.x, p.y);
  return true;
}

void keyDown(WORD vk) { sendInputs({keyInput(vk, false)}); }
void keyUp(WORD vk) { sendInputs({keyInput(vk, true)}); }

void pressKey(HWND w, WORD vk, std::vector<WORD> modifiers) {
  if (w) readyForInput(w);
  std::vector<INPUT> in;
  for (WORD m : modifiers) in.push_back(keyInput(m, false));
  in.push_back(keyInput(vk, false));
  in.push_back(keyInput(vk, true));
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) in.push_back(keyInput(*m, true));
  sendInputs(in);
}

void moveMouse(int x, int y) {
  INPUT in = mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  in.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
  in.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
  sendInputs({in});
}

void clickScreen(int x, int y, bool right) {
  moveMouse(x, y);
  sendInputs({mouseInput(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
              mouseInput(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

void doubleClickScreen(int x, int y) {
  moveMouse(x, y);
  INPUT down = mouseInput(MOUSEEVENTF_LEFTDOWN), up = mouseInput(MOUSEEVENTF_LEFTUP);
  sendInputs({down, up, down, up});
}

void click(HWND w, int clientX, int clientY, bool right) {
  bringToFront(GetAncestor(w, GA_ROOT));
  POINT p{clientX, clientY};
  ClientToScreen(w, &p);
  clickScreen(p.x, p.y, right);
}

long runUnix(const std::string& unixPath, const std::string& args, int timeoutMs) {
  // Wine gives no process handle for a Unix program, so a shell script reports the exit code.
  std::string script = newUnixFile("vt-run", ".sh"), status = script + ".status";
  if (!writeFile(unixToWindows(script), "'" + unixPath + "' " + args + "\necho $? > " + status + ".tmp && mv " +
                                            status + ".tmp " + status + "\n"))
    return -1;
  std::string cmd = "\"Z:\\bin\\sh\" " + script;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  long code = -1;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    // For a Unix program Wine returns no process handle and leaves garbage in hThread (0x12
    // seen): closing it would close whatever handle of ours has that value.
    if (pi.hProcess) {
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    if (waitFor([&] { return fileExists(unixToWindows(status)); }, timeoutMs))
      code = std::atol(readFile(unixToWindows(status)).c_str());
  }
  DeleteFileA(unixToWindows(script).c_str());
  DeleteFileA(unixToWindows(status).c_str());
  return code;
}

long xdotool(const std::string& args) { return runUnix("/usr/bin/xdotool", args); }

namespace {
// xdotool commands that give w the X focus and press the left button at from (key held before,
// when not ""), then move to to in small steps, so that the window sees a drag in progress.
std::string dragCommand(HWND w, POINT from, POINT to, const std::string& key) {
  bringToFront(w);
  // With no window manager, X focus is set directly (windowactivate needs a manager).
  auto xwin = reinterpret_cast<UINT_PTR>(GetPropA(w, "__wine_x11_whole_window"));
  std::string activate = xwin ? "windowfocus --sync " + std::to_string(xwin) + " " : "";
  std::string down = key.empty() ? "" : "keydown " + key + " ";
  auto at = [](POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
  POINT mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
  return activate + down + "mousemove --sync " + at(from) + " mousedown 1 sleep 0.25 mousemove --sync " + at(mid) +
         " sleep 0.25 mousemove --sync " + at(to) + " sleep 0.25";
}
}  // namespace

bool dragScreen(HWND w, POINT from, POINT to, const std::string& key) {
  std::string up = key.empty() ? "" : " keyup " + key;
  return xdotool(dragCommand(w, from, to, key) + " mouseup 1" + up) == 0;
}

bool holdDrag(HWND w, POINT from, POINT to) { return xdotool(dragCommand(w, from, to, "")) == 0; }
bool releaseDrag() { return xdotool("mouseup 1") == 0; }

// ---- Files

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string data;
  char buf[4096];
  DWORD n;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) data.append(buf, n);
  CloseHandle(h);
  return data;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) && n == bytes.size();
  CloseHandle(h);
  return ok;
}

std::string newUnixFile(const std::string& stem, const std::string& extension) {
  // Process ids are only unique within one wineserver, and Wine programs of other prefixes
  // (a second test lane, another clone's tests) share /tmp: the name is claimed by creating it.
  for (unsigned n = GetCurrentProcessId() * 1000u + GetTickCount() % 1000u;; ++n) {
    const std::string path = "/tmp/" + stem + "-" + std::to_string(n) + extension;
    HANDLE h = CreateFileA(unixToWindows(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return path;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return path;
  }
}

std::string unixToWindows(const std::string& unixPath) {
  std::string p = "Z:" + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

// ---- Beeps, clipboard, screen

int beepCount() {
  std::string log = env("BELL_LOG");
  return log.empty() ? 0 : static_cast<int>(completeLines(readFile(unixToWindows(log))).size());
}

int waitBeeps(int n, int timeoutMs) {
  int count = 0;
  waitFor([&] { return (count = beepCount()) >= n; }, timeoutMs);
  return count;
}

std::vector<unsigned char> clipboardDib() {
  std::vector<unsigned char> dib;
  if (!OpenClipboard(nullptr)) return dib;
  if (HANDLE h = GetClipboardData(CF_DIB)) {
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    if (p) dib.assign(p, p + GlobalSize(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return dib;
}

bool screenshot(const std::string& unixPath) {
  // Without -silent, import rings the X bell while it grabs, which beep counts would see.
  return runUnix("/usr/bin/import", "-silent -window root -depth 8 \"" + unixPath + "\"") == 0;
}

COLORREF ScreenPixels::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return RGB(static_cast<unsigned char>(rgb[i]), static_cast<unsigned char>(rgb[i + 1]),
             static_cast<unsigned char>(rgb[i + 2]));
}

ScreenPixels screenPixels() {
  const std::string unixPath = newUnixFile("vt-screen", ".ppm");
  ScreenPixels shot;
  if (!screenshot(unixPath)) return shot;
  const std::string data = readFile(unixToWindows(unixPath));
  DeleteFileA(unixToWindows(unixPath).c_str());
  int maxValue = 0, used = 0;
  if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &shot.width, &shot.height, &maxValue, &used) != 3 ||
      maxValue != 255)
    return {};
  shot.rgb = data.substr(used + 1);
  if (shot.rgb.size() < static_cast<size_t>(shot.width) * shot.height * 3) return {};
  return shot;
}

}  // namespace harness
