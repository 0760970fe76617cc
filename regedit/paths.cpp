// Path rules of the editor.
#include "regedit/paths.h"

namespace quorvex {

PathParts splitPath(const std::string& path) {
  PathParts parts;
  std::size_t cut = path.find_last_of("\\:");
  if (cut == std::string::npos) {
    parts.fileName = path;
  } else {
    parts.folder = path.substr(0, cut + 1);
    parts.fileName = path.substr(cut + 1);
  }
  return parts;
}

std::string serverCommandLine(const std::string& modulePath) {
  std::size_t cut = modulePath.rfind('\\');
  if (cut == std::string::npos || cut < 1) return "";
  std::string line = "\"" + modulePath.substr(0, cut + 1) + "busgate.drv\"";
  return line.size() < kPathSize ? line : "";
}

std::string defaultSnapshotPath(const std::string& modulePath) {
  if (modulePath.empty()) return "";
  std::string path = splitPath(modulePath).folder + "snapshot.qvx";
  return path.size() < kPathSize ? path : "";
}

}  // namespace quorvex
