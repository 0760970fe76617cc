// qvx captions: the caption stream decoded as text and subtitle files, offline from a
// Scenarist file or live from the chip's text slicer (Windows build).
#pragma once

namespace captions {

// The arguments after "captions"; returns the exit status (0 done, 2 bad input or failure).
int captionsCommand(int argc, char** argv);

}  // namespace captions
