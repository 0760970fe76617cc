#include "tools/bench/figures.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "regedit/register_map.h"
#include "regedit/resource.h"
#include "tests/wine/harness/harness.h"
#include "tools/bench/editor_actions.h"
#include "tools/bench/launches.h"
#include "tools/bench/probes.h"
#include "viewer/png_file.h"

namespace bench {
namespace {

constexpr int kSettleMs = 1000;

void progress(const char* what) {
  fprintf(stderr, "bench: %s\n", what);
  fflush(stderr);
}

struct Samples {
  std::vector<double> values;
  int failed = 0;
  void add(double v) {
    if (v >= 0) values.push_back(v);
    else ++failed;
  }
};

std::string failures(const Samples& figure, const Samples& baseline) {
  if (!figure.failed && !baseline.failed) return "";
  return std::to_string(figure.failed) + " figure and " + std::to_string(baseline.failed) +
         " baseline runs timed out and are left out";
}

Row ratioRow(const std::string& figure, const std::string& unit, const Samples& f, const std::string& baselineName,
             const Samples& b, double goal, const std::string& detail = "") {
  Row row{figure, unit, f.values, baselineName, b.values, GoalKind::Ratio, goal, detail};
  std::string lost = failures(f, b);
  if (!lost.empty()) row.detail += (row.detail.empty() ? "" : "; ") + lost;
  return row;
}

// One part of a summed baseline, shown on its own: no baseline, no goal.
Row partRow(const std::string& figure, const Samples& f, const std::string& detail) {
  return {figure, "ms", f.values, "", {}, GoalKind::None, 0, detail};
}

// A figure shown only to explain another: no goal of its own.
Row infoRow(const std::string& figure, const std::string& unit, const Samples& f, const std::string& baselineName,
            const Samples& b, const std::string& detail) {
  Row row = ratioRow(figure, unit, f, baselineName, b, 0, detail);
  row.goalKind = GoalKind::None;
  return row;
}

// ---- CPU share

double cpuShare(long long ticks0, long long ticks1, double ms, long clockTicks) {
  if (ticks0 < 0 || ticks1 < 0 || ms <= 0) return -1;
  return static_cast<double>(ticks1 - ticks0) / static_cast<double>(clockTicks) / (ms / 1000.0) * 100.0;
}

std::string percent(const std::vector<double>& values) {
  auto m = median(values);
  if (!m) return "unknown";
  char buf[32];
  snprintf(buf, sizeof buf, "%.1f %%", *m);
  return buf;
}

}  // namespace

std::vector<Row> viewerStartRows(const Settings& s) {
  progress("viewer start-up and memory");
  harness::Sandbox box;
  box.copyTestProgram("bench_window.exe");
  box.copyTestProgram("bench_window_imports.exe");
  SIZE client{360, 288};
  runViewer(box, 0, &client);  // warm-up; also learns the viewer's client size
  runWindowBaseline(box, 0, client);
  runWindowBaseline(box, 0, client, "bench_window_imports.exe");
  Samples start, startBase, peak, peakBase, importsStart, importsPeak;
  for (int i = 0; i < s.runs; ++i) {
    Launch v = runViewer(box, s.holdMs, nullptr);
    Launch b = runWindowBaseline(box, s.holdMs, client);
    Launch m = runWindowBaseline(box, s.holdMs, client, "bench_window_imports.exe");
    start.add(v.ms), startBase.add(b.ms), peak.add(v.peakKiB), peakBase.add(b.peakKiB);
    importsStart.add(m.ms), importsPeak.add(m.peakKiB);
  }
  std::string size = "client " + std::to_string(client.cx) + " x " + std::to_string(client.cy) +
                     " for both; 'shown' = visible, overlay and scale logged, non-black pixels on the display";
  const char* base = "minimal window program";
  Row importsRow = infoRow("minimal window importing the viewer's DLLs: start until painted", "ms", importsStart, base,
                            startBase, "for explanation: avicap32 (the stand-in) and winmm loaded, nothing called");
  Row importsPeakRow = infoRow("minimal window importing the viewer's DLLs: peak working set", "KiB", importsPeak, base,
                                peakBase, "for explanation");
  return {ratioRow("viewer: start until the live picture shows", "ms", start, base, startBase, 1.2, size),
          importsRow,
          ratioRow("viewer: peak working set", "KiB", peak, base, peakBase, 1.2,
                   "read after " + std::to_string(s.holdMs) + " ms of running"),
          importsPeakRow};
}

std::vector<Row> editorStartRows(const Settings& s) {
  progress("editor start-up and memory");
  harness::Sandbox box;
  box.copyTestProgram("bench_dialog.exe");
  box.copyTestProgram("bench_dialog_imports.exe");
  runEditor(box, 0, false);  // warm-up
  runEditor(box, 0, true);
  runDialogBaseline(box, 0);
  runDialogBaseline(box, 0, "bench_dialog_imports.exe");
  runDialogBaseline(box, 0, "bench_dialog_imports.exe", "quorvex.drv");
  startRoundTrips(box);
  Samples cold, warm, base, peak, peakBase, trips, dialog, importsStart, importsPeak, templateStart, templatePeak;
  for (int i = 0; i < s.runs; ++i) {
    Launch e = runEditor(box, s.holdMs, false);
    Launch w = runEditor(box, 0, true);
    Launch d = runDialogBaseline(box, s.holdMs);
    Launch m = runDialogBaseline(box, s.holdMs, "bench_dialog_imports.exe");
    Launch t = runDialogBaseline(box, s.holdMs, "bench_dialog_imports.exe", "quorvex.drv");
    double rt = startRoundTrips(box);
    templateStart.add(t.ms), templatePeak.add(t.peakKiB);
    cold.add(e.ms), warm.add(w.ms), peak.add(e.peakKiB), peakBase.add(d.peakKiB), trips.add(rt), dialog.add(d.ms);
    base.add(d.ms >= 0 && rt >= 0 ? d.ms + rt : -1);
    importsStart.add(m.ms), importsPeak.add(m.peakKiB);
  }
  auto rt = median(trips.values);
  char detail[160];
  snprintf(detail, sizeof detail, "the editor starts busgate.drv itself; the 26 bare round trips take %.2f ms of the baseline",
           rt ? *rt : -1.0);
  const char* baseName = "minimal dialog + 26 bare round trips";
  Row warmRow = ratioRow("editor: start until the chip version, I2C server already running", "ms", warm,
                          "the editor's dialog template alone", templateStart, 1.15,
                          "the same start without starting the server");
  Row importsRow = infoRow("minimal dialog importing the editor's DLLs: start until shown", "ms", importsStart,
                            "minimal dialog program", dialog,
                            "for explanation: comctl32, comdlg32 and shell32 loaded, nothing called");
  Row importsPeakRow = infoRow("minimal dialog importing the editor's DLLs: peak working set", "KiB", importsPeak,
                                "minimal dialog program", peakBase, "for explanation");
  Row templateRow = infoRow("the editor's dialog template alone (137 controls): start until shown", "ms",
                             templateStart, "minimal dialog program", dialog,
                             "for explanation: the DLL-importing dialog showing dialog 1 of quorvex.drv, no requests");
  Row templatePeakRow = infoRow("the editor's dialog template alone: peak working set", "KiB", templatePeak,
                                 "minimal dialog program", peakBase, "for explanation");
  return {ratioRow("editor: start until the chip version shows", "ms", cold, baseName, base, 1.3, detail), warmRow,
          importsRow, templateRow,
          ratioRow("editor: peak working set", "KiB", peak, "minimal dialog program", peakBase, 1.2,
                   "read after " + std::to_string(s.holdMs) + " ms of running"),
          importsPeakRow, templatePeakRow};
}

namespace {

constexpr int kSlowRequestMs = 400;

// Whether the link lamp shows its lit image on the display: the bright green of bitmap 1002
// at its middle (the idle image is darker).
bool lampShowsLit(HWND dialog) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, IDC_LAMP), &r);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return c != CLR_INVALID && GetGValue(c) > 200;
}

