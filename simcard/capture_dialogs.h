// The simulated driver's four modal dialogs.
#pragma once
#include <windows.h>

#include "simcard/shared_decoder.h"

namespace simcard {

// Source: input and colour standard, written to the decoder on OK.
void showSourceDialog(HINSTANCE dll, HWND owner, SharedDecoder& decoder);
// Format, Display, Compression: what the simulated card delivers, closed with OK.
void showFormatDialog(HINSTANCE dll, HWND owner, int frameWidth, int frameHeight);
void showDisplayDialog(HINSTANCE dll, HWND owner, bool overlay, bool scale);
void showCompressionDialog(HINSTANCE dll, HWND owner);

}  // namespace simcard
