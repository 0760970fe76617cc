// The caption decoder on hand-made streams (what it shows, and when), and the text, SRT and
// WebVTT it writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "qvx/captions/caption_output.h"
#include "qvx/captions/caption_text.h"
#include "qvx/captions/cc_decoder.h"
#include "qvx/captions/scc_file.h"
#include "tests/unit/caption_stream.h"

using namespace captions;
using captions_test::Stream;

namespace {

std::string rowOf(const Cell (&row)[kColumns]) {
  qvx::TextOf<kRowTextSize> text;
  rowText(row, text);
  return std::string(text.view());
}

// A Sink that keeps what it is given.
struct Kept {
  std::string bytes;
  qvx::Sink sink() {
    return {[](void* self, const char* text, std::size_t size) { static_cast<Kept*>(self)->bytes.append(text, size); },
            this};
  }
};

// What the sink saw, one entry per event: "shown@MS ROW|ROW" or "erased@MS".
struct Recorder final : CaptionSink {
  std::vector<std::string> events;
  void shown(const Caption& c) override {
    std::string e = "shown@" + std::to_string(c.startMs) + " ";
    for (int r = 0; r < c.rowCount; ++r) e += (r ? "|" : "") + rowOf(c.rows[r]);
    events.push_back(e);
  }
  void erased(long long ms) override { events.push_back("erased@" + std::to_string(ms)); }
};

// Feeds the stream to a decoder, pair i at i*10 ms, then ends it.
struct Decoded {
  Recorder sink;
  CaptionDecoder decoder;
  Decoded(const Stream& s, int channel = 1, bool finish = true) {
    resetDecoder(decoder, channel, &sink);
    long long ms = 0;
    for (const auto& p : s.pairs) feedPair(decoder, p.first, p.second, ms += 10);
    if (finish) finishDecoder(decoder);
  }
  // The shown captions without their times.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const std::string& e : sink.events)
      if (e.rfind("shown@", 0) == 0) out.push_back(e.substr(e.find(' ') + 1));
    return out;
  }
  std::string screenRow(int row) const { return rowOf(displayedMemory(decoder).cells[row - 1]); }
};

using Texts = std::vector<std::string>;

}  // namespace

TEST(CaptionDecoder, PopOnShowsAtEndOfCaptionAndEachControlCodeActsOnceThoughSentTwice) {
  Stream s;
  s.rcl().pac(14).text("HELLO").pac(15, 4).text("WORLD").eoc();  // pairs 1-14: EOC at 130 ms
  Decoded r(s);
  EXPECT_EQ(r.sink.events, (std::vector<std::string>{"shown@130 HELLO|WORLD"}));
  EXPECT_EQ(r.screenRow(15), "WORLD");
  EXPECT_EQ(rowOf(displayedMemory(r.decoder).cells[14]).size(), 5u);
  EXPECT_EQ(displayedMemory(r.decoder).cells[14][4].character, U'W') << "indent 4";

  // A third EOC in a row acts again: the memories swap back and the screen is empty.
  Stream twice = s;
  twice.code(0x14, 0x2F, 1).edm();
  Decoded t(twice);
  EXPECT_EQ(t.sink.events.size(), 3u);
  EXPECT_EQ(t.sink.events[1], "erased@150");
  EXPECT_EQ(t.sink.events[2], "erased@160") << "EDM after the repeat";

  // Loading the next caption does not touch the screen; its EOC replaces it; EDM erases it.
  s.rcl().pac(15).text("NEXT").eoc().null(3).edm();
  EXPECT_EQ(Decoded(s).sink.events,
            (std::vector<std::string>{"shown@130 HELLO|WORLD", "shown@210 NEXT", "erased@260"}));
}

