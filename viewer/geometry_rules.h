// Platform-free arithmetic of the window geometry.
#pragma once

// The client area already has the frame's aspect ratio (5:4, or 3:2 with NTSC).
bool hasFrameAspect(int clientWidth, int clientHeight, bool ntsc);
