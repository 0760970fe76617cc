// qvx watch against the simulated chip: the fields qvx apply sets and the status bit that
// follows one of them, each change printed once with its time; a change behind the server's
// back in a read-only field, in JSON; nothing written; the server it started closed, one it
// found left running; a server that stops answering; the editor reported.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <regex>
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

// A printed change: its time in ms and the rest of the line.
struct Change {
  long ms;
  std::string text;
};

// "00:00:03.200 HLCK 1 -> 0" lines; a line of another form fails the test.
std::vector<Change> changes(const std::string& out) {
  static const std::regex line(R"((\d\d):(\d\d):(\d\d)\.(\d\d\d) (.+))");
  std::vector<Change> found;
  for (const std::string& l : completeLines(out)) {
    std::smatch m;
    if (!std::regex_match(l, m, line)) {
      ADD_FAILURE() << "not a change line: " << l;
      continue;
    }
    long ms = ((std::stol(m[1]) * 60 + std::stol(m[2])) * 60 + std::stol(m[3])) * 1000 + std::stol(m[4]);
    found.push_back({ms, m[5]});
  }
  return found;
}

Lines sortedTexts(const std::vector<Change>& list) {
  Lines texts;
  for (const Change& c : list) texts.push_back(c.text);
  std::sort(texts.begin(), texts.end());
  return texts;
}

class WatchTest : public ::testing::Test {
 protected:
  void TearDown() override { killServers(); }

  // Waits until the watch has read the chip (its clock starts at its first read); returns the
  // tick count then.
  DWORD waitFirstReads(const QvxProcess& watch) {
    EXPECT_TRUE(waitFor([&] { return countLinesStartingWith(box.log("i2c.log"), "read 1f ") > 0; }))
        << "qvx watch: " << watch.err();
    return GetTickCount();
  }
  // Waits until the watch has printed n change lines.
  bool waitChanges(QvxProcess& watch, size_t n) {
    return waitFor([&] { return completeLines(watch.out()).size() >= n; });
  }

  Sandbox box;
  // The text slicer held still, so that only what a test changes changes.
  ScopedEnv quietSlicer{"SIMCARD_STATUS", "1A:00,1B:80,1C:80"};
};

}  // namespace

TEST_F(WatchTest, ApplySetsFieldsAndTheStatusFollowsEachChangePrintedOnceWithItsTime) {
  ASSERT_EQ(runQvx(box, "new defaults.qvx").code, 0);
  ASSERT_EQ(runQvx(box, "new tuned.qvx").code, 0);
  ASSERT_EQ(runQvx(box, "set tuned.qvx FSEL=1 BRIG=140").code, 0);
  DWORD launched = GetTickCount();
  QvxProcess watch(box, "watch --seconds 25");
  ASSERT_TRUE(watch.started());
  DWORD firstReads = waitFirstReads(watch);

  DWORD applied = GetTickCount();
  QvxRun apply = runQvx(box, "apply tuned.qvx FSEL BRIG");
  ASSERT_EQ(apply.code, 0) << apply.err;
  ASSERT_TRUE(waitChanges(watch, 3));
  DWORD seen = GetTickCount();
  // The same again changes nothing; then back to 50 Hz fields.
  ASSERT_EQ(runQvx(box, "apply tuned.qvx FSEL BRIG").code, 0);
  ASSERT_EQ(runQvx(box, "apply defaults.qvx FSEL").code, 0);
  ASSERT_TRUE(waitChanges(watch, 5));

  QvxRun run = watch.finish(60000);
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  std::vector<Change> printed = changes(run.out);
  ASSERT_EQ(printed.size(), 5u) << run.out;
  // FIDT in 0x1F follows FSEL in 0x08; a poll that read 0x08 before the write and 0x1F after
  // it shows FIDT a poll before FSEL, so each step's lines are compared without their order.
  std::vector<Change> toSixty(printed.begin(), printed.begin() + 3), toFifty(printed.begin() + 3, printed.end());
  EXPECT_EQ(sortedTexts(toSixty), (Lines{"BRIG 128 -> 140", "FIDT 0 -> 1", "FSEL 0 -> 1"}));
  EXPECT_EQ(sortedTexts(toFifty), (Lines{"FIDT 1 -> 0", "FSEL 1 -> 0"}));
  for (size_t i = 1; i < printed.size(); ++i) EXPECT_LE(printed[i - 1].ms, printed[i].ms) << "times in order";
  // The run's clock starts at its first read: after the launch, before the test saw the read.
  for (const Change& c : toSixty) {
    EXPECT_GE(c.ms, static_cast<long>(applied - firstReads)) << c.text << ": printed before apply ran";
    EXPECT_LE(c.ms, static_cast<long>(seen - launched)) << c.text << ": printed after the test saw it";
  }

  // Only apply wrote (3 writes); qvx started the server and closed it.
  Lines log = completeLines(box.log("i2c.log"));
  EXPECT_EQ(writes(log),
            (Lines{"write 08 c8 ack", "write 0a 8c ack", "write 08 c8 ack", "write 0a 8c ack", "write 08 88 ack"}));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "start");
  EXPECT_EQ(log.back(), "close");
  EXPECT_TRUE(waitFor([] { return !serverRunning(); }, 5000));
}

