// busgate.drv under Wine: the protocol, the shared chip, the logs and each injected fault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"

using namespace harness;

namespace {

constexpr UINT kWrite = WM_USER + 900, kRead = WM_USER + 901;
constexpr char kServer[] = "I2CDriverWindow";

// Starts busgate.drv in the sandbox and waits until it is idle, as its callers do. Under Wine
// the wait may end before the window exists, so tests that need the window wait for it.
Process startServer(Sandbox& box) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = box.path("busgate.drv");
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, box.dir().c_str(), &si, &pi))
    return Process();
  WaitForInputIdle(pi.hProcess, kWait);
  return Process(pi);
}

// The reply, or -1 when the server did not answer within timeoutMs.
long long request(HWND w, UINT msg, WPARAM sub, LPARAM value = 0, UINT timeoutMs = 3000) {
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutA(w, msg, sub, value, SMTO_NORMAL, timeoutMs, &reply)) return -1;
  return static_cast<long long>(reply);
}

bool acked(long long reply) { return reply >= 0 && ((reply >> 8) & 0xFF) == 0xAA; }

std::vector<std::string> logLines(const Sandbox& box) { return completeLines(box.log("i2c.log")); }

void closeServer(HWND w, Process& p) {
  PostMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.waitExit(), 0);
}

}  // namespace

TEST(I2cServer, AnswersWritesAndReadsOfTheChipAndLogsThem) {
  Sandbox box;
  Process p = startServer(box);
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr) << "the server must create its window";
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(GetParent(w), nullptr);

  struct Row {
    UINT msg;
    WPARAM sub;
    LPARAM value;
    long long reply;  // -2: any reply without 0xAA
    const char* log;
  } rows[] = {
      {kRead, 0x00, 0, 0xAA10, "read 00 10 ack"},          // chip version 1 at power-on
      {kRead, 0x0B, 0, 0xAA47, "read 0b 47 ack"},          // a default
      {kWrite, 0x0A, 0x1233, 0xAA00, "write 0a 33 ack"},   // only the low byte is written
      {kRead, 0x0A, 0, 0xAA33, "read 0a 33 ack"},
      {kWrite, 0x00, 0x55, 0xAA00, "write 00 55 ack"},     // read-only: acknowledged, ignored
      {kRead, 0x00, 0, 0xAA10, "read 00 10 ack"},
      {kWrite, 0x1F, 0x00, 0xAA00, "write 1f 00 ack"},
      {kWrite, 0x20, 0x01, -2, "write 20 01 nak"},         // beyond the register file
      {kRead, 0x20, 0, -2, "read 20 nak"},
  };
  for (const Row& r : rows) {
    long long reply = request(w, r.msg, r.sub, r.value);
    if (r.reply == -2) {
      EXPECT_GE(reply, 0) << r.log;
      EXPECT_FALSE(acked(reply)) << r.log << " reply " << std::hex << reply;
    } else {
      EXPECT_EQ(reply, r.reply) << r.log;
    }
  }
  closeServer(w, p);
  std::vector<std::string> expected = {"start"};
  for (const Row& r : rows) expected.push_back(r.log);
  expected.push_back("close");
  EXPECT_EQ(logLines(box), expected);
}

TEST(I2cServer, ChipKeepsItsRegistersBetweenServersAndStartsAtPowerOn) {
  Sandbox box;
  const unsigned char defaults[32] = {0x10, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                                      0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01};
  {
    Process p = startServer(box);
    HWND w = waitWindow(kServer, kServer);
    ASSERT_NE(w, nullptr);
    for (unsigned sub = 0; sub < 0x1A; ++sub)
      EXPECT_EQ(request(w, kRead, sub), 0xAA00 | defaults[sub]) << "subaddress " << sub;
    EXPECT_TRUE(acked(request(w, kWrite, 0x0E, 0x53)));
    closeServer(w, p);
  }
  Process p = startServer(box);
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(request(w, kRead, 0x0E), 0xAA53);
  closeServer(w, p);
}

