// What every qvx command shares: its words sorted into options and operands, numbers as typed,
// one-line messages on stderr, and standard output checked at the end. C stdio; no platform
// calls.
#pragma once
#include <cstdio>
#include <string_view>

#include "qvx/field_catalog.h"
#include "qvx/text.h"

namespace qvx {

// The options, as bits: the first two stand alone, the others take the word after them.
enum Option : unsigned { kJson = 1, kForce = 2, kSeconds = 4, kSrt = 8, kVtt = 16, kChannel = 32 };
constexpr int kOptionCount = 6;
constexpr int kMostWords = 1 + kFieldCount;  // set's file and each field once

struct Args {
  const char* word[kMostWords];  // the operands, in order
  int count;
  unsigned options;                  // the options given
  const char* values[kOptionCount];  // the word after each option that takes one
  const char* operator[](int i) const { return word[i]; }
  // The word after option, or null when it was not given.
  const char* value(Option option) const;
};

// Sorts a command's words into args, taking as options those in accepted (any other word is an
// operand). False when an option that takes a word comes last or twice, or the operands are
// more than kMostWords.
bool sortWords(char* const* words, int count, unsigned accepted, Args& args);

// A whole decimal number with an optional sign and any number of leading zeros; false for
// anything else. One past every range qvx takes (over 100000000) reads as 100000000.
bool parseNumber(std::string_view text, int& value);
// --seconds N, from 1 to 31 days' worth; 0 when not given. False with error when bad.
bool secondsOption(const Args& args, int& seconds, Text& error);

// "qvx: " and the text, as one line on stderr.
void printNote(std::string_view text);
// The same for an error; returns exit status 2.
int fail(const Text& error);

// Standard output, and a file, as where printed text goes.
Sink standardOutput();
Sink fileOutput(std::FILE* file);
// The command's exit status, or 2 with its message when standard output could not take what
// was printed to it.
int finishOutput(int status);

}  // namespace qvx
