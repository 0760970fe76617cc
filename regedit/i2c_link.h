// The editor's link to the I2C server: one synchronous window message per register
// request, the activity lamp, and the editor's one error box.
#pragma once
#include <windows.h>

#include <cstdint>

namespace quorvex {

constexpr UINT WM_I2C_WRITE = WM_USER + 900;  // 0x784
constexpr UINT WM_I2C_READ = WM_USER + 901;   // 0x785
constexpr unsigned I2C_ACK = 0xAA;
constexpr UINT kRequestTimeoutMs = 5000;  // a server silent this long counts as broken
constexpr DWORD kIdleWaitMs = 10000;      // for a started server to finish its start-up
constexpr UINT kAnswerWaitMs = 2000;      // for a found server to show it is not hung
constexpr DWORD kCloseWaitMs = 2000;      // for a started server to end when asked to close

struct I2cLink {
  HWND serverWindow = nullptr;
  HWND ownerWindow = nullptr;
  HBITMAP litBitmap = nullptr;
  HBITMAP idleBitmap = nullptr;
  HANDLE startedServer = nullptr;  // the server's process, when this editor started it
  bool lampLit = false;
  int batchDepth = 0;
};

extern I2cLink i2cLink;

bool connectServer();
void writeRegister(std::uint8_t subaddress, std::uint8_t value);
// True when a value arrived.
bool readRegister(std::uint8_t subaddress, std::uint8_t& value);
// Asks the server to close; one that this editor started and that still has its window
// kCloseWaitMs later is hung, and is ended.
void closeServer();
void showError(const char* text);
void setLinkLamp(bool lit);

// The requests made while one lives light the lamp once: before the first of them, and
// back to idle after the last.
class LinkBatch {
 public:
  LinkBatch() { ++i2cLink.batchDepth; }
  ~LinkBatch();
  LinkBatch(const LinkBatch&) = delete;
  LinkBatch& operator=(const LinkBatch&) = delete;
};

}  // namespace quorvex
