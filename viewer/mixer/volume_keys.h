// Keyboard volume and mute of the Buz line.
#pragma once

void stepBuzVolume(int delta);  // keypad plus and minus: +-1, +-8 with Ctrl
void setBuzMute(int muted);     // Delete: 1, Insert: 0
