// The process-wide register copy and its map onto the dialog's controls: single and bulk
// register transfers, filling the controls, and the three change handlers.
#pragma once
#include <windows.h>

#include <cstdint>

#include "regedit/register_map.h"

namespace quorvex {

extern RegisterShadow registerShadow;

void pushRegister(std::uint8_t subaddress);
void pullRegister(std::uint8_t subaddress);
void pullAll();
void pushAll();
void resetAll();
// Shows the whole shadow in the controls: every control, as the dialog opens.
void fillControls(HWND dialog);
// Shows the shadow again after registers were read or sent: only the controls that show
// something else are set.
void refreshControls(HWND dialog);

// Change handlers; each returns false when the id is not one of its fields.
bool listFieldChanged(HWND dialog, int id);
bool bitFieldClicked(HWND dialog, int id);
bool numberFieldMoved(HWND dialog, HWND upDown);

void fitDropDownWidth(HWND list);

}  // namespace quorvex
