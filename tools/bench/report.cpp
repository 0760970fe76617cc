#include "tools/bench/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace bench {

std::optional<double> median(std::vector<double> samples) {
  if (samples.empty()) return std::nullopt;
  std::sort(samples.begin(), samples.end());
  size_t mid = samples.size() / 2;
  if (samples.size() % 2 == 1) return samples[mid];
  return (samples[mid - 1] + samples[mid]) / 2;
}

std::optional<double> figureOf(const Row& row) { return median(row.samples); }
std::optional<double> baselineOf(const Row& row) { return median(row.baselineSamples); }

std::optional<double> ratioOf(const Row& row) {
  auto f = figureOf(row), b = baselineOf(row);
  if (!f || !b || *b == 0) return std::nullopt;
  return *f / *b;
}

std::optional<bool> meetsGoal(const Row& row) {
  switch (row.goalKind) {
    case GoalKind::Ratio: {
      auto r = ratioOf(row);
      return r ? std::optional<bool>(*r <= row.goal) : std::nullopt;
    }
    case GoalKind::Limit:
    case GoalKind::Floor: {
      auto f = figureOf(row);
      if (!f) return std::nullopt;
      return row.goalKind == GoalKind::Limit ? *f <= row.goal : *f >= row.goal;
    }
    case GoalKind::None:
      break;
  }
  return std::nullopt;
}

namespace {

// Three significant digits or more, never an exponent.
std::string number(double v) {
  char buf[64];
  double a = std::fabs(v);
  bool whole = a < 1e9 && v == std::floor(v);
  const char* format = whole || a >= 100 ? "%.0f" : a >= 10 ? "%.1f" : a >= 1 ? "%.2f" : "%.3f";
  snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string withUnit(std::optional<double> v, const std::string& unit) {
  if (!v) return "-";
  return number(*v) + " " + unit;
}

std::string goalValue(const Row& row) {
  switch (row.goalKind) {
    case GoalKind::Ratio:
      return "ratio <= " + number(row.goal);
    case GoalKind::Limit:
      return "<= " + number(row.goal) + " " + row.unit;
    case GoalKind::Floor:
      return ">= " + number(row.goal) + " " + row.unit;
    case GoalKind::None:
      break;
  }
  return "-";
}

std::string goalText(const Row& row) {
  std::string text = goalValue(row);
  return row.goalNote.empty() || row.goalKind == GoalKind::None ? text : text + " (" + row.goalNote + ")";
}

std::string metText(const Row& row) {
  auto met = meetsGoal(row);
  if (!met) return row.goalKind == GoalKind::None ? "" : "n/a";
  return *met ? "yes" : "NO";
}

using Line = std::vector<std::string>;

Line tableLine(const Row& row) {
  auto r = ratioOf(row);
  return {row.figure,
          withUnit(figureOf(row), row.unit),
          row.baselineName.empty() ? "-" : row.baselineName,
          row.baselineName.empty() ? "-" : withUnit(baselineOf(row), row.unit),
          r ? number(*r) : "-",
          goalText(row),
          metText(row)};
}

std::string joinPadded(const Line& cells, const std::vector<size_t>& widths) {
  std::string out = "|";
  for (size_t i = 0; i < cells.size(); ++i)
    out += " " + cells[i] + std::string(widths[i] - cells[i].size(), ' ') + " |";
  return out + "\n";
}

std::string jsonNumber(std::optional<double> v) { return v ? number(*v) : "null"; }

std::string jsonArray(const std::vector<double>& values) {
  std::string out = "[";
  for (size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + number(values[i]);
  return out + "]";
}

const char* goalKindName(GoalKind k) {
  switch (k) {
    case GoalKind::Ratio: return "ratio";
    case GoalKind::Limit: return "limit";
    case GoalKind::Floor: return "floor";
    case GoalKind::None: break;
  }
  return "none";
}

}  // namespace

std::string formatTable(const RunInfo& info, const std::vector<Row>& rows) {
  Line header = {"Figure", "Median", "Baseline (the limit)", "Baseline median", "Ratio", "Goal", "Met"};
  std::vector<Line> lines = {header};
  for (const Row& row : rows) lines.push_back(tableLine(row));
  std::vector<size_t> widths(header.size(), 0);
  for (const Line& l : lines)
    for (size_t i = 0; i < l.size(); ++i) widths[i] = std::max(widths[i], l[i].size());

  std::string out = "Benchmarks " + info.date + ", medians of " + std::to_string(info.runs) +
                    " runs after a warm-up; load average " + info.load + "\n";
  out += "Command: " + info.command + "\n\n";
  out += joinPadded(lines[0], widths);
  std::string rule = "|";
  for (size_t w : widths) rule += std::string(w + 2, '-') + "|";
  out += rule + "\n";
  for (size_t i = 1; i < lines.size(); ++i) out += joinPadded(lines[i], widths);
  bool anyDetail = false;
  for (const Row& row : rows) {
    if (row.detail.empty()) continue;
    if (!anyDetail) out += "\n";
    anyDetail = true;
    out += "- " + row.figure + ": " + row.detail + "\n";
  }
  return out;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string formatJson(const RunInfo& info, const std::vector<Row>& rows) {
  std::string out = "{\n";
  out += "  \"date\": " + jsonString(info.date) + ",\n";
  out += "  \"command\": " + jsonString(info.command) + ",\n";
  out += "  \"runs\": " + std::to_string(info.runs) + ",\n";
  out += "  \"load\": " + jsonString(info.load) + ",\n";
  out += "  \"rows\": [";
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    auto met = meetsGoal(row);
    out += i ? ",\n    {" : "\n    {";
    out += "\"figure\": " + jsonString(row.figure);
    out += ", \"unit\": " + jsonString(row.unit);
    out += ", \"median\": " + jsonNumber(figureOf(row));
    out += ", \"baseline\": " + (row.baselineName.empty() ? std::string("null") : jsonString(row.baselineName));
    out += ", \"baseline_median\": " + jsonNumber(baselineOf(row));
    out += ", \"ratio\": " + jsonNumber(ratioOf(row));
    out += ", \"goal_kind\": " + jsonString(goalKindName(row.goalKind));
    out += ", \"goal\": " + (row.goalKind == GoalKind::None ? std::string("null") : number(row.goal));
    out += ", \"goal_note\": " + jsonString(row.goalNote);
    out += ", \"met\": " + std::string(met ? (*met ? "true" : "false") : "null");
    out += ", \"samples\": " + jsonArray(row.samples);
    out += ", \"baseline_samples\": " + jsonArray(row.baselineSamples);
    out += ", \"detail\": " + jsonString(row.detail) + "}";
  }
  out += "\n  ]\n}\n";
  return out;
}

}  // namespace bench
