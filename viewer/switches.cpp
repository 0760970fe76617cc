#include "viewer/switches.h"

#include "viewer/capture_window.h"
#include "viewer/commands.h"
#include "viewer/frame_saver.h"
#include "viewer/geometry.h"
#include "viewer/mixer/volume_keys.h"
#include "viewer/resource.h"
#include "viewer/settings.h"
#include "viewer/switch_rules.h"
#include "viewer/viewer_state.h"

namespace {

constexpr ULONG_PTR kHandOverTag = 0x56535731;  // "VSW1": switches from a second start
constexpr LRESULT kReplyTag = 0x56530000;       // a reply holds the outcome in its low byte
constexpr UINT kHandOverTimeoutMs = 30000;
constexpr int kHandOverSize = 8192;  // the packed switches, full paths included
constexpr int kCommandLineSize = 4096;

// This start's own switches, kept until its window carries them out.
struct StartSwitches {
  char text[kCommandLineSize];
  char* arguments[kMaxArguments];
  int count = 0;
  char fullPaths[kMaxSwitches][kSettingsPathSize];
  SwitchList switches;
  int outcome = kSwitchesDone;
};
StartSwitches start;

int outcomeOf(bool done) { return done ? kSwitchesDone : kSwitchFailed; }

// A definite state from the toggling command id.
void setOption(HWND w, bool now, int on, int command) {
  if (now != (on != 0)) runCommand(w, command);
}

// Full screen is toggled on the restored window, so the windowed geometry is kept; a window
// asked into full screen also comes to the front.
void setFullScreen(HWND w, int on) {
  const bool change = viewerSettings.fullscreen != (on != 0);
  if ((change || on) && IsIconic(w)) ShowWindow(w, SW_RESTORE);
  if (change) runCommand(w, CMD_FULL_SCREEN);
  if (on) SetForegroundWindow(w);
}

int runSwitch(HWND w, const Switch& s, char* const* arguments) {
  switch (s.kind) {
    case SwitchKind::Save: return outcomeOf(s.fileArgument < 0 ? saveFrame() : saveFrameAs(arguments[s.fileArgument]));
    case SwitchKind::Grab: return outcomeOf(grabToClipboard());
    case SwitchKind::Freeze:
      if (!viewerState.captureWindow) return kSwitchFailed;
      return outcomeOf(viewerState.frozen == (s.value != 0) || toggleFreeze());
    case SwitchKind::FullScreen: setFullScreen(w, s.value); return kSwitchesDone;
    case SwitchKind::Size: setPredefinedSize(w, s.value); return kSwitchesDone;
    case SwitchKind::Topmost: setOption(w, viewerSettings.topmost, s.value, CMD_TOPMOST); return kSwitchesDone;
    case SwitchKind::Volume: return outcomeOf(stepBuzVolume(s.value));
    case SwitchKind::Mute: return outcomeOf(setBuzMute(s.value));
    case SwitchKind::Exit: runCommand(w, CMD_EXIT); return kSwitchesDone;
  }
  return kSwitchFailed;
}

// In order; the first failure stops the rest. While one of the viewer's dialogs or boxes is
// open (its window disabled) the user is busy with it, and nothing is done.
int runSwitches(HWND w, const SwitchList& switches, char* const* arguments) {
  if (!IsWindowEnabled(w)) return kSwitchFailed;
  for (int i = 0; i < switches.count; ++i) {
    int outcome = runSwitch(w, switches.items[i], arguments);
    if (outcome != kSwitchesDone) return outcome;
  }
  return kSwitchesDone;
}

// A file named on this start's command line is taken from this start's current folder.
bool makeFilesFull(StartSwitches& s) {
  for (int i = 0; i < s.switches.count; ++i) {
    const int file = s.switches.items[i].fileArgument;
    if (file < 0) continue;
    char* fullPath = s.fullPaths[i];
    DWORD length = GetFullPathNameA(s.arguments[file], kSettingsPathSize, fullPath, nullptr);
    if (length == 0 || length >= kSettingsPathSize) return false;
    s.arguments[file] = fullPath;
  }
  return true;
}

}  // namespace

bool readStartSwitches(const char* commandLine) {
  if (lstrlenA(commandLine) >= kCommandLineSize) return false;
  lstrcpyA(start.text, commandLine);
  start.count = splitArguments(start.text, start.arguments, kMaxArguments);
  start.outcome = start.count > 0 ? kSwitchFailed : kSwitchesDone;  // until they are carried out
  return start.count >= 0 && readSwitches(start.arguments, start.count, &start.switches) && makeFilesFull(start);
}

bool hasStartSwitches() { return start.count > 0; }

bool startSwitchesNeedRunningViewer() { return hasExit(start.switches); }

int handSwitchesTo(HWND runningViewer) {
  char packed[kHandOverSize];
  const size_t size = packArguments(start.arguments, start.count, packed, sizeof packed);
  if (size == 0) return kBadSwitch;
  DWORD viewerProcess = 0;
  GetWindowThreadProcessId(runningViewer, &viewerProcess);
  AllowSetForegroundWindow(viewerProcess);  // for /fullscreen on
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(size), packed};
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutA(runningViewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                           kHandOverTimeoutMs, &reply))
    return kSwitchFailed;
  const DWORD_PTR outcome = reply & 0xFF;
  return (reply & ~DWORD_PTR{0xFF}) == kReplyTag && outcome <= kSwitchFailed ? static_cast<int>(outcome)
                                                                             : kSwitchFailed;
}

void runStartSwitches(HWND mainWindow) { start.outcome = runSwitches(mainWindow, start.switches, start.arguments); }

int startSwitchesOutcome() { return start.outcome; }

// The bytes are copied first: they are the sender's, and a switch may let another start's
// switches in while it waits on a window of another process.
LRESULT runHandedOverSwitches(HWND mainWindow, const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kHandOverTag) return FALSE;
  char bytes[kHandOverSize];
  char* arguments[kMaxArguments];
  SwitchList switches;
  if (data->cbData > sizeof bytes) return kReplyTag | kBadSwitch;
  CopyMemory(bytes, data->lpData, data->cbData);
  int count = unpackArguments(bytes, data->cbData, arguments, kMaxArguments);
  if (count < 0 || !readSwitches(arguments, count, &switches)) return kReplyTag | kBadSwitch;
  return kReplyTag | runSwitches(mainWindow, switches, arguments);
}
