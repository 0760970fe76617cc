// The editor's link to the I2C server: one synchronous window message per register
// request, the activity lamp, and the editor's one error box.
#pragma once
#include <windows.h>

#include <cstdint>

#include "common/i2c_server.h"

namespace quorvex {

using i2c::I2C_ACK;
using i2c::kRequestTimeoutMs;
using i2c::WM_I2C_READ;
using i2c::WM_I2C_WRITE;

struct I2cLink {
  i2c::Server server;  // the server's window, and its process when this editor started it
  HWND ownerWindow = nullptr;
  HBITMAP litBitmap = nullptr;
  HBITMAP idleBitmap = nullptr;
  bool lampLit = false;
  int batchDepth = 0;
};

extern I2cLink i2cLink;

bool connectServer();
void writeRegister(std::uint8_t subaddress, std::uint8_t value);
// True when a value arrived.
bool readRegister(std::uint8_t subaddress, std::uint8_t& value);
// Asks the server to close; one that this editor started and that still has its window
// i2c::kCloseWaitMs later is hung, and is ended.
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
