// busgate.drv: the I2C server stand-in. A hidden top-level window "I2CDriverWindow" answers
// register reads and writes of the shared simulated decoder, one per window message.
#include <windows.h>

#include "simcard/i2c_protocol.h"
#include "simcard/shared_decoder.h"
#include "simcard/sim_env.h"

using namespace simcard;

namespace {

constexpr char kServerName[] = "I2CDriverWindow";
constexpr char kLog[] = "i2c.log";

SharedDecoder decoder;
I2cServerCore* server = nullptr;

LRESULT onRequest(UINT msg, WPARAM wp, LPARAM lp) {
  I2cOutcome out = server->handle(msg, static_cast<std::uint32_t>(wp), static_cast<std::uint32_t>(lp),
                                  decoder.registers(), GetTickCount(), decoder.pins());
  if (out.hang)
    for (;;) Sleep(INFINITE);  // the window stays; the caller's SendMessage never returns
  if (out.delayMs) Sleep(out.delayMs);
  appendLog(kLog, out.logLine);
  if (out.exitAfterReply) {
    ReplyMessage(static_cast<LRESULT>(out.reply));
    ExitProcess(0);
  }
  return static_cast<LRESULT>(out.reply);
}

LRESULT CALLBACK serverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_I2C_WRITE:
    case WM_I2C_READ:
      return onRequest(msg, wp, lp);
    case WM_CLOSE:
      appendLog(kLog, "close");
      DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

void createServerWindow() {
  CreateWindowExA(0, kServerName, kServerName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void CALLBACK lateWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  createServerWindow();
}

I2cFaults faultsFromEnvironment() {
  auto text = envText("SIMCARD_I2C");
  auto faults = parseI2cFaults(text ? *text : "");
  return faults ? *faults : I2cFaults{};
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  appendLog(kLog, "start");
  if (!decoder.open()) return 1;
  I2cFaults faults = faultsFromEnvironment();
  I2cServerCore core(faults);
  server = &core;

  WNDCLASSA wc{};
  wc.lpfnWndProc = serverProc;
  wc.hInstance = instance;
  wc.lpszClassName = kServerName;
  if (!RegisterClassA(&wc)) return 1;

  if (faults.lateWindowMs)
    SetTimer(nullptr, 0, *faults.lateWindowMs, lateWindow);
  else if (!faults.noWindow)
    createServerWindow();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
