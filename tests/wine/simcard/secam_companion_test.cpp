// chromset.drv under Wine: the byte it writes, the server it starts and closes, its exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"

using namespace harness;

namespace {

constexpr char kServer[] = "I2CDriverWindow";

unsigned char chipByte(const Sandbox& box, unsigned sub) {
  std::string chip = readFile(box.path("decoder.bin"));
  return chip.size() == 32 ? static_cast<unsigned char>(chip[sub]) : 0xEE;
}

long runCompanion(Sandbox& box, const std::string& args) {
  Process p = box.start("chromset.drv", args);
  return p.started() ? p.waitExit() : -2;
}

}  // namespace

TEST(SecamCompanion, StartsAServerWritesTheChromaRegisterAndClosesIt) {
  Sandbox box;
  ASSERT_EQ(findWindow(kServer, kServer), nullptr);
  EXPECT_EQ(runCompanion(box, "s53"), 0);
  EXPECT_EQ(chipByte(box, 0x0E), 0x53);
  EXPECT_EQ(findWindow(kServer, kServer), nullptr) << "the server it started must be gone";
  EXPECT_EQ(completeLines(box.log("i2c.log")), (std::vector<std::string>{"start", "write 0e 53 ack", "close"}));
  EXPECT_EQ(completeLines(box.log("secam.log")), (std::vector<std::string>{"args s53", "exit 0"}));
}

TEST(SecamCompanion, StartsTheServerFromAFolderWithBlanks) {
  Sandbox box;
  std::string folder = box.path("with blank");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  for (const char* name : {"chromset.drv", "busgate.drv"})
    ASSERT_TRUE(CopyFileA(box.path(name).c_str(), (folder + "\\" + name).c_str(), FALSE));
  ASSERT_EQ(findWindow(kServer, kServer), nullptr);
  Process p = box.start("with blank\\chromset.drv", "s53");
  ASSERT_TRUE(p.started());
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_EQ(chipByte(box, 0x0E), 0x53);
  EXPECT_EQ(findWindow(kServer, kServer), nullptr);
}

TEST(SecamCompanion, UsesARunningServerAndLeavesItRunning) {
  Sandbox box;
  Process server = box.start("busgate.drv");
  HWND w = waitWindow(kServer, kServer);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(runCompanion(box, "s0a"), 0);
  EXPECT_EQ(chipByte(box, 0x0E), 0x0A);
  EXPECT_TRUE(server.running());
  EXPECT_EQ(findWindow(kServer, kServer), w);
  EXPECT_EQ(countLinesStartingWith(box.log("i2c.log"), "start"), 1);
  PostMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(server.waitExit(), 0);
}

TEST(SecamCompanion, ExitCodes) {
  struct Row {
    const char* args;
    const char* i2cFault;  // SIMCARD_I2C, or null
    bool removeServer;
    long exitCode;
  } rows[] = {
      {"", nullptr, false, 1},     {"S53", nullptr, false, 1},   {"s5", nullptr, false, 1},
      {"s5A", nullptr, false, 1},  {"s5g", nullptr, false, 1},   {"s53 s54", nullptr, false, 1},
      {"sff", nullptr, false, 0},  {"s53", "no-window", false, 2}, {"s53", nullptr, true, 2},
      {"s53", "nak-after=0", false, 3},
  };
  for (const Row& r : rows) {
    Sandbox box;
    ScopedEnv fault("SIMCARD_I2C", r.i2cFault);
    if (r.removeServer) DeleteFileA(box.path("busgate.drv").c_str());
    long code = runCompanion(box, r.args);
    EXPECT_EQ(code, r.exitCode) << "args \"" << r.args << "\" fault " << (r.i2cFault ? r.i2cFault : "-");
    unsigned char written = chipByte(box, 0x0E);  // 0xEE: no chip was ever opened
    if (r.exitCode == 0) EXPECT_EQ(written, 0xFF) << r.args;
    else EXPECT_TRUE(written == 0x01 || written == 0xEE) << r.args << " wrote " << int(written);
    EXPECT_EQ(findWindow(kServer, kServer), nullptr) << r.args;
  }
}

TEST(SecamCompanion, ForcedExitCodeAndDelay) {
  Sandbox box;
  {
    ScopedEnv forced("SIMCARD_SECAM_EXIT", "7");
    EXPECT_EQ(runCompanion(box, "s53"), 7);
    EXPECT_NE(chipByte(box, 0x0E), 0x53) << "a forced end writes nothing";
  }
  ScopedEnv delay("SIMCARD_SECAM_DELAY_MS", "1200");
  DWORD start = GetTickCount();
  EXPECT_EQ(runCompanion(box, "s53"), 0);
  EXPECT_GE(GetTickCount() - start, 1200u);
  EXPECT_EQ(completeLines(box.log("secam.log")),
            (std::vector<std::string>{"args s53", "exit 7", "args s53", "exit 0"}));
}
