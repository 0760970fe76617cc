#include "viewer/frame_file_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr FrameTime kTime{2024, 3, 5, 7, 8, 9};

// The path frameFilePath gives in a buffer of size bytes, or "FAIL" (checking it is left empty).
std::string framePath(const char* folder, int number, const FrameTime& t = kTime, std::size_t size = 512) {
  std::string buffer(size, 'x');
  if (!frameFilePath(buffer.data(), size, folder, t, number)) {
    EXPECT_TRUE(size == 0 || buffer[0] == '\0') << "a failed path is left empty";
    return "FAIL";
  }
  return buffer.c_str();
}

TEST(FrameFileRules, NamesCarryTheLocalTimeAndANumberFromTheSecond) {
  EXPECT_EQ(framePath("C:\\Shots", 1), "C:\\Shots\\vistrel-20240305-070809.png");
  EXPECT_EQ(framePath("C:\\Shots\\", 1), "C:\\Shots\\vistrel-20240305-070809.png");
  EXPECT_EQ(framePath("Z:/tmp/", 1), "Z:/tmp/vistrel-20240305-070809.png");
  EXPECT_EQ(framePath("C:\\", 2), "C:\\vistrel-20240305-070809-2.png");
  EXPECT_EQ(framePath("C:\\", 10), "C:\\vistrel-20240305-070809-10.png");
  EXPECT_EQ(framePath("C:\\", 9999), "C:\\vistrel-20240305-070809-9999.png");
  EXPECT_EQ(framePath("D:", 1, {1999, 12, 31, 23, 59, 58}), "D:\\vistrel-19991231-235958.png");
  EXPECT_EQ(framePath("C:\\", 0), "FAIL");
  EXPECT_EQ(framePath("C:\\", -2), "FAIL");
  EXPECT_EQ(framePath("", 1), "FAIL");
}

TEST(FrameFileRules, APathThatDoesNotFitIsRefusedNotCut) {
  const std::string fits = "C:\\Shots\\vistrel-20240305-070809-2.png";
  EXPECT_EQ(framePath("C:\\Shots", 2, kTime, fits.size() + 1), fits);
  EXPECT_EQ(framePath("C:\\Shots", 2, kTime, fits.size()), "FAIL");
  EXPECT_EQ(framePath("C:\\Shots", 2, kTime, 1), "FAIL");
  EXPECT_EQ(framePath("C:\\Shots", 2, kTime, 0), "FAIL");
}

TEST(FrameFileRules, OnlyFoldersWithoutRootOrDriveAreRelative) {
  for (const char* relative : {"shots", "..\\shots", ".", "shots\\2024"}) {
    EXPECT_TRUE(isRelativeFolder(relative)) << relative;
  }
  for (const char* absolute : {"C:\\Shots", "c:shots", "Z:/tmp", "\\\\server\\share", "\\Shots", "/tmp"}) {
    EXPECT_FALSE(isRelativeFolder(absolute)) << absolute;
  }
}

}  // namespace
