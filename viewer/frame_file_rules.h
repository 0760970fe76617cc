// Names of saved frames and the grab folder's path rules. No platform calls.
#pragma once
#include <cstddef>

// Local time of a save, as the clock gives it.
struct FrameTime {
  int year, month, day, hour, minute, second;
};

// folder, a backslash unless it ends in one, and "vistrel-YYYYMMDD-HHMMSS.png" from t; for a
// number of 2 or more, "-number" before ".png". False, with path left empty, when it does not
// fit size bytes, folder is empty or number is below 1.
bool frameFilePath(char* path, std::size_t size, const char* folder, const FrameTime& t, int number);

// Whether a folder of the settings file is relative: it starts with neither a backslash (or
// slash) nor a drive letter and colon. A relative folder lies in the viewer's own folder.
bool isRelativeFolder(const char* folder);
