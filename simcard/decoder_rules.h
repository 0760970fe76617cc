// The simulated decoder chip: its register file, power-on state and live status bytes.
// Platform-free; the shared section that holds the bytes is in shared_decoder.h.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace simcard {

constexpr unsigned kRegisterCount = 32;
using Registers = std::array<std::uint8_t, kRegisterCount>;

// Subaddresses with a meaning of their own to the simulation.
constexpr unsigned kChipVersion = 0x00;
constexpr unsigned kInputMode = 0x02;   // MODE bits 2-0
constexpr unsigned kSyncControl = 0x08; // FSEL bit 6: 60 Hz fields
constexpr unsigned kBrightness = 0x0A;
constexpr unsigned kContrast = 0x0B;
constexpr unsigned kSaturation = 0x0C;
constexpr unsigned kHue = 0x0D;
constexpr unsigned kChroma = 0x0E;      // CSTD bits 6-4
constexpr unsigned kOutputControl = 0x11; // COLO bit 0
constexpr unsigned kSlicerStatus = 0x1A;
constexpr unsigned kSlicerByte1 = 0x1B;
constexpr unsigned kSlicerByte2 = 0x1C;
constexpr unsigned kStatus = 0x1F;

constexpr std::uint8_t kFsel = 0x40;
constexpr std::uint8_t kColo = 0x01;
constexpr std::uint8_t kCode = 0x01, kFidt = 0x20, kHlck = 0x40;  // bits of 0x1F

extern const Registers defaultRegisters;

// The chip after power-on: the defaults with the version in bits 7-4 of 0x00.
Registers powerOnRegisters(unsigned chipVersion);

// The chip version 0x00 and the status bytes: writes are acknowledged and ignored.
bool isReadOnly(unsigned subaddress);
bool isStatus(unsigned subaddress);

// A 7-bit character with bit 7 set so that the byte has an odd number of ones.
std::uint8_t withOddParity(std::uint8_t character);

// Status bytes held at fixed values (SIMCARD_STATUS).
using StatusPins = std::array<std::optional<std::uint8_t>, kRegisterCount>;
// "1B:C1,1F:40": status subaddress and value, two hexadecimal digits each. Empty text: no pins.
std::optional<StatusPins> parseStatusPins(std::string_view text);

// The caption the text slicer delivers, two characters per step, a pause after it.
constexpr std::string_view kCaption = "SIMCARD CAPTION TEXT 100";
constexpr unsigned kSlicerStepMs = 250;

// The value a read of subaddress gets at time ms (any monotonic millisecond count).
std::uint8_t readValue(const Registers& regs, unsigned subaddress, std::uint32_t ms,
                       const StatusPins& pins);

// Colour standard (CSTD) and field rate as the simulated source follows them.
unsigned colourStandard(const Registers& regs);
bool sixtyHertz(const Registers& regs);
bool standardIsSet(const Registers& regs);  // CSTD is not a reserved code
bool colourOn(const Registers& regs);       // COLO

}  // namespace simcard
