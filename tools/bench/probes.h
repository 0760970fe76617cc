// What the bench observes of the programs it starts: a clock, started processes, their
// windows and logs, their memory, and the CPU time of their Wine (Unix) processes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace bench {

// Milliseconds from QueryPerformanceCounter.
double nowMs();

// Polls cond every millisecond until it holds or timeoutMs passed.
bool pollUntil(const std::function<bool()>& cond, int timeoutMs = 15000);

// A process started by the bench; startMs is taken just before CreateProcessA.
// The destructor ends it if it still runs.
class Child {
 public:
  Child(const std::string& commandLine, const std::string& folder);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pi_.hProcess != nullptr; }
  double startMs() const { return startMs_; }
  HANDLE handle() const { return pi_.hProcess; }
  bool waitExit(int timeoutMs = 15000);
  // Peak working set (GetProcessMemoryInfo) in KiB, or -1.
  double peakWorkingSetKiB() const;

 private:
  PROCESS_INFORMATION pi_{};
  double startMs_ = 0;
};

// A visible top-level window of the class (and title, unless null).
HWND visibleWindow(const char* cls, const char* title);
// Whether the window's client area shows anything but black on the screen (a few points in
// its upper left quarter, read back from the display).
bool showsPicture(HWND w);
// Waits until the screen is black where the programs' windows open (at the top left), so a
// closed window that the display has not yet removed is not taken for the next one's picture.
bool waitScreenClear(int timeoutMs = 3000);
// Text of a dialog's control, read from the window manager without a message.
std::string controlText(HWND dialog, int id);
// Whether the text has a line containing each piece.
bool hasLineWith(const std::string& text, const std::string& piece);
// Number of lines that start with prefix.
int countLines(const std::string& text, const std::string& prefix);

// Unix process id of the Wine process whose command line contains text (compared without
// regard to case), from /proc; 0 when there is none.
unsigned unixPidWithCommandLine(const std::string& text);
// User plus system CPU time of a Unix process in clock ticks, from /proc; -1 when unknown.
long long unixCpuTicks(unsigned pid);
// The machine's load averages (first three fields of /proc/loadavg).
std::string loadAverage();

}  // namespace bench
