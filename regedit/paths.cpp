// Path rules of the editor.
#include "regedit/paths.h"

#include <cstring>

namespace quorvex {

namespace {

// Appends text at position at of buffer; false when it and the terminator do not fit.
bool append(char* buffer, std::size_t size, std::size_t& at, std::string_view text) {
  if (at >= size || text.size() >= size - at) return false;
  if (!text.empty()) std::memcpy(buffer + at, text.data(), text.size());
  at += text.size();
  buffer[at] = '\0';
  return true;
}

// The first length characters of text (length <= text.size()). substr would bring in the
// runtime's exception throwing for its range check, which the programs are built without.
std::string_view prefix(std::string_view text, std::size_t length) { return {text.data(), length}; }

bool fail(char* buffer, std::size_t size) {
  if (size > 0) buffer[0] = '\0';
  return false;
}

}  // namespace

PathParts splitPath(std::string_view path) {
  std::size_t cut = path.find_last_of("\\:");
  if (cut == std::string_view::npos) return {{}, path};
  std::string_view fileName = path;
  fileName.remove_prefix(cut + 1);
  return {prefix(path, cut + 1), fileName};
}

bool copyText(char* buffer, std::size_t size, std::string_view text) {
  std::size_t at = 0;
  return append(buffer, size, at, text) || fail(buffer, size);
}

bool serverCommandLine(std::string_view modulePath, char (&line)[kPathSize]) {
  std::size_t cut = modulePath.rfind('\\');
  if (cut == std::string_view::npos || cut < 1) return fail(line, sizeof line);
  std::size_t at = 0;
  return (append(line, sizeof line, at, "\"") &&
          append(line, sizeof line, at, prefix(modulePath, cut + 1)) &&
          append(line, sizeof line, at, "busgate.drv\"")) ||
         fail(line, sizeof line);
}

bool defaultSnapshotPath(std::string_view modulePath, char (&path)[kPathSize]) {
  if (modulePath.empty()) return fail(path, sizeof path);
  std::size_t at = 0;
  return (append(path, sizeof path, at, splitPath(modulePath).folder) &&
          append(path, sizeof path, at, "snapshot.qvx")) ||
         fail(path, sizeof path);
}

bool siblingPath(std::string_view modulePath, std::string_view name, char (&path)[kPathSize]) {
  std::size_t cut = modulePath.rfind('\\');
  if (cut == std::string_view::npos || cut < 1) return fail(path, sizeof path);
  std::size_t at = 0;
  return (append(path, sizeof path, at, prefix(modulePath, cut + 1)) && append(path, sizeof path, at, name)) ||
         fail(path, sizeof path);
}

}  // namespace quorvex
