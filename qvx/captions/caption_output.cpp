// Where decoded captions go.
#include "qvx/captions/caption_output.h"

#include "qvx/captions/caption_text.h"

namespace captions {
namespace {

using qvx::Elapsed;

// Subtitle files end their lines with CR LF, the same from both builds.
const char kFileLineEnd[] = "\r\n";
const char kContinuation[] = "            ";  // as wide as the time of the first row

constexpr int kTimesLine = 64;  // "00:00:01,000 --> 00:00:02,000" and its end
using RowLine = qvx::TextOf<kTimesLine + kRowTextSize>;

}  // namespace

CaptionOutput::CaptionOutput(const qvx::Sink& text, const qvx::Sink* srt, const qvx::Sink* vtt)
    : text_(text), srt_(srt), vtt_(vtt) {}

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

void CaptionOutput::printCaption(const Caption& c) {
  for (int r = 0; r < c.rowCount; ++r) {
    RowLine line;
    if (r == 0)
      line << Elapsed{c.startMs, '.'};
    else
      line << kContinuation;
    line << "  ";
    rowText(c.rows[r], line);
    text_.put(line << '\n');
  }
}

void CaptionOutput::writeCue(long long endMs) {
  const Caption& c = cue_;
  if (endMs <= c.startMs) return;  // shown for no time at all
  if (srt_) {
    RowLine line;
    line << ++srtNumber_ << kFileLineEnd << Elapsed{c.startMs, ','} << " --> " << Elapsed{endMs, ','} << kFileLineEnd;
    srt_->put(line);
    for (int r = 0; r < c.rowCount; ++r) {
      line.clear();
      rowText(c.rows[r], line);
      srt_->put(line << kFileLineEnd);
    }
    line.clear();
    srt_->put(line << kFileLineEnd);
  }
  if (vtt_) {
    qvx::TextOf<kVttRowSize + 2> line;
    line << Elapsed{c.startMs, '.'} << " --> " << Elapsed{endMs, '.'} << kFileLineEnd;
    vtt_->put(line);
    for (int r = 0; r < c.rowCount; ++r) {
      line.clear();
      vttRowText(c.rows[r], line);
      vtt_->put(line << kFileLineEnd);
    }
    line.clear();
    vtt_->put(line << kFileLineEnd);
  }
}

void writeVttHeader(const qvx::Sink& vtt) {
  qvx::TextOf<16> header;
  vtt.put(header << "WEBVTT" << kFileLineEnd << kFileLineEnd);
}

}  // namespace captions
