// The viewer's one way to signal a failure: the simple beep (MessageBeep with 0xFFFFFFFF).
#pragma once
#include <windows.h>

inline void beep() { MessageBeep(0xFFFFFFFF); }
