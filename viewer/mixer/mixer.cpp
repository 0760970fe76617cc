#include "viewer/mixer/mixer.h"

HMIXER mixerHandle = nullptr;
MixerVolumeControl masterVolume;
MixerMuteControl masterMute;
MixerVolumeControl buzVolume;
MixerMuteControl buzMute;

static_assert(sizeof(MIXERLINEA) == 168);
static_assert(sizeof(MIXERLINECONTROLSA) == 24);
static_assert(sizeof(MIXERCONTROLA) == 148);
static_assert(sizeof(MIXERCONTROLDETAILS) == 24);
static_assert(sizeof(MIXERCONTROLDETAILS_UNSIGNED) == 4);
static_assert(sizeof(MIXERCONTROLDETAILS_BOOLEAN) == 4);

bool openMixer() {
  if (mixerGetNumDevs() == 0) return false;
  HMIXER handle = nullptr;
  if (mixerOpen(&handle, 0, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
  mixerHandle = handle;
  return true;
}

void closeMixer() {
  if (!mixerHandle) return;
  mixerClose(mixerHandle);
  mixerHandle = nullptr;
}

// Describes the first control of controlType on the first line of componentType.
static bool lookUpControl(DWORD componentType, DWORD controlType, MIXERCONTROLA& control) {
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixerHandle), &line,
                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
    return false;
  MIXERLINECONTROLSA controls{};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = controlType;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  return mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixerHandle), &controls,
                               MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
         MMSYSERR_NOERROR;
}

bool findMixerControl(DWORD componentType, DWORD controlType, MixerVolumeControl& record) {
  MIXERCONTROLA control{};
  if (!lookUpControl(componentType, controlType, control)) return false;
  record.controlId = control.dwControlID;
  return setVolumeBounds(record, control.Bounds.dwMinimum, control.Bounds.dwMaximum,
                         control.Metrics.cSteps);
}

bool findMixerControl(DWORD componentType, DWORD controlType, MixerMuteControl& record) {
  MIXERCONTROLA control{};
  if (!lookUpControl(componentType, controlType, control)) return false;
  record.controlId = control.dwControlID;
  return true;
}

// One uniform 32-bit value for all channels of a control.
static MIXERCONTROLDETAILS oneValueDetails(DWORD controlId, void* value) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId;
  details.cChannels = 1;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof(uint32_t);
  details.paDetails = value;
  return details;
}

static bool readMixerValue(DWORD controlId, uint32_t& value) {
  MIXERCONTROLDETAILS details = oneValueDetails(controlId, &value);
  return mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixerHandle), &details,
                                 MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

bool readVolumeLevel(DWORD componentType, MixerVolumeControl& record) {
  if (!findMixerControl(componentType, kVolumeControlType, record)) return false;
  uint32_t value = 0;
  if (!readMixerValue(record.controlId, value)) return false;
  return setLevelFromValue(record, value);
}

bool readMuteState(DWORD componentType, MixerMuteControl& record) {
  if (!findMixerControl(componentType, kMuteControlType, record)) return false;
  return readMixerValue(record.controlId, record.muted);
}

bool writeMixerValue(DWORD controlId, DWORD value) {
  MIXERCONTROLDETAILS details = oneValueDetails(controlId, &value);
  return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixerHandle), &details,
                                MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}
