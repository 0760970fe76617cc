// PLACEHOLDER: built by the companion programs work; empty until then.
#include "viewer/companions.h"

bool companionPath(char*, const char*) { return false; }
void runSecamCompanion() {}
bool confirmAdvancedUse(HWND) { return false; }
void runRegisterEditor() {}
