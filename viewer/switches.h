// Command-line switches: read when vistrel.exe starts, handed by a second start to the viewer
// that runs (WM_COPYDATA), and carried out by the viewer, its own once its window runs.
#pragma once
#include <windows.h>

// Posted by the viewer to itself, once its window is shown, to carry out its own switches.
constexpr UINT kRunStartSwitches = WM_APP + 1;

// Reads this start's switches from its command line (after the program's name), each /save
// FILE made a full path from the current folder; false when one is bad.
bool readStartSwitches(const char* commandLine);
bool hasStartSwitches();
// Whether this start's switches hold /exit, which needs a viewer that runs.
bool startSwitchesNeedRunningViewer();
// Hands this start's switches to the running viewer's main window and waits for the outcome
// (a SwitchOutcome, the exit code).
int handSwitchesTo(HWND runningViewer);

// kRunStartSwitches: carries out this start's switches; their outcome becomes the exit code
// (kSwitchFailed when the viewer ends without carrying them out, as after a failed start).
void runStartSwitches(HWND mainWindow);
int startSwitchesOutcome();
// WM_COPYDATA from a second start: carries out its switches; the reply that start waits for.
LRESULT runHandedOverSwitches(HWND mainWindow, const COPYDATASTRUCT* data);
