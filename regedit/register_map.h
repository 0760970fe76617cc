// The decoder's register file as the editor sees it: the 32-byte copy, the register
// lists, the field tables that map controls onto register bits, and the arithmetic
// that packs a control's value into a register byte and back. No platform calls.
#pragma once
#include <array>
#include <cstdint>

namespace quorvex {

constexpr int kRegisterCount = 32;
constexpr std::uint8_t kListEnd = 0xFF;

// The editor's copy of decoder registers 0x00 to 0x1F.
struct RegisterShadow {
  std::array<std::uint8_t, kRegisterCount> bytes;
};

extern const std::array<std::uint8_t, kRegisterCount> defaultRegisters;
// Subaddress lists, each ended by kListEnd.
extern const std::uint8_t readableRegisters[26];
extern const std::uint8_t writableRegisters[21];
extern const std::uint8_t statusRegisters[5];

// A multi-bit field shown as a drop-down list; the list index is the field value.
struct ComboField {
  int id;
  std::uint8_t subaddress, mask, shift;
  const char* const* options;
  int optionCount;
};

// A one-bit field shown as a check box.
struct CheckField {
  int id;
  std::uint8_t subaddress, bit;
};

// A one-byte number field: an edit box with an up-down control.
struct SpinField {
  int upDownId, editId;
  std::uint8_t subaddress;
  int low, high;
  bool isSigned;
};

// A nine-bit number field: bits 7-0 in one register, bit 8 in another.
struct WideSpinField {
  int upDownId, editId;
  std::uint8_t lowSubaddress, highSubaddress, highBit;
};

extern const std::array<ComboField, 17> comboFields;
extern const std::array<CheckField, 30> checkFields;
extern const std::array<SpinField, 6> spinFields;
extern const std::array<WideSpinField, 4> wideSpinFields;

const ComboField* findComboField(int id);
const CheckField* findCheckField(int id);
const SpinField* findSpinField(int upDownId);
const WideSpinField* findWideSpinField(int upDownId);

constexpr int kWideMax = 511;

// Field arithmetic.
int comboValue(const ComboField& f, const RegisterShadow& s);
void setComboValue(const ComboField& f, RegisterShadow& s, int index);
bool checkValue(const CheckField& f, const RegisterShadow& s);
void setCheckValue(const CheckField& f, RegisterShadow& s, bool on);
int spinValue(const SpinField& f, const RegisterShadow& s);  // sign-extended when signed
void setSpinValue(const SpinField& f, RegisterShadow& s, int position);
// The arrows' range for a field at position: the field's range, widened to take in a
// position outside it (a chip value the editor did not write), so the box shows it as it is.
struct SpinRange {
  int low, high;
};
SpinRange spinRange(const SpinField& f, int position);
int wideValue(const WideSpinField& f, const RegisterShadow& s);
void setWideValue(const WideSpinField& f, RegisterShadow& s, int position);

// A field the editor shows but never writes: a text-slicer or status bit group (polled once
// a second) or the chip version (read once). Its value is (byte & mask) >> shift.
struct ShownField {
  int id;             // the control that shows the value
  const char* name;   // the decoder's name for the field
  const char* label;  // the text beside the control
  std::uint8_t subaddress, mask, shift;
  bool hex;  // shown as two lower-case hexadecimal digits ("%02x"), else as a decimal digit
};

// F1RDY ... P2 (controls 300 to 307) and CODE ... STTC (400 to 407), in control order.
extern const std::array<ShownField, 16> statusFields;
// Bits 7-4 of 0x00, shown as "V" and one digit (control 506).
extern const ShownField chipVersionField;

int shownValue(const ShownField& f, const RegisterShadow& s);

// The character after "V" in the chip version text: the chip version bits of register 0x00
// as one hexadecimal digit (upper case).
char versionChar(std::uint8_t chipVersionByte);

// What the editor does with a register, from the register lists: writes it (and reads it
// back on Reread), reads it once (0x00), polls it every second, or never touches it.
enum class RegisterRole { Written, ReadOnce, Polled, Unused };
RegisterRole registerRole(int subaddress);

// The bits of a register that no field of the tables covers: the editor keeps them as read
// (or as loaded) and never shows them; where it writes the register they go back unchanged.
std::uint8_t uncontrolledBits(int subaddress);

}  // namespace quorvex
