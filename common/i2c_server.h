// The I2C server (busgate.drv) as the editor and qvx reach it: found by its window
// "I2CDriverWindow" or started from the program's own folder, one register request per
// window message, and asked to close at the end.
#pragma once
#include <windows.h>

#include <cstdint>

namespace i2c {

constexpr UINT WM_I2C_WRITE = WM_USER + 900;  // 0x784
constexpr UINT WM_I2C_READ = WM_USER + 901;   // 0x785
constexpr unsigned I2C_ACK = 0xAA;
constexpr UINT kRequestTimeoutMs = 5000;  // a server silent this long counts as broken
constexpr DWORD kStartWaitMs = 10000;     // for a started server to finish its start-up and show its window
constexpr DWORD kWindowLookMs = 50;       // between looks for a started server's window
constexpr UINT kAnswerWaitMs = 2000;      // for a found server to show it is not hung
constexpr DWORD kCloseWaitMs = 2000;      // for a started server to end when asked to close

struct Server {
  HWND window = nullptr;
  HANDLE startedProcess = nullptr;  // the server's process, when this program started it
};

// Links server to a running server that answers (one that is hung counts as none, and
// none is started then), or to busgate.drv started beside this program, whose window is
// waited for. False when there is none; a server started for nothing is ended.
bool connectServer(Server& server);
// Links server to a running server's window as found, without asking it anything; false when
// none runs.
bool findServer(Server& server);

// Asks the server to close and forgets it; one this program started that still has its
// window kCloseWaitMs later is hung, and is ended.
void closeServer(Server& server);

// One request (WM_I2C_READ or WM_I2C_WRITE) with the given SendMessageTimeout flags; true
// when the reply carries the acknowledge byte, with bits 0-7 of the reply in low.
bool request(HWND window, UINT message, std::uint8_t subaddress, LPARAM lParam, UINT flags, std::uint8_t& low);

}  // namespace i2c
