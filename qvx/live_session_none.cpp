// The host build reaches no chip.
#include "qvx/live_session.h"

namespace qvx {

bool openLiveRun(const char*& error) {
  error = "the chip is reached only by the Windows build, qvx.exe";
  return false;
}
bool liveRead(std::uint8_t, std::uint8_t&) { return false; }
double liveElapsedMs() { return 0; }
bool liveStopRequested(long long) { return true; }
void liveSleep(int) {}
bool editorRunning() { return false; }
void closeLiveRun() {}
void utf8Console(bool) {}

}  // namespace qvx
