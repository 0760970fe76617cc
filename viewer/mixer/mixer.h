// The viewer's only access to the system mixer (winmm): device 0, the master (speakers)
// line and the Buz source line, each with a volume fader and a mute switch.
#pragma once
#include <windows.h>

#include <mmsystem.h>

#include "viewer/mixer/mixer_levels.h"

constexpr DWORD kMasterLine = 4;                 // MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
constexpr DWORD kVolumeControlType = 0x50030001;  // MIXERCONTROL_CONTROLTYPE_VOLUME
constexpr DWORD kMuteControlType = 0x20010002;    // MIXERCONTROL_CONTROLTYPE_MUTE

extern HMIXER mixerHandle;  // the open device 0, or null
extern MixerVolumeControl masterVolume;
extern MixerMuteControl masterMute;
extern MixerVolumeControl buzVolume;
extern MixerMuteControl buzMute;

bool openMixer();
void closeMixer();
bool findMixerControl(DWORD componentType, DWORD controlType, MixerVolumeControl& control);
bool findMixerControl(DWORD componentType, DWORD controlType, MixerMuteControl& control);
bool readVolumeLevel(DWORD componentType, MixerVolumeControl& control);
bool readMuteState(DWORD componentType, MixerMuteControl& control);
bool writeMixerValue(DWORD controlId, DWORD value);
