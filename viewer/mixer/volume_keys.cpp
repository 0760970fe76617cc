// PLACEHOLDER: built by the keyboard volume work; empty until then.
#include "viewer/mixer/volume_keys.h"

void stepBuzVolume(int) {}
void setBuzMute(int) {}
