// Captions as text.
#include "qvx/captions/caption_text.h"

#include <cstring>

#include "qvx/captions/cc_charset.h"

namespace captions {
namespace {

// The WebVTT colour classes for the caption colours (white is the default and gets none).
const char* const kVttColour[] = {nullptr, "lime", "blue", "cyan", "red", "yellow", "magenta"};

bool shows(const Cell& c) { return c.character && c.character != U' '; }

// The columns from the first to the last character; first > last when the row is empty.
void span(const Cell (&row)[kColumns], int& first, int& last) {
  first = 0;
  last = kColumns - 1;
  while (first < kColumns && !shows(row[first])) ++first;
  while (last >= 0 && !shows(row[last])) --last;
}

// Appends to a bounded buffer; what does not fit is left out (the sizes above leave room).
struct Out {
  char* text;
  int size, at = 0;
  void add(const char* s) {
    for (; *s && at < size - 1; ++s) text[at++] = *s;
    text[at] = '\0';
  }
  void character(char32_t c) {
    char bytes[5] = {};
    utf8(c, bytes);
    add(bytes);
  }
};

void digits(long long value, int width, Out& out) {
  char buf[24];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 || n < width);
  char text[24];
  for (int i = 0; i < n; ++i) text[i] = buf[n - 1 - i];
  text[n] = '\0';
  out.add(text);
}

}  // namespace

void timeText(long long ms, char separator, char (&out)[kTimeTextSize]) {
  if (ms < 0) ms = 0;
  Out o{out, kTimeTextSize};
  out[0] = '\0';
  digits(ms / 3600000, 2, o);
  o.add(":");
  digits(ms / 60000 % 60, 2, o);
  o.add(":");
  digits(ms / 1000 % 60, 2, o);
  char sep[2] = {separator, '\0'};
  o.add(sep);
  digits(ms % 1000, 3, o);
}

void decimalText(long long value, char (&out)[kTimeTextSize]) {
  Out o{out, kTimeTextSize};
  out[0] = '\0';
  digits(value < 0 ? 0 : value, 1, o);
}

void rowText(const Cell (&row)[kColumns], char (&out)[kRowTextSize]) {
  Out o{out, kRowTextSize};
  out[0] = '\0';
  int first, last;
  span(row, first, last);
  for (int c = first; c <= last; ++c) o.character(row[c].character ? row[c].character : U' ');
}

void vttRowText(const Cell (&row)[kColumns], char (&out)[kVttRowSize]) {
  Out o{out, kVttRowSize};
  out[0] = '\0';
  int first, last;
  span(row, first, last);
  std::uint8_t colour = kWhite;
  bool italic = false;
  auto close = [&] {
    if (italic) o.add("</i>");
    if (colour != kWhite) o.add("</c>");
  };
  for (int c = first; c <= last; ++c) {
    const Cell& cell = row[c];
    // A blank keeps the look of the text before it, so that spaces add no tags.
    if (shows(cell) && (cell.colour != colour || cell.italic != italic)) {
      close();
      colour = cell.colour <= kMagenta ? cell.colour : static_cast<std::uint8_t>(kWhite);
      italic = cell.italic;
      if (colour != kWhite) {
        o.add("<c.");
        o.add(kVttColour[colour]);
        o.add(">");
      }
      if (italic) o.add("<i>");
    }
    char32_t ch = cell.character ? cell.character : U' ';
    if (ch == U'&')
      o.add("&amp;");
    else if (ch == U'<')
      o.add("&lt;");
    else if (ch == U'>')
      o.add("&gt;");
    else
      o.character(ch);
  }
  close();
}

}  // namespace captions
