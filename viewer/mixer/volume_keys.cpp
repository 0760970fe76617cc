#include "viewer/mixer/volume_keys.h"

#include "viewer/beep.h"
#include "viewer/mixer/mixer.h"
#include "viewer/settings.h"

// Each command opens the mixer, makes its one change, beeps at most once on failure and
// closes the mixer again.
static bool beepUnless(bool done) {
  if (!done) beep();
  return done;
}

static bool changeBuzVolume(int delta) {
  if (!openMixer() || !readVolumeLevel(viewerSettings.buzMixerLine, buzVolume)) return false;
  const uint32_t value = volumeValueForLevel(buzVolume, steppedLevel(buzVolume, delta));
  return writeMixerValue(buzVolume.controlId, value);
}

static bool changeBuzMute(int muted) {
  if (!openMixer() || !readMuteState(viewerSettings.buzMixerLine, buzMute)) return false;
  return writeMixerValue(buzMute.controlId, static_cast<DWORD>(muted));
}

bool stepBuzVolume(int delta) {
  bool done = beepUnless(changeBuzVolume(delta));
  closeMixer();
  return done;
}

bool setBuzMute(int muted) {
  bool done = beepUnless(changeBuzMute(muted));
  closeMixer();
  return done;
}
