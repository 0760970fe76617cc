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

// A started server and its window (null when none appeared).
struct Server {
  Process process;
  HWND window = nullptr;

  // The reply, or -1 when the server did not answer within timeoutMs.
  long long request(UINT msg, WPARAM sub, LPARAM value = 0, UINT timeoutMs = 3000) const {
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, msg, sub, value, SMTO_NORMAL, timeoutMs, &reply)) return -1;
    return static_cast<long long>(reply);
  }
  void close() {
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.waitExit(), 0);
  }
};

Server startServerWindow(Sandbox& box) {
  Server s;
  s.process = startServer(box);
  s.window = waitWindow(kServer, kServer);
  return s;
}

bool acked(long long reply) { return reply >= 0 && ((reply >> 8) & 0xFF) == 0xAA; }

std::vector<std::string> logLines(const Sandbox& box) { return completeLines(box.log("i2c.log")); }

}  // namespace

TEST(I2cServer, AnswersWritesAndReadsOfTheChipAndLogsThem) {
  Sandbox box;
  Server server = startServerWindow(box);
  ASSERT_NE(server.window, nullptr) << "the server must create its window";
  EXPECT_FALSE(IsWindowVisible(server.window));
  EXPECT_EQ(GetParent(server.window), nullptr);

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
    long long reply = server.request(r.msg, r.sub, r.value);
    if (r.reply == -2) {
      EXPECT_GE(reply, 0) << r.log;
      EXPECT_FALSE(acked(reply)) << r.log << " reply " << std::hex << reply;
    } else {
      EXPECT_EQ(reply, r.reply) << r.log;
    }
  }
  server.close();
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
    Server server = startServerWindow(box);
    ASSERT_NE(server.window, nullptr);
    for (unsigned sub = 0; sub < 0x1A; ++sub)
      EXPECT_EQ(server.request(kRead, sub), 0xAA00 | defaults[sub]) << "subaddress " << sub;
    EXPECT_TRUE(acked(server.request(kWrite, 0x0E, 0x53)));
    server.close();
  }
  Server server = startServerWindow(box);
  ASSERT_NE(server.window, nullptr);
  EXPECT_EQ(server.request(kRead, 0x0E), 0xAA53);
  server.close();
}

TEST(I2cServer, StatusBytesAreLiveOrPinned) {
  Sandbox box;
  {
    ScopedEnv version("SIMCARD_CHIP_VERSION", "5");
    Server s = startServerWindow(box);
    ASSERT_NE(s.window, nullptr);
    EXPECT_EQ(s.request(kRead, 0x00), 0xAA50);
    EXPECT_EQ(s.request(kRead, 0x1F), 0xAA40) << "locked, 50 Hz, colour off";
    s.request(kWrite, 0x11, 0x1D);  // colour on
    s.request(kWrite, 0x08, 0xC8);  // 60 Hz fields
    EXPECT_EQ(s.request(kRead, 0x1F), 0xAA61);
    s.request(kWrite, 0x0E, 0x41);  // a reserved colour standard: no colour detected
    EXPECT_EQ(s.request(kRead, 0x1F), 0xAA60);

    // The slicer moves through its caption: several different characters, each with odd parity.
    std::vector<int> seen;
    waitFor([&] {
      long long b = s.request(kRead, 0x1B);
      int v = static_cast<int>(b & 0xFF);
      if (seen.empty() || seen.back() != v) seen.push_back(v);
      return seen.size() >= 4;
    }, 5000);
    ASSERT_GE(seen.size(), 4u);
    for (int v : seen) EXPECT_EQ(__builtin_popcount(v) % 2, 1) << std::hex << v;
    s.close();
  }
  ScopedEnv pins("SIMCARD_STATUS", "1B:C1,1f:40,1A:0f");
  Server s = startServerWindow(box);
  ASSERT_NE(s.window, nullptr);
  EXPECT_EQ(s.request(kRead, 0x1B), 0xAAC1);
  EXPECT_EQ(s.request(kRead, 0x1F), 0xAA40);
  EXPECT_EQ(s.request(kRead, 0x1A), 0xAA0F);
  s.close();
}

