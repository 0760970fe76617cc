// A live run against the chip, for the commands that follow it over time: the I2C server
// found or started as the editor does, the run's clock, Ctrl+C (and closing the console)
// turned into an orderly stop, and whether the register editor runs meanwhile. One run per
// process. Only the Windows build reaches the chip; elsewhere opening fails.
#pragma once
#include <cstdint>

#include "qvx/text.h"

namespace qvx {

// Links to the server (starting it when none runs); false with error.
bool openLiveRun(Text& error);
// One register read; false with error when the server did not acknowledge it. One thread at a
// time.
bool liveRead(std::uint8_t subaddress, std::uint8_t& value, Text& error);
// Milliseconds since the run's first read (0 before it), to a fraction of one.
double liveElapsedMs();
// Whether the run is to stop: Ctrl+C or the console closing, or limitMs (0: none) reached.
bool liveStopRequested(long long limitMs);
// Sleeps ms, or less when a stop is requested.
void liveSleep(int ms);
// Whether the register editor ("Quorvex Control Center") has opened since the last call: true
// once when it is first found open, and again after it was found closed; it is looked for at
// most once a second of the run.
bool editorJustOpened();
// Closes the server if this run started it, and ends the run.
void closeLiveRun();

// While on, a console that shows standard output shows UTF-8 (Windows; elsewhere nothing).
void utf8Console(bool on);

}  // namespace qvx