// The lamp of the same build, checked on the display: an editor whose server answers every
// request after the start-up only after kSlowRequestMs, so its status polls take seconds.
Row lampRow() {
  harness::Sandbox box;
  waitServerGone();
  harness::ScopedEnv slow("SIMCARD_I2C", ("delay-after=26:" + std::to_string(kSlowRequestMs)).c_str());
  Editor editor(box);
  bool seen = editor.dialog() && pollUntil([&] { return lampShowsLit(editor.dialog()); }, 5000);
  return {"editor: link lamp seen lit on the display during a slow request", "times", {seen ? 1.0 : 0.0}, "", {},
          GoalKind::Floor, 1,
          "status polls answered after " + std::to_string(kSlowRequestMs) + " ms a request, display read for 5 s"};
}

}  // namespace

namespace {

constexpr double kFrameMs = 16.7;  // one frame at 60 Hz
const char kHop[] = " + 1 bench-to-editor message (WM_NULL)";

// The samples of the editor's actions from a run of sessions, and the bare requests (with the
// bench-to-editor message) that each contains, measured in the same rounds.
struct ActionSamples {
  Samples rereadUnchanged, rereadChanged, reset, load, fileDialog, reinit, field;
  Samples reads, writes, write, hop, readsBase, writesBase, writeBase;

