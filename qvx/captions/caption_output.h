// Where decoded captions go: each caption as shown, with its time, as text, and each as a cue
// (from when it is shown until it is erased or replaced) to SRT and WebVTT files. A cue is
// written whole once it has ended. Platform-free.
#pragma once
#include "qvx/captions/cc_decoder.h"
#include "qvx/text.h"

namespace captions {

class CaptionOutput final : public CaptionSink {
 public:
  // srt and vtt may be null: no such file.
  CaptionOutput(const qvx::Sink& text, const qvx::Sink* srt, const qvx::Sink* vtt);
  void shown(const Caption& caption) override;
  void erased(long long ms) override;
  // Ends the cue still shown at ms.
  void finish(long long ms);

 private:
  void printCaption(const Caption& c);
  void writeCue(long long endMs);

  qvx::Sink text_;
  const qvx::Sink* srt_;
  const qvx::Sink* vtt_;
  bool cueOpen_ = false;
  int srtNumber_ = 0;
  Caption cue_{};
};

// The first line of a WebVTT file, written when it is opened.
void writeVttHeader(const qvx::Sink& vtt);

}  // namespace captions
