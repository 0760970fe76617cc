// Running quorvex.drv against the simulated I2C server.
#include <windows.h>

#include <commctrl.h>

#include "tests/wine/regedit/editor_bench.h"

#include <cstdio>

#include "tests/wine/harness/log_lines.h"

using namespace harness;

namespace bench {

std::vector<std::string> logLines(const Sandbox& box) { return completeLines(box.log("i2c.log")); }

std::vector<std::string> linesFrom(const Sandbox& box, size_t from) {
  auto lines = logLines(box);
  if (from >= lines.size()) return {};
  return std::vector<std::string>(lines.begin() + from, lines.end());
}

bool waitLines(const Sandbox& box, size_t n, int timeoutMs) {
  return waitFor([&] { return logLines(box).size() >= n; }, timeoutMs);
}

std::vector<std::string> settledLines(const Sandbox& box, int quietMs) {
  auto last = logLines(box);
  for (int waited = 0; waited < kWait;) {
    waitFor([] { return false; }, quietMs);
    waited += quietMs;
    auto now = logLines(box);
    if (now == last) return now;
    last = now;
  }
  return last;
}

std::vector<std::string> writes(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l.rfind("write ", 0) == 0) out.push_back(l);
  return out;
}

std::string Editor::text(int id) const {
  char buf[256] = {};
  DWORD_PTR n = 0;
  SendMessageTimeoutA(item(id), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL,
                      5000, &n);
  return std::string(buf, n);
}

Editor startEditor(Sandbox& box) {
  Editor e;
  e.process = box.start("quorvex.drv");
  e.dialog = waitWindow("#32770", kDialogTitle);
  waitLines(box, 1 + 1 + 25);
  return e;
}

namespace {

BOOL CALLBACK collectStaticText(HWND w, LPARAM p) {
  auto* text = reinterpret_cast<std::string*>(p);
  if (className(w) == "Static" && !windowText(w).empty()) *text += windowText(w);
  return TRUE;
}

BOOL CALLBACK collectServer(HWND w, LPARAM p) {
  if (className(w) == kServerName) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

}  // namespace

HWND waitErrorBox(DWORD pid, int timeoutMs) {
  return waitProcessWindowWhere(pid, [](HWND w) { return windowText(w) == "Quorvex Error"; }, timeoutMs);
}

std::string messageText(HWND box) {
  std::string text;
  EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

namespace {

BOOL CALLBACK collectChildren(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

// Whether the screen shows red pixels in r (the error icon is a red disc).
bool redIn(const RECT& r) {
  HDC screen = GetDC(nullptr);
  int red = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = GetPixel(screen, x, y);
      if (GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80) ++red;
    }
  ReleaseDC(nullptr, screen);
  return red > 0;
}

}  // namespace

ErrorBoxView viewErrorBox(HWND box) {
  ErrorBoxView view;
  view.text = messageText(box);
  view.owner = GetWindow(box, GW_OWNER);
  view.topmost = (windowExStyle(box) & WS_EX_TOPMOST) != 0;
  std::vector<HWND> children;
  EnumChildWindows(box, collectChildren, reinterpret_cast<LPARAM>(&children));
  for (HWND c : children) {
    if (className(c) == "Button") view.buttons.push_back(windowText(c));
    if (className(c) == "Static" && (windowStyle(c) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(c))
      view.errorIcon = waitFor([&] { return redIn(windowRect(c)); }, 3000);
  }
  return view;
}

void dismiss(HWND box) {
  pressKey(box, VK_RETURN);
  if (!waitFor([&] { return !IsWindow(box); }, 3000)) PostMessageA(box, WM_COMMAND, IDOK, 0);
  waitFor([&] { return !IsWindow(box); });
}

// The click goes through the screen, so it waits until nothing lies over the control's middle
// (a window of an earlier test may still be going away).
void clickControl(HWND control) {
  RECT r = clientRect(control);
  POINT middle{r.right / 2, r.bottom / 2};
  POINT screen = middle;
  ClientToScreen(control, &screen);
  readyForInput(GetAncestor(control, GA_ROOT));
  waitFor([&] {
    HWND hit = WindowFromPoint(screen);
    return hit == control || IsChild(control, hit);
  }, 3000);
  click(control, middle.x, middle.y);
}

void clickArrow(HWND upDown, bool up) {
  readyForInput(GetAncestor(upDown, GA_ROOT));
  RECT r = clientRect(upDown);
  click(upDown, r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
}

void chooseOption(HWND combo, int index) {
  clickControl(combo);
  DWORD pid = 0;
  GetWindowThreadProcessId(combo, &pid);
  HWND list = waitProcessWindow(pid, "ComboLBox", 3000);
  if (!list) return;
  int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  click(list, clientRect(list).right / 2, (index - top) * height + height / 2);
  waitFor([&] { return !IsWindowVisible(list); }, 3000);
}

void typeText(HWND w, const std::string& text) {
  for (char c : text) {
    if (c >= 'a' && c <= 'z') pressKey(w, static_cast<WORD>(c - 'a' + 'A'));
    else if (c >= '0' && c <= '9') pressKey(w, static_cast<WORD>(c));
    else if (c == '.') pressKey(w, VK_OEM_PERIOD);
    else if (c == '_') pressKey(w, VK_OEM_MINUS, {VK_SHIFT});
    else if (c == '\\') pressKey(w, VK_OEM_5);
  }
}

COLORREF middlePixel(HWND w) {
  RECT r = windowRect(w);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return c;
}

HCURSOR foregroundCursor() {
  CURSORINFO ci{};
  ci.cbSize = sizeof ci;
  return GetCursorInfo(&ci) ? ci.hCursor : nullptr;
}

void parkPointer() { moveMouse(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }

void killServers() {
  std::vector<HWND> servers;
  EnumWindows(collectServer, reinterpret_cast<LPARAM>(&servers));
  for (HWND w : servers) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      TerminateProcess(h, 9);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

bool serverRunning() {
  std::vector<HWND> servers;
  EnumWindows(collectServer, reinterpret_cast<LPARAM>(&servers));
  return !servers.empty();
}

bool setChipByte(const Sandbox& box, int subaddress, unsigned char value) {
  HANDLE h = CreateFileA(box.path("decoder.bin").c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  bool ok = SetFilePointer(h, subaddress, nullptr, FILE_BEGIN) == static_cast<DWORD>(subaddress) &&
            WriteFile(h, &value, 1, &n, nullptr) && n == 1;
  CloseHandle(h);
  return ok;
}

std::vector<std::string> pushAllLines(const unsigned char (&regs)[32]) {
  static const int writable[] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
                                 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12, 0x13, 0x15, 0x16, 0x17};
  std::vector<std::string> lines;
  for (int s : writable) {
    char line[32];
    std::snprintf(line, sizeof line, "write %02x %02x ack", s, regs[s]);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace bench
