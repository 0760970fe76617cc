// The register reference page: one HTML table per register, one row per field with its
// name, bits, values, default and the editor's label. No platform calls.
#pragma once
#include <string>

namespace qvx {

std::string registerPage();

}  // namespace qvx
