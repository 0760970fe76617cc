// Captions as text.
#include "qvx/captions/caption_text.h"

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

void character(char32_t c, qvx::Text& out) {
  char bytes[4];
  out << std::string_view(bytes, static_cast<std::size_t>(utf8(c, bytes)));
}

}  // namespace

void rowText(const Cell (&row)[kColumns], qvx::Text& out) {
  int first, last;
  span(row, first, last);
  for (int c = first; c <= last; ++c) character(row[c].character ? row[c].character : U' ', out);
}

void vttRowText(const Cell (&row)[kColumns], qvx::Text& out) {
  int first, last;
  span(row, first, last);
  std::uint8_t colour = kWhite;
  bool italic = false;
  auto close = [&] {
    if (italic) out << "</i>";
    if (colour != kWhite) out << "</c>";
  };
  for (int c = first; c <= last; ++c) {
    const Cell& cell = row[c];
    // A blank keeps the look of the text before it, so that spaces add no tags.
    if (shows(cell) && (cell.colour != colour || cell.italic != italic)) {
      close();
      colour = cell.colour <= kMagenta ? cell.colour : static_cast<std::uint8_t>(kWhite);
      italic = cell.italic;
      if (colour != kWhite) out << "<c." << kVttColour[colour] << '>';
      if (italic) out << "<i>";
    }
    char32_t ch = cell.character ? cell.character : U' ';
    if (ch == U'&')
      out << "&amp;";
    else if (ch == U'<')
      out << "&lt;";
    else if (ch == U'>')
      out << "&gt;";
    else
      character(ch, out);
  }
  close();
}

}  // namespace captions
