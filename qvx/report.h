// What qvx prints: a register set field by field, the fields in which two sets differ, as
// aligned lines or as a JSON array. No platform calls.
#pragma once
#include <string>

#include "qvx/field_catalog.h"

namespace qvx {

// Every field, one line each: register, bits, name, value and a list field's option text.
std::string showText(const RegisterShadow& s, bool json);
// The fields that differ from a to b, one line each ("NAME: old -> new"); empty when none.
std::string diffText(const RegisterShadow& a, const RegisterShadow& b, bool json);
// Whether any field differs between a and b.
bool fieldsDiffer(const RegisterShadow& a, const RegisterShadow& b);

// A value as shown in a line: the number, with a list field's option text in quotes.
std::string valueText(const Field& f, int value);

}  // namespace qvx
