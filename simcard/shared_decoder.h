// The one simulated decoder chip, shared by every stand-in through a file-backed section:
// SIMCARD_STATE names the file (default: simcard-decoder.bin in the temporary folder).
// A missing file is created at power-on state (chip version SIMCARD_CHIP_VERSION, default 1).
#pragma once
#include <cstdint>

#include "simcard/decoder_rules.h"

namespace simcard {

class SharedDecoder {
 public:
  SharedDecoder() = default;
  ~SharedDecoder();
  SharedDecoder(const SharedDecoder&) = delete;
  SharedDecoder& operator=(const SharedDecoder&) = delete;

  bool open();
  bool isOpen() const { return regs_ != nullptr; }
  // The stored register bytes; status bytes are computed by read().
  Registers& registers() { return *regs_; }
  const StatusPins& pins() const { return pins_; }
  std::uint8_t read(unsigned subaddress) const;
  // Stores value unless the subaddress is read-only or out of range.
  void write(unsigned subaddress, std::uint8_t value);
  // A copy of the stored bytes, for one picture frame.
  Registers snapshot() const { return *regs_; }

 private:
  void* file_ = nullptr;
  void* mapping_ = nullptr;
  Registers* regs_ = nullptr;
  StatusPins pins_{};
};

}  // namespace simcard
