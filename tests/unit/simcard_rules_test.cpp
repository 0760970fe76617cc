// The simulated card's platform-free rules: chip state, status bytes, settings texts,
// the I2C protocol core and the SECAM argument.
#include <gtest/gtest.h>

#include "simcard/decoder_rules.h"
#include "simcard/i2c_protocol.h"
#include "simcard/secam_args.h"
#include "simcard/text_values.h"

using namespace simcard;

TEST(DecoderRules, PowerOnIsTheDefaultsWithTheChipVersion) {
  Registers r = powerOnRegisters(1);
  EXPECT_EQ(r[0x00], 0x10);
  EXPECT_EQ(powerOnRegisters(15)[0x00], 0xF0);
  for (unsigned sub = 1; sub < kRegisterCount; ++sub) EXPECT_EQ(r[sub], defaultRegisters[sub]) << sub;
  EXPECT_EQ(r[0x0B], 0x47);
  EXPECT_EQ(r[0x11], 0x1C);
}

TEST(DecoderRules, ReadOnlySubaddresses) {
  for (unsigned sub = 0; sub < 0x24; ++sub) {
    bool expected = sub == 0x00 || sub == 0x1A || sub == 0x1B || sub == 0x1C || sub == 0x1F;
    EXPECT_EQ(isReadOnly(sub), expected) << sub;
  }
}

TEST(DecoderRules, OddParity) {
  struct Row {
    std::uint8_t in, out;
  } rows[] = {{0x00, 0x80}, {'A', 0xC1}, {'C', 0x43}, {' ', 0x20}, {0x7F, 0x7F}, {0xC1, 0xC1}};
  for (const Row& r : rows) EXPECT_EQ(withOddParity(r.in), r.out) << int(r.in);
}

TEST(DecoderRules, StatusByteFollowsColourAndFieldRate) {
  StatusPins none{};
  struct Row {
    std::uint8_t reg08, reg0e, reg11, status;
  } rows[] = {
      {0x88, 0x01, 0x1C, 0x40},  // locked, 50 Hz, colour off
      {0x88, 0x01, 0x1D, 0x41},  // colour on, standard set: colour detected
      {0xC8, 0x01, 0x1D, 0x61},  // 60 Hz
      {0x88, 0x53, 0x1D, 0x41},  // SECAM
      {0x88, 0x41, 0x1D, 0x40},  // reserved standard
      {0x88, 0x71, 0x1D, 0x40},
  };
  for (const Row& r : rows) {
    Registers regs = powerOnRegisters(1);
    regs[0x08] = r.reg08;
    regs[0x0E] = r.reg0e;
    regs[0x11] = r.reg11;
    EXPECT_EQ(readValue(regs, 0x1F, 0, none), r.status) << std::hex << int(r.reg08) << " " << int(r.reg0e);
  }
}

TEST(DecoderRules, SlicerCyclesThroughTheCaptionWithParityAndReadyBits) {
  Registers regs = powerOnRegisters(1);
  StatusPins none{};
  std::string text;
  unsigned steps = (kCaption.size() + 1) / 2;
  for (unsigned step = 0; step < steps; ++step) {
    std::uint32_t ms = step * kSlicerStepMs + 10;
    std::uint8_t b1 = readValue(regs, 0x1B, ms, none), b2 = readValue(regs, 0x1C, ms, none);
    EXPECT_EQ(withOddParity(b1), b1);
    EXPECT_EQ(withOddParity(b2), b2);
    text += static_cast<char>(b1 & 0x7F);
    if (b2 & 0x7F) text += static_cast<char>(b2 & 0x7F);
    EXPECT_EQ(readValue(regs, 0x1A, ms, none), (b2 & 0x7F) ? 0x0F : 0x07) << step;
  }
  EXPECT_EQ(text, kCaption);
  std::uint32_t pause = steps * kSlicerStepMs + 10;  // the pause: ready, nothing valid
  EXPECT_EQ(readValue(regs, 0x1A, pause, none), 0x05);
  EXPECT_EQ(readValue(regs, 0x1B, pause, none), 0x80);
  EXPECT_EQ(readValue(regs, 0x1B, (steps + 2) * kSlicerStepMs, none), withOddParity(kCaption[0]));
}

