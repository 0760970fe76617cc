// The decoder chip through the I2C server, one register per request, as the editor reaches it.
// Only the Windows build has the server; elsewhere opening the link fails.
#pragma once
#include <cstdint>

#include "qvx/text.h"

namespace qvx {

// Links to the running server, or with start to busgate.drv started beside qvx.exe when none
// runs (the editor's way); false with error when there is none.
bool openChipLink(bool start, Text& error);
bool readChipRegister(std::uint8_t subaddress, std::uint8_t& value, Text& error);
bool writeChipRegister(std::uint8_t subaddress, std::uint8_t value, Text& error);
// Closes the server if the link started it (one found running stays), and ends the link.
void closeChipLink();

}  // namespace qvx
