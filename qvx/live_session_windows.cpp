// A live run through the I2C server, with the editor's way of finding or starting it.
#include <windows.h>

#include "qvx/chip_link.h"
#include "qvx/live_session.h"

namespace qvx {
namespace {

const char kEditorTitle[] = "Quorvex Control Center";
constexpr double kEditorLookMs = 1000;
constexpr DWORD kCloseEventWaitMs = 4000;  // the system ends the process soon after a close

struct LiveRun {
  LARGE_INTEGER start{}, frequency{};
  volatile LONG clockStarted = 0;  // by the first read, when the chip is first asked
  HANDLE stop = nullptr;           // set by Ctrl+C, Ctrl+Break or the console closing
  HANDLE finished = nullptr;       // set when the run has ended in order
};

LiveRun run;

// Runs on a thread of its own. For a closing console the process ends when this returns,
// so it waits for the run to finish its files first.
BOOL WINAPI onConsoleEvent(DWORD event) {
  SetEvent(run.stop);
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    WaitForSingleObject(run.finished, kCloseEventWaitMs);
  return TRUE;
}

}  // namespace

bool openLiveRun(Text& error) {
  run.stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  run.finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!run.stop || !run.finished) {
    error << "cannot create an event";
    return false;
  }
  if (!openChipLink(true, error)) return false;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
  QueryPerformanceFrequency(&run.frequency);
  return true;
}

bool liveRead(std::uint8_t subaddress, std::uint8_t& value, Text& error) {
  if (!run.clockStarted) {
    QueryPerformanceCounter(&run.start);
    InterlockedExchange(&run.clockStarted, 1);
  }
  return readChipRegister(subaddress, value, error);
}

double liveElapsedMs() {
  if (!run.clockStarted) return 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - run.start.QuadPart) * 1000.0 / static_cast<double>(run.frequency.QuadPart);
}

bool liveStopRequested(long long limitMs) {
  return WaitForSingleObject(run.stop, 0) == WAIT_OBJECT_0 ||
         (limitMs > 0 && liveElapsedMs() >= static_cast<double>(limitMs));
}

void liveSleep(int ms) { WaitForSingleObject(run.stop, static_cast<DWORD>(ms)); }

bool editorJustOpened() {
  static double nextLook = 0;
  static bool seen = false;
  if (liveElapsedMs() < nextLook) return false;
  nextLook = liveElapsedMs() + kEditorLookMs;
  bool running = FindWindowA(MAKEINTATOM(0x8002), kEditorTitle) != nullptr;  // a dialog box
  bool opened = running && !seen;
  seen = running;
  return opened;
}

void utf8Console(bool on) {
  static UINT previous = 0;
  DWORD mode;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return;  // a file or a pipe: bytes as they are
  if (on) {
    previous = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
  } else if (previous) {
    SetConsoleOutputCP(previous);
  }
}

void closeLiveRun() {
  closeChipLink();
  SetEvent(run.finished);
}

}  // namespace qvx
