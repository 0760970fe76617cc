#include "tools/bench/launches.h"

#include <memory>

#include "regedit/register_map.h"
#include "regedit/resource.h"

namespace bench {

const char kEditorTitle[] = "Quorvex Control Center";
const char* const kDialogClass = MAKEINTATOM(0x8002);

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

namespace {

const char kViewerClass[] = "Vistrel";
const char kServerName[] = "I2CDriverWindow";
const char kOverlayOn[] = "SET_OVERLAY 1 -> 1";
const char kScaleOn[] = "SET_SCALE 1 -> 1";
constexpr UINT kI2cWrite = WM_USER + 900;
constexpr UINT kI2cRead = WM_USER + 901;
constexpr unsigned kAck = 0xAA;

// The bench's own baselines.
const char kBaselineClass[] = "BenchWindow";
const char kBaselineDialogTitle[] = "Bench Dialog";
constexpr int kBaselineVersionId = 506;

// Holds a started program for a while, then reads its peak working set.
double holdAndReadPeak(const Child& c, int holdMs) {
  Sleep(holdMs);
  return c.peakWorkingSetKiB();
}

HWND editorShowingVersion() {
  HWND d = visibleWindow(kDialogClass, kEditorTitle);
  return d && !controlText(d, IDC_VERSION).empty() ? d : nullptr;
}

// A server started by the bench; asked to close when the object goes.
class Server {
 public:
  explicit Server(const harness::Sandbox& box) : child_(quoted(box.path("busgate.drv")), box.dir()) {
    pollUntil([&] { return (window_ = serverWindow()) != nullptr; });
  }
  ~Server() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    child_.waitExit(10000);
  }
  HWND window() const { return window_; }

 private:
  Child child_;
  HWND window_ = nullptr;
};

}  // namespace

bool viewerIsLive(const harness::Sandbox& box, HWND* window) {
  *window = visibleWindow(kViewerClass, nullptr);
  if (!*window) return false;
  std::string log = harness::readFile(box.path("capture.log"));
  return hasLineWith(log, kOverlayOn) && hasLineWith(log, kScaleOn) && showsPicture(*window);
}

void closeViewer(Child& c, HWND w) {
  if (w) PostMessageA(w, WM_CLOSE, 0, 0);
  c.waitExit(10000);
}

Launch runViewer(const harness::Sandbox& box, int holdMs, SIZE* client) {
  DeleteFileA(box.path("capture.log").c_str());
  waitScreenClear();
  Child c(quoted(box.path("vistrel.exe")), box.dir());
  HWND w = nullptr;
  Launch out;
  if (c.started() && pollUntil([&] { return viewerIsLive(box, &w); })) out.ms = nowMs() - c.startMs();
  out.peakKiB = holdAndReadPeak(c, holdMs);
  if (w && client) {
    RECT r{};
    GetClientRect(w, &r);
    *client = {r.right, r.bottom};
  }
  closeViewer(c, w);
  return out;
}

Launch runWindowBaseline(const harness::Sandbox& box, int holdMs, SIZE client, const char* exe) {
  waitScreenClear();
  Child c(quoted(box.path(exe)) + " " + std::to_string(client.cx) + " " + std::to_string(client.cy),
          box.dir());
  HWND w = nullptr;
  Launch out;
  auto painted = [&] {
    w = visibleWindow(kBaselineClass, nullptr);
    return w && showsPicture(w);
  };
  if (c.started() && pollUntil(painted)) out.ms = nowMs() - c.startMs();
  out.peakKiB = holdAndReadPeak(c, holdMs);
  closeViewer(c, w);
  return out;
}

HWND serverWindow() { return FindWindowA(kServerName, kServerName); }

bool bareRead(HWND server, std::uint8_t subaddress, std::uint8_t* value) {
  auto reply = static_cast<DWORD>(SendMessageA(server, kI2cRead, subaddress, 0));
  if (value) *value = static_cast<std::uint8_t>(reply & 0xFF);
  return ((reply >> 8) & 0xFF) == kAck;
}

bool bareWrite(HWND server, std::uint8_t subaddress, std::uint8_t value) {
  auto reply = static_cast<DWORD>(SendMessageA(server, kI2cWrite, subaddress, value));
  return ((reply >> 8) & 0xFF) == kAck;
}

double timedReads(HWND server) {
  double t0 = nowMs();
  bool ok = true;
  for (const std::uint8_t* s = quorvex::readableRegisters; *s != quorvex::kListEnd; ++s) ok = bareRead(server, *s) && ok;
  return ok ? nowMs() - t0 : -1;
}

double timedWrites(HWND server) {
  std::uint8_t values[quorvex::kRegisterCount] = {};
  bool ok = true;
  for (const std::uint8_t* s = quorvex::writableRegisters; *s != quorvex::kListEnd; ++s)
    ok = bareRead(server, *s, &values[*s]) && ok;
  double t0 = nowMs();
  for (const std::uint8_t* s = quorvex::writableRegisters; *s != quorvex::kListEnd; ++s)
    ok = bareWrite(server, *s, values[*s]) && ok;
  return ok ? nowMs() - t0 : -1;
}

bool waitServerGone() { return pollUntil([] { return serverWindow() == nullptr; }, 10000); }

Editor::Editor(const harness::Sandbox& box) : child_(quoted(box.path("quorvex.drv")), box.dir()) {
  if (child_.started() && pollUntil([&] { return (dialog_ = editorShowingVersion()) != nullptr; }))
    shownMs_ = nowMs() - child_.startMs();
}

Editor::~Editor() {
  if (dialog_) PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  child_.waitExit(10000);
  waitServerGone();
}

Launch runEditor(const harness::Sandbox& box, int holdMs, bool serverRunning) {
  waitServerGone();
  std::unique_ptr<Server> server;
  if (serverRunning) server = std::make_unique<Server>(box);
  Launch out;
  Editor editor(box);  // it asks the server to close at its end
  out.ms = editor.shownMs();
  out.peakKiB = holdAndReadPeak(editor.child(), holdMs);
  return out;
}

Launch runDialogBaseline(const harness::Sandbox& box, int holdMs, const char* exe, const char* templateModule) {
  std::string line = quoted(box.path(exe));
  if (templateModule) line += " " + box.path(templateModule);
  Child c(line, box.dir());
  HWND d = nullptr;
  auto shown = [&] {
    d = visibleWindow(kDialogClass, templateModule ? kEditorTitle : kBaselineDialogTitle);
    return d && !controlText(d, kBaselineVersionId).empty();
  };
  Launch out;
  if (c.started() && pollUntil(shown)) out.ms = nowMs() - c.startMs();
  out.peakKiB = holdAndReadPeak(c, holdMs);
  if (d) PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
  c.waitExit(10000);
  return out;
}

double startRoundTrips(const harness::Sandbox& box) {
  waitServerGone();
  Server server(box);
  if (!server.window()) return -1;
  double t0 = nowMs();
  bool ok = bareWrite(server.window(), 0x00, 0x00);
  double reads = timedReads(server.window());
  return ok && reads >= 0 ? nowMs() - t0 : -1;
}

}  // namespace bench