  void add(const ActionTimes& t) {
    rereadUnchanged.add(t.rereadUnchanged), rereadChanged.add(t.rereadChanged), reset.add(t.reset);
    load.add(t.load), fileDialog.add(t.fileDialog), reinit.add(t.reinit), field.add(t.fieldChange);
    reads.add(t.reads), writes.add(t.writes), write.add(t.write), hop.add(t.hop);
    auto plusHop = [&](double bare) { return bare >= 0 && t.hop >= 0 ? bare + t.hop : -1; };
    readsBase.add(plusHop(t.reads)), writesBase.add(plusHop(t.writes)), writeBase.add(plusHop(t.write));
  }
};

// One editor session from a fresh copy of the programs in outDir (VT_OUT when empty).
void actionSession(const std::string& outDir, ActionSamples* into) {
  std::unique_ptr<harness::ScopedEnv> from;
  if (!outDir.empty()) from = std::make_unique<harness::ScopedEnv>("VT_OUT", outDir.c_str());
  harness::Sandbox box;
  from.reset();
  ActionTimes t;
  bool ok = measureEditorActions(box, &t);
  if (into) into->add(ok ? t : ActionTimes{});
}

Row frameRow(const std::string& figure, const Samples& f, const std::string& baselineName, const Samples& b,
             const std::string& detail = "") {
  Row row = ratioRow(figure, "ms", f, baselineName, b, kFrameMs, detail);
  row.goalKind = GoalKind::Limit;
  row.goalNote = "one frame";
  return row;
}

// The action rows of one build; who names the build ("editor" or "editor, build before").
std::vector<Row> actionRows(const std::string& who, const ActionSamples& a) {
  const std::string reads = std::string("25 bare WM_I2C_READ round trips") + kHop;
  const std::string writes = std::string("20 bare WM_I2C_WRITE round trips") + kHop;
  const std::string write = std::string("1 bare WM_I2C_WRITE round trip") + kHop;
  return {
      frameRow(who + ": Reread (button 504), chip unchanged", a.rereadUnchanged, reads, a.readsBase),
      frameRow(who + ": Reread after every writable register changed behind its back", a.rereadChanged, reads,
               a.readsBase, "the bench wrote each of the 20 through the server, every field to another value"),
      frameRow(who + ": Reset (button 501) from every field changed", a.reset, writes, a.writesBase),
      frameRow(who + ": Load of a snapshot differing in every writable register", a.load, writes, a.writesBase,
               "from the file dialog's closing until the controls show the file"),
      infoRow(who + ": Load's file dialog, from its Open until it has closed", "ms", a.fileDialog, "", {},
              "for explanation: the platform's common dialog, before the editor's part"),
      frameRow(who + ": Reinit (button 505, 20 writes, no refresh)", a.reinit, writes, a.writesBase),
      frameRow(who + ": one field change until the server logged the write", a.field, write, a.writeBase,
               "MODE list, options 0 and 1 in turn"),
  };
}

}  // namespace

