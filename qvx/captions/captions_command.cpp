// qvx captions: arguments, the offline and the live run.
#include "qvx/captions/captions_command.h"

#include <cstdio>

#include "qvx/captions/caption_output.h"
#include "qvx/captions/scc_file.h"
#include "qvx/captions/slicer_reader.h"
#include "qvx/live_session.h"

namespace captions {
namespace {

using namespace qvx;

constexpr int kWaitMs = 50;  // for pairs, between checks for a stop

// The run's decoder and file reader: large, so static, and all zero until used.
CaptionDecoder decoder;
SccReader reader;
SccLine line;

struct Options {
  const char* scc;
  const char* srt;
  const char* vtt;
  int channel;
  int seconds;  // 0: until stopped
};

// One line on stderr: the path and the text after it; returns the exit status of a failure.
int failOn(const char* path, const char* text) {
  Message error;
  error << path << ": " << text;
  return fail(error);
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
bool readOptions(const Args& args, Options& o) {
  o = {args.count ? args[0] : nullptr, args.value(kSrt), args.value(kVtt), 1, 0};
  Message error;
  if (const char* channel = args.value(kChannel)) {
    if (!parseNumber(channel, o.channel) || o.channel < 1 || o.channel > 2)
      return fail(error << "--channel takes 1 (CC1) or 2 (CC2)"), false;
  }
  if (!secondsOption(args, o.seconds, error)) return fail(error), false;
  if (o.scc && o.seconds) return fail(error << "--seconds is for a live run, not a file"), false;
  if (o.srt && o.vtt && sameName(o.srt, o.vtt)) return fail(error << "--srt and --vtt name the same file"), false;
  for (const char* out : {o.srt, o.vtt})
    if (out && o.scc && sameName(out, o.scc)) return failOn(out, "is the caption file read"), false;
  return true;
}

// The subtitle files, opened only once the input is known to be good.
struct OutputFiles {
  std::FILE* file[2];  // SRT, WebVTT
  Sink sink[2];
  const Sink* srt() const { return file[0] ? &sink[0] : nullptr; }
  const Sink* vtt() const { return file[1] ? &sink[1] : nullptr; }
};

// Closes the files; false (after its message) when a write failed.
bool closeOutputs(const Options& o, OutputFiles& f) {
  const char* paths[] = {o.srt, o.vtt};
  bool ok = true;
  for (int i = 0; i < 2; ++i)
    if (f.file[i] && (std::ferror(f.file[i]) | std::fclose(f.file[i]))) ok = !failOn(paths[i], "cannot write");
  f = OutputFiles{};
  return ok;
}

bool openOutputs(const Options& o, OutputFiles& f) {
  f = OutputFiles{};
  const char* paths[] = {o.srt, o.vtt};
  for (int i = 0; i < 2; ++i) {
    if (!paths[i]) continue;
    f.file[i] = std::fopen(paths[i], "wb");
    if (!f.file[i]) {
      failOn(paths[i], "cannot write");
      closeOutputs(o, f);
      return false;
    }
    f.sink[i] = fileOutput(f.file[i]);
  }
  if (f.vtt()) writeVttHeader(*f.vtt());
  return true;
}

// A live run's captions and cues reach their streams at once.
void flushOutputs(const OutputFiles& f) {
  std::fflush(stdout);
  for (std::FILE* file : f.file)
    if (file) std::fflush(file);
}

// Reads the whole file once, so that a bad line stops the run before anything is written.
bool checkSccFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return failOn(path, "cannot read"), false;
  reader = SccReader{};
  reader.file = file;
  while (readSccLine(reader, line)) {
  }
  std::fclose(file);
  if (!reader.error) return true;
  Message error;
  error << path << ": line " << static_cast<int>(reader.lineNumber) << ": " << reader.error;
  return fail(error), false;
}

int offline(const Options& o) {
  if (!checkSccFile(o.scc)) return 2;
  OutputFiles files;
  if (!openOutputs(o, files)) return 2;
  CaptionOutput out(standardOutput(), files.srt(), files.vtt());
  resetDecoder(decoder, o.channel, &out);
  reader = SccReader{};
  reader.file = std::fopen(o.scc, "rb");
  if (!reader.file) {
    closeOutputs(o, files);
    return failOn(o.scc, "cannot read");
  }
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
  return closeOutputs(o, files) ? 0 : 2;
}

int live(const Options& o) {
  Message error;
  if (!openLiveRun(error)) return fail(error);
  OutputFiles files;
  if (!openOutputs(o, files)) {
    closeLiveRun();
    return 2;
  }
  if (!startSlicerReader(error)) {
    closeOutputs(o, files);
    closeLiveRun();
    return fail(error);
  }
  CaptionOutput out(standardOutput(), files.srt(), files.vtt());
  resetDecoder(decoder, o.channel, &out);
  static SlicedPair pairs[64];
  auto decode = [&](int n) {
    for (int i = 0; i < n; ++i) feedPair(decoder, pairs[i].first, pairs[i].second, pairs[i].ms);
    flushOutputs(files);
  };
  while (!liveStopRequested(o.seconds * 1000LL)) {
    int n = takeSlicedPairs(pairs, 64, kWaitMs);
    if (n < 0) break;  // the reader ended: the server stopped answering
    if (n > 0) decode(n);
    if (editorJustOpened())
      printNote(
          "the register editor is running: its once-a-second status poll takes a caption pair a second from this run");
  }
  bool linkOk = stopSlicerReader();
  for (int n; (n = takeSlicedPairs(pairs, 64, 0)) > 0;) decode(n);
  finishDecoder(decoder);
  out.finish(static_cast<long long>(liveElapsedMs()));
  bool filesOk = closeOutputs(o, files);
  closeLiveRun();
  if (!linkOk) {
    error << "the I2C server stopped answering; the captions until then are written";
    return fail(error);
  }
  return filesOk ? 0 : 2;
}

}  // namespace

int captionsCommand(const Args& args) {
  Options o;
  if (!readOptions(args, o)) return 2;
  utf8Console(true);
  int status = o.scc ? offline(o) : live(o);
  utf8Console(false);
  return status;
}

}  // namespace captions
