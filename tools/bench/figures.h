// The measurements: each runs one warm-up and then `runs` measured rounds, alternating the
// figure and its baseline so that both see the same machine load.
#pragma once
#include <string>
#include <vector>

#include "tools/bench/report.h"

namespace bench {

struct Settings {
  int runs = 7;
  int holdMs = 1000;        // how long a started program runs before its memory is read
  int cpuSampleMs = 2000;   // length of one CPU-share sample
  long clockTicks = 100;    // Unix clock ticks per second
  unsigned xvfbPid = 0;     // the display server's and wineserver's Unix pids, for context
  unsigned wineserverPid = 0;
  std::string beforeOut;    // an earlier build's delivery folder, measured beside this one
};

// Viewer start until the live picture, and the viewer's peak working set.
std::vector<Row> viewerStartRows(const Settings& s);
// Editor start until the chip version (cold and with a running server), its peak working set.
std::vector<Row> editorStartRows(const Settings& s);
// The editor's actions (Rereads, Reset, Load, Reinit, a field change) beside the bare requests
// they contain, for this build and, with beforeOut, in alternate sessions for an earlier one.
std::vector<Row> editorRequestRows(const Settings& s);
// Save frame: from the command to the file's rename, beside the same PNG written alone.
std::vector<Row> saveFrameRows(const Settings& s);
// CPU share of the viewer's process (which hosts the capture stand-in) at 720 x 576.
std::vector<Row> captureCpuRows(const Settings& s);
// qvx captions live against the stand-in playing a 10-minute file (pairs lost, CPU share,
// latch-to-stdout time), followed by hostRows (the offline decode beside cat, timed by
// tools/bench/run on the host).
std::vector<Row> captionRows(const Settings& s, const std::vector<Row>& hostRows);
// The benchmark's caption file of that many minutes, for tools/bench/run's host timings.
bool writeCaptionFile(const std::string& path, int minutes);

}  // namespace bench
