// What a user types for a field: its name, matched without regard to case, and its value,
// a number in the field's range or, for a list field, the exact text of an option. Every
// refusal comes with the one line that tells the user why. No platform calls.
#pragma once
#include <string_view>

#include "qvx/field_catalog.h"

namespace qvx {

// The field of that name, or null.
const Field* findField(std::string_view name);
// The names nearest to an unknown one, e.g. "MODE, GUDL, FUSE" (three, nearest first; ties
// in the editor's order).
void nearestNames(std::string_view name, Text& out);

// A named field, or null with error "unknown field ...; nearest: ...".
const Field* lookUpField(std::string_view name, Text& error);
// False with error when the field is one the chip sets (the editor only shows it).
bool isWritable(const Field& f, Text& error);

struct Assignment {
  const Field* field;
  int value;
};

// Parses NAME=VALUE; false with error when the name, the value or the form is bad, or the
// field is read-only.
bool parseAssignment(std::string_view arg, Assignment& out, Text& error);
// Parses every NAME=VALUE of a set command into out (room for count); false with error at
// the first bad one or at a field named a second time.
bool parseAssignments(const char* const* args, int count, Assignment* out, Text& error);

}  // namespace qvx
