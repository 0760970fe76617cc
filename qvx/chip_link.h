// The decoder chip through the running I2C server, one register per request, as the editor
// reaches it. Only the Windows build has the server; elsewhere opening the link fails.
#pragma once
#include <cstdint>

#include "qvx/text.h"

namespace qvx {

// False with error when no server is running.
bool openChipLink(Text& error);
bool readChipRegister(std::uint8_t subaddress, std::uint8_t& value, Text& error);
bool writeChipRegister(std::uint8_t subaddress, std::uint8_t value, Text& error);

}  // namespace qvx
