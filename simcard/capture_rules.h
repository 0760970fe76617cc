// The capture stand-in's settings and log lines. Platform-free.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace simcard {

// SIMCARD_CAPTURE: a comma list of no-window, no-driver, no-caps, no-overlay, no-scale.
struct CaptureFaults {
  bool noWindow = false, noDriver = false, noCaps = false, noOverlay = false, noScale = false;
};
std::optional<CaptureFaults> parseCaptureFaults(std::string_view text);

// SIMCARD_CAPTURE_DIALOGS: a comma list of source, format, display ("" or "none": no dialog).
struct CaptureDialogs {
  bool source = true, format = true, display = true;
};
std::optional<CaptureDialogs> parseCaptureDialogs(std::string_view text);

// The WM_CAP_* name without "WM_CAP_" ("SET_OVERLAY"), or nullptr for a message not served.
const char* captureMessageName(unsigned message);

// "SET_OVERLAY 1 -> 1"
std::string captureLogLine(unsigned message, unsigned long wParam, long result);

}  // namespace simcard