std::vector<Row> editorRequestRows(const Settings& s) {
  progress("editor actions");
  ActionSamples now, before;
  const bool compare = !s.beforeOut.empty();
  actionSession("", nullptr);  // warm-up sessions
  if (compare) actionSession(s.beforeOut, nullptr);
  for (int i = 0; i < s.runs; ++i) {
    actionSession("", &now);
    if (compare) actionSession(s.beforeOut, &before);
  }
  std::vector<Row> rows = actionRows("editor", now);
  const std::string reads = std::string("25 bare WM_I2C_READ round trips") + kHop;
  const std::string write = std::string("1 bare WM_I2C_WRITE round trip") + kHop;
  rows.push_back(ratioRow("editor: Reread, chip unchanged, beside its bare reads", "ms", now.rereadUnchanged, reads,
                          now.readsBase, 2));
  rows.push_back(ratioRow("editor: one field change, beside its bare write", "ms", now.field, write, now.writeBase, 1.5));
  rows.push_back(partRow("25 bare WM_I2C_READ round trips", now.reads, "part of the Rereads' baseline"));
  rows.push_back(partRow("20 bare WM_I2C_WRITE round trips", now.writes, "part of the Reset's, Load's and Reinit's baseline"));
  rows.push_back(partRow("1 bare WM_I2C_WRITE round trip", now.write, "part of the field change's baseline"));
  rows.push_back(partRow("bench to editor: 1 bench-to-editor message (WM_NULL)", now.hop,
                         "part of every baseline above, measured in the same rounds"));
  if (compare) {
    std::vector<Row> old = actionRows("editor, build before", before);
    for (Row& r : old) r.detail = "programs from " + s.beforeOut + (r.detail.empty() ? "" : "; " + r.detail);
    rows.insert(rows.end(), old.begin(), old.end());
  }
  rows.push_back(lampRow());
  return rows;
}

namespace {

constexpr WPARAM kFreezeCommand = 108, kGrabCommand = 109, kSaveFrameCommand = 125;

int filesIn(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*.png").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do ++count;
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return count;
}

// One Save frame sent to the viewer; it returns once the file has its name. -1 when no file came.
double timedSave(HWND w, const std::string& folder) {
  const int before = filesIn(folder);
  const double t0 = nowMs();
  SendMessageA(w, WM_COMMAND, kSaveFrameCommand, 0);
  const double ms = nowMs() - t0;
  return filesIn(folder) == before + 1 ? ms : -1;
}

// The frozen frame as Grab copies it, as 24-bit rows top row first: the pixels the saves write.
struct FrameRows {
  int width = 0, height = 0, stride = 0;
  std::vector<BYTE> rows;
};
FrameRows grabbedFrame(HWND w) {
  SendMessageA(w, WM_COMMAND, kGrabCommand, 0);
  std::vector<unsigned char> dib = harness::clipboardDib();
  FrameRows f;
  BITMAPINFOHEADER h;
  if (dib.size() < sizeof h) return f;
  memcpy(&h, dib.data(), sizeof h);
  const int stride = (h.biWidth * 3 + 3) & ~3;
  if (h.biBitCount != 24 || h.biHeight <= 0 || dib.size() < h.biSize + static_cast<size_t>(stride) * h.biHeight)
    return f;
  f = {h.biWidth, h.biHeight, stride, std::vector<BYTE>(static_cast<size_t>(stride) * h.biHeight)};
  for (int y = 0; y < f.height; ++y)
    memcpy(&f.rows[static_cast<size_t>(y) * stride], dib.data() + h.biSize + static_cast<size_t>(f.height - 1 - y) * stride,
           stride);
  return f;
}

double timedPngAlone(FrameRows& f, const std::string& path) {
  const double t0 = nowMs();
  bool written = writePng24(path.c_str(), f.width, f.height, f.stride, f.rows.data());
  return written ? nowMs() - t0 : -1;
}

}  // namespace

