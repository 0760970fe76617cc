// Finding or starting the I2C server and exchanging register requests with it.
#include "regedit/i2c_link.h"

#include "regedit/resource.h"

namespace quorvex {

I2cLink i2cLink;

namespace {

const char kLinkFailure[] =
    "Could not exchange data with Quorvex.\r\rPlease restart the program and try again.";

// One request; false when the server gave no acknowledged answer. SMTO_BLOCK: while it
// waits, the editor handles nothing else, not even messages other programs send it.
bool request(UINT message, std::uint8_t subaddress, LPARAM lParam, std::uint8_t& low) {
  if (!i2cLink.lampLit) setLinkLamp(true);
  bool answered = i2c::request(i2cLink.server.window, message, subaddress, lParam, SMTO_BLOCK, low);
  if (i2cLink.batchDepth == 0) setLinkLamp(false);
  return answered;
}

void linkFailed() {
  setLinkLamp(false);
  closeServer();
  showError(kLinkFailure);
}

}  // namespace

bool connectServer() {
  if (i2c::connectServer(i2cLink.server)) return true;
  showError("Could not load I2C driver");
  return false;
}

void writeRegister(std::uint8_t subaddress, std::uint8_t value) {
  if (!i2cLink.server.window) return;
  std::uint8_t ignored;
  if (!request(WM_I2C_WRITE, subaddress, value, ignored)) linkFailed();
}

bool readRegister(std::uint8_t subaddress, std::uint8_t& value) {
  if (!i2cLink.server.window) return false;
  std::uint8_t low;
  if (!request(WM_I2C_READ, subaddress, 0, low)) {
    linkFailed();
    return false;
  }
  value = low;
  return true;
}

void closeServer() { i2c::closeServer(i2cLink.server); }

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
