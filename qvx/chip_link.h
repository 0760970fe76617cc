// The decoder chip through the running I2C server, one register per request, as the editor
// reaches it. Only the Windows build has the server; elsewhere opening the link fails.
#pragma once
#include <cstdint>
#include <string>

namespace qvx {

// False with error when no server is running.
bool openChipLink(std::string& error);
bool readChipRegister(std::uint8_t subaddress, std::uint8_t& value, std::string& error);
bool writeChipRegister(std::uint8_t subaddress, std::uint8_t value, std::string& error);

}  // namespace qvx
