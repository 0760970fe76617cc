// Finding or starting the I2C server and exchanging register requests with it.
#include "regedit/i2c_link.h"

#include "regedit/paths.h"
#include "regedit/resource.h"

namespace quorvex {

I2cLink i2cLink;

namespace {

const char kServerName[] = "I2CDriverWindow";
const char kLinkFailure[] =
    "Could not exchange data with Quorvex.\r\rPlease restart the program and try again.";

HWND findServer() { return FindWindowA(kServerName, kServerName); }

// The quoted command line of busgate.drv beside the editor; false on failure.
bool serverCommand(char (&line)[kPathSize]) {
  char module[kPathSize] = {};
  const DWORD size = 500;
  DWORD n = GetModuleFileNameA(nullptr, module, size);
  if (n == 0 || n >= size) return false;  // nothing, or a truncated path
  return serverCommandLine(std::string_view(module, n), line);
}

bool startServer() {
  char line[kPathSize] = {};
  if (!serverCommand(line)) return false;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  WaitForInputIdle(pi.hProcess, kIdleWaitMs);
  CloseHandle(pi.hThread);
  i2cLink.startedServer = pi.hProcess;
  return true;
}

// Ends the server this editor started (one that never showed a usable window).
void endStartedServer() {
  if (!i2cLink.startedServer) return;
  TerminateProcess(i2cLink.startedServer, 1);
  CloseHandle(i2cLink.startedServer);
  i2cLink.startedServer = nullptr;
}

// Whether a found server handles messages; one stuck in a request does not.
bool answers(HWND server) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(server, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerWaitMs, &ignored) != 0;
}

// One request; false when the server gave no acknowledged answer. SMTO_BLOCK: while it
// waits, the editor handles nothing else, not even messages other programs send it.
bool request(UINT message, std::uint8_t subaddress, LPARAM lParam, std::uint8_t& low) {
  if (!i2cLink.lampLit) setLinkLamp(true);
  DWORD_PTR reply = 0;
  LRESULT answered = SendMessageTimeoutA(i2cLink.serverWindow, message, subaddress, lParam,
                                         SMTO_BLOCK, kRequestTimeoutMs, &reply);
  if (i2cLink.batchDepth == 0) setLinkLamp(false);
  low = static_cast<std::uint8_t>(reply & 0xFF);
  return answered != 0 && ((reply >> 8) & 0xFF) == I2C_ACK;
}

void linkFailed() {
  setLinkLamp(false);
  closeServer();
  showError(kLinkFailure);
}

}  // namespace

bool connectServer() {
  HWND found = findServer();
  if (found) {
    if (answers(found)) i2cLink.serverWindow = found;  // a hung one counts as none
  } else if (startServer()) {
    i2cLink.serverWindow = findServer();
  }
  if (i2cLink.serverWindow) return true;
  endStartedServer();
  showError("Could not load I2C driver");
  return false;
}

void writeRegister(std::uint8_t subaddress, std::uint8_t value) {
  if (!i2cLink.serverWindow) return;
  std::uint8_t ignored;
  if (!request(WM_I2C_WRITE, subaddress, value, ignored)) linkFailed();
}

bool readRegister(std::uint8_t subaddress, std::uint8_t& value) {
  if (!i2cLink.serverWindow) return false;
  std::uint8_t low;
  if (!request(WM_I2C_READ, subaddress, 0, low)) {
    linkFailed();
    return false;
  }
  value = low;
  return true;
}

void closeServer() {
  HWND server = i2cLink.serverWindow;
  if (!server) return;
  PostMessageA(server, WM_CLOSE, 0, 0);
  i2cLink.serverWindow = nullptr;
  if (!i2cLink.startedServer) return;  // never end a server someone else started
  if (WaitForSingleObject(i2cLink.startedServer, kCloseWaitMs) == WAIT_TIMEOUT && IsWindow(server))
    TerminateProcess(i2cLink.startedServer, 1);
  CloseHandle(i2cLink.startedServer);
  i2cLink.startedServer = nullptr;
}

void showError(const char* text) {
  MessageBoxA(i2cLink.ownerWindow, text, "Quorvex Error", 0x12010);
}

void setLinkLamp(bool lit) {
  i2cLink.lampLit = lit;
  if (!i2cLink.ownerWindow) return;
  HBITMAP image = lit ? i2cLink.litBitmap : i2cLink.idleBitmap;
  SendDlgItemMessageA(i2cLink.ownerWindow, IDC_LAMP, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(image));
  UpdateWindow(GetDlgItem(i2cLink.ownerWindow, IDC_LAMP));
}

LinkBatch::~LinkBatch() {
  if (--i2cLink.batchDepth == 0 && i2cLink.lampLit) setLinkLamp(false);
}

}  // namespace quorvex
