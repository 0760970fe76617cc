// The I2C server's protocol over the simulated decoder, with its injected faults.
// Platform-free: busgate.cpp delivers the window messages and carries out the outcome.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "simcard/decoder_rules.h"

namespace simcard {

constexpr unsigned WM_I2C_WRITE = 0x784;  // WM_USER + 900
constexpr unsigned WM_I2C_READ = 0x785;   // WM_USER + 901
constexpr std::uint32_t I2C_ACK = 0xAA;

// SIMCARD_I2C: a comma list of nak-after=N, exit-after=N, hang-after=N, bad-ack=N, no-window,
// late-window=MS, noisy, delay-after=N:MS.
struct I2cFaults {
  std::optional<unsigned> nakAfter, exitAfter, hangAfter, badAck, lateWindowMs, delayAfter;
  unsigned delayMs = 0;
  bool noWindow = false;
  bool noisy = false;  // garbage in every reply bit the protocol leaves unused
};
std::optional<I2cFaults> parseI2cFaults(std::string_view text);

struct I2cOutcome {
  bool hang = false;          // never answer: the request and all after it block
  std::uint32_t reply = 0;    // the window message's result
  std::string logLine;        // for i2c.log, without the line end
  bool exitAfterReply = false;
  unsigned delayMs = 0;       // how long to wait before answering
};

// What the text slicer's registers (0x1A to 0x1C) read when a caption file plays.
class SlicerSource {
 public:
  virtual std::uint8_t readSlicer(unsigned subaddress) = 0;

 protected:
  ~SlicerSource() = default;
};

class I2cServerCore {
 public:
  explicit I2cServerCore(const I2cFaults& faults) : faults_(faults) {}
  // Reads of 0x1A to 0x1C that no status pin holds go to slicer from now on.
  void setSlicer(SlicerSource* slicer) { slicer_ = slicer; }
  // One request (message WM_I2C_WRITE or WM_I2C_READ) on the chip regs at time ms.
  I2cOutcome handle(unsigned message, std::uint32_t subaddress, std::uint32_t lParam, Registers& regs,
                    std::uint32_t ms, const StatusPins& pins);
  unsigned requests() const { return count_; }

 private:
  I2cFaults faults_;
  unsigned count_ = 0;
  SlicerSource* slicer_ = nullptr;
};

}  // namespace simcard