TEST_F(WatchTest, AChangeBehindTheServersBackShowsAsJsonAndTheWatchNeverWrites) {
  Process server = box.start("busgate.drv");
  ASSERT_NE(waitWindow(kServerName, kServerName), nullptr);
  QvxProcess watch(box, "watch --json --seconds 15");
  waitFirstReads(watch);
  ASSERT_TRUE(setChipByte(box, 0x00, 0x20));  // chip version 1 -> 2: a field only the chip sets
  ASSERT_TRUE(waitChanges(watch, 1));
  ASSERT_TRUE(setChipByte(box, 0x00, 0x10));
  ASSERT_TRUE(waitChanges(watch, 2));
  QvxRun run = watch.finish(60000);
  EXPECT_EQ(run.code, 0) << run.err;
  Lines lines = completeLines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out;
  static const std::regex object(
      R"re(\{"time": "00:00:(\d\d)\.(\d\d\d)", "ms": (\d+), "name": "VERSION", "register": "0x00", "bits": "7-4", )re"
      R"re("value": (\d), "text": null, "writable": false, "old": (\d), "oldText": null\})re");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, object)) << lines[0];
  EXPECT_EQ(m[5].str() + " -> " + m[4].str(), "1 -> 2");
  ASSERT_TRUE(std::regex_match(lines[1], m, object)) << lines[1];
  EXPECT_EQ(m[5].str() + " -> " + m[4].str(), "2 -> 1");
  for (const std::string& l : lines) {
    ASSERT_TRUE(std::regex_match(l, m, object));
    EXPECT_EQ(std::stol(m[1]) * 1000 + std::stol(m[2]), std::stol(m[3])) << "\"time\" and \"ms\" agree: " << l;
  }

  EXPECT_EQ(writes(completeLines(box.log("i2c.log"))), Lines{}) << "watch never writes";
  EXPECT_TRUE(serverRunning()) << "a server found running stays";
  EXPECT_EQ(countLinesStartingWith(box.log("i2c.log"), "close"), 0);
}

TEST_F(WatchTest, AServerThatStopsAnsweringEndsTheWatchWithItsReason) {
  ScopedEnv faults("SIMCARD_I2C", "exit-after=60");
  QvxRun run = runQvx(box, "watch --seconds 60", 60000);
  EXPECT_EQ(run.code, 2);
  EXPECT_TRUE(
      std::regex_match(run.err, std::regex(R"(qvx: the I2C server did not acknowledge reading 0x[0-9A-F]{2}\r\n)")))
      << run.err;
  EXPECT_EQ(run.out, "") << "nothing changed while it answered";
}

TEST_F(WatchTest, TheEditorRunningMeanwhileIsReported) {
  Editor editor = startEditor(box);
  ASSERT_NE(editor.dialog, nullptr);
  QvxRun run = runQvx(box, "watch --seconds 2", 60000);
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err,
            "qvx: the register editor is running: the changes it writes show here too, and its status poll clears "
            "F1RDY once a second\r\n");
  EXPECT_TRUE(serverRunning()) << "the editor's server stays";
  PostMessageA(editor.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(editor.process.waitExit(), 0);
}
