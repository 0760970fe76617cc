// Snapshot files as qvx reads and writes them: exactly 32 register bytes. Writing goes to a
// new file beside the target that then replaces it, so the target is either the old or the
// new snapshot, never a part of one.
#pragma once
#include <string>

#include "qvx/field_catalog.h"

namespace qvx {

// False with error ("FILE: no such file", "FILE: 40 bytes, not 32") when path holds no snapshot.
bool readSnapshot(const std::string& path, RegisterShadow& s, std::string& error);
bool writeSnapshot(const std::string& path, const RegisterShadow& s, std::string& error);

// Platform part: writes size bytes to a new file in target's folder and moves it over target.
bool replaceFile(const std::string& target, const void* bytes, std::size_t size, std::string& error);

}  // namespace qvx
