// The text slicer read on a thread of its own.
#include <windows.h>

#include "qvx/captions/slicer_reader.h"
#include "qvx/live_session.h"

namespace captions {
namespace {

constexpr std::uint8_t kSyncControl = 0x08, kFsel = 0x40;  // FSEL: 60 Hz fields
constexpr std::uint8_t kSlicerStatus = 0x1A, kSlicerByte1 = 0x1B, kSlicerByte2 = 0x1C;
constexpr std::uint8_t kF1Ready = 0x01;
constexpr double kFrame60Ms = 1001.0 / 30, kFrame50Ms = 40;
constexpr double kCloseStepMs = 1.5;  // between polls while a frame is due
constexpr double kIdleStepMs = 10;    // between polls while no frame is expected
constexpr double kRateCheckMs = 1000;
constexpr int kRingSize = 4096;  // two minutes of frames, should the printing side stall

// All zero until started (no initializers: a static one takes no file space).
struct Reader {
  HANDLE thread;
  HANDLE stop;       // set to end the thread
  HANDLE available;  // set when pairs are in the ring
  SlicedPair ring[kRingSize];
  volatile LONG written, taken;  // counts; the ring holds written - taken pairs
  volatile LONG ended;           // the thread has ended
  volatile LONG failed;          // ... because the server stopped answering
  double frameMs;
};

Reader reader;

void push(std::uint8_t first, std::uint8_t second, double ms) {
  if (reader.written - reader.taken >= kRingSize) return;  // the printing side is two minutes behind
  reader.ring[reader.written % kRingSize] = {first, second, static_cast<long long>(ms)};
  InterlockedIncrement(&reader.written);
  SetEvent(reader.available);
}

// A failed read's message; the run reports the failure in words of its own.
qvx::TextOf<64> readError;

void readFrameRate() {
  std::uint8_t sync = 0;
  if (qvx::liveRead(kSyncControl, sync, readError)) reader.frameMs = (sync & kFsel) ? kFrame60Ms : kFrame50Ms;
}

// Sleeps until ms on the run's clock; false when told to stop.
bool sleepUntil(double ms) {
  double wait = ms - qvx::liveElapsedMs();
  DWORD step = wait > 0 ? static_cast<DWORD>(wait + 0.5) : 0;
  return WaitForSingleObject(reader.stop, step) == WAIT_TIMEOUT;
}

DWORD WINAPI readLoop(void*) {
  readFrameRate();
  double nextRateCheck = qvx::liveElapsedMs() + kRateCheckMs;
  double lastEmpty = -1e9, lastPair = -1e9;  // the last polls that found no pair and a pair
  double nextPoll = 0;
  while (sleepUntil(nextPoll)) {
    double now = qvx::liveElapsedMs();
    if (now >= nextRateCheck) {
      readFrameRate();
      nextRateCheck = now + kRateCheckMs;
    }
    std::uint8_t status, first, second;
    if (!qvx::liveRead(kSlicerStatus, status, readError)) break;
    if (status & kF1Ready) {
      if (!qvx::liveRead(kSlicerByte1, first, readError) || !qvx::liveRead(kSlicerByte2, second, readError)) break;
      push(first, second, now);
      // This pair came after the last empty poll (or at most a frame before now): the next
      // one comes a frame after that.
      double latchedAfter = lastEmpty > now - reader.frameMs ? lastEmpty : now - reader.frameMs;
      lastPair = now;
      nextPoll = latchedAfter + reader.frameMs + kCloseStepMs / 2;
    } else {
      lastEmpty = now;
      bool due = now - lastPair < reader.frameMs * 1.5;
      nextPoll = now + (due ? kCloseStepMs : kIdleStepMs);
    }
  }
  if (WaitForSingleObject(reader.stop, 0) != WAIT_OBJECT_0) InterlockedExchange(&reader.failed, 1);
  InterlockedExchange(&reader.ended, 1);
  SetEvent(reader.available);
  return 0;
}

// One-millisecond timer resolution for the run (winmm, loaded only for a live run).
void fineTimer(bool on) {
  using TimePeriod = UINT(WINAPI*)(UINT);
  static HMODULE winmm = LoadLibraryA("winmm.dll");
  if (!winmm) return;
  FARPROC address = GetProcAddress(winmm, on ? "timeBeginPeriod" : "timeEndPeriod");
  if (address) reinterpret_cast<TimePeriod>(reinterpret_cast<void (*)()>(address))(1);
}

}  // namespace

bool startSlicerReader(qvx::Text& error) {
  reader.frameMs = kFrame60Ms;
  reader.stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  reader.available = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  fineTimer(true);
  if (reader.stop && reader.available) reader.thread = CreateThread(nullptr, 0, readLoop, nullptr, 0, nullptr);
  if (!reader.thread) error << "cannot start the thread that reads the chip";
  if (reader.thread) SetThreadPriority(reader.thread, THREAD_PRIORITY_TIME_CRITICAL);
  return reader.thread != nullptr;
}

int takeSlicedPairs(SlicedPair* pairs, int max, int waitMs) {
  if (reader.written == reader.taken && !reader.ended)
    WaitForSingleObject(reader.available, static_cast<DWORD>(waitMs));
  if (reader.written == reader.taken && reader.ended) return -1;
  int n = 0;
  while (n < max && reader.taken != reader.written) {
    pairs[n++] = reader.ring[reader.taken % kRingSize];
    InterlockedIncrement(&reader.taken);
  }
  return n;
}

bool stopSlicerReader() {
  SetEvent(reader.stop);
  WaitForSingleObject(reader.thread, INFINITE);
  CloseHandle(reader.thread);
  reader.thread = nullptr;
  fineTimer(false);
  return reader.failed == 0;
}

}  // namespace captions
