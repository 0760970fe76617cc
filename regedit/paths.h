// Path rules of the editor: splitting a path into folder and file name, and building the
// paths of files beside the editor. Every result must fit a 512-character buffer
// (terminating zero included); one that does not is a failure, never cut short.
#pragma once
#include <cstddef>
#include <string_view>

namespace quorvex {

constexpr std::size_t kPathSize = 512;

// Both parts are views into the path that was split.
struct PathParts {
  std::string_view folder;    // up to and including the last backslash or colon
  std::string_view fileName;  // everything after it
};

PathParts splitPath(std::string_view path);

// Copies text with its terminator into buffer; false (buffer emptied) when it does not fit.
bool copyText(char* buffer, std::size_t size, std::string_view text);

// The server's command line into line (kPathSize characters): the module path cut after its
// last backslash (searched down to the second character), "busgate.drv" appended, the whole
// in double quotes so that a folder with blanks cannot start another program. false, with
// line empty, when there is no backslash or the result does not fit.
bool serverCommandLine(std::string_view modulePath, char (&line)[kPathSize]);

// The default snapshot path into path (kPathSize characters): the module path's folder
// followed by "snapshot.qvx". false, with path empty, when the module path is empty or the
// result does not fit.
bool defaultSnapshotPath(std::string_view modulePath, char (&path)[kPathSize]);

// The path of the file name beside the editor into path (kPathSize characters): the module
// path cut after its last backslash (searched down to the second character), name appended.
// false, with path empty, when there is no backslash or the result does not fit.
bool siblingPath(std::string_view modulePath, std::string_view name, char (&path)[kPathSize]);

}  // namespace quorvex