TEST(DecoderRules, StatusPins) {
  auto pins = parseStatusPins("1B:C1,1f:40");
  ASSERT_TRUE(pins);
  Registers regs = powerOnRegisters(1);
  EXPECT_EQ(readValue(regs, 0x1B, 1234, *pins), 0xC1);
  EXPECT_EQ(readValue(regs, 0x1F, 1234, *pins), 0x40);
  EXPECT_EQ(readValue(regs, 0x0A, 1234, *pins), 0x80);
  EXPECT_TRUE(parseStatusPins(""));
  for (const char* bad : {"1B", "1B:C", "0A:10", "1B:C1,", "1B-C1", "1G:00", "1B:C1 "})
    EXPECT_FALSE(parseStatusPins(bad)) << bad;
}

TEST(TextValues, ListsNumbersAndHex) {
  EXPECT_EQ(splitList("").size(), 0u);
  EXPECT_EQ(splitList("a,,b").size(), 3u);
  EXPECT_EQ(parseDecimal("0"), 0u);
  EXPECT_EQ(parseDecimal("2147483647"), 2147483647u);
  for (const char* bad : {"", "-1", "2147483648", "1x", " 1", "99999999999"}) EXPECT_FALSE(parseDecimal(bad)) << bad;
  EXPECT_EQ(parseHexByte("aF"), 0xAF);
  EXPECT_FALSE(parseHexByte("a"));
  EXPECT_EQ(hex2(0x0e), "0e");
  EXPECT_EQ(hex2(0xab), "ab");
  EXPECT_EQ(hex2(0x120), "120");
}

TEST(I2cFaults, Parse) {
  auto f = parseI2cFaults("nak-after=3,exit-after=0,hang-after=12,no-window,late-window=500,bad-ack=7,noisy,"
                          "delay-after=26:2000");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->badAck, 7u);
  EXPECT_TRUE(f->noisy);
  EXPECT_EQ(f->delayAfter, 26u);
  EXPECT_EQ(f->delayMs, 2000u);
  EXPECT_EQ(f->nakAfter, 3u);
  EXPECT_EQ(f->exitAfter, 0u);
  EXPECT_EQ(f->hangAfter, 12u);
  EXPECT_EQ(f->lateWindowMs, 500u);
  EXPECT_TRUE(f->noWindow);
  auto none = parseI2cFaults("");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->nakAfter || none->exitAfter || none->hangAfter || none->lateWindowMs || none->noWindow ||
               none->badAck || none->noisy || none->delayAfter);
  for (const char* bad : {"nak-after", "nak-after=", "nak-after=x", "hang=1", "no-window=1", "late-window=-5",
                          "bad-ack", "noisy=1", "noisy,x", "delay-after=3", "delay-after=3:", "delay-after=:50",
                          "delay-after=3:x"})
    EXPECT_FALSE(parseI2cFaults(bad)) << bad;
}

TEST(I2cProtocol, RepliesAndLogLines) {
  I2cServerCore core(I2cFaults{});
  Registers regs = powerOnRegisters(1);
  StatusPins none{};
  struct Row {
    unsigned msg;
    std::uint32_t sub, lp, reply;
    const char* log;
  } rows[] = {
      {WM_I2C_WRITE, 0x0A, 0x3FF, 0xAA00, "write 0a ff ack"},
      {WM_I2C_READ, 0x0A, 0, 0xAAFF, "read 0a ff ack"},
      {WM_I2C_WRITE, 0x1B, 0x12, 0xAA00, "write 1b 12 ack"},
      {WM_I2C_READ, 0x00, 0, 0xAA10, "read 00 10 ack"},
      {WM_I2C_WRITE, 0x20, 0x12, 0, "write 20 12 nak"},
      {WM_I2C_READ, 0x1234, 0, 0, "read 1234 nak"},
  };
  for (const Row& r : rows) {
    I2cOutcome out = core.handle(r.msg, r.sub, r.lp, regs, 0, none);
    EXPECT_EQ(out.reply, r.reply) << r.log;
    EXPECT_EQ(out.logLine, r.log);
    EXPECT_FALSE(out.hang || out.exitAfterReply);
  }
  EXPECT_EQ(regs[0x1B], 0x00) << "status bytes are not written";
}

