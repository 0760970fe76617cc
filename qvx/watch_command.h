// qvx watch: the chip's fields as they change, read about ten times a second through the I2C
// server (Windows build). It never writes.
#pragma once
#include "qvx/command_line.h"

namespace qvx {

// The options (--json, --seconds N); returns the exit status (0 done, 2 bad input or failure).
int watchCommand(const Args& args);

}  // namespace qvx
