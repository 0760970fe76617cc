// Running quorvex.drv against the simulated I2C server: starting it in a sandbox, finding
// its dialog and controls, reading the server's log, and handling the error box.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"

namespace bench {

constexpr char kDialogTitle[] = "Quorvex Control Center";
constexpr char kServerName[] = "I2CDriverWindow";
constexpr char kLinkFailure[] =
    "Could not exchange data with Quorvex.\r\rPlease restart the program and try again.";

// The editor started in a sandbox, with its dialog once it is up.
struct Editor {
  harness::Process process;
  HWND dialog = nullptr;
  HWND item(int id) const { return GetDlgItem(dialog, id); }
  std::string text(int id) const;  // WM_GETTEXT, so edit boxes of another process read too
};

// Starts quorvex.drv and waits for its dialog and the start-up traffic (write 00, 25 reads).
Editor startEditor(harness::Sandbox& box);

std::vector<std::string> logLines(const harness::Sandbox& box);
// Lines logged from index `from` on.
std::vector<std::string> linesFrom(const harness::Sandbox& box, size_t from);
// Waits until the log has at least n complete lines.
bool waitLines(const harness::Sandbox& box, size_t n, int timeoutMs = harness::kWait);
// Waits until the log stops growing for quietMs.
std::vector<std::string> settledLines(const harness::Sandbox& box, int quietMs = 400);
// Only the write lines of lines.
std::vector<std::string> writes(const std::vector<std::string>& lines);

// The error box ("Quorvex Error") of process pid; null when none appears within timeoutMs.
HWND waitErrorBox(DWORD pid, int timeoutMs = harness::kWait);
std::string messageText(HWND box);
void dismiss(HWND box);

// What a user sees of a message box.
struct ErrorBoxView {
  std::string text;
  HWND owner = nullptr;
  std::vector<std::string> buttons;
  bool errorIcon = false;  // the red error icon is drawn
  bool topmost = false;
};
ErrorBoxView viewErrorBox(HWND box);

// Real input on a control of the dialog: a click at its centre.
void clickControl(HWND control);
// Clicks the upper (up) or lower (down) half of an up-down control.
void clickArrow(HWND upDown, bool up);
// Opens a drop-down list with a click and clicks the option at index in the dropped list.
void chooseOption(HWND combo, int index);
// Types letters, digits, '.', '_' and '\\' into the focused window.
void typeText(HWND w, const std::string& text);

// The colour shown on the display at the middle of a window.
COLORREF middlePixel(HWND w);
// The cursor of the thread whose window is in the foreground. Cursor handles are the
// process's own, so another program's cursors can be told apart but not named.
HCURSOR foregroundCursor();
// Puts the pointer in the screen's bottom right corner, away from the editor's windows, so
// that no mouse move makes them set a cursor.
void parkPointer();

// Ends every process that owns a top-level I2C server window (a hung server), by id.
void killServers();
bool serverRunning();

// Changes one byte of the simulated chip behind the server's back (the chip version in 0x00,
// which no write can change).
bool setChipByte(const harness::Sandbox& box, int subaddress, unsigned char value);

// Writes the writable registers of regs (32 bytes) through the running I2C server, as a second program
// changing the chip behind the editor's back would (the server logs them).
bool writeThroughServer(const unsigned char* regs);

// What each control of the dialog shows, by control id: a list's options, selection and whether
// the down-arrow key opens it; a check box's state; a text; an up-down's position and range.
std::map<int, std::string> controlStates(HWND dialog);

// The dialog's client area as the display shows it, three bytes a pixel, with the link lamp
// blanked (a status poll may light it); empty when no picture could be had.
std::string dialogPicture(HWND dialog);
// "" when the two pictures are the same; otherwise how many pixels differ and the control
// (or dialog background) under the first of them.
std::string pictureDifference(HWND dialog, const std::string& a, const std::string& b);

// The writes that pushAll sends for these register bytes, in the order of the writable list.
std::vector<std::string> pushAllLines(const unsigned char (&regs)[32]);

}  // namespace bench
