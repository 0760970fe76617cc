#include "tests/wine/viewer/viewer_session.h"

using namespace harness;

namespace viewer_test {

HWND waitViewerWindow(DWORD pid) { return waitProcessWindow(pid, "Vistrel"); }

Viewer startViewer(Sandbox& box, const std::string& settingsFile) {
  if (!settingsFile.empty()) writeFile(box.path("vistrel.ini"), settingsFile);
  Viewer v;
  v.process = box.start("vistrel.exe");
  if (v.process.started()) v.window = waitViewerWindow(v.process.id());
  return v;
}

std::string positionIni(int x, int y, int w, int h, const std::string& more) {
  return "[Position]\r\nx=" + std::to_string(x) + "\r\ny=" + std::to_string(y) + "\r\nw=" + std::to_string(w) +
         "\r\nh=" + std::to_string(h) + "\r\n" + more;
}

Viewer startViewerAt(Sandbox& box, int x, int y, int w, int h, const std::string& more, const std::string& before) {
  Viewer v = startViewer(box, before + positionIni(x, y, w, h, more));
  if (v.window && !waitTitle(v.window, "Vistrel (" + std::to_string(w) + "x" + std::to_string(h) + ")"))
    v.window = nullptr;
  return v;
}

bool pressF12(HWND w, const std::string& title) {
  pressKey(w, VK_F12);
  return waitTitle(w, title);
}

bool waitInputHandled(HWND w) {
  const int before = beepCount();
  pressKey(w, VK_ADD);
  return waitBeeps(before + 1) == before + 1;
}

long closeViewer(Viewer& viewer) {
  PostMessageA(viewer.window, WM_CLOSE, 0, 0);
  return viewer.process.waitExit();
}

HWND waitPopupMenu(int timeoutMs) {
  HWND menu = nullptr;
  waitFor([&] {
    menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }, timeoutMs);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

bool waitPopupMenuClosed() {
  return waitFor([] {
    HWND menu = FindWindowA("#32768", nullptr);
    return !menu || !IsWindowVisible(menu);
  });
}

std::string settingsText(const Sandbox& box) { return readFile(box.path("vistrel.ini")); }

// Parsed here rather than with GetPrivateProfileStringA, whose cache may not see a file
// that another process rewrote a moment ago.
std::string settingsValue(const Sandbox& box, const char* section, const char* key) {
  std::string text = settingsText(box), current, header = std::string("[") + section + "]";
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      current = line;
      continue;
    }
    size_t eq = line.find('=');
    if (current == header && eq != std::string::npos && line.substr(0, eq) == key) return line.substr(eq + 1);
  }
  return "(missing)";
}

std::string iniLines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

}  // namespace viewer_test