TEST(CaptionDecoder, RollUpShowsEachCompletedLineFromWhenItsFirstCharacterCame) {
  Stream s;
  s.ru(2).cr().pac(15).text("ONE").cr().pac(15).text("TWO").cr().pac(15).text("THR");
  Decoded open(s, 1, false);
  EXPECT_EQ(open.sink.events, (std::vector<std::string>{"erased@10", "shown@70 ONE", "shown@130 TWO"}));
  EXPECT_EQ(open.screenRow(14), "TWO");
  EXPECT_EQ(open.screenRow(15), "THR");
  EXPECT_EQ(open.screenRow(13), "") << "two rows only: ONE rolled off";
  Decoded ended(s);
  EXPECT_EQ(ended.texts(), (Texts{"ONE", "TWO", "THR"})) << "the end shows the line still written";

  // Three rows keep one more line; another number of rows starts from an empty screen.
  Stream three;
  three.ru(3).text("A1").cr().text("B2").cr().text("C3").cr();
  Decoded r3(three);
  EXPECT_EQ(r3.screenRow(13), "B2");
  EXPECT_EQ(r3.screenRow(14), "C3");
  three.ru(3).text("D4").cr();
  EXPECT_EQ(Decoded(three).screenRow(13), "C3") << "the same number of rows goes on";
  three.ru(2);
  Decoded r2(three);
  EXPECT_EQ(r2.screenRow(14), "");
  EXPECT_EQ(r2.sink.events.back(), "erased@" + std::to_string(10 * three.pairs.size() - 10));
}

TEST(CaptionDecoder, PaintOnShowsARowWhenPaintingStops) {
  Stream s;
  s.rdc().pac(1).text("TOP").pac(2).text("NEXT").null().text("X").edm();
  EXPECT_EQ(Decoded(s).texts(), (Texts{"TOP", "NEXT", "NEXTX"}));
  // Each caption from its first character: TOP at pair 5, NEXT at pair 9, the X at pair 12.
  EXPECT_EQ(Decoded(s).sink.events,
            (std::vector<std::string>{"shown@50 TOP", "shown@90 NEXT", "shown@120 NEXTX", "erased@130"}));
}

TEST(CaptionDecoder, EditingCodesMoveAndEraseInTheRow) {
  struct Row {
    const char* what;
    Stream stream;
    std::string row15;
  };
  Row rows[] = {
      {"tab offsets 1 and 3", Stream().rcl().pac(15).text("AB").code(0x17, 0x21).text("C").code(0x17, 0x23).text("D"),
       "AB C   D"},
      {"backspace", Stream().rcl().pac(15).text("ABC").code(0x14, 0x21).text("D"), "ABD"},
      {"delete to end of row", Stream().rcl().pac(15).text("ABCDEF").pac(15, 0).code(0x17, 0x22).code(0x14, 0x24),
       "AB"},
      {"mid-row codes are spaces", Stream().rcl().pac(15).text("A").midRow(4).text("B"), "A B"},
      {"special characters", Stream().rcl().pac(15).text("A").code(0x11, 0x37).code(0x11, 0x39).text("B"), "A\u266A B"},
      {"an extended character replaces the one before it", Stream().rcl().pac(15).text("E").code(0x12, 0x21).text("T"),
       "\u00C9T"},
      {"32 columns: the cursor stays in the last", Stream().rcl().pac(15, 28).text("ABCDEF"), "ABCF"},
      {"standard characters that are not ASCII", Stream().rcl().pac(15).text("*\\^_`{|}~\x7F"),
       "\u00E1\u00E9\u00ED\u00F3\u00FA\u00E7\u00F7\u00D1\u00F1\u25A0"},
  };
  for (Row& r : rows) {
    r.stream.eoc();
    EXPECT_EQ(Decoded(r.stream).screenRow(15), r.row15) << r.what;
  }
  // The extended character at the last column replaces the character written there.
  Stream last;
  last.rcl().pac(15, 28).text("ABCDEF").code(0x13, 0x30).eoc();
  EXPECT_EQ(Decoded(last).screenRow(15), "ABC\u00C4");
}

TEST(CaptionDecoder, ParityErrorsDropOnlyTheDamagedBytes) {
  const auto odd = [](char c) { return captions_test::odd(static_cast<std::uint8_t>(c)); };
  Stream s;
  s.rcl().pac(15).text("AB");
  s.raw(odd('C'), odd('D') ^ 0x80);  // D damaged: C stays
  s.raw(odd('E') ^ 0x80, odd('F'));  // the first byte damaged: the pair is dropped
  s.text("GH");
  s.raw(odd(0x14), odd(0x2F) ^ 0x80);  // EOC with its second byte damaged ...
  s.code(0x14, 0x2F, 1);               // ... so its repeat acts
  Decoded r(s);
  EXPECT_EQ(r.texts(), (Texts{"ABCGH"}));
}

