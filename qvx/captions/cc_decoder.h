// The line-21 caption decoder: byte pairs of one field in, captions out. Platform-free, no
// allocation. It keeps the caption memories of 15 rows x 32 columns (displayed and, for
// pop-on captions, non-displayed) and tells its sink each caption as it is shown:
// pop-on when displayed (EOC), roll-up each completed line (CR), paint-on when its row is
// complete (the painting stops: a null pair, another row, or any caption command).
#pragma once
#include <cstdint>

namespace captions {

constexpr int kRows = 15;
constexpr int kColumns = 32;

enum Colour : std::uint8_t { kWhite, kGreen, kBlue, kCyan, kRed, kYellow, kMagenta };

// The records below are plain, without initializers, so that a static decoder takes no file
// space: start them with {} (all zero: an empty white cell, no style, no sink).
struct Cell {
  char32_t character;  // 0: nothing shown in this cell
  std::uint8_t colour;
  bool italic;
};

struct CaptionMemory {
  Cell cells[kRows][kColumns];
};

// What one caption shows: its rows top to bottom, and when it was first seen.
struct Caption {
  long long startMs;
  int rowCount;
  int rowNumbers[kRows];  // 0 (top) to 14
  Cell rows[kRows][kColumns];
};

class CaptionSink {
 public:
  // A caption is shown; it replaces the one shown before.
  virtual void shown(const Caption& caption) = 0;
  // The screen is erased at ms.
  virtual void erased(long long ms) = 0;

 protected:
  ~CaptionSink() = default;
};

enum class CaptionStyle : std::uint8_t { kNone, kPopOn, kRollUp, kPaintOn };

// Its members start at zero so that a static one costs no file space; resetDecoder sets
// the real start.
struct CaptionDecoder {
  CaptionSink* sink = nullptr;
  int channel = 0;      // 1 or 2: the caption channel decoded (CC1 or CC2)
  int dataChannel = 0;  // the channel named by the last control code
  CaptionStyle style = CaptionStyle::kNone;
  bool textMode = false;  // text service data follows: not captions
  CaptionMemory memory[2];
  int displayed = 0;                // which memory is on the screen
  int row = kRows - 1, column = 0;  // column kColumns: past the last character of the row
  int rollRows = 2;                 // roll-up window height
  std::uint8_t colour = kWhite;
  bool italic = false;
  std::uint8_t lastControl[2] = {};  // the control code acted on last, to skip its repeat
  // A roll-up or paint-on row written since it was last shown as a caption.
  bool pending = false;
  int pendingRow = 0;
  long long pendingStartMs = 0;
  Caption caption;  // the caption handed to the sink last
};

// A decoder for channel 1 or 2 that reports to sink.
void resetDecoder(CaptionDecoder& d, int channel, CaptionSink* sink);
// One frame's byte pair as sliced, parity bits included, seen at ms.
void feedPair(CaptionDecoder& d, std::uint8_t first, std::uint8_t second, long long ms);
// The end of the stream: a row still being written is shown.
void finishDecoder(CaptionDecoder& d);
const CaptionMemory& displayedMemory(const CaptionDecoder& d);

}  // namespace captions
