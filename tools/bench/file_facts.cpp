#include "tools/bench/file_facts.h"

#include <algorithm>
#include <cctype>

namespace bench {
namespace {

const std::string_view kSystemDlls[] = {
    "kernel32.dll", "user32.dll",   "gdi32.dll",    "comctl32.dll", "comdlg32.dll", "shell32.dll",
    "advapi32.dll", "winmm.dll",    "avicap32.dll", "msvfw32.dll",  "msvcrt.dll",   "ole32.dll",
    "oleaut32.dll", "shlwapi.dll",  "version.dll",  "psapi.dll",    "imm32.dll",    "uxtheme.dll",
    "ws2_32.dll",   "ntdll.dll",    "rpcrt4.dll",   "winspool.drv"};

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Splits at any of the separators, dropping empty pieces.
std::vector<std::string_view> split(std::string_view s, std::string_view separators) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= s.size()) {
    size_t end = s.find_first_of(separators, start);
    if (end == std::string_view::npos) end = s.size();
    if (end > start) parts.push_back(s.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::optional<FileFacts> parseFileFacts(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  auto fields = split(line, "\t");
  if (fields.size() < 2 || fields.size() > 3) return std::nullopt;
  FileFacts facts;
  facts.name = std::string(fields[0]);
  if (fields[1].empty() || fields[1].size() > 9) return std::nullopt;
  for (char c : fields[1]) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    facts.bytes = facts.bytes * 10 + (c - '0');
  }
  if (fields.size() == 3)
    for (auto dll : split(fields[2], " ")) facts.dlls.emplace_back(dll);
  return facts;
}

bool isSystemDll(std::string_view name) {
  std::string l = lower(name);
  return std::find(std::begin(kSystemDlls), std::end(kSystemDlls), l) != std::end(kSystemDlls);
}

std::vector<std::string> foreignDlls(const FileFacts& facts) {
  std::vector<std::string> out;
  for (const auto& dll : facts.dlls)
    if (!isSystemDll(dll)) out.push_back(dll);
  return out;
}

}  // namespace bench
