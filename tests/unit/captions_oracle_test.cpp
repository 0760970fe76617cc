// The caption decoder against libzvbi's (Debian's libzvbi-dev), which cannot ship in our
// 32-bit Windows programs: both decode the same long streams, and at each caption ours
// shows, both screens must hold the same characters, colours and italics in the same cells.
#include <gtest/gtest.h>
#include <libzvbi.h>

#include <memory>
#include <string>

#include "qvx/captions/cc_charset.h"
#include "qvx/captions/cc_decoder.h"
#include "tests/unit/caption_stream.h"

using namespace captions;
using captions_test::Stream;

namespace {

TEST(CaptionOracle, CharacterSetsAreLibzvbis) {
  for (unsigned c = 0x20; c <= 0x7F; ++c) EXPECT_EQ(standardCharacter(c), vbi_caption_unicode(c, 0)) << std::hex << c;
  for (unsigned c = 0x30; c <= 0x3F; ++c)
    EXPECT_EQ(specialCharacter(c), vbi_caption_unicode(0x1100 | c, 0)) << std::hex << c;
  for (unsigned first : {0x12u, 0x13u})
    for (unsigned c = 0x20; c <= 0x3F; ++c)
      EXPECT_EQ(extendedCharacter(first, c), vbi_caption_unicode(first << 8 | c, 0)) << std::hex << first << c;
}

// A repeatable sequence of numbers.
struct Dice {
  unsigned state;
  int roll(int n) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) % static_cast<unsigned>(n));
  }
};

// Row text: letters, digits, punctuation, special characters, mid-row colour and italics
// codes, tab offsets and now and then a backspace. libzvbi shows no extended characters, and
// no special character painted on after a pop-on caption: those are left out.
void randomText(Stream& s, Dice& dice, int length, bool specials = true) {
  static const char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,'!?-*\\^_`{|}~";
  for (int i = 0; i < length; ++i) {
    switch (dice.roll(12)) {
      case 0:
        if (specials) s.code(0x11, static_cast<std::uint8_t>(0x30 + dice.roll(16)));
        break;
      case 1:
        s.midRow(dice.roll(8));
        break;
      case 2:
        s.code(0x17, static_cast<std::uint8_t>(0x21 + dice.roll(3)));
        break;
      case 3:
        s.code(0x14, 0x21);
        break;
      default:
        s.text(std::string(1, kCharacters[dice.roll(sizeof kCharacters - 1)]));
        break;
    }
  }
}

// Each row of a caption is addressed once: libzvbi clears the start of a row that an indent
// addresses again, which the captions we know never do.
void popOn(Stream& s, Dice& dice) {
  s.rcl().code(0x14, 0x2E);  // ENM: the memory loaded is empty
  for (int rows = 1 + dice.roll(3), first = 1 + dice.roll(13), r = 0; r < rows; ++r) {
    if (dice.roll(2))
      s.pac(first + r, 4 * dice.roll(8));
    else
      s.pacStyled(first + r, dice.roll(8));
    randomText(s, dice, 4 + dice.roll(20));
  }
  s.eoc().null(10 + dice.roll(40));
  if (dice.roll(3) == 0) s.edm().null(5);
}

void rollUp(Stream& s, Dice& dice) {
  s.ru(2 + dice.roll(3));
  for (int lines = 2 + dice.roll(6), l = 0; l < lines; ++l) {
    s.cr().pac(15, 4 * dice.roll(3));
    randomText(s, dice, 3 + dice.roll(25));
    s.null(5 + dice.roll(20));
  }
  s.cr().null(5);
}

void paintOn(Stream& s, Dice& dice) {
  s.rdc().edm();
  for (int rows = 1 + dice.roll(3), first = 1 + dice.roll(13), r = 0; r < rows; ++r) {
    s.pac(first + r, 4 * dice.roll(8));
    randomText(s, dice, 2 + dice.roll(15), false);
    s.null(8 + dice.roll(20));
  }
}

Stream randomStream(unsigned seed, int segments) {
  Stream s;
  Dice dice{seed};
  for (int i = 0; i < segments; ++i) {
    switch (dice.roll(3)) {
      case 0:
        popOn(s, dice);
        break;
      case 1:
        rollUp(s, dice);
        break;
      default:
        paintOn(s, dice);
        break;
    }
  }
  return s;
}