TEST(CaptionDecoder, UnknownCodesAndTheTextServiceShowNothing) {
  Stream s;
  s.rcl().pac(15).text("A");
  s.code(0x14, 0x22).code(0x14, 0x23).code(0x14, 0x28);       // AOF, AON, FON
  s.code(0x10, 0x2E).code(0x17, 0x2D).code(0x17, 0x2F);       // background and foreground attributes
  s.code(0x15, 0x2C).code(0x14, 0x30).code(0x10, 0x60);       // a field-2 command; codes beyond the set
  s.raw(captions_test::odd(0x05), captions_test::odd(0x01));  // a byte below the control codes
  s.text("B").code(0x14, 0x2A).text("TEXT SERVICE").rcl().text("C").eoc();
  EXPECT_EQ(Decoded(s).texts(), (Texts{"ABC"}));
}

TEST(CaptionDecoder, ChannelTwoIsDecodedAloneAndItsCharactersFollowItsCodes) {
  Stream s;
  s.rcl().pac(15).text("ONE");
  s.channel = 2;
  s.rcl().pac(15).text("TWO").eoc();
  s.channel = 1;
  s.text("1").eoc();
  EXPECT_EQ(Decoded(s, 1).texts(), (Texts{"ONE"})) << "the 1 follows the codes of channel 2";
  EXPECT_EQ(Decoded(s, 2).texts(), (Texts{"TWO"}));
}

TEST(CaptionOutput, TextSrtAndVttOfTheSameCaptions) {
  Stream s;
  s.rcl().pacStyled(14, 7).text("It").midRow(0).text("is").pacStyled(15, 5).text("<&>").eoc();  // EOC at 130
  s.null(20).edm();                                                                             // EDM at 350
  s.ru(2).cr().text("ROLL").cr().null(3).text("UP").cr();  // ROLL from 410, UP from 480
  Kept text, srt, vtt;
  qvx::Sink srtSink = srt.sink(), vttSink = vtt.sink();
  writeVttHeader(vttSink);
  CaptionOutput out(text.sink(), &srtSink, &vttSink);
  CaptionDecoder d;
  resetDecoder(d, 1, &out);
  long long ms = 0;
  for (const auto& p : s.pairs) feedPair(d, p.first, p.second, ms += 10);
  finishDecoder(d);
  out.finish(ms + 1000);
  EXPECT_EQ(text.bytes,
            "00:00:00.130  It is\n"
            "              <&>\n"
            "00:00:00.410  ROLL\n"
            "00:00:00.480  UP\n");
  EXPECT_EQ(srt.bytes,
            "1\r\n00:00:00,130 --> 00:00:00,350\r\nIt is\r\n<&>\r\n\r\n"
            "2\r\n00:00:00,410 --> 00:00:00,480\r\nROLL\r\n\r\n"
            "3\r\n00:00:00,480 --> 00:00:01,500\r\nUP\r\n\r\n");
  EXPECT_EQ(vtt.bytes,
            "WEBVTT\r\n\r\n"
            "00:00:00.130 --> 00:00:00.350\r\n<i>It </i>is\r\n<c.yellow>&lt;&amp;&gt;</c>\r\n\r\n"
            "00:00:00.410 --> 00:00:00.480\r\nROLL\r\n\r\n"
            "00:00:00.480 --> 00:00:01.500\r\nUP\r\n\r\n");
}

TEST(CaptionOutput, TimesCountFramesAt2997AndHoursGrowPast99) {
  struct Row {
    long long ms;
    char separator;
    const char* text;
  } rows[] = {{0, '.', "00:00:00.000"},
              {62345, '.', "00:01:02.345"},
              {3599999, ',', "00:59:59,999"},
              {3600000, ',', "01:00:00,000"},
              {100 * 3600000LL + 1, '.', "100:00:00.001"}};
  for (const Row& r : rows) {
    qvx::TextOf<24> t;
    t << qvx::Elapsed{r.ms, r.separator};
    EXPECT_EQ(t.view(), r.text);
  }
  EXPECT_EQ(frameMs(30), 1001);       // 00:00:01:00 of a 29.97 stream
  EXPECT_EQ(frameMs(17982), 599999);  // 00:10:00;00 drop-frame: ten minutes to the millisecond
}
