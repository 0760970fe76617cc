#include "viewer/switch_rules.h"

#include <cstring>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameText(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (lower(*a) != lower(*b)) return false;
  return *a == *b;
}

bool startsLikeSwitch(const char* argument) { return argument[0] == '/' || argument[0] == '-'; }

enum class ValueKind { None, OnOff, Divisor, Steps, OptionalFile };

struct SwitchName {
  const char* name;
  SwitchKind kind;
  ValueKind value;
};
constexpr SwitchName kSwitchNames[] = {
    {"save", SwitchKind::Save, ValueKind::OptionalFile}, {"grab", SwitchKind::Grab, ValueKind::None},
    {"freeze", SwitchKind::Freeze, ValueKind::OnOff},    {"fullscreen", SwitchKind::FullScreen, ValueKind::OnOff},
    {"size", SwitchKind::Size, ValueKind::Divisor},      {"topmost", SwitchKind::Topmost, ValueKind::OnOff},
    {"volume", SwitchKind::Volume, ValueKind::Steps},    {"mute", SwitchKind::Mute, ValueKind::OnOff},
    {"exit", SwitchKind::Exit, ValueKind::None},
};

const SwitchName* switchNamed(const char* argument) {
  if (!startsLikeSwitch(argument)) return nullptr;
  for (const SwitchName& s : kSwitchNames)
    if (sameText(argument + 1, s.name)) return &s;
  return nullptr;
}

bool readOnOff(const char* text, int* value) {
  if (sameText(text, "on"))
    *value = 1;
  else if (sameText(text, "off"))
    *value = 0;
  else
    return false;
  return true;
}

// The divisors of the predefined sizes 1:1, 1:2, 1:4 and 1:6.
bool readDivisor(const char* text, int* value) {
  if (text[0] == '\0' || text[1] != '\0' || !std::strchr("1246", text[0])) return false;
  *value = text[0] - '0';
  return true;
}

constexpr int kMostSteps = 65535;

// A sign, then 1 to kMostSteps steps in decimal.
bool readSteps(const char* text, int* value) {
  if (text[0] != '+' && text[0] != '-') return false;
  const char* digits = text + 1;
  if (*digits == '\0') return false;
  int steps = 0;
  for (const char* d = digits; *d; ++d) {
    if (*d < '0' || *d > '9') return false;
    steps = steps * 10 + (*d - '0');
    if (steps > kMostSteps) return false;
  }
  if (steps == 0) return false;
  *value = text[0] == '-' ? -steps : steps;
  return true;
}

// Reads the value of s at arguments[*at + 1], moving *at past what it used.
bool readValue(const SwitchName& s, char* const* arguments, int count, int* at, Switch* out) {
  out->kind = s.kind;
  out->value = 0;
  out->fileArgument = -1;
  const bool hasNext = *at + 1 < count;
  const char* next = hasNext ? arguments[*at + 1] : "";
  switch (s.value) {
    case ValueKind::None: return true;
    case ValueKind::OptionalFile:
      if (!hasNext || startsLikeSwitch(next)) return true;
      if (next[0] == '\0') return false;
      out->fileArgument = ++*at;
      return true;
    case ValueKind::OnOff: ++*at; return hasNext && readOnOff(next, &out->value);
    case ValueKind::Divisor: ++*at; return hasNext && readDivisor(next, &out->value);
    case ValueKind::Steps: ++*at; return hasNext && readSteps(next, &out->value);
  }
  return false;
}

}  // namespace

int splitArguments(char* text, char** arguments, int capacity) {
  int count = 0;
  char* read = text;
  while (*read) {
    while (isBlank(*read)) ++read;
    if (*read == '\0') break;
    if (count == capacity) return -1;
    char* write = read;
    arguments[count++] = write;
    bool quoted = false;
    for (; *read && (quoted || !isBlank(*read)); ++read) {
      if (*read == '"')
        quoted = !quoted;
      else
        *write++ = *read;
    }
    if (*read) ++read;  // past the blank, before the terminator may overwrite it
    *write = '\0';
  }
  return count;
}

bool readSwitches(char* const* arguments, int count, SwitchList* switches) {
  switches->count = 0;
  for (int at = 0; at < count; ++at) {
    const SwitchName* s = switchNamed(arguments[at]);
    if (!s || switches->count == kMaxSwitches) return false;
    if (!readValue(*s, arguments, count, &at, &switches->items[switches->count])) return false;
    ++switches->count;
  }
  return true;
}

bool hasExit(const SwitchList& switches) {
  for (int i = 0; i < switches.count; ++i)
    if (switches.items[i].kind == SwitchKind::Exit) return true;
  return false;
}

std::size_t packArguments(char* const* arguments, int count, char* buffer, std::size_t size) {
  std::size_t used = 0;
  for (int i = 0; i < count; ++i) {
    std::size_t length = std::strlen(arguments[i]) + 1;
    if (length > size - used) return 0;
    std::memcpy(buffer + used, arguments[i], length);
    used += length;
  }
  return used;
}

int unpackArguments(char* bytes, std::size_t size, char** arguments, int capacity) {
  if (size > 0 && bytes[size - 1] != '\0') return -1;
  int count = 0;
  for (std::size_t at = 0; at < size; at += std::strlen(bytes + at) + 1) {
    if (count == capacity) return -1;
    arguments[count++] = bytes + at;
  }
  return count;
}
