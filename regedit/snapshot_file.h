// Snapshot files: the 32 register bytes saved to and loaded from a file chosen in the
// common file dialogs; the current snapshot path of the run.
#pragma once
#include <windows.h>

#include "regedit/paths.h"

namespace quorvex {

extern char snapshotPath[kPathSize];

void setDefaultSnapshotPath();
// True when the user confirmed a file; snapshotPath then holds it.
bool chooseSnapshotFile(HWND dialog, bool save);
void saveSnapshot(HWND dialog);
// True when the shadow was replaced by the file's first 32 bytes.
bool loadSnapshot(HWND dialog);

}  // namespace quorvex
