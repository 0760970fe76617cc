#include "viewer/mixer/volume_keys.h"

#include "viewer/mixer/mixer.h"
#include "viewer/settings.h"

static void beep() { MessageBeep(0xFFFFFFFF); }

// Each command opens the mixer, makes its one change, beeps at most once on failure and
// closes the mixer again.
static void changeBuzVolume(int delta) {
  if (!openMixer() || !readVolumeLevel(viewerSettings.buzMixerLine, buzVolume)) {
    beep();
    return;
  }
  const uint32_t value = volumeValueForLevel(buzVolume, steppedLevel(buzVolume, delta));
  if (!writeMixerValue(buzVolume.controlId, value)) beep();
}

static void changeBuzMute(int muted) {
  if (!openMixer() || !readMuteState(viewerSettings.buzMixerLine, buzMute)) {
    beep();
    return;
  }
  if (!writeMixerValue(buzMute.controlId, static_cast<DWORD>(muted))) beep();
}

void stepBuzVolume(int delta) {
  changeBuzVolume(delta);
  closeMixer();
}

void setBuzMute(int muted) {
  changeBuzMute(muted);
  closeMixer();
}
