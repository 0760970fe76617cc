// Captions as text: times, plain UTF-8 rows, and WebVTT rows with colour and italics.
// Platform-free; bounded buffers.
#pragma once
#include "qvx/captions/cc_decoder.h"

namespace captions {

constexpr int kTimeTextSize = 24;
constexpr int kRowTextSize = kColumns * 4 + 1;  // 32 characters of up to 4 UTF-8 bytes
constexpr int kVttRowSize = 1280;               // tags and escapes around each character

// ms as "HH:MM:SS.mmm" with separator before the milliseconds (',' for SRT); the hours
// take more digits past 99.
void timeText(long long ms, char separator, char (&out)[kTimeTextSize]);

// value (0 or more) in decimal.
void decimalText(long long value, char (&out)[kTimeTextSize]);

// A row from its first to its last character, cells without one as spaces.
void rowText(const Cell (&row)[kColumns], char (&out)[kRowTextSize]);
// The same with WebVTT escapes, colours as <c.lime> ... and italics as <i>.
void vttRowText(const Cell (&row)[kColumns], char (&out)[kVttRowSize]);

}  // namespace captions
