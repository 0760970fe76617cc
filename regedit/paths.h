// Path rules of the editor: splitting a path into folder and file name, and building the
// paths of files beside the editor. Every result must fit a 512-character buffer
// (terminating zero included); one that does not is a failure, never cut short.
#pragma once
#include <cstddef>
#include <string>

namespace quorvex {

constexpr std::size_t kPathSize = 512;

struct PathParts {
  std::string folder;    // up to and including the last backslash or colon
  std::string fileName;  // everything after it
};

PathParts splitPath(const std::string& path);

// The server's command line: the module path cut after its last backslash (searched down
// to the second character), "busgate.drv" appended, the whole in double quotes so that a
// folder with blanks cannot start another program. Empty when there is no backslash or
// the result does not fit kPathSize.
std::string serverCommandLine(const std::string& modulePath);

// The default snapshot path: the module path's folder followed by "snapshot.qvx";
// empty when the module path is empty or the result does not fit kPathSize.
std::string defaultSnapshotPath(const std::string& modulePath);

}  // namespace quorvex
