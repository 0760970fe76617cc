// The register reference page: an index of the 32 registers, then one HTML table per
// register with its role and power-on value, one row per field (anchored by its name), per
// bit 8 of a nine-bit field and per group of bits no field covers. No platform calls.
#pragma once
#include <string>

namespace qvx {

std::string registerPage();

}  // namespace qvx
