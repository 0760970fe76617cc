// qvx captions: the caption stream decoded as text and subtitle files, offline from a
// Scenarist file or live from the chip's text slicer (Windows build).
#pragma once
#include "qvx/command_line.h"

namespace captions {

// The command's operand (the file) and options; returns the exit status (0 done, 2 bad input
// or failure).
int captionsCommand(const qvx::Args& args);

}  // namespace captions
