// Keyboard volume and mute of the Buz line: each call opens the mixer, makes its one
// change and closes it; a failure is one simple beep. Each reports whether it was done.
#pragma once

bool stepBuzVolume(int delta);  // keypad plus and minus: +-1, +-8 with Ctrl
bool setBuzMute(int muted);     // Delete: 1, Insert: 0
