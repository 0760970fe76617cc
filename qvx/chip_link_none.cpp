// The host build has no I2C server.
#include "qvx/chip_link.h"

namespace qvx {

bool openChipLink(bool, Text& error) {
  error << "the chip is reached only by the Windows build, qvx.exe";
  return false;
}

bool readChipRegister(std::uint8_t, std::uint8_t&, Text&) { return false; }
bool writeChipRegister(std::uint8_t, std::uint8_t, Text&) { return false; }
void closeChipLink() {}

}  // namespace qvx
