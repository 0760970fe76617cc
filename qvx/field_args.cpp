// Field names and values as typed by the user.
#include "qvx/field_args.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace qvx {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

// Edit distance between two names, ignoring case.
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      std::size_t swap = diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, swap});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// A whole decimal number with an optional sign; false for anything else.
bool parseNumber(std::string_view text, int& value) {
  std::size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (at == text.size() || text.size() - at > 6) return false;
  long n = 0;
  for (std::size_t i = at; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    n = n * 10 + (text[i] - '0');
  }
  value = static_cast<int>(text[0] == '-' ? -n : n);
  return true;
}

std::string rangeText(const Field& f) {
  Range r = fieldRange(f);
  return std::string(f.name()) + " takes " + std::to_string(r.low) + " to " + std::to_string(r.high);
}

std::string optionList(const Field& f) {
  std::string list;
  for (int i = 0; i < f.list->optionCount; ++i)
    list += std::string(i ? ", \"" : "\"") + f.list->options[i] + "\"";
  return list;
}

bool optionIndex(const Field& f, std::string_view text, int& value) {
  for (int i = 0; i < f.list->optionCount; ++i)
    if (text == f.list->options[i]) {
      value = i;
      return true;
    }
  return false;
}

}  // namespace

const Field* findField(std::string_view name) {
  for (const Field& f : fields())
    if (sameName(name, f.name())) return &f;
  return nullptr;
}

std::string nearestNames(std::string_view name) {
  std::vector<const Field*> byDistance;
  for (const Field& f : fields()) byDistance.push_back(&f);
  std::stable_sort(byDistance.begin(), byDistance.end(), [&](const Field* a, const Field* b) {
    return distance(name, a->name()) < distance(name, b->name());
  });
  std::string list;
  for (int i = 0; i < 3; ++i) list += std::string(i ? ", " : "") + byDistance[i]->name();
  return list;
}

const Field* lookUpField(std::string_view name, std::string& error) {
  const Field* f = findField(name);
  if (!f) error = "unknown field \"" + std::string(name) + "\"; nearest: " + nearestNames(name);
  return f;
}

bool parseAssignment(std::string_view arg, Assignment& out, std::string& error) {
  std::size_t eq = arg.find('=');
  if (eq == std::string_view::npos) {
    error = "\"" + std::string(arg) + "\": expected NAME=VALUE";
    return false;
  }
  const Field* f = lookUpField(arg.substr(0, eq), error);
  if (!f) return false;
  std::string_view text = arg.substr(eq + 1);
  const std::string what = std::string(arg) + ": ";
  int value = 0;
  if (parseNumber(text, value)) {
    Range r = fieldRange(*f);
    if (value < r.low || value > r.high) {
      error = what + "out of range; " + rangeText(*f);
      return false;
    }
  } else if (f->kind != Kind::List) {
    error = what + "not a number; " + rangeText(*f);
    return false;
  } else if (!optionIndex(*f, text, value)) {
    error = what + "no such option; " + rangeText(*f) + " or one of " + optionList(*f);
    return false;
  }
  out = {f, value};
  return true;
}

}  // namespace qvx