TEST(I2cServer, RefusedAndNoisyRepliesAsConfigured) {
  struct Request {
    UINT msg;
    WPARAM sub;
    LPARAM value;
    long long reply;
  };
  struct Row {
    const char* fault;
    std::vector<Request> requests;
    std::vector<std::string> log;  // between "start" and "close"
  } rows[] = {
      {"nak-after=2",
       {{kWrite, 0x0A, 0x90, 0xAA00}, {kRead, 0x0A, 0, 0xAA90}, {kWrite, 0x0A, 0x91, 0}, {kRead, 0x0A, 0, 0}},
       {"write 0a 90 ack", "read 0a 90 ack", "write 0a 91 nak", "read 0a nak"}},
      // Request 2 alone refused with 0x55 and the value; garbage in bits 0-7 of a write's reply
      // and in bits 16-31 of every reply.
      {"bad-ack=2,noisy",
       {{kWrite, 0x0A, 0x90, 0xA5A5AAA5}, {kRead, 0x0A, 0, 0x5A5A5590}, {kRead, 0x0B, 0, 0xA5A5AA47}},
       {"write 0a 90 ack", "read 0a nak", "read 0b 47 ack"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.fault);
    Sandbox box;
    ScopedEnv fault("SIMCARD_I2C", r.fault);
    Server s = startServerWindow(box);
    ASSERT_NE(s.window, nullptr);
    for (size_t i = 0; i < r.requests.size(); ++i) {
      const Request& q = r.requests[i];
      EXPECT_EQ(s.request(q.msg, q.sub, q.value), q.reply) << "request " << i + 1;
    }
    s.close();
    std::vector<std::string> expected = {"start"};
    expected.insert(expected.end(), r.log.begin(), r.log.end());
    expected.push_back("close");
    EXPECT_EQ(logLines(box), expected);
  }
}

TEST(I2cServer, ExitAfterEndsRightAfterTheNthRequest) {
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "exit-after=2");
  Server s = startServerWindow(box);
  ASSERT_NE(s.window, nullptr);
  EXPECT_TRUE(acked(s.request(kWrite, 0x0A, 0x90)));
  EXPECT_TRUE(s.process.running());
  EXPECT_EQ(s.request(kRead, 0x0A), 0xAA90);
  EXPECT_EQ(s.process.waitExit(), 0);
  EXPECT_FALSE(IsWindow(s.window));
}

TEST(I2cServer, HangAfterStopsAnsweringButKeepsItsWindow) {
  Sandbox box;
  ScopedEnv fault("SIMCARD_I2C", "hang-after=1");
  Server s = startServerWindow(box);
  ASSERT_NE(s.window, nullptr);
  EXPECT_TRUE(acked(s.request(kWrite, 0x0A, 0x90)));
  EXPECT_EQ(s.request(kRead, 0x0A, 0, 1500), -1) << "second request must not return";
  EXPECT_TRUE(s.process.running());
  EXPECT_EQ(findWindow(kServer, kServer), s.window);
}

TEST(I2cServer, NoWindowAndLateWindow) {
  Sandbox box;
  {
    ScopedEnv fault("SIMCARD_I2C", "no-window");
    Process p = startServer(box);
    ASSERT_TRUE(waitFor([&] { return logLines(box) == std::vector<std::string>{"start"}; }));
    EXPECT_TRUE(p.running());
    EXPECT_EQ(findWindow(kServer, kServer), nullptr) << "no window once the server has gone idle";
  }
  ScopedEnv fault("SIMCARD_I2C", "late-window=1500");
  Process p = startServer(box);
  EXPECT_EQ(findWindow(kServer, kServer), nullptr) << "not there when the server has gone idle";
  Server s{std::move(p), waitWindow(kServer, kServer)};
  ASSERT_NE(s.window, nullptr);
  EXPECT_TRUE(acked(s.request(kRead, 0x0A)));
  s.close();
}
