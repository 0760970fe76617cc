// Where decoded captions go.
#include "qvx/captions/caption_output.h"

#include "qvx/captions/caption_text.h"

namespace captions {
namespace {

// Subtitle files end their lines with CR LF, the same from both builds.
const char kFileLineEnd[] = "\r\n";
const char kContinuation[] = "            ";  // as wide as the time of the first row

// fputs of several texts: the printf family would bring in the C runtime's large formatter.
void put(std::FILE* f, const char* a, const char* b = "", const char* c = "", const char* d = "") {
  std::fputs(a, f);
  std::fputs(b, f);
  std::fputs(c, f);
  std::fputs(d, f);
}

}  // namespace

CaptionOutput::CaptionOutput(std::FILE* text, std::FILE* srt, std::FILE* vtt, bool flushEach)
    : text_(text), srt_(srt), vtt_(vtt), flushEach_(flushEach) {}

void CaptionOutput::shown(const Caption& caption) {
  if (cueOpen_) writeCue(caption.startMs);
  cue_ = caption;
  cueOpen_ = true;
  printCaption(caption);
}

void CaptionOutput::erased(long long ms) {
  if (cueOpen_) writeCue(ms);
  cueOpen_ = false;
}

void CaptionOutput::finish(long long ms) { erased(ms); }

bool CaptionOutput::failed() const {
  return std::ferror(text_) || (srt_ && std::ferror(srt_)) || (vtt_ && std::ferror(vtt_));
}

void CaptionOutput::printCaption(const Caption& c) {
  char time[kTimeTextSize];
  timeText(c.startMs, '.', time);
  char row[kRowTextSize];
  for (int r = 0; r < c.rowCount; ++r) {
    rowText(c.rows[r], row);
    put(text_, r == 0 ? time : kContinuation, "  ", row, "\n");
  }
  if (flushEach_) std::fflush(text_);
}

void CaptionOutput::writeCue(long long endMs) {
  const Caption& c = cue_;
  if (endMs <= c.startMs) return;  // shown for no time at all
  char start[kTimeTextSize], end[kTimeTextSize];
  if (srt_) {
    timeText(c.startMs, ',', start);
    timeText(endMs, ',', end);
    char number[kTimeTextSize];
    decimalText(++srtNumber_, number);
    put(srt_, number, kFileLineEnd);
    put(srt_, start, " --> ", end, kFileLineEnd);
    char row[kRowTextSize];
    for (int r = 0; r < c.rowCount; ++r) {
      rowText(c.rows[r], row);
      put(srt_, row, kFileLineEnd);
    }
    std::fputs(kFileLineEnd, srt_);
    if (flushEach_) std::fflush(srt_);
  }
  if (vtt_) {
    timeText(c.startMs, '.', start);
    timeText(endMs, '.', end);
    put(vtt_, start, " --> ", end, kFileLineEnd);
    static char row[kVttRowSize];
    for (int r = 0; r < c.rowCount; ++r) {
      vttRowText(c.rows[r], row);
      put(vtt_, row, kFileLineEnd);
    }
    std::fputs(kFileLineEnd, vtt_);
    if (flushEach_) std::fflush(vtt_);
  }
}

void writeVttHeader(std::FILE* vtt) { put(vtt, "WEBVTT", kFileLineEnd, kFileLineEnd); }

}  // namespace captions
