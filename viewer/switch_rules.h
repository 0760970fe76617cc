// The viewer's command-line switches: splitting the text into arguments, reading the switches,
// and the form in which a second start hands them to the running viewer. No platform calls.
#pragma once
#include <cstddef>

// How a start with switches ends (its exit code).
enum SwitchOutcome {
  kSwitchesDone = 0,
  kNoViewer = 1,     // /exit with no viewer running
  kBadSwitch = 2,    // a switch not known, or a bad or missing value: nothing was done
  kSwitchFailed = 3  // the viewer could not do it (a failed save, no capture)
};

enum class SwitchKind { Save, Grab, Freeze, FullScreen, Size, Topmost, Volume, Mute, Exit };

struct Switch {
  SwitchKind kind;
  int value;         // on 1 / off 0; size divisor 1, 2, 4, 6; volume steps, signed
  int fileArgument;  // /save FILE: the index of FILE among the arguments; -1 without FILE
};

constexpr int kMaxArguments = 32;
constexpr int kMaxSwitches = kMaxArguments;

struct SwitchList {
  Switch items[kMaxSwitches];
  int count = 0;
};

// Splits text in place into at most capacity arguments: blanks and tabs separate them, double
// quotes group blanks into one argument and are removed. The number found, or -1 when there are
// more than capacity.
int splitArguments(char* text, char** arguments, int capacity);

// Reads arguments as switches: "/" or "-" and a name, in any case, each with its value
// (on, off in any case; /size 1, 2, 4 or 6; /volume a sign and 1 to 65535 steps). /save takes
// the next argument as its FILE unless it starts with "/" or "-". False when a switch is not
// known or has a bad or missing value, or an argument is no switch.
bool readSwitches(char* const* arguments, int count, SwitchList* switches);

// Whether the list holds an /exit.
bool hasExit(const SwitchList& switches);

// The hand-over form: each argument followed by a NUL. The bytes used, or 0 when there are
// none or they do not fit size bytes.
std::size_t packArguments(char* const* arguments, int count, char* buffer, std::size_t size);
// Splits packed bytes back into arguments, in place; -1 when they are not in that form (the
// last byte not a NUL) or hold more than capacity arguments.
int unpackArguments(char* bytes, std::size_t size, char** arguments, int capacity);