std::vector<Row> saveFrameRows(const Settings& s) {
  progress("save frame");
  harness::Sandbox box;
  const std::string folder = box.path("frames");
  CreateDirectoryA(folder.c_str(), nullptr);
  harness::writeFile(box.path("vistrel.ini"), "[Position]\r\nw=360\r\nh=288\r\nGrabFolder=" + folder + "\r\n");
  DeleteFileA(box.path("capture.log").c_str());
  Child c(quoted(box.path("vistrel.exe")), box.dir());
  HWND w = nullptr;
  if (!c.started() || !pollUntil([&] { return viewerIsLive(box, &w); })) {
    closeViewer(c, w);
    return {{"viewer: save one frame", "ms", {}, "", {}, GoalKind::None, 0, "the viewer did not show the live picture"}};
  }
  SendMessageA(w, WM_COMMAND, kFreezeCommand, 0);  // every save and the baseline write the same frame
  Samples first, save, alone;
  first.add(timedSave(w, folder));  // the warm-up: loads GDI+
  FrameRows frame = grabbedFrame(w);
  timedPngAlone(frame, folder + "\\alone-warm-up.png");
  for (int i = 0; i < s.runs; ++i) {
    save.add(timedSave(w, folder));
    alone.add(timedPngAlone(frame, folder + "\\alone-" + std::to_string(i) + ".png"));
  }
  closeViewer(c, w);
  const std::string detail = "frozen " + std::to_string(frame.width) + " x " + std::to_string(frame.height) +
                             " frame; WM_COMMAND sent, returns once the file is renamed";
  const char* baseName = "the same frame's PNG written alone (GDI+, in the bench)";
  return {ratioRow("viewer: save one frame, from the command to the file's rename", "ms", save, baseName, alone, 2,
                   detail),
          infoRow("viewer: the first save after the start (loads GDI+)", "ms", first, baseName, alone,
                  "for explanation: one sample, the warm-up")};
}

std::vector<Row> captureCpuRows(const Settings& s) {
  progress("capture stand-in CPU share");
  harness::Sandbox box;
  harness::writeFile(box.path("vistrel.ini"), "[Position]\r\nx=0\r\ny=0\r\nw=720\r\nh=576\r\n");
  DeleteFileA(box.path("capture.log").c_str());
  Child c(quoted(box.path("vistrel.exe")), box.dir());
  HWND w = nullptr;
  Row row{"capture stand-in: CPU share of one core, live 720 x 576", "%", {}, "", {}, GoalKind::Limit, 15, ""};
  if (!c.started() || !pollUntil([&] { return viewerIsLive(box, &w); })) {
    row.detail = "the viewer did not show the live picture";
    closeViewer(c, w);
    return {row};
  }
  RECT client{};
  GetClientRect(w, &client);
  unsigned pid = unixPidWithCommandLine(box.path("vistrel.exe"));
  Sleep(kSettleMs);
  std::vector<double> xvfb, wineserver;
  for (int i = 0; i < s.runs; ++i) {
    long long v0 = unixCpuTicks(pid), x0 = unixCpuTicks(s.xvfbPid), w0 = unixCpuTicks(s.wineserverPid);
    double t0 = nowMs();
    Sleep(s.cpuSampleMs);
    long long v1 = unixCpuTicks(pid), x1 = unixCpuTicks(s.xvfbPid), w1 = unixCpuTicks(s.wineserverPid);
    double ms = nowMs() - t0;
    double share = cpuShare(v0, v1, ms, s.clockTicks);
    if (share >= 0) row.samples.push_back(share);
    double xs = cpuShare(x0, x1, ms, s.clockTicks), ws = cpuShare(w0, w1, ms, s.clockTicks);
    if (xs >= 0) xvfb.push_back(xs);
    if (ws >= 0) wineserver.push_back(ws);
  }
  row.detail = "vistrel.exe process (hosts avicap32.dll), client " + std::to_string(client.right) + " x " +
               std::to_string(client.bottom) + ", " + std::to_string(s.runs) + " samples of " +
               std::to_string(s.cpuSampleMs) + " ms; in the same samples the X server used " + percent(xvfb) +
               " and the wineserver " + percent(wineserver);
  if (!pid) row.detail = "the viewer's Unix process was not found";
  closeViewer(c, w);
  return {row};
}

}  // namespace bench
