// Medians, ratios, goal checks and the printed forms of the benchmark report, and the
// parsing of the size and imports facts.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/bench/file_facts.h"
#include "tools/bench/report.h"

using namespace bench;

TEST(BenchMedian, OddEvenAndEmpty) {
  struct Case {
    std::vector<double> samples;
    std::optional<double> expected;
  } cases[] = {
      {{}, std::nullopt},
      {{5}, 5},
      {{9, 1, 5}, 5},
      {{4, 1, 3, 2}, 2.5},
      {{7, 7, 1, 100, 7, 2, 3}, 7},
  };
  for (const auto& c : cases) EXPECT_EQ(median(c.samples), c.expected) << ::testing::PrintToString(c.samples);
}

TEST(BenchGoal, RatioLimitAndNone) {
  struct Case {
    Row row;
    std::optional<double> ratio;
    std::optional<bool> met;
  } cases[] = {
      {{"a", "ms", {12, 10, 11}, "b", {10, 10, 9}, GoalKind::Ratio, 1.2, ""}, 1.1, true},
      {{"a", "ms", {13, 13, 13}, "b", {10, 10, 10}, GoalKind::Ratio, 1.2, ""}, 1.3, false},
      {{"a", "ms", {12}, "b", {10}, GoalKind::Ratio, 1.2, ""}, 1.2, true},  // on the goal counts as met
      {{"a", "ms", {12}, "b", {}, GoalKind::Ratio, 1.2, ""}, std::nullopt, std::nullopt},
      {{"a", "ms", {12}, "b", {0}, GoalKind::Ratio, 1.2, ""}, std::nullopt, std::nullopt},
      {{"a", "KiB", {65}, "", {}, GoalKind::Limit, 64, ""}, std::nullopt, false},
      {{"a", "KiB", {64}, "", {}, GoalKind::Limit, 64, ""}, std::nullopt, true},
      {{"a", "%", {}, "", {}, GoalKind::Limit, 15, ""}, std::nullopt, std::nullopt},
      {{"a", "ms", {3}, "b", {2}, GoalKind::None, 0, ""}, 1.5, std::nullopt},
      {{"a", "", {1}, "", {}, GoalKind::Floor, 1, ""}, std::nullopt, true},
      {{"a", "", {0}, "", {}, GoalKind::Floor, 1, ""}, std::nullopt, false},
  };
  for (const auto& c : cases) {
    auto r = ratioOf(c.row);
    ASSERT_EQ(r.has_value(), c.ratio.has_value()) << ::testing::PrintToString(c.row.samples);
    if (r) {
      EXPECT_NEAR(*r, *c.ratio, 1e-9);
    }
    EXPECT_EQ(meetsGoal(c.row), c.met) << ::testing::PrintToString(c.row.samples);
  }
}

TEST(BenchJson, EscapesEveryControlCharacter) {
  EXPECT_EQ(jsonString("plain"), "\"plain\"");
  EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(jsonString("l1\nl2\r\t"), "\"l1\\nl2\\r\\t\"");
  EXPECT_EQ(jsonString(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
}

TEST(BenchReport, TableAndJsonCarryFigureBaselineRatioAndVerdict) {
  RunInfo info{"2026-12-07 06:50 UTC", "tools/bench/run", 7, "1.0 0.9 0.8"};
  std::vector<Row> rows = {
      {"viewer start", "ms", {120, 110, 130}, "minimal window", {100, 100, 100}, GoalKind::Ratio, 1.2, "note"},
      {"size", "KiB", {26}, "", {}, GoalKind::Limit, 64, ""},
      {"cpu", "%", {}, "", {}, GoalKind::Limit, 15, ""},
      {"reread", "ms", {17}, "reads", {5}, GoalKind::Limit, 16.7, "", "one frame"},
      {"reads", "ms", {5}, "", {}, GoalKind::None, 0, "", "ignored without a goal"},
  };
  std::string table = formatTable(info, rows);
  EXPECT_NE(table.find("| 3.40  | <= 16.7 ms (one frame) | NO  |"), std::string::npos) << table;
  EXPECT_EQ(table.find("ignored"), std::string::npos) << table;
  EXPECT_NE(table.find("| viewer start | 120 ms "), std::string::npos) << table;
  EXPECT_NE(table.find("| 1.20  |"), std::string::npos) << table;
  EXPECT_NE(table.find("| 26 KiB "), std::string::npos) << table;
  EXPECT_NE(table.find("| n/a |"), std::string::npos) << table;  // not measured: no verdict
  EXPECT_NE(table.find("- viewer start: note\n"), std::string::npos) << table;
  EXPECT_NE(table.find("medians of 7 runs"), std::string::npos) << table;

  std::string json = formatJson(info, rows);
  EXPECT_NE(json.find("\"median\": 120, \"baseline\": \"minimal window\", \"baseline_median\": 100, \"ratio\": 1.20"),
            std::string::npos) << json;
  EXPECT_NE(json.find("\"met\": true"), std::string::npos) << json;
  EXPECT_NE(json.find("\"median\": null"), std::string::npos) << json;
  EXPECT_NE(json.find("\"goal_kind\": \"limit\", \"goal\": 16.7, \"goal_note\": \"one frame\", \"met\": false"),
            std::string::npos) << json;
  EXPECT_NE(json.find("\"samples\": [120, 110, 130]"), std::string::npos) << json;
}

TEST(BenchFileFacts, ParsesLinesAndFindsForeignDlls) {
  auto f = parseFileFacts("vistrel.exe\t26624\tKERNEL32.dll USER32.dll libstdc++-6.dll\n");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->name, "vistrel.exe");
  EXPECT_EQ(f->bytes, 26624);
  EXPECT_EQ(f->dlls, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll", "libstdc++-6.dll"}));
  EXPECT_EQ(foreignDlls(*f), std::vector<std::string>{"libstdc++-6.dll"});

  auto none = parseFileFacts("quorvex.drv\t100");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->dlls.empty());

  for (const char* bad : {"", "name", "name\tabc", "name\t12x\tA.dll", "name\t1234567890\tA.dll", "a\t1\tb\tc"})
    EXPECT_FALSE(parseFileFacts(bad)) << bad;
}

TEST(BenchFileFacts, SystemDllsRegardlessOfCase) {
  for (const char* dll : {"KERNEL32.dll", "user32.DLL", "AVICAP32.DLL", "msvcrt.dll", "COMCTL32.DLL", "WINMM.DLL"})
    EXPECT_TRUE(isSystemDll(dll)) << dll;
  for (const char* dll : {"libgcc_s_dw2-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll", "kernel32", "avicap32.dll.bak"})
    EXPECT_FALSE(isSystemDll(dll)) << dll;
}
