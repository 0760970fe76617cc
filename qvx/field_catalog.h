// Every field of the editor's four field tables under its short name, in the editor's order
// (the order of its control numbers, which is register order), and what qvx reads and
// writes of it. No platform calls.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "regedit/register_map.h"

namespace qvx {

using quorvex::RegisterShadow;

enum class Kind { List, Bit, Byte, Wide };

// A field's short name and the editor's text beside it (label or check box text).
struct FieldName {
  int id;  // list or check box id, or the up-down id of a number field
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
  const char* name() const { return naming->name; }
};

constexpr int kFieldCount = 17 + 30 + 6 + 4;
extern const std::array<FieldName, kFieldCount> fieldNames;

// The fields in the editor's order.
const std::array<Field, kFieldCount>& fields();

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
// A subaddress as "0x0E".
std::string registerName(std::uint8_t subaddress);
// "0x02", or for a nine-bit field "0x04,0x03" (bits 7-0, then bit 8).
std::string registerText(const Field& f);
// "2-0", "5", or for a nine-bit field "7-0,0".
std::string bitsText(const Field& f);

}  // namespace qvx
