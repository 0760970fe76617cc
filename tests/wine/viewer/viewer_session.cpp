#include "tests/wine/viewer/viewer_session.h"

#include <algorithm>
#include <cstring>

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

FrameFolder::FrameFolder() : claim_(newUnixFile("vt-frames", "")), unix_(claim_ + ".d") {
  CreateDirectoryA(windowsPath().c_str(), nullptr);
}

FrameFolder::~FrameFolder() {
  runUnix("/bin/rm", "-rf '" + unix_ + "'");
  DeleteFileA(unixToWindows(claim_).c_str());
}

std::vector<std::string> FrameFolder::files() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((windowsPath() + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

bool FrameFolder::waitFiles(size_t count, int timeoutMs) const {
  return waitFor([&] { return files().size() >= count; }, timeoutMs);
}

std::string pngRgb(const std::string& unixPath) {
  const std::string raw = newUnixFile("vt-png", ".rgb");
  std::string rgb;
  if (runUnix("/usr/bin/convert", "'" + unixPath + "' -depth 8 'rgb:" + raw + "'") == 0)
    rgb = readFile(unixToWindows(raw));
  DeleteFileA(unixToWindows(raw).c_str());
  return rgb;
}

std::string dibRgb(const std::vector<unsigned char>& dib) {
  BITMAPINFOHEADER h;
  if (dib.size() < sizeof h) return "";
  memcpy(&h, dib.data(), sizeof h);
  const size_t stride = (static_cast<size_t>(h.biWidth) * 3 + 3) & ~size_t{3};
  if (h.biBitCount != 24 || h.biHeight <= 0 || dib.size() < h.biSize + stride * h.biHeight) return "";
  std::string rgb;
  for (int y = h.biHeight - 1; y >= 0; --y) {
    const unsigned char* row = dib.data() + h.biSize + stride * y;
    for (int x = 0; x < h.biWidth; ++x) rgb += {char(row[3 * x + 2]), char(row[3 * x + 1]), char(row[3 * x])};
  }
  return rgb;
}

PngHeader pngHeader(const std::string& bytes) {
  static const char signature[] = "\x89PNG\r\n\x1a\n";
  if (bytes.size() < 29 || bytes.compare(0, 8, signature, 8) != 0 || bytes.compare(12, 4, "IHDR") != 0) return {};
  auto big32 = [&](size_t at) {
    return unsigned((unsigned char)bytes[at]) << 24 | unsigned((unsigned char)bytes[at + 1]) << 16 |
           unsigned((unsigned char)bytes[at + 2]) << 8 | unsigned((unsigned char)bytes[at + 3]);
  };
  return {big32(16), big32(20), (unsigned char)bytes[24], (unsigned char)bytes[25]};
}

}  // namespace viewer_test
