// The benchmark's caption file: a Scenarist file of a given length made here (never
// downloaded), pop-on captions with roll-up and paint-on passages between them, each
// caption's text unique so that its line on stdout can be matched to the file.
#pragma once
#include <map>
#include <string>

namespace bench {

struct CaptionFile {
  std::string text;                // the file's bytes
  int pairs = 0;                   // byte pairs in it
  std::map<std::string, int> eoc;  // a pop-on caption's first row -> number of its EOC pair
};

CaptionFile makeCaptionFile(int minutes);

}  // namespace bench
