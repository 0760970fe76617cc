// Environment and log access shared by the stand-ins (Win32).
#pragma once
#include <optional>
#include <string>

namespace simcard {

// The variable's text; nullopt when it is not set (an empty value is set).
std::optional<std::string> envText(const char* name);

// Appends line and a line end to file (e.g. "i2c.log") in the folder SIMCARD_LOG names,
// at once and unbuffered; does nothing when SIMCARD_LOG is not set.
void appendLog(const char* file, const std::string& line);

// The folder of this process's executable, with its final backslash; "" on failure.
std::string ownFolder();

}  // namespace simcard
