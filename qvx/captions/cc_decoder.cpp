// The line-21 caption decoder.
#include "qvx/captions/cc_decoder.h"

#include "qvx/captions/cc_charset.h"

namespace captions {
namespace {

constexpr std::uint8_t kNoControl = 0;

bool oddParity(std::uint8_t b) { return __builtin_parity(b) == 1; }

CaptionMemory& shownMemory(CaptionDecoder& d) { return d.memory[d.displayed]; }
CaptionMemory& hiddenMemory(CaptionDecoder& d) { return d.memory[1 - d.displayed]; }

// Where characters go: pop-on captions are built off screen, the others on it.
CaptionMemory& writtenMemory(CaptionDecoder& d) {
  return d.style == CaptionStyle::kPopOn ? hiddenMemory(d) : shownMemory(d);
}

void clearRow(Cell (&row)[kColumns]) {
  for (Cell& c : row) c = Cell{};
}

void clearMemory(CaptionMemory& m) {
  for (auto& row : m.cells) clearRow(row);
}

bool rowEmpty(const Cell (&row)[kColumns]) {
  for (const Cell& c : row)
    if (c.character && c.character != U' ') return false;
  return true;
}

void copyRow(Cell (&to)[kColumns], const Cell (&from)[kColumns]) {
  for (int c = 0; c < kColumns; ++c) to[c] = from[c];
}

// Hands rows of the shown memory (from first to last) with text to the sink as one caption.
void showRows(CaptionDecoder& d, int first, int last, long long startMs) {
  Caption& cap = d.caption;
  cap.startMs = startMs;
  cap.rowCount = 0;
  for (int r = first; r <= last; ++r) {
    if (rowEmpty(shownMemory(d).cells[r])) continue;
    cap.rowNumbers[cap.rowCount] = r;
    copyRow(cap.rows[cap.rowCount++], shownMemory(d).cells[r]);
  }
  if (cap.rowCount > 0) d.sink->shown(cap);
}

// A roll-up or paint-on row written since it was last shown is shown now.
void showPending(CaptionDecoder& d) {
  if (!d.pending) return;
  d.pending = false;
  showRows(d, d.pendingRow, d.pendingRow, d.pendingStartMs);
}

void erase(CaptionDecoder& d, long long ms) {
  clearMemory(shownMemory(d));
  d.sink->erased(ms);
}

void putCharacter(CaptionDecoder& d, char32_t ch, long long ms) {
  if (!ch || d.style == CaptionStyle::kNone || d.textMode) return;
  // Past the last column the cursor stays, and each character replaces the last one there.
  int at = d.column < kColumns ? d.column : kColumns - 1;
  writtenMemory(d).cells[d.row][at] = Cell{ch, d.colour, d.italic};
  d.column = at + 1;
  if (d.style != CaptionStyle::kPopOn && !d.pending) {
    d.pending = true;
    d.pendingRow = d.row;
    d.pendingStartMs = ms;
  }
}

int rollTop(const CaptionDecoder& d) {
  int top = d.row - d.rollRows + 1;
  return top < 0 ? 0 : top;
}

// Keeps the rows of the roll-up window and clears the rest of the screen.
void clipToRollWindow(CaptionDecoder& d) {
  CaptionMemory& m = shownMemory(d);
  for (int r = 0; r < kRows; ++r)
    if (r < rollTop(d) || r > d.row) clearRow(m.cells[r]);
}

// Moves the roll-up window with its text so that its bottom row is base.
void moveRollWindow(CaptionDecoder& d, int base) {
  CaptionMemory& m = shownMemory(d);
  CaptionMemory moved{};
  int shift = base - d.row;
  for (int r = rollTop(d); r <= d.row; ++r)
    if (r + shift >= 0 && r + shift < kRows) copyRow(moved.cells[r + shift], m.cells[r]);
  m = moved;
  d.row = base;
  d.pendingRow = base;
  clipToRollWindow(d);
}

// Each row starts in white without italics.
void carriageReturn(CaptionDecoder& d) {
  d.column = 0;
  d.colour = kWhite;
  d.italic = false;
  if (d.style != CaptionStyle::kRollUp) {
    if (d.row < kRows - 1) ++d.row;
    return;
  }
  CaptionMemory& m = shownMemory(d);
  for (int r = rollTop(d); r < d.row; ++r) copyRow(m.cells[r], m.cells[r + 1]);
  clearRow(m.cells[d.row]);
}

// Entering roll-up, or changing its number of rows, starts from an empty screen.
void startRollUp(CaptionDecoder& d, int rows, long long ms) {
  if (d.style == CaptionStyle::kRollUp && rows == d.rollRows) return;
  showPending(d);
  erase(d, ms);
  if (d.style != CaptionStyle::kRollUp) {
    clearMemory(hiddenMemory(d));
    d.row = kRows - 1;
    d.column = 0;
  }
  d.style = CaptionStyle::kRollUp;
  d.rollRows = rows;
}

void endOfCaption(CaptionDecoder& d, long long ms) {
  showPending(d);
  d.displayed = 1 - d.displayed;
  d.style = CaptionStyle::kPopOn;
  bool any = false;
  for (const auto& row : shownMemory(d).cells) any = any || !rowEmpty(row);
  if (any)
    showRows(d, 0, kRows - 1, ms);
  else
    d.sink->erased(ms);
}

// The miscellaneous control codes (0x14 0x20-0x2F).
void miscControl(CaptionDecoder& d, std::uint8_t code, long long ms) {
  bool captionCommand = code == 0x20 || (code >= 0x25 && code <= 0x27) || code == 0x29;
  if (d.textMode && !captionCommand && code != 0x2C && code != 0x2E && code != 0x2F) return;
  switch (code) {
    case 0x20:  // RCL: resume caption loading (pop-on)
      showPending(d);
      d.style = CaptionStyle::kPopOn;
      d.textMode = false;
      break;
    case 0x21:  // BS: backspace
      if (d.column > 0) writtenMemory(d).cells[d.row][--d.column] = Cell{};
      break;
    case 0x24:  // DER: delete to end of row
      for (int c = d.column; c < kColumns; ++c) writtenMemory(d).cells[d.row][c] = Cell{};
      break;
    case 0x25:  // RU2, RU3, RU4: roll-up with 2, 3 or 4 rows
    case 0x26:
    case 0x27:
      d.textMode = false;
      startRollUp(d, code - 0x25 + 2, ms);
      break;
    case 0x29:  // RDC: resume direct captioning (paint-on)
      showPending(d);
      d.style = CaptionStyle::kPaintOn;
      d.textMode = false;
      break;
    case 0x2A:  // TR, RTD: the text service follows
    case 0x2B:
      showPending(d);
      d.textMode = true;
      break;
    case 0x2C:  // EDM: erase displayed memory
      showPending(d);
      erase(d, ms);
      break;
    case 0x2D:  // CR: carriage return
      showPending(d);
      carriageReturn(d);
      break;
    case 0x2E:  // ENM: erase non-displayed memory
      clearMemory(hiddenMemory(d));
      break;
    case 0x2F:  // EOC: end of caption, the memories swap
      endOfCaption(d, ms);
      break;
    default:  // AOF, AON, FON and the reserved codes: nothing shown
      break;
  }
}

// Row 0-14 of a preamble address code, or -1.
int preambleRow(std::uint8_t first, std::uint8_t second) {
  static constexpr int kRowOfFirst[8] = {10, 0, 2, 11, 13, 4, 6, 8};  // first byte 0x10-0x17
  bool lower = (second & 0x20) != 0;
  if (first == 0x10) return lower ? -1 : 10;
  return kRowOfFirst[first & 7] + (lower ? 1 : 0);
}

// Colour and italics of a preamble or mid-row attribute (bits 4-1 of the second byte).
void setAttributes(CaptionDecoder& d, std::uint8_t attribute) {
  unsigned style = (attribute >> 1) & 7;
  d.colour = static_cast<std::uint8_t>(style == 7 ? 0u : style);  // 7: white italics
  d.italic = style == 7;
}

void preamble(CaptionDecoder& d, std::uint8_t first, std::uint8_t second) {
  int row = preambleRow(first, second);
  if (row < 0 || d.textMode) return;
  if (d.style == CaptionStyle::kPaintOn && row != d.row) showPending(d);
  if (d.style == CaptionStyle::kRollUp && row != d.row)
    moveRollWindow(d, row);
  else
    d.row = row;
  std::uint8_t attribute = second & 0x1F;
  if (attribute & 0x10) {  // indent: white, columns 0 to 28 in steps of 4
    d.column = ((attribute >> 1) & 7) * 4;
    d.colour = kWhite;
    d.italic = false;
  } else {
    d.column = 0;
    setAttributes(d, attribute);
  }
}

// A control code of the decoded channel, channel bit cleared (first byte 0x10-0x17).
void controlCode(CaptionDecoder& d, std::uint8_t first, std::uint8_t second, long long ms) {
  if (second >= 0x40) return preamble(d, first, second);
  if (d.textMode && first != 0x14) return;
  if (first == 0x11 && second <= 0x2F) {  // mid-row code: a space, then the new attributes
    putCharacter(d, U' ', ms);
    setAttributes(d, second & 0x0F);
  } else if (first == 0x11) {
    putCharacter(d, specialCharacter(second), ms);
  } else if (first == 0x12 || first == 0x13) {  // replaces the character sent before it
    if (d.column > 0) --d.column;
    putCharacter(d, extendedCharacter(first, second), ms);
  } else if (first == 0x14 && second <= 0x2F) {
    miscControl(d, second, ms);
  } else if (first == 0x17 && second >= 0x21 && second <= 0x23) {  // tab offsets 1 to 3
    d.column += second - 0x20;
    if (d.column > kColumns) d.column = kColumns;
  }
}

}  // namespace

void resetDecoder(CaptionDecoder& d, int channel, CaptionSink* sink) {
  d = CaptionDecoder{};
  d.dataChannel = 1;
  d.channel = channel;
  d.row = kRows - 1;
  d.rollRows = 2;
  d.sink = sink;
}

void feedPair(CaptionDecoder& d, std::uint8_t first, std::uint8_t second, long long ms) {
  bool firstOk = oddParity(first), secondOk = oddParity(second);
  std::uint8_t c1 = first & 0x7F, c2 = second & 0x7F;
  if (!firstOk) {  // the first byte tells what the pair is: without it the pair is dropped
    d.lastControl[0] = kNoControl;
    return;
  }
  if (c1 == 0 && (c2 == 0 || !secondOk)) {  // a null pair: nothing sent in this frame
    if (d.style == CaptionStyle::kPaintOn) showPending(d);
    return;
  }
  if (c1 >= 0x10 && c1 <= 0x1F) {
    if (!secondOk || c2 < 0x20) {  // a control code needs both bytes
      d.lastControl[0] = kNoControl;
      return;
    }
    if (d.lastControl[0] == c1 && d.lastControl[1] == c2) {  // the repeat of a control code
      d.lastControl[0] = kNoControl;
      return;
    }
    d.lastControl[0] = c1;
    d.lastControl[1] = c2;
    d.dataChannel = (c1 & 0x08) ? 2 : 1;
    if (d.dataChannel == d.channel) controlCode(d, c1 & 0x17, c2, ms);
    return;
  }
  d.lastControl[0] = kNoControl;
  if ((c1 != 0 && c1 < 0x20) || d.dataChannel != d.channel) return;
  putCharacter(d, standardCharacter(c1), ms);
  if (secondOk) putCharacter(d, standardCharacter(c2), ms);
}

void finishDecoder(CaptionDecoder& d) { showPending(d); }

const CaptionMemory& displayedMemory(const CaptionDecoder& d) { return d.memory[d.displayed]; }

}  // namespace captions
