// The captions group: qvx captions live against the stand-in playing a 10-minute file, and
// the offline decode of the same file beside cat of it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"
#include "tools/bench/caption_file.h"
#include "tools/bench/figures.h"
#include "tools/bench/launches.h"
#include "tools/bench/probes.h"

namespace bench {
namespace {

constexpr int kMinutes = 10;

void progress(const char* what) {
  fprintf(stderr, "bench: %s\n", what);
  fflush(stderr);
}
constexpr double kFrameMs = 1001.0 / 30;

// The chip at power-on with FSEL set: 60 Hz fields, frames at 29.97 a second.
bool writeSixtyHertzChip(const harness::Sandbox& box) {
  const unsigned char regs[32] = {0x10, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0xC8, 0x01, 0x80,
                                  0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01};
  return harness::writeFile(box.path("decoder.bin"), std::string(reinterpret_cast<const char*>(regs), 32));
}

struct Printed {
  std::string text;  // the caption's first row
  double ms;         // when the bench read it from the pipe
};

// Runs qvx.exe with args, stdout into a pipe read as it comes; every line with its time.
std::vector<Printed> runPrinting(const harness::Sandbox& box, const std::string& args, double* cpuShare,
                                 long clockTicks) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &sa, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  std::string line = quoted(box.path("qvx.exe")) + " " + args;
  PROCESS_INFORMATION pi{};
  std::vector<Printed> printed;
  BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, box.dir().c_str(),
                           &si, &pi);
  CloseHandle(writeEnd);
  if (!ok) return printed;
  unsigned pid = 0;
  long long ticks0 = -1;
  double t0 = nowMs();
  std::string pending;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) {
    double now = nowMs();
    if (!pid && (pid = unixPidWithCommandLine(box.path("qvx.exe")))) ticks0 = unixCpuTicks(pid), t0 = now;
    pending.append(buf, n);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      std::string l = pending.substr(0, end);
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (l.size() > 14 && l[0] != ' ') printed.push_back({l.substr(14), now});
    }
    if (pid && ticks0 >= 0) *cpuShare = static_cast<double>(unixCpuTicks(pid) - ticks0) / clockTicks /
                                        ((now - t0) / 1000.0) * 100.0;
  }
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  return printed;
}

// From captions.log: the clock's start, each pair's latch time, and the pairs read and lost.
struct StandInLog {
  double startMs = -1;
  std::map<int, double> latchMs;  // pair number -> ms since the start
  int read = 0, lost = 0;
};

StandInLog readStandInLog(const harness::Sandbox& box) {
  StandInLog log;
  for (const std::string& l : harness::completeLines(box.log("captions.log"))) {
    std::istringstream in(l);
    std::string word, bytes, at;
    int n = 0;
    double ms = 0;
    in >> word;
    if (word == "start")
      in >> log.startMs;
    else if (word == "latch" && (in >> n >> bytes >> at >> ms))
      log.latchMs[n] = ms;
    else if (word == "read")
      ++log.read;
    else if (word == "lost")
      ++log.lost;
  }
  return log;
}

std::string number(double v, const char* format = "%.1f") {
  char text[32];
  snprintf(text, sizeof text, format, v);
  return text;
}

}  // namespace

std::vector<Row> captionRows(const Settings& s, const std::vector<Row>& hostRows) {
  progress("qvx captions live, a 10-minute file (takes 10 minutes)");
  harness::Sandbox box;
  CaptionFile file = makeCaptionFile(kMinutes);
  harness::writeFile(box.path("bench.scc"), file.text);
  writeSixtyHertzChip(box);
  harness::ScopedEnv captions("SIMCARD_CAPTIONS", box.path("bench.scc").c_str());
  waitServerGone();
  Child server(quoted(box.path("busgate.drv")), box.dir());
  pollUntil([] { return serverWindow() != nullptr; });
  double cpu = -1;
  std::vector<Printed> printed =
      runPrinting(box, "captions --seconds " + std::to_string(kMinutes * 60 + 5), &cpu, s.clockTicks);
  if (HWND w = serverWindow()) PostMessageA(w, WM_CLOSE, 0, 0);
  server.waitExit(10000);
  StandInLog log = readStandInLog(box);

  std::vector<double> latency;
  for (const Printed& p : printed) {
    auto eoc = file.eoc.find(p.text);
    if (eoc == file.eoc.end() || !log.latchMs.count(eoc->second) || log.startMs < 0) continue;
    latency.push_back(p.ms - (log.startMs + log.latchMs[eoc->second]));
  }
  double worst = -1;
  for (double l : latency) worst = l > worst ? l : worst;
  auto middle = median(latency);
  int lost = file.pairs - log.read;
  std::string counts = std::to_string(file.pairs) + " pairs in the file, " + std::to_string(log.read) +
                       " read, " + std::to_string(log.lost) + " logged lost; " + std::to_string(printed.size()) +
                       " captions printed; 60 Hz fields, the editor closed";
  std::vector<Row> rows = {
      {"qvx captions live: pairs lost of a 10-minute file", "pairs", {static_cast<double>(lost)}, "", {},
       GoalKind::Limit, 0, counts},
      {"qvx captions live: CPU share of one core while polling", "%", {cpu}, "", {}, GoalKind::Limit, 2,
       "qvx.exe's Unix process over the whole run (its reader thread and the decoding)"},
      {"qvx captions live: latch of a caption's last pair to its line on stdout, worst", "ms", {worst}, "", {},
       GoalKind::Limit, kFrameMs,
       std::to_string(latency.size()) + " pop-on captions (EOC), median " + number(middle ? *middle : -1) +
           " ms; latch time from the stand-in's log, the line's from the bench reading the pipe"}};
  rows.insert(rows.end(), hostRows.begin(), hostRows.end());
  return rows;
}

bool writeCaptionFile(const std::string& path, int minutes) {
  return harness::writeFile(path, makeCaptionFile(minutes).text);
}

}  // namespace bench
