// The host qvx captions on Scenarist files as a user runs it: the captions printed, the
// subtitle files written, and bad files and arguments refused with the line number and
// nothing written.
#include "tests/unit/qvx_folder.h"

#include <string>

namespace {

using CaptionsCli = QvxFolder;

// "HI" on row 15 shown at 00:00:01;00 + 5 frames, erased at 00:00:03;00 (frame 90).
const char kGood[] =
    "Scenarist_SCC V1.0\r\n\r\n"
    "00:00:01;00\t9420 9420 9470 9470 c849 942f 942f\r\n\r\n"
    "00:00:03;00\t942c 942c\r\n";

TEST_F(CaptionsCli, AFileGivesTextSrtAndVtt) {
  write("a.scc", kGood);
  Outcome r = qvx("captions a.scc --srt a.srt --vtt a.vtt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "00:00:01.167  HI\n") << "EOC in frame 30 + 5, 1001/30 ms a frame";
  EXPECT_EQ(slurp(path("a.srt")), "1\r\n00:00:01,167 --> 00:00:03,003\r\nHI\r\n\r\n");
  EXPECT_EQ(slurp(path("a.vtt")), "WEBVTT\r\n\r\n00:00:01.167 --> 00:00:03.003\r\nHI\r\n\r\n");
  // Channel 2 holds nothing here; the same run again writes the same files.
  EXPECT_EQ(qvx("captions --channel 2 a.scc").out, "");
  ASSERT_EQ(qvx("captions a.scc --vtt a.vtt").status, 0);
  EXPECT_EQ(slurp(path("a.vtt")), "WEBVTT\r\n\r\n00:00:01.167 --> 00:00:03.003\r\nHI\r\n\r\n");
}

TEST_F(CaptionsCli, BadFilesNameTheLineAndWriteNothing) {
  struct Case {
    const char* what;
    std::string text, err;
  } cases[] = {
      {"empty", "", "line 1: not a Scenarist file: the first line must be \"Scenarist_SCC V1.0\""},
      {"no header", "00:00:01;00\t9420\r\n",
       "line 1: not a Scenarist file: the first line must be \"Scenarist_SCC V1.0\""},
      {"bad time code", std::string(kGood) + "\r\n0:00:04;00\t942c\r\n",
       "line 7: expected a time code HH:MM:SS:FF or HH:MM:SS;FF"},
      {"frames past 29", std::string(kGood) + "00:00:04:30\t942c\r\n",
       "line 6: time code out of range (minutes and seconds 0-59, frames 0-29)"},
      {"seconds past 59", std::string(kGood) + "00:00:60:00\t942c\r\n",
       "line 6: time code out of range (minutes and seconds 0-59, frames 0-29)"},
      {"a pair of three digits", std::string(kGood) + "00:00:04;00\t942c 942\r\n",
       "line 6: expected byte pairs of four hexadecimal digits"},
      {"a pair that is not hexadecimal", std::string(kGood) + "00:00:04;00\t94g2\r\n",
       "line 6: expected byte pairs of four hexadecimal digits"},
      {"no blank after the time code", std::string(kGood) + "00:00:04;00x942c\r\n",
       "line 6: expected a blank after the time code"},
      {"time going back", std::string(kGood) + "00:00:02;29\t942c\r\n",
       "line 6: time code earlier than the line before"},
      {"a line too long", std::string(kGood) + "00:00:04;00\t" + std::string(9000, '9') + "\r\n",
       "line 6: line too long (more than 8190 characters)"},
  };
  for (const Case& c : cases) {
    write("bad.scc", c.text);
    Outcome r = qvx("captions bad.scc --srt bad.srt --vtt bad.vtt");
    EXPECT_EQ(r.status, 2) << c.what;
    EXPECT_EQ(r.err, "qvx: bad.scc: " + c.err + "\n") << c.what;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_FALSE(exists("bad.srt") || exists("bad.vtt")) << c.what << ": a subtitle file was written";
  }
  // An old subtitle file of the same name is left as it was.
  write("old.srt", "old");
  EXPECT_EQ(qvx("captions bad.scc --srt old.srt").status, 2);
  EXPECT_EQ(slurp(path("old.srt")), "old");
}

TEST_F(CaptionsCli, BadArgumentsAreRefused) {
  write("a.scc", kGood);
  struct Case {
    std::string args, err;
  } cases[] = {
      {"captions a.scc --channel 3", "--channel takes 1 (CC1) or 2 (CC2)"},
      {"captions a.scc --seconds 5", "--seconds is for a live run, not a file"},
      {"captions --seconds 0", "--seconds takes a whole number of seconds, 1 to 2678400"},
      {"captions a.scc b.scc",
       "usage: qvx captions [FILE.scc] [--srt FILE] [--vtt FILE] [--channel 1|2] [--seconds N]"},
      {"captions a.scc --srt x.srt --vtt x.srt", "--srt and --vtt name the same file"},
      {"captions a.scc --srt a.scc", "a.scc: is the caption file read"},
      {"captions none.scc", "none.scc: cannot read"},
      {"captions", "the chip is reached only by the Windows build, qvx.exe"},
  };
  for (const Case& c : cases) {
    Outcome r = qvx(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, "qvx: " + c.err + "\n") << c.args;
  }
  EXPECT_EQ(slurp(path("a.scc")), kGood) << "the input is never written";
}

}  // namespace