TEST(I2cProtocol, InjectedFaultsCountEveryRequest) {
  StatusPins none{};
  Registers regs = powerOnRegisters(1);
  I2cFaults nak;
  nak.nakAfter = 1;
  I2cServerCore a(nak);
  EXPECT_EQ(a.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none).reply, 0xAA80u);
  I2cOutcome refused = a.handle(WM_I2C_WRITE, 0x0A, 0x11, regs, 0, none);
  EXPECT_EQ(refused.reply, 0u);
  EXPECT_EQ(regs[0x0A], 0x80) << "a refused write changes nothing";

  I2cFaults exit;
  exit.exitAfter = 2;
  I2cServerCore b(exit);
  EXPECT_FALSE(b.handle(WM_I2C_READ, 0x40, 0, regs, 0, none).exitAfterReply);  // bad requests count too
  EXPECT_TRUE(b.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none).exitAfterReply);

  I2cFaults hang;
  hang.hangAfter = 1;
  I2cServerCore c(hang);
  EXPECT_FALSE(c.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none).hang);
  EXPECT_TRUE(c.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none).hang);

  I2cFaults slow;
  slow.delayAfter = 1;
  slow.delayMs = 2000;
  I2cServerCore d(slow);
  EXPECT_EQ(d.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none).delayMs, 0u);
  I2cOutcome late = d.handle(WM_I2C_WRITE, 0x0A, 0x81, regs, 0, none);
  EXPECT_EQ(late.delayMs, 2000u);
  EXPECT_EQ(late.reply, 0xAA00u) << "a slow answer is still an answer";
  EXPECT_EQ(d.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none).delayMs, 2000u);
}

TEST(I2cProtocol, NoisyRepliesKeepOnlyTheAcknowledgeAndTheReadValueClean) {
  I2cFaults noisy;
  noisy.noisy = true;
  I2cServerCore core(noisy);
  Registers regs = powerOnRegisters(1);
  StatusPins none{};
  std::uint32_t ored = 0;
  for (int i = 0; i < 4; ++i) {
    I2cOutcome w = core.handle(WM_I2C_WRITE, 0x0A, 0x40 + i, regs, 0, none);
    EXPECT_EQ((w.reply >> 8) & 0xFF, I2C_ACK);
    EXPECT_NE(w.reply & 0xFF, 0u) << "a write reply's low byte is garbage";
    EXPECT_EQ(w.logLine, "write 0a " + hex2(0x40 + i) + " ack");
    I2cOutcome r = core.handle(WM_I2C_READ, 0x0A, 0, regs, 0, none);
    EXPECT_EQ(r.reply & 0xFFFF, 0xAA00u | (0x40 + i));
    EXPECT_NE(r.reply >> 16, 0u);
    ored |= w.reply | r.reply;
  }
  EXPECT_EQ(ored >> 16, 0xFFFFu) << "every ignored high bit is set by some reply";
}

TEST(I2cProtocol, BadAckRefusesOnlyRequestNWith0x55) {
  I2cFaults bad;
  bad.badAck = 2;
  I2cServerCore core(bad);
  Registers regs = powerOnRegisters(1);
  StatusPins none{};
  EXPECT_EQ(core.handle(WM_I2C_READ, 0x0B, 0, regs, 0, none).reply, 0xAA47u);
  I2cOutcome refused = core.handle(WM_I2C_WRITE, 0x0B, 0x11, regs, 0, none);
  EXPECT_EQ(refused.reply, 0x5500u);
  EXPECT_EQ(refused.logLine, "write 0b 11 nak");
  EXPECT_EQ(regs[0x0B], 0x47) << "a refused write changes nothing";
  EXPECT_EQ(core.handle(WM_I2C_READ, 0x0B, 0, regs, 0, none).reply, 0xAA47u);

  I2cServerCore reads(bad);
  reads.handle(WM_I2C_READ, 0x0B, 0, regs, 0, none);
  I2cOutcome r = reads.handle(WM_I2C_READ, 0x0B, 0, regs, 0, none);
  EXPECT_EQ(r.reply, 0x5547u) << "the value comes with the bad acknowledge";
  EXPECT_EQ(r.logLine, "read 0b nak");
}

TEST(SecamArguments, CommandLineAndArgument) {
  EXPECT_EQ(argumentsOf("C:\\Video\\chromset.drv s53"), "s53");
  EXPECT_EQ(argumentsOf("\"C:\\My Video\\chromset.drv\"  s0a"), "s0a");
  EXPECT_EQ(argumentsOf("chromset.drv"), "");
  struct Row {
    const char* text;
    int value;  // -1: refused
  } rows[] = {{"s53", 0x53}, {"s0a", 0x0A}, {"sff", 0xFF}, {"s53 ", 0x53}, {"", -1},     {"s", -1},
              {"s5", -1},    {"S53", -1},   {"s5A", -1},   {"s5g", -1},    {"s531", -1}, {"s53 x", -1}};
  for (const Row& r : rows) {
    auto v = parseSecamArgument(r.text);
    EXPECT_EQ(v ? int(*v) : -1, r.value) << '"' << r.text << '"';
  }
}
