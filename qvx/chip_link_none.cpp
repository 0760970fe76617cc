// The host build has no I2C server.
#include "qvx/chip_link.h"

namespace qvx {

bool openChipLink(std::string& error) {
  error = "the chip is reached only by the Windows build, qvx.exe";
  return false;
}

bool readChipRegister(std::uint8_t, std::uint8_t&, std::string&) { return false; }
bool writeChipRegister(std::uint8_t, std::uint8_t, std::string&) { return false; }

}  // namespace qvx
