// Where decoded captions go: each caption as shown, with its time, to a text stream, and
// each as a cue (from when it is shown until it is erased or replaced) to SRT and WebVTT
// files. A cue is written whole once it has ended. C stdio only; platform-free.
#pragma once
#include <cstdio>

#include "qvx/captions/cc_decoder.h"

namespace captions {

class CaptionOutput final : public CaptionSink {
 public:
  // text is required, srt and vtt may be null. With flushEach every caption and cue reaches
  // its stream at once (a live run).
  CaptionOutput(std::FILE* text, std::FILE* srt, std::FILE* vtt, bool flushEach);
  void shown(const Caption& caption) override;
  void erased(long long ms) override;
  // Ends the cue still shown at ms.
  void finish(long long ms);
  // Whether a write to one of the streams failed.
  bool failed() const;

 private:
  void printCaption(const Caption& c);
  void writeCue(long long endMs);

  std::FILE* text_;
  std::FILE* srt_;
  std::FILE* vtt_;
  bool flushEach_;
  bool cueOpen_ = false;
  int srtNumber_ = 0;
  Caption cue_{};
};

// The first line of a WebVTT file, written when it is opened.
void writeVttHeader(std::FILE* vtt);

}  // namespace captions
