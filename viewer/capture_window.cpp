#include "viewer/capture_window.h"

#include <vfw.h>

#include "viewer/resource.h"
#include "viewer/viewer_state.h"

namespace {

static_assert(sizeof(CAPDRIVERCAPS) == 44, "the driver expects a 44-byte capabilities record");

bool sendsNonZero(UINT message, WPARAM wParam, LPARAM lParam) {
  return sendToCapture(message, wParam, lParam) != 0;
}

// Source, Format and Display stay grayed unless the driver has that dialog.
void enableDriverDialogs(const CAPDRIVERCAPS& caps) {
  const struct {
    UINT command;
    BOOL offered;
  } items[] = {
      {CMD_SOURCE, caps.fHasDlgVideoSource},
      {CMD_FORMAT, caps.fHasDlgVideoFormat},
      {CMD_DISPLAY, caps.fHasDlgVideoDisplay},
  };
  for (const auto& item : items)
    if (item.offered) EnableMenuItem(viewerState.viewerMenu, item.command, MF_BYCOMMAND | MF_ENABLED);
}

// While frozen, the frame on screen is already in the driver's buffer: a new grab would
// copy another frame than the one the user looks at.
bool grabUnlessFrozen() { return viewerState.frozen || sendsNonZero(WM_CAP_GRAB_FRAME_NOSTOP, 0, 0); }

}  // namespace

LRESULT sendToCapture(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!viewerState.captureWindow) return 0;
  return SendMessageA(viewerState.captureWindow, message, wParam, lParam);
}

bool createCaptureWindow(HWND mainWindow) {
  RECT client;
  GetClientRect(mainWindow, &client);
  viewerState.captureWindow = capCreateCaptureWindowA("BUZ Dead", WS_CHILD | WS_VISIBLE, client.left, client.top,
                                                      client.right, client.bottom, mainWindow, 0);
  if (!viewerState.captureWindow) return false;
  if (!sendsNonZero(WM_CAP_DRIVER_CONNECT, 0, 0)) return false;
  CAPDRIVERCAPS caps{};
  if (!sendsNonZero(WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps))) return false;
  enableDriverDialogs(caps);
  if (!sendsNonZero(WM_CAP_SET_OVERLAY, 1, 0)) return false;
  return sendsNonZero(WM_CAP_SET_SCALE, 1, 0);
}

void destroyCaptureWindow() {
  if (viewerState.captureWindow) {
    sendToCapture(WM_CAP_DRIVER_DISCONNECT, 0, 0);
    DestroyWindow(viewerState.captureWindow);
  }
  viewerState.captureWindow = nullptr;
}

void showSourceDialog() { sendToCapture(WM_CAP_DLG_VIDEOSOURCE, 0, 0); }
void showFormatDialog() { sendToCapture(WM_CAP_DLG_VIDEOFORMAT, 0, 0); }
void showDisplayDialog() { sendToCapture(WM_CAP_DLG_VIDEODISPLAY, 0, 0); }
void showCompressionDialog() { sendToCapture(WM_CAP_DLG_VIDEOCOMPRESSION, 0, 0); }

bool toggleFreeze() {
  bool done = viewerState.frozen ? sendsNonZero(WM_CAP_SET_OVERLAY, 1, 0) : sendsNonZero(WM_CAP_GRAB_FRAME, 0, 0);
  viewerState.frozen = !viewerState.frozen;
  return done;
}

bool grabToClipboard() {
  bool grabbed = grabUnlessFrozen();
  return sendsNonZero(WM_CAP_EDIT_COPY, 0, 0) && grabbed;
}

bool saveFrameDib(const char* path) {
  return grabUnlessFrozen() && sendsNonZero(WM_CAP_FILE_SAVEDIB, 0, reinterpret_cast<LPARAM>(path));
}

void showCaptureFailure() {
  MessageBoxA(nullptr, "You'll laugh but your system thinks it is not\requipped with any video capture card",
              "BUZ Dead", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
}
