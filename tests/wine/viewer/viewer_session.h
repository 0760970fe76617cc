// Helpers for the viewer's Wine tests: a vistrel.exe started in a sandbox, its main
// window, its popup menu and its settings file.
#pragma once
#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"

namespace viewer_test {

// The main window of the viewer process pid, once it is visible; null when it never is.
HWND waitViewerWindow(DWORD pid);

// Starts vistrel.exe in box (optionally with a settings file first) and waits for its window.
struct Viewer {
  harness::Process process;
  HWND window = nullptr;
};
Viewer startViewer(harness::Sandbox& box, const std::string& settingsFile = "");

// A settings file with a [Position] section of x, y, w, h and then the lines in more.
std::string positionIni(int x, int y, int w, int h, const std::string& more = "");

// Starts the viewer from positionIni(x, y, w, h, more), after the lines in before (other
// sections), and waits until its title shows the w x h video; the window is null when it never does.
Viewer startViewerAt(harness::Sandbox& box, int x, int y, int w, int h, const std::string& more = "",
                     const std::string& before = "");

// Presses F12 and waits for the title that follows ("Vistrel (full-screen)" or the size title).
bool pressF12(HWND w, const std::string& title);

// Presses keypad + and waits for its beep: with the bench's sound server and the default settings
// the Buz line is missing, so the key beeps once. Input sent before it, and messages posted to
// the window before it (a command picked from a menu), have been handled when this returns true.
bool waitInputHandled(HWND w);

// Closes the viewer as the close box does and returns its exit code (-1 if it did not end).
long closeViewer(Viewer& viewer);

// The visible popup menu window (class "#32768"), or null after the wait.
HWND waitPopupMenu(int timeoutMs = harness::kWait);
bool waitPopupMenuClosed();

// Text of the settings file in box ("" when missing); the value of one key in it,
// "(missing)" when the key is not in that section.
std::string settingsText(const harness::Sandbox& box);
std::string settingsValue(const harness::Sandbox& box, const char* section, const char* key);

// A settings file from lines, each ended with CR LF.
std::string iniLines(std::initializer_list<const char*> lines);

// A new folder under /tmp for saved frames (ImageMagick can read them there), removed with
// what it holds when the object goes.
class FrameFolder {
 public:
  FrameFolder();
  ~FrameFolder();
  FrameFolder(const FrameFolder&) = delete;
  FrameFolder& operator=(const FrameFolder&) = delete;
  const std::string& unixPath() const { return unix_; }
  std::string windowsPath() const { return harness::unixToWindows(unix_); }
  // The names of the files in it, sorted.
  std::vector<std::string> files() const;
  bool waitFiles(size_t count, int timeoutMs = 4 * harness::kWait) const;

 private:
  std::string claim_, unix_;
};

// The pixels of a PNG file (a Unix path), decoded by ImageMagick, as RGB bytes, rows top to
// bottom; "" when it cannot be decoded.
std::string pngRgb(const std::string& unixPath);
// The pixels of a packed 24-bit bottom-up DIB as RGB bytes, rows top to bottom; "" for another kind.
std::string dibRgb(const std::vector<unsigned char>& dib);

struct PngHeader {
  unsigned width = 0, height = 0, bitDepth = 0, colourType = 0;
};
// The IHDR of a PNG file's bytes; all 0 when they do not start as a PNG does.
PngHeader pngHeader(const std::string& bytes);

}  // namespace viewer_test
