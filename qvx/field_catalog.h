// Every field the editor shows, under its short name: first the 57 it lets the user change
// (its four field tables, in the order of their control numbers, which is register order),
// then the 17 it only shows (text slicer, status and chip version, in control order). And
// the bits no field covers, as groups of adjacent bits. What qvx reads and writes of each.
// No platform calls.
#pragma once
#include <array>
#include <cstdint>

#include "qvx/text.h"
#include "regedit/register_map.h"

namespace qvx {

using quorvex::RegisterShadow;

// Shown: a field the editor only shows; the chip sets it, qvx never writes it.
enum class Kind { List, Bit, Byte, Wide, Shown };

// A field's short name and the editor's text beside it (label or check box text).
struct FieldName {
  int id;  // list or check box id, the up-down id of a number field, or the value control
  const char* name;
  const char* label;
};

struct Field {
  const FieldName* naming;
  Kind kind;
  const quorvex::ComboField* list;
  const quorvex::CheckField* bit;
  const quorvex::SpinField* byte;
  const quorvex::WideSpinField* wide;
  const quorvex::ShownField* shown;
  const char* name() const { return naming->name; }
  bool writable() const { return kind != Kind::Shown; }
};

constexpr int kWritableFieldCount = 17 + 30 + 6 + 4;
constexpr int kFieldCount = kWritableFieldCount + 16 + 1;
// The names of the fields the editor lets the user change; the shown fields are named in
// the editor's tables.
extern const std::array<FieldName, kWritableFieldCount> fieldNames;

// Every field in the editor's order: the writable ones, then the shown ones.
const std::array<Field, kFieldCount>& fields();

// Adjacent bits of one register that no field covers.
struct RawBits {
  std::uint8_t subaddress, mask;
};
struct RawBitGroups {
  RawBits groups[quorvex::kRegisterCount * 4];
  int count;
};
// Every such group, in register order, high bits first.
const RawBitGroups& rawBitGroups();

struct Range {
  int low, high;
};

int fieldValue(const Field& f, const RegisterShadow& s);
void setFieldValue(const Field& f, RegisterShadow& s, int value);  // value within fieldRange
Range fieldRange(const Field& f);
// The option text of a list field's value; null for other fields.
const char* optionText(const Field& f, int value);
// The registers that hold the field: the one with bits 7-0 (or the field) first.
int fieldRegisters(const Field& f, std::uint8_t (&subaddresses)[2]);
// "0x02", or for a nine-bit field "0x04,0x03" (bits 7-0, then bit 8).
void registerText(const Field& f, Text& out);
// "2-0", "5", or for a nine-bit field "7-0,0".
void bitsText(const Field& f, Text& out);

}  // namespace qvx
