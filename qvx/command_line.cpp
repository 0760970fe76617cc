// Command words, numbers, messages and standard output.
#include "qvx/command_line.h"

#include <cerrno>
#include <cstring>

namespace qvx {

namespace {

constexpr int kBeyondAnyRange = 100000000;
constexpr int kMostSeconds = 31 * 24 * 3600;

const char* const kOptionNames[kOptionCount] = {"--json", "--force", "--seconds", "--srt", "--vtt", "--channel"};
constexpr unsigned kTakesWord = kSeconds | kSrt | kVtt | kChannel;

bool printed = false;  // whether anything went to standard output

void writeFile(void* file, const char* text, std::size_t size) {
  std::fwrite(text, 1, size, static_cast<std::FILE*>(file));
}

void writeStandardOutput(void*, const char* text, std::size_t size) {
  std::fwrite(text, 1, size, stdout);
  printed = true;
}

// The index of the accepted option named word, or -1.
int optionIndex(const char* word, unsigned accepted) {
  for (int i = 0; i < kOptionCount; ++i)
    if ((accepted & (1u << i)) && std::strcmp(word, kOptionNames[i]) == 0) return i;
  return -1;
}

}  // namespace

const char* Args::value(Option option) const {
  for (int i = 0; i < kOptionCount; ++i)
    if (option == (1u << i)) return values[i];
  return nullptr;
}

bool sortWords(char* const* words, int count, unsigned accepted, Args& args) {
  args = Args{};
  for (int i = 0; i < count; ++i) {
    int option = optionIndex(words[i], accepted);
    unsigned bit = option < 0 ? 0 : 1u << option;
    if (option < 0) {
      if (args.count == kMostWords) return false;
      args.word[args.count++] = words[i];
    } else if (!(bit & kTakesWord)) {
      args.options |= bit;
    } else {
      if (i + 1 == count || (args.options & bit)) return false;
      args.options |= bit;
      args.values[option] = words[++i];
    }
  }
  return true;
}

bool parseNumber(std::string_view text, int& value) {
  std::size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (at == text.size()) return false;
  int n = 0;
  for (std::size_t i = at; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    n = n * 10 + (text[i] - '0');
    if (n > kBeyondAnyRange) n = kBeyondAnyRange;
  }
  value = text[0] == '-' ? -n : n;
  return true;
}

bool secondsOption(const Args& args, int& seconds, Text& error) {
  seconds = 0;
  const char* text = args.value(kSeconds);
  if (!text) return true;
  if (parseNumber(text, seconds) && seconds >= 1 && seconds <= kMostSeconds) return true;
  error << "--seconds takes a whole number of seconds, 1 to " << kMostSeconds;
  return false;
}

void printNote(std::string_view text) {
  Message line;
  line << "qvx: " << text << '\n';
  std::fwrite(line.c_str(), 1, line.size(), stderr);
}

int fail(const Text& error) {
  printNote(error.view());
  return 2;
}

Sink standardOutput() { return {writeStandardOutput, nullptr}; }

Sink fileOutput(std::FILE* file) { return {writeFile, file}; }

int finishOutput(int status) {
  if (!printed) return status;  // no output to lose, whatever standard output is
  bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  int code = errno;
  if (std::fclose(stdout) != 0 && written) {
    written = false;
    code = errno;
  }
  if (written) return status;
  Message error;
  error << "standard output: cannot write (" << std::strerror(code) << ")";
  return fail(error);
}

}  // namespace qvx
