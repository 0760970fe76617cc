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

struct I2cLink {
  HWND serverWindow = nullptr;
  HWND ownerWindow = nullptr;
  HBITMAP litBitmap = nullptr;
  HBITMAP idleBitmap = nullptr;
};

extern I2cLink i2cLink;

bool connectServer();
void writeRegister(std::uint8_t subaddress, std::uint8_t value);
// True when a value arrived.
bool readRegister(std::uint8_t subaddress, std::uint8_t& value);
void closeServer();
void showError(const char* text);
void setLinkLamp(bool lit);

}  // namespace quorvex
