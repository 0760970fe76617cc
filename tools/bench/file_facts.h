// Size and imports of a delivered file, as tools/bench/run reports them from a stripped copy
// (one line per file: name, bytes, then the imported DLL names, separated by tabs and spaces).
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct FileFacts {
  std::string name;
  long bytes = 0;
  std::vector<std::string> dlls;
};

// "vistrel.exe\t40448\tKERNEL32.dll USER32.dll"; nullopt when the line is malformed.
std::optional<FileFacts> parseFileFacts(std::string_view line);

// Whether a DLL ships with the system (compared without regard to case).
bool isSystemDll(std::string_view name);

// The imported DLLs that are not system DLLs.
std::vector<std::string> foreignDlls(const FileFacts& facts);

}  // namespace bench
