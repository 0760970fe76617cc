// What qvx prints: a register set field by field, and how two sets differ (every field by
// name, every other bit group raw), as aligned lines or as a JSON array. No platform calls.
#pragma once
#include "qvx/field_catalog.h"

namespace qvx {

// Every field, one line each: register, bits, name, value, and a list field's option text
// or "read-only".
void showReport(const RegisterShadow& s, bool json, const Sink& out);
// The fields that differ from a to b ("NAME: old -> new"), then the bits that belong to no
// field ("0x17 bits 7-2: 0x00 -> 0x3c"); nothing (or "[]") when all 32 bytes are equal.
// Returns whether any byte differs.
bool diffReport(const RegisterShadow& a, const RegisterShadow& b, bool json, const Sink& out);

// The fields (then the bits of no field) that differ from a to b, one line each, as qvx watch
// prints a poll that took ms of its run: "00:00:03.200 HLCK 1 -> 0", or one JSON object per
// line with "time", "ms" and diff's members.
void watchReport(const RegisterShadow& a, const RegisterShadow& b, long long ms, bool json, const Sink& out);

// A value as shown in a line: the number, with a list field's option text in quotes.
void valueText(const Field& f, int value, Text& out);

}  // namespace qvx
