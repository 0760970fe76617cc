// busgate.drv: the I2C server stand-in. A hidden top-level window "I2CDriverWindow" answers
// register reads and writes of the shared simulated decoder, one per window message.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "simcard/caption_player.h"
#include "simcard/i2c_protocol.h"
#include "simcard/shared_decoder.h"
#include "simcard/sim_env.h"

using namespace simcard;

namespace {

constexpr char kServerName[] = "I2CDriverWindow";
constexpr char kLog[] = "i2c.log";
constexpr char kCaptionLog[] = "captions.log";

SharedDecoder decoder;
I2cServerCore* server = nullptr;

double qpcMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// SIMCARD_CAPTIONS: the slicer plays a caption file, its clock started by the first request.
class CaptionSlicer final : public SlicerSource {
 public:
  explicit CaptionSlicer(CaptionPlayer player) : player_(std::move(player)) {}
  void startClock() {
    if (started_) return;
    started_ = true;
    startMs_ = qpcMs();
    char text[64];
    std::snprintf(text, sizeof text, "start %.3f", startMs_);  // QueryPerformanceCounter ms
    appendLog(kCaptionLog, text);
  }
  std::uint8_t readSlicer(unsigned subaddress) override {
    auto ticks = static_cast<std::int64_t>((qpcMs() - startMs_) * (kTicksPerSecond / 1000.0));
    bool sixty = (decoder.registers()[kSyncControl] & kFsel) != 0;
    std::vector<std::string> log;
    std::uint8_t value = player_.read(subaddress, ticks, sixty, log);
    for (const std::string& line : log) appendLog(kCaptionLog, line);
    return value;
  }

 private:
  CaptionPlayer player_;
  bool started_ = false;
  double startMs_ = 0;
};

std::unique_ptr<CaptionSlicer> captionSlicer;

// A caption file named by SIMCARD_CAPTIONS; one that cannot be played is logged and ignored.
void loadCaptions() {
  auto path = envText("SIMCARD_CAPTIONS");
  if (!path || path->empty()) return;
  auto faultText = envText("SIMCARD_CAPTIONS_FAULTS");
  auto faults = parseCaptionFaults(faultText ? *faultText : "");
  std::vector<ScheduledPair> pairs;
  std::string error;
  if (!loadCaptionFile(path->c_str(), pairs, error)) {
    appendLog(kCaptionLog, "error " + *path + ": " + error);
    return;
  }
  appendLog(kCaptionLog, "load " + std::to_string(pairs.size()) + " pairs");
  captionSlicer = std::make_unique<CaptionSlicer>(CaptionPlayer(std::move(pairs), faults ? *faults : CaptionFaults{}));
}

LRESULT onRequest(UINT msg, WPARAM wp, LPARAM lp) {
  if (captionSlicer) captionSlicer->startClock();
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
  CreateWindowExA(0, kServerName, kServerName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100, nullptr,
                  nullptr, GetModuleHandleA(nullptr), nullptr);
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
  // After the window, so that the file takes nothing from the start-up; before any request.
  loadCaptions();
  if (captionSlicer) core.setSlicer(captionSlicer.get());

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
