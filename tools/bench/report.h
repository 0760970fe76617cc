// Benchmark figures and their presentation: medians, ratios to the baseline, the goal
// check, and the table and JSON that tools/bench/run prints. Platform-free.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace bench {

// How a row's goal is judged: against its baseline (figure / baseline <= goal), against
// an absolute limit (figure <= goal) or floor (figure >= goal), or not at all (a figure
// shown for explanation).
enum class GoalKind { Ratio, Limit, Floor, None };

struct Row {
  std::string figure;                  // what is measured
  std::string unit;                    // "ms", "KiB", "%", "DLLs"
  std::vector<double> samples;         // one per run; a single value for fixed figures
  std::string baselineName;            // empty: no baseline
  std::vector<double> baselineSamples; // measured in the same runs, interleaved
  GoalKind goalKind = GoalKind::None;
  double goal = 0;
  std::string detail;                  // extra facts (DLL names, the X server's share ...)
  std::string goalNote = {};           // what the goal stands for ("one frame"), shown beside it
};

// Median of the samples (mean of the middle two for an even count); nullopt when empty.
std::optional<double> median(std::vector<double> samples);

std::optional<double> figureOf(const Row& row);
std::optional<double> baselineOf(const Row& row);
// figure / baseline; nullopt without both or with a baseline of zero.
std::optional<double> ratioOf(const Row& row);
// Whether the row meets its goal; nullopt when it has none or is not measured.
std::optional<bool> meetsGoal(const Row& row);

struct RunInfo {
  std::string date;     // when the run started
  std::string command;  // how it was started
  int runs = 0;         // measured runs per figure, after one warm-up
  std::string load;     // the machine's load average before and after
};

std::string formatTable(const RunInfo& info, const std::vector<Row>& rows);
std::string formatJson(const RunInfo& info, const std::vector<Row>& rows);

// Text as a JSON string literal, quotes included.
std::string jsonString(const std::string& text);

}  // namespace bench
