// What a user types for a field: its name, matched without regard to case, and its value,
// a number in the field's range or, for a list field, the exact text of an option. Every
// refusal comes with the one line that tells the user why. No platform calls.
#pragma once
#include <string>
#include <string_view>

#include "qvx/field_catalog.h"

namespace qvx {

// The field of that name, or null.
const Field* findField(std::string_view name);
// The names nearest to an unknown one, e.g. "MODE, GUDL" (at most three, nearest first).
std::string nearestNames(std::string_view name);

// A named field, or null with error "unknown field ...; nearest: ...".
const Field* lookUpField(std::string_view name, std::string& error);

struct Assignment {
  const Field* field;
  int value;
};

// Parses NAME=VALUE; false with error when the name, the value or the form is bad.
bool parseAssignment(std::string_view arg, Assignment& out, std::string& error);

}  // namespace qvx
