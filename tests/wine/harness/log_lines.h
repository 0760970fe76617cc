// Reading the line logs that the simulated card and the bell listener append to.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace harness {

// The complete lines of a log text (a last line without its newline is still being written).
std::vector<std::string> completeLines(std::string_view text);

// How many complete lines start with prefix.
int countLinesStartingWith(std::string_view text, std::string_view prefix);

}  // namespace harness
