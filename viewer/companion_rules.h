// Text rules of the companion programs: the SECAM argument, the path of a file beside the
// viewer's executable and the command line that starts it. No platform calls.
#pragma once
#include <cstddef>

constexpr std::size_t kCompanionBufferSize = 512;  // paths and command lines, with the terminator

// "s" and two lower-case hexadecimal digits of code, high digit first ("s53" for 0x53).
struct SecamArgument {
  char text[4];
};
SecamArgument secamArgument(unsigned char code);

// path holds the executable's full path, length characters long, as the platform returned it
// into a buffer of size bytes. Cuts it after its last backslash and appends fileName.
// False, with path left empty, when the path is empty or may have been truncated
// (length >= size), has no backslash, or the result does not fit size bytes.
bool siblingPath(char* path, std::size_t size, std::size_t length, const char* fileName);

// The program path in double quotes and, when argument is not empty, one blank and the
// argument. False, with commandLine left empty, when the text does not fit size bytes.
bool composeCommandLine(char* commandLine, std::size_t size, const char* programPath,
                        const char* argument);
