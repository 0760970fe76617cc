#include "viewer/companion_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct SecamRow {
  unsigned char code;
  const char* argument;
};

TEST(CompanionRules, SecamArgumentIsSAndTwoLowerCaseHexDigits) {
  const SecamRow rows[] = {
      {0x53, "s53"}, {0x0A, "s0a"}, {0xFF, "sff"}, {0x00, "s00"}, {0xA0, "sa0"}, {0xBC, "sbc"},
  };
  for (const SecamRow& row : rows) {
    EXPECT_STREQ(secamArgument(row.code).text, row.argument) << "code " << int(row.code);
  }
}

// Runs siblingPath over modulePath in a buffer of size bytes; the result, or "FAIL".
std::string sibling(const std::string& modulePath, const char* fileName,
                    std::size_t size = kCompanionBufferSize, std::size_t length = std::string::npos) {
  std::string buffer(size, 'x');
  std::memcpy(buffer.data(), modulePath.c_str(), std::min(modulePath.size() + 1, size));
  if (length == std::string::npos) length = modulePath.size();
  if (!siblingPath(buffer.data(), size, length, fileName)) {
    EXPECT_EQ(buffer[0], '\0') << "a failed path is left empty";
    return "FAIL";
  }
  return buffer.c_str();
}

struct SiblingRow {
  const char* modulePath;
  const char* fileName;
  const char* expected;
};

TEST(CompanionRules, SiblingPathCutsAfterTheLastBackslash) {
  const SiblingRow rows[] = {
      {"C:\\Video\\vistrel.exe", "chromset.drv", "C:\\Video\\chromset.drv"},
      {"C:\\Program Files\\Buz Tools\\VISTREL.EXE", "quorvex.drv",
       "C:\\Program Files\\Buz Tools\\quorvex.drv"},  // case kept, blanks kept
      {"\\\\server\\share\\v.exe", "quorvex.drv", "\\\\server\\share\\quorvex.drv"},
      {"\\vistrel.exe", "chromset.drv", "\\chromset.drv"},
      {"C:\\dir\\", "chromset.drv", "C:\\dir\\chromset.drv"},
      {"vistrel.exe", "chromset.drv", "FAIL"},  // no backslash
      {"", "chromset.drv", "FAIL"},
  };
  for (const SiblingRow& row : rows) {
    EXPECT_EQ(sibling(row.modulePath, row.fileName), row.expected) << row.modulePath;
  }
}

TEST(CompanionRules, SiblingPathFailsWhenItDoesNotFitOrWasTruncated) {
  const std::string dir = "C:\\" + std::string(20, 'd') + "\\";  // 24 characters
  // 24 + 12 characters and the terminator fill 37 bytes exactly.
  EXPECT_EQ(sibling(dir + "v.exe", "chromset.drv", 37), dir + "chromset.drv");
  EXPECT_EQ(sibling(dir + "v.exe", "chromset.drv", 36), "FAIL");
  // A module path as long as its buffer may have been cut short by the platform.
  EXPECT_EQ(sibling(dir + "v.exe", "x", 29, 29), "FAIL");
  EXPECT_EQ(sibling(dir + "v.exe", "x", 30, 29), dir + "x");
  // Only the length the platform reported is searched for the backslash.
  EXPECT_EQ(sibling("abc\\def", "x", 16, 3), "FAIL");
}

std::string command(const char* path, const char* argument, std::size_t size = kCompanionBufferSize) {
  std::string buffer(size, 'x');
  if (!composeCommandLine(buffer.data(), size, path, argument)) {
    EXPECT_EQ(buffer[0], '\0') << "a failed command line is left empty";
    return "FAIL";
  }
  return buffer.c_str();
}

TEST(CompanionRules, CommandLineQuotesThePathAndAppendsTheArgument) {
  EXPECT_EQ(command("C:\\Video\\chromset.drv", "s53"), "\"C:\\Video\\chromset.drv\" s53");
  EXPECT_EQ(command("C:\\Program Files\\Buz\\chromset.drv", "s0a"),
            "\"C:\\Program Files\\Buz\\chromset.drv\" s0a");
  EXPECT_EQ(command("C:\\Program Files\\Buz\\quorvex.drv", ""),
            "\"C:\\Program Files\\Buz\\quorvex.drv\"");
  EXPECT_EQ(command("C:\\q.drv", nullptr), "\"C:\\q.drv\"");
}

TEST(CompanionRules, CommandLineThatDoesNotFitIsAFailure) {
  // "\"C:\\a.drv\" s53" is 14 characters: 15 bytes with the terminator.
  EXPECT_EQ(command("C:\\a.drv", "s53", 15), "\"C:\\a.drv\" s53");
  for (std::size_t size : {14u, 13u, 11u, 10u, 1u}) {
    EXPECT_EQ(command("C:\\a.drv", "s53", size), "FAIL") << size;
  }
  EXPECT_EQ(command("C:\\a.drv", "", 11), "\"C:\\a.drv\"");
  EXPECT_EQ(command("C:\\a.drv", "", 10), "FAIL");

  // A path that fills the path buffer leaves no room for quotes and argument.
  std::string longPath = "C:\\" + std::string(kCompanionBufferSize - 17, 'p') + "\\chromset.drv";
  ASSERT_EQ(longPath.size(), kCompanionBufferSize - 1);
  EXPECT_EQ(command(longPath.c_str(), "s53"), "FAIL");
  std::string fitting = longPath.substr(0, kCompanionBufferSize - 7);  // 505 + 2 quotes + 4
  EXPECT_EQ(command(fitting.c_str(), "s53"), "\"" + fitting + "\" s53");
}

}  // namespace
