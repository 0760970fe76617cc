// Test bench for the real programs under Wine: a private copy of the delivery folder,
// the programs started in it, their windows found and driven with real input, and
// what they leave behind (files, logs, beeps, clipboard) read back.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

constexpr int kWait = 30000;  // generous limit for any condition, in ms (Wine may run under an emulator)

// Polls cond every 20 ms, pumping this thread's messages, until it holds or timeoutMs passed.
bool waitFor(const std::function<bool()>& cond, int timeoutMs = kWait);

// A started program. The destructor ends it if it still runs.
class Process {
 public:
  Process() = default;
  explicit Process(PROCESS_INFORMATION pi);
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  ~Process();
  bool started() const { return handle_ != nullptr; }
  DWORD id() const { return id_; }
  bool running() const;
  // Exit code, or -1 when it has not ended within timeoutMs.
  long waitExit(int timeoutMs = kWait);
  void kill();

 private:
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// A running process found by its id (for a program started without a handle).
Process openProcess(DWORD pid);

// A fresh copy of the delivery folder (VT_OUT) in a temporary folder of its own.
// SIMCARD_LOG and SIMCARD_STATE point into it, so each sandbox has its own logs and chip.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& dir() const { return dir_; }
  std::string path(const std::string& name) const { return dir_ + "\\" + name; }
  // Copies a test program from the bench's own folder (VT_TESTBIN) into the sandbox.
  void copyTestProgram(const std::string& name);
  // Starts name (a file in the sandbox) with the sandbox as current folder, or cwd.
  Process start(const std::string& name, const std::string& args = "", const std::string& cwd = "");
  // Starts name like start, but from a Unix shell that lets it write no byte into any file
  // (its writes fail; its own children inherit that). There is no handle: find its window.
  bool startWithoutFileSpace(const std::string& name);
  // Text of a stand-in's log in this sandbox ("i2c.log", "capture.log", "secam.log").
  std::string log(const std::string& name) const;

 private:
  std::string dir_;
};

// Sets an environment variable for programs started from now on; restores it when destroyed.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();

 private:
  std::string name_, old_;
  bool hadOld_;
};

// Sets HKCU\Software\Wine\Drivers "Audio" to "" while it lives: Wine's own way to have no
// sound driver, so programs started meanwhile find no mixer device. (Programs take their sound
// server from the environment Wine started with; a PULSE_SERVER set by a test would not reach them.)
class NoAudioDriver {
 public:
  NoAudioDriver();
  ~NoAudioDriver();
  NoAudioDriver(const NoAudioDriver&) = delete;
  NoAudioDriver& operator=(const NoAudioDriver&) = delete;

 private:
  HKEY key_ = nullptr;
};

// Sets Wine's DLL override for dll in program (an executable's file name) to mode ("" disables
// it) while it lives, for programs started meanwhile.
class ScopedDllOverride {
 public:
  ScopedDllOverride(const char* program, const char* dll, const char* mode);
  ~ScopedDllOverride();
  ScopedDllOverride(const ScopedDllOverride&) = delete;
  ScopedDllOverride& operator=(const ScopedDllOverride&) = delete;

 private:
  HKEY key_ = nullptr;
  std::string dll_;
};

// While it lives, viewers started from box load the mixer stand-in (simcard's winmm.dll, copied
// into box) instead of Wine's mixer, with SIMCARD_MIXER = faults; it logs to "mixer.log" in box.
// Wine takes a started program's DLL overrides from the registry (AppDefaults), not from a
// WINEDLLOVERRIDES set by the starting Windows process.
class SimulatedMixer {
 public:
  explicit SimulatedMixer(Sandbox& box, const char* faults = "");
  SimulatedMixer(const SimulatedMixer&) = delete;
  SimulatedMixer& operator=(const SimulatedMixer&) = delete;

 private:
  ScopedEnv faults_;
  ScopedDllOverride override_;
};

