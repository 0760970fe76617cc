// Finding, starting, asking and closing the I2C server.
#include "common/i2c_server.h"

#include "regedit/paths.h"

namespace i2c {
namespace {

const char kServerName[] = "I2CDriverWindow";

HWND findWindow() { return FindWindowA(kServerName, kServerName); }

// The quoted command line of busgate.drv beside this program; false on failure.
bool serverCommand(char (&line)[quorvex::kPathSize]) {
  char module[quorvex::kPathSize] = {};
  const DWORD size = 500;
  DWORD n = GetModuleFileNameA(nullptr, module, size);
  if (n == 0 || n >= size) return false;  // nothing, or a truncated path
  return quorvex::serverCommandLine(std::string_view(module, n), line);
}

// The started server's window, looked for until it shows, the server ends or kStartWaitMs
// from its start have passed. Idle is not enough: a process that looks at its messages before
// it creates its window is idle without one (under Wine, one whose desktop is still starting).
HWND waitStartedWindow(HANDLE process, DWORD started) {
  for (;;) {
    if (HWND found = findWindow()) return found;
    if (GetTickCount() - started >= kStartWaitMs) return nullptr;
    if (WaitForSingleObject(process, kWindowLookMs) != WAIT_TIMEOUT) return nullptr;  // it ended
  }
}

// Starts busgate.drv and links server to its window once it shows; the process is kept
// either way, so that one without a window can be ended.
void startServer(Server& server) {
  char line[quorvex::kPathSize] = {};
  if (!serverCommand(line)) return;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  const DWORD started = GetTickCount();
  WaitForInputIdle(pi.hProcess, kStartWaitMs);
  CloseHandle(pi.hThread);
  server.startedProcess = pi.hProcess;
  server.window = waitStartedWindow(pi.hProcess, started);
}

// Ends the server this program started (one that never showed a usable window).
void endStartedServer(Server& server) {
  if (!server.startedProcess) return;
  TerminateProcess(server.startedProcess, 1);
  CloseHandle(server.startedProcess);
  server.startedProcess = nullptr;
}

// Whether a found server handles messages; one stuck in a request does not.
bool answers(HWND window) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerWaitMs, &ignored) != 0;
}

}  // namespace

bool connectServer(Server& server) {
  HWND found = findWindow();
  if (found) {
    if (answers(found)) server.window = found;  // a hung one counts as none
  } else {
    startServer(server);
  }
  if (server.window) return true;
  endStartedServer(server);
  return false;
}

bool findServer(Server& server) {
  server.window = findWindow();
  return server.window != nullptr;
}

void closeServer(Server& server) {
  HWND window = server.window;
  if (!window) return;
  PostMessageA(window, WM_CLOSE, 0, 0);
  server.window = nullptr;
  if (!server.startedProcess) return;  // never end a server someone else started
  if (WaitForSingleObject(server.startedProcess, kCloseWaitMs) == WAIT_TIMEOUT && IsWindow(window))
    TerminateProcess(server.startedProcess, 1);
  CloseHandle(server.startedProcess);
  server.startedProcess = nullptr;
}

bool request(HWND window, UINT message, std::uint8_t subaddress, LPARAM lParam, UINT flags, std::uint8_t& low) {
  DWORD_PTR reply = 0;
  LRESULT answered = SendMessageTimeoutA(window, message, subaddress, lParam, flags, kRequestTimeoutMs, &reply);
  low = static_cast<std::uint8_t>(reply & 0xFF);
  return answered != 0 && ((reply >> 8) & 0xFF) == I2C_ACK;
}

}  // namespace i2c
