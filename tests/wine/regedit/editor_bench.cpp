// Running quorvex.drv against the simulated I2C server.
#include <windows.h>

#include <commctrl.h>

#include "tests/wine/regedit/editor_bench.h"

#include <climits>
#include <cstdio>

#include "regedit/resource.h"
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

namespace {

const int kWritable[] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
                         0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12, 0x13, 0x15, 0x16, 0x17};

LRESULT ask(HWND w, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(w, message, wParam, lParam, SMTO_NORMAL, 5000, &result);
  return static_cast<LRESULT>(result);
}

std::string textOf(HWND w) {
  char buf[256] = {};
  LRESULT n = ask(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  return std::string(buf, static_cast<size_t>(n));
}

std::string listState(HWND list) {
  std::string state = "selected " + std::to_string(ask(list, CB_GETCURSEL)) +
                      (ask(list, CB_GETEXTENDEDUI) ? ", down arrow opens;" : ";");
  LRESULT count = ask(list, CB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    // The wide form: sent to another process, the narrow one comes back cut after a character.
    wchar_t wide[256] = {};
    DWORD_PTR n = 0;
    if (ask(list, CB_GETLBTEXTLEN, i) < 256)
      SendMessageTimeoutW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL, 5000, &n);
    char text[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    state += std::string(" \"") + text + "\"";
  }
  return state;
}

std::string upDownState(HWND upDown) {
  LRESULT range = ask(upDown, UDM_GETRANGE);
  return "position " + std::to_string(static_cast<short>(LOWORD(ask(upDown, UDM_GETPOS)))) + ", range " +
         std::to_string(static_cast<short>(HIWORD(range))) + " to " + std::to_string(static_cast<short>(LOWORD(range)));
}

std::string controlState(HWND c) {
  const std::string cls = className(c);
  if (cls == "ComboBox") return listState(c);
  if (cls == "msctls_updown32") return upDownState(c);
  if (cls == "Button" && (windowStyle(c) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
    return "check " + std::to_string(ask(c, BM_GETCHECK));
  return "text \"" + textOf(c) + "\"";
}

// The id of the smallest control under a point of the dialog's client area, 0 for none.
int controlAt(HWND dialog, POINT p) {
  int id = 0;
  LONG smallest = LONG_MAX;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r = windowRect(c);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    LONG area = (r.right - r.left) * (r.bottom - r.top);
    if (PtInRect(&r, p) && area < smallest) smallest = area, id = GetDlgCtrlID(c);
  }
  return id;
}

}  // namespace

bool writeThroughServer(const unsigned char* regs) {
  HWND server = FindWindowA(kServerName, kServerName);
  if (!server) return false;
  bool ok = true;
  for (int s : kWritable) {
    LRESULT reply = ask(server, WM_USER + 900, s, regs[s]);
    ok = ok && ((reply >> 8) & 0xFF) == 0xAA;
  }
  return ok;
}

std::map<int, std::string> controlStates(HWND dialog) {
  std::map<int, std::string> states;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(c);
    if (id > 0 && id != 0xFFFF) states[id] = controlState(c);
  }
  return states;
}

std::string dialogPicture(HWND dialog) {
  RECT client = clientRect(dialog);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  RECT lamp = windowRect(GetDlgItem(dialog, IDC_LAMP));
  ScreenPixels screen = screenPixels();
  if (screen.width == 0) return "";
  std::string picture;
  picture.reserve(static_cast<size_t>(client.right) * client.bottom * 3);
  for (int y = origin.y; y < origin.y + client.bottom; ++y)
    for (int x = origin.x; x < origin.x + client.right; ++x) {
      bool inLamp = x >= lamp.left && x < lamp.right && y >= lamp.top && y < lamp.bottom;
      COLORREF c = inLamp ? 0 : screen.at(x, y);
      picture += {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetBValue(c))};
    }
  return picture;
}

std::string pictureDifference(HWND dialog, const std::string& a, const std::string& b) {
  if (a.empty() || b.empty() || a.size() != b.size()) return "no pictures to compare";
  const int width = clientRect(dialog).right;
  if (width <= 0) return "no dialog to place the pixels in";
  size_t differing = 0, first = a.size();
  for (size_t i = 0; i < a.size(); i += 3)
    if (a.compare(i, 3, b, i, 3) != 0) {
      ++differing;
      if (first == a.size()) first = i / 3;
    }
  if (differing == 0) return "";
  POINT p{static_cast<LONG>(first % width), static_cast<LONG>(first / width)};
  int id = controlAt(dialog, p);
  return std::to_string(differing) + " pixels differ, the first at " + std::to_string(p.x) + ", " +
         std::to_string(p.y) + (id ? " in control " + std::to_string(id) : " on the dialog");
}

std::vector<std::string> pushAllLines(const unsigned char (&regs)[32]) {
  std::vector<std::string> lines;
  for (int s : kWritable) {
    char line[32];
    std::snprintf(line, sizeof line, "write %02x %02x ack", s, regs[s]);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace bench
