// The benchmark driver, run under Wine by tools/bench/run: measures every figure beside
// its baseline and prints one table, or JSON with --json.
//   bench.exe [--runs N] [--json] [--facts FILE] [--only GROUPS] [--before DIR] [--date TEXT]
//             [--command TEXT] [--timings FILE]
//   bench.exe --make-captions FILE   writes the 10-minute caption file of the captions group
// DIR (a Windows path) is an earlier build's delivery folder whose editor is measured beside
// this one's. FILE (a Windows path) holds the size and imports of the stripped programs, one line each.
// GROUPS is a comma list of viewer, editor, requests, files, save, cpu, captions (default: all).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"
#include "tools/bench/figures.h"
#include "tools/bench/file_facts.h"
#include "tools/bench/probes.h"

namespace {

struct Options {
  bench::Settings settings;
  bool json = false;
  std::string facts, only, date, command = "tools/bench/run", timings, makeCaptions;
};

long envNumber(const char* name, long fallback) {
  char buf[32];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::atol(buf) : fallback;
}

bool parseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--json") o->json = true;
    else if (a == "--runs" && hasValue) o->settings.runs = std::atoi(argv[++i]);
    else if (a == "--facts" && hasValue) o->facts = argv[++i];
    else if (a == "--only" && hasValue) o->only = argv[++i];
    else if (a == "--date" && hasValue) o->date = argv[++i];
    else if (a == "--command" && hasValue) o->command = argv[++i];
    else if (a == "--before" && hasValue) o->settings.beforeOut = argv[++i];
    else if (a == "--timings" && hasValue) o->timings = argv[++i];
    else if (a == "--make-captions" && hasValue) o->makeCaptions = argv[++i];
    else return false;
  }
  o->settings.clockTicks = envNumber("BENCH_CLK_TCK", 100);
  o->settings.xvfbPid = static_cast<unsigned>(envNumber("BENCH_XVFB_PID", 0));
  o->settings.wineserverPid = static_cast<unsigned>(envNumber("BENCH_WINESERVER_PID", 0));
  return o->settings.runs >= 1;
}

bool wanted(const Options& o, const std::string& group) {
  return o.only.empty() || ("," + o.only + ",").find("," + group + ",") != std::string::npos;
}

std::vector<bench::Row> fileRows(const std::string& factsPath) {
  std::vector<bench::Row> rows;
  for (const auto& line : harness::completeLines(harness::readFile(factsPath))) {
    auto facts = bench::parseFileFacts(line);
    if (!facts) continue;
    std::string dlls;
    for (const auto& d : facts->dlls) dlls += (dlls.empty() ? "" : " ") + d;
    auto foreign = bench::foreignDlls(*facts);
    rows.push_back({facts->name + ": file size, stripped", "KiB", {static_cast<double>(facts->bytes) / 1024.0}, "", {},
                    bench::GoalKind::Limit, 64, std::to_string(facts->bytes) + " bytes"});
    rows.push_back({facts->name + ": imported DLLs that are not system DLLs", "DLLs",
                    {static_cast<double>(foreign.size())}, "", {}, bench::GoalKind::Limit, 0, "imports " + dlls});
  }
  return rows;
}

// The host timings of tools/bench/run: a line of qvx captions samples, then one of cat's (ms).
std::vector<bench::Row> hostCaptionRows(const std::string& path) {
  auto lines = harness::completeLines(harness::readFile(path));
  if (lines.size() < 2) return {};
  auto samples = [](const std::string& line) {
    std::vector<double> v;
    for (const char* p = line.c_str(); *p;) {
      char* end = nullptr;
      double x = std::strtod(p, &end);
      if (end == p) break;
      v.push_back(x);
      p = end;
    }
    return v;
  };
  return {{"qvx captions FILE.scc, the 10-minute file (host build)", "ms", samples(lines[0]), "cat FILE.scc",
           samples(lines[1]), bench::GoalKind::None, 0,
           "both started by tools/bench/run, output to /dev/null; the host build is a Debug build (-O0)"}};
}

void append(std::vector<bench::Row>& rows, std::vector<bench::Row> more) {
  rows.insert(rows.end(), more.begin(), more.end());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parseOptions(argc, argv, &o)) {
    fprintf(stderr, "usage: bench.exe [--runs N] [--json] [--facts FILE] [--only GROUPS] [--before DIR] [--date T] "
                    "[--command T] [--timings F]\n");
    return 2;
  }
  if (!o.makeCaptions.empty()) return bench::writeCaptionFile(o.makeCaptions, 10) ? 0 : 1;
  bench::RunInfo info{o.date, o.command, o.settings.runs, bench::loadAverage()};
  std::vector<bench::Row> rows;
  if (wanted(o, "viewer")) append(rows, bench::viewerStartRows(o.settings));
  if (wanted(o, "editor")) append(rows, bench::editorStartRows(o.settings));
  if (wanted(o, "requests")) append(rows, bench::editorRequestRows(o.settings));
  if (wanted(o, "files") && !o.facts.empty()) append(rows, fileRows(o.facts));
  if (wanted(o, "save")) append(rows, bench::saveFrameRows(o.settings));
  if (wanted(o, "cpu")) append(rows, bench::captureCpuRows(o.settings));
  if (wanted(o, "captions")) append(rows, bench::captionRows(o.settings, hostCaptionRows(o.timings)));
  info.load += " before, " + bench::loadAverage() + " after";
  std::string out = o.json ? bench::formatJson(info, rows) : bench::formatTable(info, rows);
  fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
