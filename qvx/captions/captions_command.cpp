// qvx captions: arguments, the offline and the live run.
#include "qvx/captions/captions_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "qvx/captions/caption_output.h"
#include "qvx/captions/caption_text.h"
#include "qvx/captions/scc_file.h"
#include "qvx/captions/slicer_reader.h"
#include "qvx/live_session.h"

namespace captions {
namespace {

using namespace qvx;

const char kUsage[] = "usage: qvx captions [FILE.scc] [--srt FILE] [--vtt FILE] [--channel 1|2] [--seconds N]";
constexpr long kMostSeconds = 31 * 24 * 3600L;
constexpr int kWaitMs = 50;  // for pairs, between checks for a stop

// The run's decoder and file reader: large, so static, and all zero until used.
CaptionDecoder decoder;
SccReader reader;
SccLine line;

struct Options {
  const char* scc = nullptr;
  const char* srt = nullptr;
  const char* vtt = nullptr;
  int channel = 1;
  long seconds = 0;  // 0: until stopped
};

// One line on stderr made of the texts; returns the exit status of a failure.
int fail(std::initializer_list<const char*> texts) {
  std::fputs("qvx: ", stderr);
  for (const char* t : texts) std::fputs(t, stderr);
  std::fputs("\n", stderr);
  return 2;
}

// A whole number from min to max, digits only.
bool number(const char* text, long min, long max, long& value) {
  if (!*text || std::strlen(text) > 9) return false;
  for (const char* p = text; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  value = std::atol(text);
  return value >= min && value <= max;
}

// Whether two paths name the same file as written: on Windows without regard to case and
// with either slash.
bool sameName(const char* a, const char* b) {
#ifdef _WIN32
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '/' ? '\\' : c; };
#else
  auto fold = [](char c) { return c; };
#endif
  for (; *a && *b; ++a, ++b)
    if (fold(*a) != fold(*b)) return false;
  return *a == *b;
}

// False (after its message) on bad arguments.
bool parseOptions(int argc, char** argv, Options& o) {
  for (int i = 0; i < argc; ++i) {
    const char* a = argv[i];
    bool hasValue = i + 1 < argc;
    if (!std::strcmp(a, "--srt") && hasValue) {
      o.srt = argv[++i];
    } else if (!std::strcmp(a, "--vtt") && hasValue) {
      o.vtt = argv[++i];
    } else if (!std::strcmp(a, "--channel") && hasValue) {
      long n;
      if (!number(argv[++i], 1, 2, n)) return fail({"--channel takes 1 (CC1) or 2 (CC2)"}), false;
      o.channel = static_cast<int>(n);
    } else if (!std::strcmp(a, "--seconds") && hasValue) {
      if (!number(argv[++i], 1, kMostSeconds, o.seconds))
        return fail({"--seconds takes a whole number of seconds, 1 to 2678400"}), false;
    } else if (a[0] == '-' || o.scc) {
      return fail({kUsage}), false;
    } else {
      o.scc = a;
    }
  }
  if (o.scc && o.seconds) return fail({"--seconds is for a live run, not a file"}), false;
  if (o.srt && o.vtt && sameName(o.srt, o.vtt)) return fail({"--srt and --vtt name the same file"}), false;
  for (const char* out : {o.srt, o.vtt})
    if (out && o.scc && sameName(out, o.scc)) return fail({out, ": is the caption file read"}), false;
  return true;
}

// The subtitle files, opened only once the input is known to be good.
struct OutputFiles {
  std::FILE* srt = nullptr;
  std::FILE* vtt = nullptr;
};

bool openOutput(const char* path, std::FILE*& file) {
  if (!path) return true;
  file = std::fopen(path, "wb");
  if (!file) return fail({path, ": cannot write"}), false;
  return true;
}

// Closes the files; false (after its message) when a write failed.
bool closeOutputs(const Options& o, OutputFiles& f) {
  bool ok = true;
  if (f.srt && (std::ferror(f.srt) | std::fclose(f.srt))) ok = !fail({o.srt, ": cannot write"});
  if (f.vtt && (std::ferror(f.vtt) | std::fclose(f.vtt))) ok = !fail({o.vtt, ": cannot write"});
  f = OutputFiles{};
  return ok;
}

bool openOutputs(const Options& o, OutputFiles& f) {
  if (!openOutput(o.srt, f.srt) || !openOutput(o.vtt, f.vtt)) {
    closeOutputs(o, f);
    return false;
  }
  if (f.vtt) writeVttHeader(f.vtt);
  return true;
}

int finishRun(const Options& o, OutputFiles& files, CaptionOutput& out) {
  bool textFailed = std::fflush(stdout) != 0 || out.failed();
  if (!closeOutputs(o, files)) return 2;
  return textFailed ? fail({"cannot write the captions to standard output"}) : 0;
}

// Reads the whole file once, so that a bad line stops the run before anything is written.
bool checkSccFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return fail({path, ": cannot read"}), false;
  reader = SccReader{};
  reader.file = file;
  while (readSccLine(reader, line)) {
  }
  std::fclose(file);
  if (!reader.error) return true;
  char number[kTimeTextSize];
  decimalText(reader.lineNumber, number);
  return fail({path, ": line ", number, ": ", reader.error}), false;
}

int offline(const Options& o) {
  if (!checkSccFile(o.scc)) return 2;
  OutputFiles files;
  if (!openOutputs(o, files)) return 2;
  CaptionOutput out(stdout, files.srt, files.vtt, false);
  resetDecoder(decoder, o.channel, &out);
  reader = SccReader{};
  reader.file = std::fopen(o.scc, "rb");
  if (!reader.file) return fail({o.scc, ": cannot read"});
  // Each pair in a frame of its own, a line from its time code or after the line before;
  // a frame without a pair carries a null pair.
  long long next = 0;
  bool any = false;
  while (readSccLine(reader, line)) {
    if (any && line.frame > next) feedPair(decoder, 0x80, 0x80, frameMs(next));
    long long frame = line.frame > next ? line.frame : next;
    for (int i = 0; i < line.pairCount; ++i, ++frame)
      feedPair(decoder, line.bytes[2 * i], line.bytes[2 * i + 1], frameMs(frame));
    next = frame;
    any = true;
  }
  std::fclose(reader.file);
  finishDecoder(decoder);
  out.finish(frameMs(next));
  return finishRun(o, files, out);
}

void reportEditor(bool& seen) {
  bool running = editorRunning();
  if (running && !seen)
    fail(
        {"the register editor is running: its once-a-second status poll takes a caption pair a second "
         "from this run"});
  seen = running;
}

int live(const Options& o) {
  const char* error = nullptr;
  if (!openLiveRun(error)) return fail({error});
  OutputFiles files;
  if (!openOutputs(o, files) || !startSlicerReader(error)) {
    if (error) fail({error});
    closeOutputs(o, files);
    closeLiveRun();
    return 2;
  }
  CaptionOutput out(stdout, files.srt, files.vtt, true);
  resetDecoder(decoder, o.channel, &out);
  static SlicedPair pairs[64];
  auto decode = [&](int n) {
    for (int i = 0; i < n; ++i) feedPair(decoder, pairs[i].first, pairs[i].second, pairs[i].ms);
  };
  bool editorSeen = false;
  double nextEditorCheck = 0;
  while (!liveStopRequested(o.seconds * 1000)) {
    int n = takeSlicedPairs(pairs, 64, kWaitMs);
    if (n < 0) break;  // the reader ended: the server stopped answering
    decode(n);
    if (liveElapsedMs() >= nextEditorCheck) {
      reportEditor(editorSeen);
      nextEditorCheck = liveElapsedMs() + 1000;
    }
  }
  bool linkOk = stopSlicerReader();
  for (int n; (n = takeSlicedPairs(pairs, 64, 0)) > 0;) decode(n);
  finishDecoder(decoder);
  out.finish(static_cast<long long>(liveElapsedMs()));
  int status = finishRun(o, files, out);
  closeLiveRun();
  if (!linkOk) return fail({"the I2C server stopped answering; the captions until then are written"});
  return status;
}

}  // namespace

int captionsCommand(int argc, char** argv) {
  Options o;
  if (!parseOptions(argc, argv, o)) return 2;
  utf8Console(true);
  int status = o.scc ? offline(o) : live(o);
  utf8Console(false);
  return status;
}

}  // namespace captions
