#include "tests/wine/harness/log_lines.h"

namespace harness {

std::vector<std::string> completeLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
  }
  return lines;
}

int countLinesStartingWith(std::string_view text, std::string_view prefix) {
  int n = 0;
  for (const std::string& line : completeLines(text))
    if (line.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

}  // namespace harness
