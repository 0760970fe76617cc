// Caption rows as text: plain UTF-8, and WebVTT with colour and italics. Platform-free.
#pragma once
#include "qvx/captions/cc_decoder.h"
#include "qvx/text.h"

namespace captions {

constexpr int kRowTextSize = kColumns * 4 + 1;  // 32 characters of up to 4 UTF-8 bytes
constexpr int kVttRowSize = 1280;               // tags and escapes around each character

// A row from its first to its last character, cells without one as spaces (at most
// kRowTextSize - 1 bytes).
void rowText(const Cell (&row)[kColumns], qvx::Text& out);
// The same with WebVTT escapes, colours as <c.lime> ... and italics as <i> (at most
// kVttRowSize - 1 bytes).
void vttRowText(const Cell (&row)[kColumns], qvx::Text& out);

}  // namespace captions
