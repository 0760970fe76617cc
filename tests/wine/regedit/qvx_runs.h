// qvx.exe run in a sandbox as a console user runs it: its output and errors in files of
// their own, read back when it ends or while it runs.
#pragma once
#include <string>

#include "tests/wine/harness/harness.h"

namespace bench {

struct QvxRun {
  long code = -2;  // -2: it did not start; -1: it did not end in time
  std::string out, err;
};

// qvx.exe started with args, the sandbox as its current folder. Each run has files of its
// own: Wine's console host may still hold the last run's open.
class QvxProcess {
 public:
  QvxProcess(harness::Sandbox& box, const std::string& args);
  bool started() const { return process_.started(); }
  std::string out() const;  // what it printed so far
  std::string err() const;
  // Waits for it to end; its exit code and everything it printed.
  QvxRun finish(int timeoutMs = harness::kWait);

 private:
  harness::Process process_;
  std::string outPath_, errPath_;
};

QvxRun runQvx(harness::Sandbox& box, const std::string& args, int timeoutMs = harness::kWait);

}  // namespace bench
