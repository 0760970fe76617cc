#include "simcard/capture_rules.h"

#include "simcard/text_values.h"

namespace simcard {

std::optional<CaptureFaults> parseCaptureFaults(std::string_view text) {
  struct Flag {
    std::string_view name;
    bool CaptureFaults::*field;
  };
  static const Flag flags[] = {{"no-window", &CaptureFaults::noWindow},
                               {"no-driver", &CaptureFaults::noDriver},
                               {"no-caps", &CaptureFaults::noCaps},
                               {"no-overlay", &CaptureFaults::noOverlay},
                               {"no-scale", &CaptureFaults::noScale}};
  CaptureFaults f;
  for (std::string_view item : splitList(text)) {
    bool known = false;
    for (const Flag& flag : flags)
      if (item == flag.name) f.*flag.field = known = true;
    if (!known) return std::nullopt;
  }
  return f;
}

std::optional<CaptureDialogs> parseCaptureDialogs(std::string_view text) {
  CaptureDialogs d{false, false, false};
  if (text == "none") return d;
  for (std::string_view item : splitList(text)) {
    if (item == "source") d.source = true;
    else if (item == "format") d.format = true;
    else if (item == "display") d.display = true;
    else return std::nullopt;
  }
  return d;
}

const char* captureMessageName(unsigned message) {
  struct Name {
    unsigned message;
    const char* name;
  };
  static const Name names[] = {
      {0x040A, "DRIVER_CONNECT"},  {0x040B, "DRIVER_DISCONNECT"},    {0x040E, "DRIVER_GET_CAPS"},
      {0x0419, "FILE_SAVEDIB"},    {0x041E, "EDIT_COPY"},            {0x0429, "DLG_VIDEOFORMAT"},
      {0x042A, "DLG_VIDEOSOURCE"}, {0x042B, "DLG_VIDEODISPLAY"},     {0x042E, "DLG_VIDEOCOMPRESSION"},
      {0x0433, "SET_OVERLAY"},     {0x0435, "SET_SCALE"},            {0x043C, "GRAB_FRAME"},
      {0x043D, "GRAB_FRAME_NOSTOP"},
  };
  for (const Name& n : names)
    if (n.message == message) return n.name;
  return nullptr;
}

std::string captureLogLine(unsigned message, unsigned long wParam, long result) {
  const char* name = captureMessageName(message);
  std::string head = name ? name : "MESSAGE_" + hex2(message);
  return head + " " + std::to_string(wParam) + " -> " + std::to_string(result);
}

}  // namespace simcard
