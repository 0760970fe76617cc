// The Volume dialog (template 3): master and Buz line sliders and mute boxes.
#pragma once
#include <windows.h>

#include "viewer/mixer/mixer_levels.h"

// Makes the trackbar class available for template 3; call it before opening the dialog
// (calling it again is harmless).
bool initVolumeDialogClasses();
INT_PTR CALLBACK volumeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void initVolumeDialog(HWND dialog);
void showVolumeLevel(HWND dialog, DWORD componentType, int controlId, MixerVolumeControl& control);
void showMuteState(HWND dialog, DWORD componentType, int controlId, MixerMuteControl& control);
void applyTrackbar(HWND dialog, int controlId, const MixerVolumeControl& control);
void applyMuteCheckBox(HWND dialog, int controlId, const MixerMuteControl& control);
void disableDialogItem(HWND dialog, int controlId);
