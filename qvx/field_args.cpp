// Field names and values as typed by the user.
#include "qvx/field_args.h"

#include "qvx/command_line.h"

namespace qvx {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Edit distance from a typed name to a field's name, ignoring case.
int distance(std::string_view typed, std::string_view name) {
  constexpr std::size_t kLongestName = 15;
  int row[kLongestName + 1];
  std::size_t columns = name.size() < kLongestName ? name.size() : kLongestName;
  for (std::size_t j = 0; j <= columns; ++j) row[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= typed.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= columns; ++j) {
      int above = row[j];
      int best = diagonal + (lower(typed[i - 1]) == lower(name[j - 1]) ? 0 : 1);
      if (above + 1 < best) best = above + 1;
      if (row[j - 1] + 1 < best) best = row[j - 1] + 1;
      row[j] = best;
      diagonal = above;
    }
  }
  return row[columns];
}

void rangeText(const Field& f, Text& out) {
  Range r = fieldRange(f);
  out << f.name() << " takes " << r.low << " to " << r.high;
}

void optionList(const Field& f, Text& out) {
  for (int i = 0; i < f.list->optionCount; ++i) out << (i ? ", \"" : "\"") << f.list->options[i] << '"';
}

bool optionIndex(const Field& f, std::string_view text, int& value) {
  for (int i = 0; i < f.list->optionCount; ++i)
    if (text == f.list->options[i]) {
      value = i;
      return true;
    }
  return false;
}

std::string_view nameOf(std::string_view arg) {
  std::size_t eq = arg.find('=');
  return eq == std::string_view::npos ? arg : std::string_view(arg.data(), eq);
}

}  // namespace

const Field* findField(std::string_view name) {
  for (const Field& f : fields())
    if (sameName(name, f.name())) return &f;
  return nullptr;
}

void nearestNames(std::string_view name, Text& out) {
  bool taken[kFieldCount] = {};
  for (int pick = 0; pick < 3; ++pick) {
    int best = -1, bestDistance = 0;
    for (int i = 0; i < kFieldCount; ++i) {
      if (taken[i]) continue;
      int d = distance(name, fields()[i].name());
      if (best < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    taken[best] = true;
    out << (pick ? ", " : "") << fields()[best].name();
  }
}

const Field* lookUpField(std::string_view name, Text& error) {
  const Field* f = findField(name);
  if (!f) {
    error << "unknown field \"" << name << "\"; nearest: ";
    nearestNames(name, error);
  }
  return f;
}

bool isWritable(const Field& f, Text& error) {
  if (f.writable()) return true;
  error << f.name() << " is read-only: the chip sets it and the editor only shows it (quorvex.html#" << f.name() << ")";
  return false;
}

bool parseAssignment(std::string_view arg, Assignment& out, Text& error) {
  std::size_t eq = arg.find('=');
  if (eq == std::string_view::npos) {
    error << '"' << arg << "\": expected NAME=VALUE";
    return false;
  }
  const Field* f = lookUpField(nameOf(arg), error);
  if (!f) return false;
  if (!f->writable()) {
    error << arg << ": ";
    return isWritable(*f, error);
  }
  std::string_view text(arg.data() + eq + 1, arg.size() - eq - 1);
  int value = 0;
  if (parseNumber(text, value)) {
    Range r = fieldRange(*f);
    if (value < r.low || value > r.high) {
      error << arg << ": out of range; ";
      rangeText(*f, error);
      return false;
    }
  } else if (f->kind != Kind::List) {
    error << arg << ": not a number; ";
    rangeText(*f, error);
    return false;
  } else if (!optionIndex(*f, text, value)) {
    error << arg << ": no such option; ";
    rangeText(*f, error);
    error << " or one of ";
    optionList(*f, error);
    return false;
  }
  out = {f, value};
  return true;
}

bool parseAssignments(const char* const* args, int count, Assignment* out, Text& error) {
  for (int i = 0; i < count; ++i) {
    if (!parseAssignment(args[i], out[i], error)) return false;
    for (int j = 0; j < i; ++j)
      if (out[j].field == out[i].field) {
        error << args[i] << ": " << out[i].field->name() << " is named twice (first as " << args[j] << ")";
        return false;
      }
  }
  return true;
}

}  // namespace qvx
