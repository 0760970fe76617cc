// qvx watch: every readable register each poll, the changes printed as they are found.
#include "qvx/watch_command.h"

#include "qvx/live_session.h"
#include "qvx/report.h"

namespace qvx {
namespace {

constexpr long long kPollMs = 100;

// Every register a field or a bit group can be read from.
bool readChip(RegisterShadow& s, Text& error) {
  for (const std::uint8_t* r = quorvex::readableRegisters; *r != quorvex::kListEnd; ++r)
    if (!liveRead(*r, s.bytes[*r], error)) return false;
  return true;
}

// Sleeps until ms of the run, or until a stop is requested.
void sleepUntil(long long ms) {
  long long wait = ms - static_cast<long long>(liveElapsedMs());
  if (wait > 0) liveSleep(static_cast<int>(wait));
}

}  // namespace

int watchCommand(const Args& args) {
  Message error;
  int seconds;
  if (!secondsOption(args, seconds, error)) return fail(error);
  if (!openLiveRun(error)) return fail(error);
  RegisterShadow was{}, now{};
  bool read = readChip(was, error);  // the run's time 0
  long long limitMs = seconds * 1000LL, next = kPollMs;
  while (read && !liveStopRequested(limitMs)) {
    if (editorJustOpened())
      printNote(
          "the register editor is running: the changes it writes show here too, and its status poll clears F1RDY once "
          "a second");
    sleepUntil(next);
    if (liveStopRequested(limitMs)) break;
    long long ms = static_cast<long long>(liveElapsedMs());
    read = readChip(now, error);
    if (!read) break;
    watchReport(was, now, ms, args.options & kJson, standardOutput());
    std::fflush(stdout);
    was = now;
    next = next + kPollMs > ms ? next + kPollMs : ms + kPollMs;  // a late poll is not made up
  }
  closeLiveRun();
  return read ? 0 : fail(error);
}

}  // namespace qvx