// libzvbi's colours for ours: white, green, blue, cyan, red, yellow, magenta.
const unsigned kVbiColour[] = {VBI_WHITE, VBI_GREEN, VBI_BLUE, VBI_CYAN, VBI_RED, VBI_YELLOW, VBI_MAGENTA};

// Where the two screens differ ("" when they do not): each cell's character and, where a
// character shows, its colour and italics. libzvbi's page has a blank column on each side.
std::string difference(const CaptionMemory& ours, vbi_decoder* vbi) {
  vbi_page page;
  if (!vbi_fetch_cc_page(vbi, &page, 1, TRUE)) return "libzvbi gave no page";
  std::string diff;
  for (int r = 0; r < kRows && diff.empty(); ++r)
    for (int c = 0; c < kColumns && diff.empty(); ++c) {
      const Cell& cell = ours.cells[r][c];
      const vbi_char& theirs = page.text[r * page.columns + c + 1];
      char32_t ch = cell.character ? cell.character : U' ';
      bool same = ch == theirs.unicode;
      if (same && ch != U' ') same = kVbiColour[cell.colour] == theirs.foreground && cell.italic == !!theirs.italic;
      if (!same)
        diff = "row " + std::to_string(r + 1) + " column " + std::to_string(c) + ": ours U+" + std::to_string(ch) +
               " colour " + std::to_string(cell.colour) + (cell.italic ? " italic" : "") + ", libzvbi U+" +
               std::to_string(theirs.unicode) + " colour " + std::to_string(theirs.foreground) +
               (theirs.italic ? " italic" : "");
    }
  if (!diff.empty()) {  // both screens, characters beyond ASCII as '#'
    for (int r = 0; r < kRows; ++r) {
      std::string a, b;
      for (int c = 0; c < kColumns; ++c) {
        char32_t x = ours.cells[r][c].character;
        unsigned y = page.text[r * page.columns + c + 1].unicode;
        a += !x ? ' ' : x < 128 ? static_cast<char>(x) : '#';
        b += y < 128 ? static_cast<char>(y) : '#';
      }
      diff += "\n[" + a + "] [" + b + "]";
    }
  }
  vbi_unref_page(&page);
  return diff;
}

struct Counter final : CaptionSink {
  int captions = 0;
  void shown(const Caption&) override { ++captions; }
  void erased(long long) override {}
};

TEST(CaptionOracle, LongStreamsShowWhatLibzvbiShowsAtEveryCaption) {
  for (unsigned seed : {1u, 22u, 333u, 4444u, 55555u, 666666u}) {
    Stream s = randomStream(seed, 60);
    Counter sink;
    CaptionDecoder ours;
    resetDecoder(ours, 1, &sink);
    std::unique_ptr<vbi_decoder, void (*)(vbi_decoder*)> theirs(vbi_decoder_new(), vbi_decoder_delete);
    vbi_decoder* vbi = theirs.get();
    ASSERT_NE(vbi, nullptr);
    int compared = 0, seen = 0;
    double t = 0;
    for (std::size_t i = 0; i < s.pairs.size(); ++i) {
      const auto& p = s.pairs[i];
      // libzvbi draws a caption a few frames late; both are compared before the next pair
      // that carries anything, so both have drawn what the last caption showed.
      if (sink.captions > seen && !(p.first == 0x80 && p.second == 0x80)) {
        seen = sink.captions;
        ++compared;
        std::string diff = difference(displayedMemory(ours), vbi);
        ASSERT_EQ(diff, "") << "seed " << seed << ", before pair " << i << ", caption " << seen;
      }
      feedPair(ours, p.first, p.second, static_cast<long long>(i) * 33);
      vbi_sliced line{};
      line.id = VBI_SLICED_CAPTION_525;
      line.line = 21;
      line.data[0] = p.first;
      line.data[1] = p.second;
      vbi_decode(vbi, &line, 1, t += 1001.0 / 30000);
    }
    EXPECT_GT(compared, 100) << "seed " << seed;
  }
}

}  // namespace
