// Starting the companion programs that lie beside the viewer: the SECAM switch (command 107)
// and the register editor (command 119). Every failure is one beep; success is silent.
#include "viewer/companions.h"

#include "common/wait_cursor.h"
#include "viewer/beep.h"
#include "viewer/companion_rules.h"
#include "viewer/settings.h"

namespace {

constexpr char kSecamCompanion[] = "chromset.drv";
constexpr char kRegisterEditor[] = "quorvex.drv";

// A SECAM companion that has not ended by then is taken as failed and left running, so the
// viewer's window does not stay frozen.
constexpr DWORD kSecamTimeLimitMs = 15000;

constexpr char kWarningCaption[] = "Vistrel Warning";
constexpr char kWarningText[] =
    "This feature is for VERY ADVANCED Buz users only! Use it at your own risk. Don't ever think "
    "of touching anything if you haven't read the Quorvex description at least once.\r\r"
    "Naturally, a really advanced user will find the way to get rid of this warning message...";
constexpr UINT kWarningStyle = MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_SETFOREGROUND;
static_assert(kWarningStyle == 0x10131);
static_assert(sizeof(STARTUPINFOA) == 68);

// The quoted path of fileName beside the viewer, then the argument (may be empty).
bool buildCommandLine(char* commandLine, const char* fileName, const char* argument) {
  char path[kCompanionBufferSize];
  return companionPath(path, fileName) &&
         composeCommandLine(commandLine, kCompanionBufferSize, path, argument);
}

bool startProcess(char* commandLine, PROCESS_INFORMATION& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process) != 0;
}

void closeHandles(const PROCESS_INFORMATION& process) {
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

bool secamCompanionSucceeds() {
  char commandLine[kCompanionBufferSize];
  SecamArgument argument = secamArgument(viewerSettings.secamCode);
  PROCESS_INFORMATION process{};
  if (!buildCommandLine(commandLine, kSecamCompanion, argument.text) ||
      !startProcess(commandLine, process)) {
    return false;
  }
  DWORD exitCode = 1;
  bool ended = WaitForSingleObject(process.hProcess, kSecamTimeLimitMs) == WAIT_OBJECT_0;
  bool read = ended && GetExitCodeProcess(process.hProcess, &exitCode);
  closeHandles(process);
  return read && exitCode == 0;
}

bool registerEditorStarts() {
  char commandLine[kCompanionBufferSize];
  PROCESS_INFORMATION process{};
  if (!buildCommandLine(commandLine, kRegisterEditor, "") || !startProcess(commandLine, process)) {
    return false;
  }
  WaitForInputIdle(process.hProcess, INFINITE);
  closeHandles(process);
  return true;
}

}  // namespace

bool companionPath(char* buffer, const char* fileName) {
  DWORD length = GetModuleFileNameA(nullptr, buffer, kCompanionBufferSize);
  return siblingPath(buffer, kCompanionBufferSize, length, fileName);
}

void runSecamCompanion() {
  WaitCursor waitCursor;
  if (!secamCompanionSucceeds()) beep();
}

bool confirmAdvancedUse(HWND mainWindow) {
  return MessageBoxA(mainWindow, kWarningText, kWarningCaption, kWarningStyle) == IDOK;
}

void runRegisterEditor() {
  WaitCursor waitCursor;
  if (!registerEditorStarts()) beep();
}