// Windows.
HWND findWindow(const char* cls, const char* title);  // either may be null
HWND waitWindow(const char* cls, const char* title, int timeoutMs = kWait);
// A visible top-level window of process pid, optionally of class cls.
HWND waitProcessWindow(DWORD pid, const char* cls = nullptr, int timeoutMs = kWait);
// A visible top-level window of process pid for which match holds.
HWND waitProcessWindowWhere(DWORD pid, const std::function<bool(HWND)>& match, int timeoutMs = kWait);
std::string windowText(HWND w);
std::string className(HWND w);
RECT windowRect(HWND w);
RECT clientRect(HWND w);  // size only (left, top = 0)
LONG windowStyle(HWND w);
LONG windowExStyle(HWND w);
bool waitTitle(HWND w, const std::string& title, int timeoutMs = kWait);

// Text as a dialog draws it, measured in this process with the font a dialog template's
// FONT points, face line gives: the dialog base units of that font, and the size the text of a
// static control needs when wrapped to the control's width.
SIZE dialogBaseUnits(const char* face, int points);
SIZE wrappedTextSize(HWND control, const char* face, int points);

// Real input. Keys and clicks go through SendInput after the window is brought to the front
// (pressKey also waits until it is ready for input).
bool bringToFront(HWND w);
// Brings w to the front and waits until its thread has handled what came before (a message
// sent to it returns), so that input sent now reaches a window that is ready for it.
bool readyForInput(HWND w);
// The screen point in the middle of w's close box, found where w's own hit-test answers
// HTCLOSE; false when it has none.
bool closeBoxPoint(HWND w, POINT& p);
// Clicks w's close box once nothing lies over it.
bool clickCloseBox(HWND w);
void pressKey(HWND w, WORD vk, std::vector<WORD> modifiers = {});
void keyDown(WORD vk);
void keyUp(WORD vk);
void moveMouse(int screenX, int screenY);
void click(HWND w, int clientX, int clientY, bool right = false);
void clickScreen(int screenX, int screenY, bool right = false);
// A left double click there: both clicks in one input batch, so that a slow machine cannot
// stretch them past the double-click time.
void doubleClickScreen(int screenX, int screenY);

// Runs a Unix program (by its full Unix path; args as a shell would read them) and returns
// its exit code, or -1.
long runUnix(const std::string& unixPath, const std::string& args, int timeoutMs = kWait);
// Runs xdotool with args; for input the X server must see (drags with a modifier held).
long xdotool(const std::string& args);
// Drags with the left button from one screen point to another while key (an X key name
// such as "shift", or "" for none) is held, through the X server.
bool dragScreen(HWND w, POINT from, POINT to, const std::string& key);
// The same drag in two halves: the left button pressed at from and moved to to, held until
// releaseDrag, so that a test can look at what happens while the button is down.
bool holdDrag(HWND w, POINT from, POINT to);
bool releaseDrag();

// Files.
bool fileExists(const std::string& path);
std::string readFile(const std::string& path);  // "" when missing
bool writeFile(const std::string& path, const std::string& bytes);
std::string unixToWindows(const std::string& unixPath);
// A new, empty file under /tmp named stem-<number>extension, unique across Wine prefixes.
std::string newUnixFile(const std::string& stem, const std::string& extension);

// Beeps rung so far in this wine-run environment (lines in BELL_LOG).
int beepCount();
// Waits until the count reaches n; returns the final count.
int waitBeeps(int n, int timeoutMs = kWait);

// The clipboard's CF_DIB, empty when there is none.
std::vector<unsigned char> clipboardDib();

// Saves a picture of the whole display to a Unix path (ImageMagick import, 8 bits a channel;
// the extension picks the format, .ppm for pixels a test reads). It rings no X bell.
bool screenshot(const std::string& unixPath);

// The whole display's pixels now, 8 bits a channel; width 0 when no picture could be had.
struct ScreenPixels {
  int width = 0, height = 0;
  std::string rgb;  // rows top to bottom, three bytes a pixel
  COLORREF at(int x, int y) const;
};
ScreenPixels screenPixels();

}  // namespace harness
