// Register requests to the I2C server's window, with the editor's messages and reply check.
#include <windows.h>

#include "qvx/chip_link.h"
#include "qvx/field_catalog.h"
#include "regedit/i2c_link.h"

namespace qvx {

namespace {

const char kServerName[] = "I2CDriverWindow";
HWND server = nullptr;

// One request; false with error unless the reply carries the acknowledge byte.
bool request(UINT message, std::uint8_t subaddress, LPARAM lParam, std::uint8_t& low, Text& error) {
  DWORD_PTR reply = 0;
  LRESULT answered =
      SendMessageTimeoutA(server, message, subaddress, lParam, SMTO_NORMAL, quorvex::kRequestTimeoutMs, &reply);
  low = static_cast<std::uint8_t>(reply & 0xFF);
  if (answered != 0 && ((reply >> 8) & 0xFF) == quorvex::I2C_ACK) return true;
  error << "the I2C server did not acknowledge " << (message == quorvex::WM_I2C_READ ? "reading " : "writing ")
        << RegisterName{subaddress};
  return false;
}

}  // namespace

bool openChipLink(Text& error) {
  server = FindWindowA(kServerName, kServerName);
  if (!server) error << "no I2C server is running (window \"I2CDriverWindow\")";
  return server != nullptr;
}

bool readChipRegister(std::uint8_t subaddress, std::uint8_t& value, Text& error) {
  return request(quorvex::WM_I2C_READ, subaddress, 0, value, error);
}

bool writeChipRegister(std::uint8_t subaddress, std::uint8_t value, Text& error) {
  std::uint8_t ignored;
  return request(quorvex::WM_I2C_WRITE, subaddress, value, ignored, error);
}

}  // namespace qvx
