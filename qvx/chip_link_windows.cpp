// Register requests to the I2C server's window, with the editor's messages and reply check.
#include <windows.h>

#include "common/i2c_server.h"
#include "qvx/chip_link.h"

namespace qvx {

namespace {

i2c::Server server;

// One request; false with error unless the reply carries the acknowledge byte.
bool request(UINT message, std::uint8_t subaddress, LPARAM lParam, std::uint8_t& low, Text& error) {
  if (server.window && i2c::request(server.window, message, subaddress, lParam, SMTO_NORMAL, low)) return true;
  error << "the I2C server did not acknowledge " << (message == i2c::WM_I2C_READ ? "reading " : "writing ")
        << RegisterName{subaddress};
  return false;
}

}  // namespace

bool openChipLink(bool start, Text& error) {
  if (start ? i2c::connectServer(server) : i2c::findServer(server)) return true;
  error << (start ? "no I2C server: none answers and busgate.drv beside qvx.exe could not be started"
                  : "no I2C server is running (window \"I2CDriverWindow\")");
  return false;
}

bool readChipRegister(std::uint8_t subaddress, std::uint8_t& value, Text& error) {
  return request(i2c::WM_I2C_READ, subaddress, 0, value, error);
}

bool writeChipRegister(std::uint8_t subaddress, std::uint8_t value, Text& error) {
  std::uint8_t ignored;
  return request(i2c::WM_I2C_WRITE, subaddress, value, ignored, error);
}

void closeChipLink() {
  if (server.startedProcess) i2c::closeServer(server);
  server = i2c::Server{};
}

}  // namespace qvx
