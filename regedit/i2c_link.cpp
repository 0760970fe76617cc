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
  WaitForInputIdle(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// One request; false when the server gave no acknowledged answer.
bool request(UINT message, std::uint8_t subaddress, LPARAM lParam, std::uint8_t& low) {
  setLinkLamp(true);
  DWORD_PTR reply = 0;
  LRESULT answered = SendMessageTimeoutA(i2cLink.serverWindow, message, subaddress, lParam,
                                         SMTO_NORMAL, kRequestTimeoutMs, &reply);
  setLinkLamp(false);
  low = static_cast<std::uint8_t>(reply & 0xFF);
  return answered != 0 && ((reply >> 8) & 0xFF) == I2C_ACK;
}

void linkFailed() {
  closeServer();
  showError(kLinkFailure);
}

}  // namespace

bool connectServer() {
  i2cLink.serverWindow = findServer();
  if (i2cLink.serverWindow) return true;
  if (startServer()) i2cLink.serverWindow = findServer();
  if (i2cLink.serverWindow) return true;
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
  if (!i2cLink.serverWindow) return;
  PostMessageA(i2cLink.serverWindow, WM_CLOSE, 0, 0);
  i2cLink.serverWindow = nullptr;
}

void showError(const char* text) {
  MessageBoxA(i2cLink.ownerWindow, text, "Quorvex Error", 0x12010);
}

void setLinkLamp(bool lit) {
  if (!i2cLink.ownerWindow) return;
  HBITMAP image = lit ? i2cLink.litBitmap : i2cLink.idleBitmap;
  SendDlgItemMessageA(i2cLink.ownerWindow, IDC_LAMP, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(image));
  UpdateWindow(GetDlgItem(i2cLink.ownerWindow, IDC_LAMP));
}

}  // namespace quorvex
