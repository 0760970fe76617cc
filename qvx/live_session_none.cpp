// The host build reaches no chip.
#include "qvx/chip_link.h"
#include "qvx/live_session.h"

namespace qvx {

bool openLiveRun(Text& error) { return openChipLink(true, error); }
bool liveRead(std::uint8_t, std::uint8_t&, Text&) { return false; }
double liveElapsedMs() { return 0; }
bool liveStopRequested(long long) { return true; }
void liveSleep(int) {}
bool editorJustOpened() { return false; }
void closeLiveRun() {}
void utf8Console(bool) {}

}  // namespace qvx
