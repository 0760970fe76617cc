// Starting the programs and their baselines, and talking to the I2C server: each start is
// timed from just before CreateProcessA until the program shows what it should.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/wine/harness/harness.h"
#include "tools/bench/probes.h"

namespace bench {

// What the programs show to the outside.
extern const char kEditorTitle[];
extern const char* const kDialogClass;

// A path in quotes, for a command line.
std::string quoted(const std::string& path);

// A started program's figures: time until it showed what it should (-1: it did not), its
// peak working set in KiB (-1: unknown).
struct Launch {
  double ms = -1;
  double peakKiB = -1;
};

// Whether the viewer's window is visible with the live picture on the display.
bool viewerIsLive(const harness::Sandbox& box, HWND* window);
void closeViewer(Child& c, HWND w);
// The viewer, held for holdMs before its memory is read; client receives its client size.
Launch runViewer(const harness::Sandbox& box, int holdMs, SIZE* client);
// The minimal window program (or its variant exe) with the given client size.
Launch runWindowBaseline(const harness::Sandbox& box, int holdMs, SIZE client, const char* exe = "bench_window.exe");
// The minimal dialog program (or its variant exe); with a template module, the variant shows
// that module's dialog 1.
Launch runDialogBaseline(const harness::Sandbox& box, int holdMs, const char* exe = "bench_dialog.exe",
                         const char* templateModule = nullptr);
// The editor, with or without an I2C server already running; ended as the user does.
Launch runEditor(const harness::Sandbox& box, int holdMs, bool serverRunning);

HWND serverWindow();
bool waitServerGone();
// One bare request; true when acknowledged.
bool bareRead(HWND server, std::uint8_t subaddress, std::uint8_t* value = nullptr);
bool bareWrite(HWND server, std::uint8_t subaddress, std::uint8_t value);
// The editor's 25 reads of a reread, bare; -1 when one is not acknowledged.
double timedReads(HWND server);
// The editor's 20 writes of a Reinit, bare, each with the chip's present value (read first,
// untimed); -1 when one is not acknowledged.
double timedWrites(HWND server);
// The editor's start-up requests, bare (a write of 0x00, the 25 reads), to a server started
// for them, untimed; -1 on failure.
double startRoundTrips(const harness::Sandbox& box);

// A running editor; closed like the user does (the close box) when the object goes.
class Editor {
 public:
  explicit Editor(const harness::Sandbox& box);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;
  HWND dialog() const { return dialog_; }
  double shownMs() const { return shownMs_; }
  const Child& child() const { return child_; }

 private:
  Child child_;
  HWND dialog_ = nullptr;
  double shownMs_ = -1;
};

}  // namespace bench
