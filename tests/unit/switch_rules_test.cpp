#include "viewer/switch_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The arguments of a command line, split as the viewer splits it; "TOO MANY" on overflow.
std::vector<std::string> split(const std::string& line, int capacity = kMaxArguments) {
  std::string text = line;
  std::vector<char*> arguments(capacity + 1);
  int count = splitArguments(text.data(), arguments.data(), capacity);
  if (count < 0) return {"TOO MANY"};
  return std::vector<std::string>(arguments.begin(), arguments.begin() + count);
}

TEST(SwitchRules, ArgumentsAreSplitAtBlanksAndGroupedByQuotes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(split(""), V{});
  EXPECT_EQ(split("  \t "), V{});
  EXPECT_EQ(split("/size 2"), (V{"/size", "2"}));
  EXPECT_EQ(split(" \t/save\t\"C:\\My Pictures\\a b.png\"  /exit "), (V{"/save", "C:\\My Pictures\\a b.png", "/exit"}));
  EXPECT_EQ(split("/save C:\\\"My Pictures\"\\x.png"), (V{"/save", "C:\\My Pictures\\x.png"}));
  EXPECT_EQ(split("/save \"\""), (V{"/save", ""}));
  EXPECT_EQ(split("/grab /grab /grab", 3).size(), 3u);
  EXPECT_EQ(split("/grab /grab /grab /grab", 3), V{"TOO MANY"});
}

// The switches read from a command line, one "kind value file" word each, or "BAD".
std::string read(const std::string& line) {
  std::string text = line;
  char* arguments[kMaxArguments];
  int count = splitArguments(text.data(), arguments, kMaxArguments);
  SwitchList switches;
  if (count < 0 || !readSwitches(arguments, count, &switches)) return "BAD";
  static const char* const names[] = {"save",    "grab",   "freeze", "fullscreen", "size",
                                      "topmost", "volume", "mute",   "exit"};
  std::string out;
  for (int i = 0; i < switches.count; ++i) {
    const Switch& s = switches.items[i];
    out += std::string(out.empty() ? "" : " ") + names[static_cast<int>(s.kind)] + ":" + std::to_string(s.value);
    if (s.fileArgument >= 0) out += std::string(":") + arguments[s.fileArgument];
  }
  return out;
}

TEST(SwitchRules, EachSwitchTakesItsValueInAnyCaseWithSlashOrDash) {
  struct Row {
    const char* line;
    const char* read;
  } rows[] = {
      {"", ""},
      {"/save", "save:0"},
      {"-SAVE shot.png", "save:0:shot.png"},
      {"/save C:\\x.png /grab", "save:0:C:\\x.png grab:0"},
      {"/save /grab", "save:0 grab:0"},
      {"/save -x.png", "BAD"},  // a FILE may not start like a switch
      {"/Grab", "grab:0"},
      {"/freeze on", "freeze:1"},
      {"-Freeze OFF", "freeze:0"},
      {"/fullscreen On", "fullscreen:1"},
      {"/topmost off", "topmost:0"},
      {"/mute ON", "mute:1"},
      {"/size 1 /size 2 /size 4 /size 6", "size:1 size:2 size:4 size:6"},
      {"/volume +1", "volume:1"},
      {"/volume -8", "volume:-8"},
      {"/volume +65535", "volume:65535"},
      {"/volume -065535", "volume:-65535"},
      {"/EXIT", "exit:0"},
      {"/size 2 /freeze on /save /exit", "size:2 freeze:1 save:0 exit:0"},
  };
  for (const Row& row : rows) EXPECT_EQ(read(row.line), row.read) << row.line;
}

TEST(SwitchRules, UnknownSwitchesAndBadOrMissingValuesAreRefusedWhole) {
  const char* refused[] = {
      "save",
      "shot.png",
      "/",
      "-",
      "/bogus",
      "//save",
      "/saves",
      "/sav",
      "--grab",
      "/grab extra",
      "/freeze",
      "/freeze yes",
      "/freeze 1",
      "/freeze onn",
      "/mute",
      "/topmost o",
      "/fullscreen /exit",
      "/size",
      "/size 0",
      "/size 3",
      "/size 5",
      "/size 12",
      "/size 2x",
      "/size +2",
      "/volume",
      "/volume 3",
      "/volume +",
      "/volume -",
      "/volume +0",
      "/volume -0",
      "/volume +65536",
      "/volume +99999999999",
      "/volume +3x",
      "/volume ++3",
      "/volume 3+",
      "/save \"\"",
      "/exit now",
      "/size 2 /bogus",
      "/bogus /size 2",
  };
  for (const char* line : refused) EXPECT_EQ(read(line), "BAD") << line;
}

TEST(SwitchRules, ExitIsFoundAnywhereInTheList) {
  for (auto [line, expected] : {std::pair{"/save /exit", true}, {"/exit /grab", true}, {"/grab", false}, {"", false}}) {
    std::string text = line;
    char* arguments[kMaxArguments];
    int count = splitArguments(text.data(), arguments, kMaxArguments);
    SwitchList switches;
    ASSERT_TRUE(readSwitches(arguments, count, &switches));
    EXPECT_EQ(hasExit(switches), expected) << line;
  }
}

TEST(SwitchRules, PackedArgumentsComeBackTheSame) {
  char a[] = "/save", b[] = "C:\\a b\\x.png", c[] = "", d[] = "/exit";
  char* arguments[] = {a, b, c, d};
  char packed[64];
  const std::size_t size = packArguments(arguments, 4, packed, sizeof packed);
  ASSERT_EQ(size, 6u + 13u + 1u + 6u);
  EXPECT_EQ(packArguments(arguments, 4, packed, size - 1), 0u) << "one byte short";
  EXPECT_EQ(packArguments(arguments, 4, packed, size), size) << "exactly enough";
  char* back[4];
  ASSERT_EQ(unpackArguments(packed, size, back, 4), 4);
  EXPECT_STREQ(back[0], "/save");
  EXPECT_STREQ(back[1], "C:\\a b\\x.png");
  EXPECT_STREQ(back[2], "");
  EXPECT_STREQ(back[3], "/exit");
  EXPECT_EQ(unpackArguments(packed, size, back, 3), -1) << "more than the capacity";
  EXPECT_EQ(unpackArguments(packed, size - 1, back, 4), -1) << "not ended by a NUL";
  EXPECT_EQ(unpackArguments(packed, 0, back, 4), 0);
}

}  // namespace
