// chromset.drv: the SECAM companion stand-in. Writes its argument's byte to the decoder's
// chroma register 0x0E through the I2C server, starting the server first when none runs.
#include <windows.h>

#include <string>

#include "simcard/decoder_rules.h"
#include "simcard/i2c_protocol.h"
#include "simcard/secam_args.h"
#include "simcard/sim_env.h"
#include "simcard/text_values.h"

using namespace simcard;

namespace {

constexpr char kLog[] = "secam.log";
constexpr char kServerName[] = "I2CDriverWindow";
constexpr DWORD kStartLimitMs = 10000;  // a server that takes longer counts as missing
constexpr UINT kReplyLimitMs = 10000;   // a request unanswered this long counts as not acknowledged

enum ExitCode { kOk = 0, kBadArgument = 1, kNoServer = 2, kNotAcknowledged = 3 };

struct Server {
  HWND window = nullptr;
  HANDLE process = nullptr;  // set when this program started the server
};

// The started server's window, looked for until it appears, the server ends or the start limit
// passes: under Wine, WaitForInputIdle can return before a just-started server has made it.
HWND waitServerWindow(HANDLE process) {
  const DWORD start = GetTickCount();
  WaitForInputIdle(process, kStartLimitMs);
  for (;;) {
    HWND w = FindWindowA(kServerName, kServerName);
    if (w || GetTickCount() - start >= kStartLimitMs) return w;
    if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0) return FindWindowA(kServerName, kServerName);
  }
}

Server findOrStartServer() {
  Server s;
  s.window = FindWindowA(kServerName, kServerName);
  if (s.window) return s;
  std::string folder = ownFolder();
  if (folder.empty()) return s;
  std::string cmd = "\"" + folder + "busgate.drv\"";  // quoted: the folder may hold blanks
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return s;
  CloseHandle(pi.hThread);
  s.process = pi.hProcess;
  s.window = waitServerWindow(pi.hProcess);
  return s;
}

// Asks a server this program started to close and waits a little for it to go; one
// without a window cannot be asked and is ended.
void releaseServer(const Server& s) {
  if (!s.process) return;
  if (s.window) {
    PostMessageA(s.window, WM_CLOSE, 0, 0);
    WaitForSingleObject(s.process, 5000);
  } else {
    TerminateProcess(s.process, 0);
  }
  CloseHandle(s.process);
}

bool writeChroma(HWND server, std::uint8_t value) {
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutA(server, WM_I2C_WRITE, kChroma, value, SMTO_NORMAL, kReplyLimitMs, &reply))
    return false;
  return ((reply >> 8) & 0xFF) == I2C_ACK;
}

int setSecam(std::string_view arguments) {
  auto value = parseSecamArgument(arguments);
  if (!value) return kBadArgument;
  Server s = findOrStartServer();
  int code = !s.window ? kNoServer : writeChroma(s.window, *value) ? kOk : kNotAcknowledged;
  releaseServer(s);
  return code;
}

std::optional<unsigned> envNumber(const char* name) {
  auto text = envText(name);
  return text ? parseDecimal(*text) : std::nullopt;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::string_view arguments = argumentsOf(GetCommandLineA());
  appendLog(kLog, arguments.empty() ? "args" : "args " + std::string(arguments));
  auto forced = envNumber("SIMCARD_SECAM_EXIT");
  int code = forced ? static_cast<int>(*forced) : setSecam(arguments);
  if (auto delay = envNumber("SIMCARD_SECAM_DELAY_MS")) Sleep(*delay);
  appendLog(kLog, "exit " + std::to_string(code));
  return code;
}
