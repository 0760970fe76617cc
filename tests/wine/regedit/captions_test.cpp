// qvx captions live against the stand-in playing a Scenarist file: the same captions as the
// offline run of the file, a parity fault that costs only the damaged bytes, the server
// started and closed (or left running), and the editor reported.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"
#include "tests/wine/regedit/editor_bench.h"
#include "tests/wine/regedit/qvx_runs.h"

using namespace harness;
using namespace bench;

namespace {

using Lines = std::vector<std::string>;

std::string hexPair(unsigned char a, unsigned char b) {
  auto odd = [](unsigned char c) {
    c &= 0x7F;
    return __builtin_parity(c) ? c : static_cast<unsigned char>(c | 0x80);
  };
  char text[8];
  snprintf(text, sizeof text, "%02x%02x", odd(a), odd(b));
  return text;
}

// Caption text as byte pairs, two characters a pair.
std::string textPairs(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i += 2) out += " " + hexPair(s[i], i + 1 < s.size() ? s[i + 1] : 0);
  return out;
}

// A short file of each kind of caption: pop-on, roll-up, paint-on, each erased at the end.
// Parts are hexadecimal pairs, or "=TEXT" for the pairs of a text.
struct FileLine {
  const char* time;
  std::vector<std::string> parts;
};
const FileLine kCaptionFile[] = {
    {"00:00:00;20", {"9420 9420 94ae 94ae 9452 9452", "=HELLO WORLD", "94f2 94f2", "=SECOND ROW", "942f 942f"}},
    {"00:00:02;00", {"942c 942c"}},
    {"00:00:02;10", {"9425 9425 94ad 94ad 9470 9470", "=ROLL ONE", "94ad 94ad 9470 9470", "=ROLL TWO"}},
    {"00:00:03;10", {"94ad 94ad 942c 942c"}},
    {"00:00:03;20", {"9429 9429 94d0 94d0", "=XPAINT"}},
    {"00:00:04;20", {"942c 942c"}},
};
// The pair "AI" of XPAINT, late enough in the file to be the only one parity-every hits.
constexpr int kDamagedPair = 51;

// The file's text; with damaged set, the second byte of pair kDamagedPair has bad parity.
std::string captionFile(bool damaged = false) {
  std::string text = "Scenarist_SCC V1.0\r\n";
  int n = 0;
  for (const FileLine& line : kCaptionFile) {
    text += std::string("\r\n") + line.time + "\t";
    std::string words;
    for (const std::string& part : line.parts) words += " " + (part[0] == '=' ? textPairs(part.substr(1)) : part);
    std::istringstream in(words);
    std::string w, sep;
    while (in >> w) {
      if (++n == kDamagedPair && damaged) {
        char t[8];
        snprintf(t, sizeof t, "%04lx", std::strtoul(w.c_str(), nullptr, 16) ^ 0x80);
        w = t;
      }
      text += sep + w;
      sep = " ";
    }
    text += "\r\n";
  }
  return text;
}

// The chip at power-on but with FSEL set: 60 Hz fields, frames at 29.97 a second.
bool writeSixtyHertzChip(const Sandbox& box) {
  std::string regs = {0x10, 0x00, char(0xC0), 0x23, 0x00, 0x00, char(0xEB), char(0xE0), char(0xC8), 0x01, char(0x80),
                      0x47, 0x40, 0x00,       0x01, 0x00, 0x40, 0x1C,       0x01,       0x00,       0x00, 0x00,
                      0x00, 0x00, 0x00,       0x00, 0x00, 0x00, 0x00,       0x00,       0x00,       0x00};
  return writeFile(box.path("decoder.bin"), regs);
}

// The captions printed, times left out: "text" and "              text" lines.
Lines texts(const std::string& out) {
  Lines lines;
  for (const std::string& l : completeLines(out)) lines.push_back(l.size() > 14 ? l.substr(14) : l);
  return lines;
}

struct Cue {
  long startMs, endMs;
  std::string text;
};

long srtMs(const std::string& t) {  // "00:00:01,234"
  return ((std::stol(t.substr(0, 2)) * 60 + std::stol(t.substr(3, 2))) * 60 + std::stol(t.substr(6, 2))) * 1000 +
         std::stol(t.substr(9, 3));
}

std::vector<Cue> cues(const std::string& srt) {
  std::vector<Cue> out;
  std::istringstream in(srt);
  std::string l;
  while (std::getline(in, l)) {
    size_t arrow = l.find(" --> ");
    if (arrow == std::string::npos) continue;
    Cue c{srtMs(l.substr(0, 12)), srtMs(l.substr(arrow + 5, 12)), ""};
    while (std::getline(in, l) && l != "\r") c.text += l;
    out.push_back(c);
  }
  return out;
}

class CaptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(writeFile(box.path("short.scc"), captionFile()));
    ASSERT_TRUE(writeFile(box.path("damaged.scc"), captionFile(true)));
    ASSERT_TRUE(writeSixtyHertzChip(box));
  }
  void TearDown() override { killServers(); }

  // A live run of short.scc. A pair lives one frame (33 ms); a machine busy with other work
  // may not give qvx (or the stand-in) a turn within one, and the stand-in then logs "lost N".
  // Such a run is tried again; when every try loses pairs, what depends on having every pair
  // is not checked (lost is set) and the test says so.
  static constexpr int kAttempts = 5;
  // With serverFirst the test starts the server (which qvx must then leave running), else qvx.
  QvxRun liveRun(const std::string& args, bool serverFirst) {
    QvxRun r;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      killServers();
      DeleteFileA(box.path("captions.log").c_str());
      DeleteFileA(box.path("i2c.log").c_str());
      if (serverFirst) {
        server = box.start("busgate.drv");
        if (!waitWindow(kServerName, kServerName)) continue;
      }
      r = runQvx(box, args, 60000);
      lost = countLinesStartingWith(box.log("captions.log"), "lost ") > 0;
      if (!lost) return r;
    }
    std::printf("note: every live run lost pairs (the machine is too busy); the captions are not compared\n");
    return r;
  }

  bool lost = false;
  Sandbox box;
  ScopedEnv captions{"SIMCARD_CAPTIONS", box.path("short.scc").c_str()};
  Process server;
};

}  // namespace

TEST_F(CaptionsTest, LiveRunShowsWhatTheOfflineRunShowsAndClosesTheServerItStarted) {
  QvxRun offline = runQvx(box, "captions short.scc --srt offline.srt");
  ASSERT_EQ(offline.code, 0) << offline.err;
  EXPECT_EQ(texts(offline.out), (Lines{"HELLO WORLD", "SECOND ROW", "ROLL ONE", "ROLL TWO", "XPAINT"}));

  QvxRun live = liveRun("captions --seconds 6 --srt live.srt", false);
  EXPECT_EQ(live.code, 0) << live.err;
  EXPECT_EQ(live.err, "");
  std::vector<Cue> want = cues(readFile(box.path("offline.srt"))), got = cues(readFile(box.path("live.srt")));
  if (!lost) {
    EXPECT_EQ(texts(live.out), texts(offline.out));
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(got[i].text, want[i].text);
      EXPECT_NEAR(got[i].startMs, want[i].startMs, 67) << "cue " << i + 1 << " starts within two frames";
      EXPECT_NEAR(got[i].endMs, want[i].endMs, 67) << "cue " << i + 1 << " ends within two frames";
    }
  }
  // qvx started the server (none ran) and closed it at the end.
  Lines log = completeLines(box.log("i2c.log"));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "start");
  EXPECT_EQ(log.back(), "close");
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }, 5000));
}

TEST_F(CaptionsTest, ParityFaultDropsOnlyTheDamagedByteAndAServerFoundRunningStays) {
  ScopedEnv faults("SIMCARD_CAPTIONS_FAULTS", ("parity-every=" + std::to_string(kDamagedPair)).c_str());
  QvxRun live = liveRun("captions --seconds 6", true);
  EXPECT_EQ(live.code, 0) << live.err;
  QvxRun offline = runQvx(box, "captions damaged.scc");
  EXPECT_EQ(texts(offline.out), (Lines{"HELLO WORLD", "SECOND ROW", "ROLL ONE", "ROLL TWO", "XPANT"}))
      << "the damaged second byte of the pair AI is dropped, its first byte kept";
  if (!lost) {
    EXPECT_EQ(texts(live.out), texts(offline.out)) << "live as the same file damaged the same way";
  }
  EXPECT_NE(box.log("captions.log").find("latch " + std::to_string(kDamagedPair) + " "), std::string::npos);
  EXPECT_TRUE(serverRunning()) << "qvx closes only a server it started";
  EXPECT_EQ(countLinesStartingWith(box.log("i2c.log"), "close"), 0);
}

TEST_F(CaptionsTest, TheEditorRunningMeanwhileIsReported) {
  Editor editor = startEditor(box);
  ASSERT_NE(editor.dialog, nullptr);
  QvxRun live = runQvx(box, "captions --seconds 2");
  EXPECT_EQ(live.code, 0);
  EXPECT_EQ(live.err,
            "qvx: the register editor is running: its once-a-second status poll takes a caption pair a second "
            "from this run\r\n");
  EXPECT_TRUE(serverRunning()) << "the editor's server stays";
  PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(editor.process.waitExit(), 0);
}
