// Unix programs run from the Wine tests of the viewer's dialogs, waited for properly:
// a Unix program started from Wine gives no exit code to wait on, so each command line
// leaves a marker file behind when it ends.
#pragma once
#include <windows.h>

#include <string>

#include "tests/wine/harness/harness.h"

namespace unix_tools {

inline bool runShell(const std::string& command) {
  static int count = 0;
  const std::string marker =
      "/tmp/vistrel-dialog-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
  harness::runUnix("/bin/sh", "-c \"" + command + "; touch " + marker + "\"");
  const bool done = harness::waitFor([&] { return harness::fileExists(harness::unixToWindows(marker)); });
  DeleteFileA(harness::unixToWindows(marker).c_str());
  return done;
}

// Drags with the left button through the X server, by way of a point between.
inline bool drag(POINT from, POINT to) {
  auto at = [](POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
  const POINT between{from.x + (to.x - from.x) / 4, from.y + (to.y - from.y) / 4};
  return runShell("xdotool mousemove --sync " + at(from) + " mousedown 1 sleep 0.1 mousemove --sync " +
                  at(between) + " sleep 0.1 mousemove --sync " + at(to) + " sleep 0.1 mouseup 1");
}

// Sets HKCU\Software\Wine\Drivers "Audio" to "" while it lives: Wine's own way to have no
// sound driver, so programs started meanwhile find no mixer device. (Programs take their
// sound server from the environment Wine started with; a PULSE_SERVER set by a test would
// not reach them.)
class NoAudioDriver {
 public:
  NoAudioDriver() {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    RegSetValueExA(key_, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  }
  ~NoAudioDriver() {
    RegDeleteValueA(key_, "Audio");
    RegCloseKey(key_);
  }
  NoAudioDriver(const NoAudioDriver&) = delete;
  NoAudioDriver& operator=(const NoAudioDriver&) = delete;

 private:
  HKEY key_ = nullptr;
};

}  // namespace unix_tools
