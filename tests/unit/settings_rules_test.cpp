// The value rules of the viewer's settings file.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "viewer/settings_rules.h"

namespace {

TEST(ClampInt, UpperBoundFirstThenLowerBoundWins) {
  struct Row {
    int value, upper, lower, expected;
  } rows[] = {
      {360, 720, 120, 360},     {2000, 720, 120, 720},   {0, 720, 120, 120},       {-5, 720, 120, 120},
      {720, 720, 120, 720},     {120, 720, 120, 120},    {INT_MIN, 720, 120, 120}, {INT_MAX, 720, 120, 720},
      {50, 100, 200, 200},      // crossed bounds: the lower one wins
      {500, 100, 200, 200},     {-1, -1, -10, -1},       {-20, -1, -10, -10},
  };
  for (const Row& r : rows)
    EXPECT_EQ(clampInt(r.value, r.upper, r.lower), r.expected) << r.value << " in " << r.lower << ".." << r.upper;
}

TEST(ProfileFlag, OnlyTheLowEightBitsCount) {
  struct Row {
    int value;
    bool expected;
  } rows[] = {{0, false}, {1, true}, {2, true}, {-1, true}, {255, true}, {256, false},
              {257, true}, {0x1200, false}, {INT_MIN, false}, {-256, false}, {128, true}, {0x380, true}};
  for (const Row& r : rows) EXPECT_EQ(profileFlag(r.value), r.expected) << r.value;
}

TEST(SecamCode, ZeroKeepsTheDefaultOtherwiseLowEightBits) {
  struct Row {
    int value;
    unsigned expected;
  } rows[] = {{0, 0x53}, {83, 0x53}, {10, 0x0A}, {256, 0x00}, {-1, 0xFF}, {0x1C3, 0xC3}, {INT_MIN, 0x00}};
  for (const Row& r : rows) EXPECT_EQ(secamCodeFromProfile(r.value), r.expected) << r.value;
}

TEST(BuzMixerLine, OffsetFromTheFirstSourceTypeAndBounded) {
  struct Row {
    int value;
    unsigned long expected;
  } rows[] = {{2, 0x1002}, {0, 0x1000},  {3, 0x1003},       {8, 0x1008},      {10, 0x100A},
              {11, 0x100A}, {99, 0x100A}, {-4, 0x1000},      {INT_MAX, 0x1000}, {INT_MIN, 0x1000},
              {INT_MAX - 0x1000, 0x100A}};
  for (const Row& r : rows) EXPECT_EQ(buzMixerLineFromProfile(r.value), r.expected) << r.value;
}

TEST(FrameBounds, PalIsFiveToFourNtscThreeToTwo) {
  FrameBounds pal = frameBounds(false), ntsc = frameBounds(true);
  EXPECT_EQ(pal.frameWidth, 720);
  EXPECT_EQ(pal.frameHeight, 576);
  EXPECT_EQ(pal.minWidth, 120);
  EXPECT_EQ(pal.minHeight, 96);
  EXPECT_EQ(ntsc.frameWidth, 720);
  EXPECT_EQ(ntsc.frameHeight, 480);
  EXPECT_EQ(ntsc.minWidth, 120);
  EXPECT_EQ(ntsc.minHeight, 80);
  // Default client sizes are the halves; bounds keep them.
  EXPECT_EQ(clampInt(ntsc.frameHeight / 2, ntsc.frameHeight, ntsc.minHeight), 240);
  EXPECT_EQ(clampInt(500, ntsc.frameHeight, ntsc.minHeight), 480);
  EXPECT_EQ(clampInt(50, ntsc.frameHeight, ntsc.minHeight), 80);
  EXPECT_EQ(clampInt(50, pal.frameHeight, pal.minHeight), 96);
}

// Runs the rule on text in a buffer of capacity characters; returns the result path or "FAIL".
std::string iniPath(const std::string& modulePath, size_t capacity = 512) {
  std::string buffer(capacity, '#');
  size_t length = modulePath.size() < capacity ? modulePath.size() : capacity;
  std::memcpy(buffer.data(), modulePath.data(), length);
  if (length < capacity) buffer[length] = '\0';
  if (!iniPathFromModulePath(buffer.data(), length, capacity)) {
    EXPECT_EQ(buffer.substr(0, length), modulePath.substr(0, length)) << "a refused path is left alone";
    return "FAIL";
  }
  return std::string(buffer.c_str());
}

TEST(IniPath, ExeEndingBecomesIniAnythingElseFails) {
  struct Row {
    std::string module, expected;
  } rows[] = {
      {"c:\\tv\\vistrel.exe", "c:\\tv\\vistrel.ini"},
      {"z:\\a.b\\viewer.exe", "z:\\a.b\\viewer.ini"},
      {".exe", ".ini"},
      {"c:\\tv\\vistrel.EXE", "FAIL"},  // the caller lower-cases first
      {"c:\\tv\\vistrel.exe.bak", "FAIL"},
      {"c:\\tv\\vistrel", "FAIL"},
      {"c:\\tv\\vistrelexe", "FAIL"},
      {"exe", "FAIL"},
      {"", "FAIL"},
  };
  for (const Row& r : rows) EXPECT_EQ(iniPath(r.module), r.expected) << r.module;
}

TEST(IniPath, APathThatFilledTheBufferIsRefused) {
  std::string fits = "c:\\" + std::string(511 - 3 - 4, 'd') + ".exe";  // 511 characters and the terminator
  ASSERT_EQ(fits.size(), 511u);
  std::string expected = fits.substr(0, 507) + ".ini";
  EXPECT_EQ(iniPath(fits), expected);
  std::string full = "c:\\" + std::string(512 - 3 - 4, 'd') + ".exe";  // cut short: no room for the terminator
  ASSERT_EQ(full.size(), 512u);
  EXPECT_EQ(iniPath(full), "FAIL");
  EXPECT_EQ(iniPath(full + "x"), "FAIL");
}

}  // namespace
