#include "tools/bench/editor_actions.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "regedit/register_map.h"
#include "regedit/resource.h"
#include "tools/bench/launches.h"
#include "tools/bench/probes.h"

namespace bench {
namespace {

const char kLoadTitle[] = "Load Quorvex snapshot";
constexpr int kWritableCount = 20;

using Registers = std::array<std::uint8_t, quorvex::kRegisterCount>;

// The power-on registers with every bit of every writable register flipped, so that every
// field shows another value.
Registers everyFieldChanged() {
  Registers regs = quorvex::defaultRegisters;
  for (const std::uint8_t* s = quorvex::writableRegisters; *s != quorvex::kListEnd; ++s) regs[*s] ^= 0xFF;
  return regs;
}

// A button click as the dialog receives it; returns when the editor has handled it.
double timedClick(HWND dialog, int id) {
  double t0 = nowMs();
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  return nowMs() - t0;
}

double timedHop(HWND dialog) {
  double t0 = nowMs();
  SendMessageA(dialog, WM_NULL, 0, 0);
  return nowMs() - t0;
}

int writesLogged(const harness::Sandbox& box) { return countLines(box.log("i2c.log"), "write "); }

// A second program writing every writable register through the server.
bool changeBehindItsBack(HWND server, const Registers& regs) {
  bool ok = true;
  for (const std::uint8_t* s = quorvex::writableRegisters; *s != quorvex::kListEnd; ++s)
    ok = bareWrite(server, *s, regs[*s]) && ok;
  return ok;
}

// Load: the button opens the file dialog, which proposes snapshot.qvx beside the editor. Timed
// from its Open until it has gone (the platform's part), and from then until the editor has
// sent the file's registers and shown them (a message sent after the last write returns only
// once the refresh that follows it is done).
void timedLoad(const harness::Sandbox& box, const Editor& editor, ActionTimes* t) {
  HWND dialog = editor.dialog();
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOAD, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LOAD)));
  HWND files = nullptr;
  if (!pollUntil([&] { return (files = visibleWindow(kDialogClass, kLoadTitle)) != nullptr; }, 10000)) return;
  WaitForInputIdle(editor.child().handle(), 5000);  // the file dialog has settled
  int before = writesLogged(box);
  double t0 = nowMs();
  PostMessageA(files, WM_COMMAND, IDOK, 0);
  if (!pollUntil([&] { return !IsWindow(files); }, 10000)) return;
  double gone = nowMs();
  if (!pollUntil([&] { return writesLogged(box) >= before + kWritableCount; }, 10000)) return;
  SendMessageA(dialog, WM_NULL, 0, 0);
  t->fileDialog = gone - t0;
  t->load = nowMs() - gone;
}

// One field change: the MODE list set to another option, then its CBN_SELCHANGE, until the
// server logged the write.
double timedFieldChange(const harness::Sandbox& box, HWND dialog) {
  HWND combo = GetDlgItem(dialog, IDC_MODE);
  LRESULT now = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  SendMessageA(combo, CB_SETCURSEL, now == 1 ? 0 : 1, 0);
  int before = countLines(box.log("i2c.log"), "write 02 ");
  double t0 = nowMs();
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  bool logged = pollUntil([&] { return countLines(box.log("i2c.log"), "write 02 ") > before; }, 5000);
  return logged ? nowMs() - t0 : -1;
}

double timedBareWrite(HWND server) {
  std::uint8_t value = 0;
  bareRead(server, 0x02, &value);
  double t0 = nowMs();
  return bareWrite(server, 0x02, value) ? nowMs() - t0 : -1;
}

bool actionRound(const harness::Sandbox& box, const Editor& editor, HWND server, ActionTimes* t) {
  HWND d = editor.dialog();
  static const Registers changed = everyFieldChanged();
  timedClick(d, IDC_RESET);  // the chip and the editor at the defaults
  t->rereadUnchanged = timedClick(d, IDC_REREAD);
  t->reads = timedReads(server);
  t->hop = timedHop(d);
  if (!changeBehindItsBack(server, changed)) return false;
  t->rereadChanged = timedClick(d, IDC_REREAD);
  t->reset = timedClick(d, IDC_RESET);
  t->writes = timedWrites(server);
  timedLoad(box, editor, t);  // the file holds `changed`
  t->reinit = timedClick(d, IDC_REINIT);
  t->fieldChange = timedFieldChange(box, d);
  t->write = timedBareWrite(server);
  return true;
}

}  // namespace

bool measureEditorActions(const harness::Sandbox& box, ActionTimes* times) {
  waitServerGone();
  Registers changed = everyFieldChanged();
  harness::writeFile(box.path("snapshot.qvx"), std::string(changed.begin(), changed.end()));
  Editor editor(box);
  HWND server = serverWindow();
  if (!editor.dialog() || !server) return false;
  ActionTimes warmUp;
  return actionRound(box, editor, server, &warmUp) && actionRound(box, editor, server, times);
}

}  // namespace bench
