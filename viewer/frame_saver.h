// Save frame (command 125, Shift+G, /save): the frame that Grab would copy, as a 24-bit PNG at
// the captured frame's size, written to a temporary file in the target folder and then renamed,
// so that a failure leaves no file behind. No file is ever overwritten; the clipboard is not
// touched. A failure is one beep.
#pragma once

// Into the grab folder, named vistrel-YYYYMMDD-HHMMSS.png from the local time, with -2, -3 ...
// before ".png" when that name exists.
bool saveFrame();
// To path (relative to the current folder); refused when a file of that name exists.
bool saveFrameAs(const char* path);