TEST(I2cServer, StatusBytesAreLiveOrPinned) {
  Sandbox box;
  {
    ScopedEnv version("SIMCARD_CHIP_VERSION", "5");
    Process p = startServer(box);
    HWND w = waitWindow(kServer, kServer);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(request(w, kRead, 0x00), 0xAA50);
    EXPECT_EQ(request(w, kRead, 0x1F), 0xAA40) << "locked, 50 Hz, colour off";
    request(w, kWrite, 0x11, 0x1D);  // colour on
    request(w, kWrite, 0x08, 0xC8);  // 60 Hz fields
    EXPECT_EQ(request(w, kRead, 0x1F), 0xAA61);
    request(w, kWrite, 0x0E, 0x41);  // a reserved colour standard: no colour detected
    EXPECT_EQ(request(w, kRead, 0x1F), 0xAA60);

    // The slicer moves through its caption: several different characters, each with odd parity.
    std::vector<int> seen;
    waitFor([&] {
      long long b = request(w, kRead, 0x1B);
      int v = static_cast<int>(b & 0xFF);
      if (seen.empty() || seen.back() != v) seen.push_back(v);
      return seen.size() >= 4;
    }, 5000);
    ASSERT_GE(seen.size(), 4u);
    for (int v : seen) EXPECT_EQ(__builtin_popcount(v) % 2, 1) << std::hex << v;
    closeServer(w, p);
  }
  ScopedEnv pins("SIMCARD_STATUS", "1B:C1,1f:40,1A:0f");
  Process p = startServer(box);
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(request(w, kRead, 0x1B), 0xAAC1);
  EXPECT_EQ(request(w, kRead, 0x1F), 0xAA40);
  EXPECT_EQ(request(w, kRead, 0x1A), 0xAA0F);
  closeServer(w, p);
}

TEST(I2cServer, NakAfterAnswersLaterRequestsWithoutAcknowledge) {
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "nak-after=2");
  Process p = startServer(box);
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(acked(request(w, kWrite, 0x0A, 0x90)));
  EXPECT_TRUE(acked(request(w, kRead, 0x0A)));
  EXPECT_FALSE(acked(request(w, kWrite, 0x0A, 0x91)));
  EXPECT_FALSE(acked(request(w, kRead, 0x0A)));
  closeServer(w, p);
  std::vector<std::string> expected = {"start",          "write 0a 90 ack", "read 0a 90 ack",
                                       "write 0a 91 nak", "read 0a nak",    "close"};
  EXPECT_EQ(logLines(box), expected);
}

TEST(I2cServer, ExitAfterEndsRightAfterTheNthRequest) {
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "exit-after=2");
  Process p = startServer(box);
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(acked(request(w, kWrite, 0x0A, 0x90)));
  EXPECT_TRUE(p.running());
  EXPECT_EQ(request(w, kRead, 0x0A), 0xAA90);
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_FALSE(IsWindow(w));
}

TEST(I2cServer, HangAfterStopsAnsweringButKeepsItsWindow) {
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "hang-after=1");
  Process p = startServer(box);
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(acked(request(w, kWrite, 0x0A, 0x90)));
  EXPECT_EQ(request(w, kRead, 0x0A, 0, 1500), -1) << "second request must not return";
  EXPECT_TRUE(p.running());
  EXPECT_EQ(findWindow(kServer, kServer), w);
}

TEST(I2cServer, NoWindowAndLateWindow) {
  Sandbox box;
  {
    ScopedEnv fault("SIMCARD_I2C", "no-window");
    Process p = startServer(box);
    EXPECT_TRUE(p.running());
    Sleep(1000);
    EXPECT_EQ(findWindow(kServer, kServer), nullptr);
  }
  ScopedEnv fault("SIMCARD_I2C", "late-window=1500");
  Process p = startServer(box);
  EXPECT_EQ(findWindow(kServer, kServer), nullptr) << "not there when the server has gone idle";
  HWND w = waitWindow(kServer, kServer, 5000);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(acked(request(w, kRead, 0x0A)));
  closeServer(w, p);
}
