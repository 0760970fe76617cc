// The simulated picture: standards, colour controls, pattern and the clipboard DIB; and the
// capture stand-in's settings texts and log lines.
#include <gtest/gtest.h>

#include <cstdlib>

#include "simcard/capture_rules.h"
#include "simcard/picture_rules.h"

using namespace simcard;

namespace {
int luma(Rgb c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }
bool grey(Rgb c) { return c.r == c.g && c.g == c.b; }
}  // namespace

TEST(PictureRules, StandardsAndFrameSizes) {
  struct Row {
    std::uint8_t reg08, reg0e;
    const char* name;
    int height, fps;
  } rows[] = {{0x88, 0x01, "PAL", 576, 25},  {0xC8, 0x01, "NTSC", 480, 30}, {0x88, 0x53, "SECAM", 576, 25},
              {0xC8, 0x31, "PAL M", 480, 30}, {0x88, 0x41, "RESERVED", 576, 25}};
  for (const Row& r : rows) {
    Registers regs = powerOnRegisters(1);
    regs[0x08] = r.reg08;
    regs[0x0E] = r.reg0e;
    VideoStandard s = videoStandard(regs);
    EXPECT_STREQ(s.name, r.name);
    EXPECT_EQ(s.width, 720);
    EXPECT_EQ(s.height, r.height);
    EXPECT_EQ(s.fps, r.fps);
  }
}

TEST(PictureRules, ControlsFromRegisters) {
  Registers regs = powerOnRegisters(1);
  PictureControls c = pictureControls(regs);
  EXPECT_EQ(c.brightness, 128);
  EXPECT_EQ(c.contrast, 71);
  EXPECT_EQ(c.saturation, 64);
  EXPECT_EQ(c.hue, 0);
  EXPECT_FALSE(c.colour) << "COLO is off at power-on";
  regs[0x11] |= 1;
  regs[0x0D] = 0x80;
  EXPECT_TRUE(pictureControls(regs).colour);
  EXPECT_EQ(pictureControls(regs).hue, -128);
  regs[0x0E] = 0x61;  // reserved standard
  EXPECT_FALSE(pictureControls(regs).colour);
}

TEST(PictureRules, ColourControls) {
  const Rgb colours[] = {{191, 191, 0}, {0, 191, 191}, {191, 0, 0}, {0, 0, 191}, {128, 128, 128}, {0, 0, 0}};
  PictureControls nominal;
  for (Rgb in : colours) {
    Rgb out = adjustColour(in, nominal);
    EXPECT_LE(std::abs(out.r - in.r) + std::abs(out.g - in.g) + std::abs(out.b - in.b), 3)
        << int(in.r) << "," << int(in.g) << "," << int(in.b);
  }
  struct Row {
    const char* what;
    PictureControls c;
    int lumaChange;  // sign of the change of luma for a mid-grey-ish colour
    bool grey;
  } rows[] = {
      {"brighter", {255, 71, 64, 0, true}, +1, false},  {"darker", {0, 71, 64, 0, true}, -1, false},
      {"more contrast", {128, 127, 64, 0, true}, +1, false}, {"no colour", {128, 71, 64, 0, false}, 0, true},
      {"no saturation", {128, 71, 0, 0, true}, 0, true},
  };
  Rgb red = {191, 0, 0};
  for (const Row& r : rows) {
    Rgb out = adjustColour(red, r.c);
    int change = luma(out) - luma(red);
    if (r.lumaChange > 0) {
      EXPECT_GT(change, 20) << r.what;
    } else if (r.lumaChange < 0) {
      EXPECT_LT(change, -20) << r.what;
    } else {
      EXPECT_LE(std::abs(change), 2) << r.what;
    }
    EXPECT_EQ(grey(out), r.grey) << r.what;
  }
  Rgb turned = adjustColour(red, {128, 71, 64, 64, true});  // a quarter turn of hue
  EXPECT_GT(std::abs(turned.g - red.g) + std::abs(turned.b - red.b), 60);
}

TEST(PictureRules, PatternBandsAndMovingElement) {
  const int w = 720, h = 576, stride = 720;
  std::vector<std::uint8_t> frame(stride * h, 0xEE);
  PatternLayout l = patternLayout(w, h, 0, 25);
  renderPattern(frame.data(), w, h, stride, l);
  EXPECT_EQ(frame[l.barsBottom * stride - 1], kBarBase + 7);
  EXPECT_EQ(frame[(l.barsBottom - 1) * stride], l.moverX == 0 && l.moverY + l.moverSize >= l.barsBottom ? kMover : kBarBase);
  EXPECT_EQ(frame[l.barsBottom * stride], 0);                         // ramp starts black
  EXPECT_EQ(frame[l.barsBottom * stride + w - 1], kWhite);           // and ends white
  EXPECT_EQ(frame[(h - 1) * stride + w / 2], kBlack);                // caption band
  EXPECT_EQ(frame[l.moverY * stride + l.moverX], kMover);
  for (unsigned f : {0u, 25u, 50u, 75u, 99u}) {
    PatternLayout m = patternLayout(w, h, f, 25);
    EXPECT_GE(m.moverX, 0);
    EXPECT_LE(m.moverX + m.moverSize, w);
  }
  EXPECT_NE(patternLayout(w, h, 10, 25).moverX, patternLayout(w, h, 11, 25).moverX) << "moves every frame";
  EXPECT_EQ(patternLayout(w, h, 0, 25).moverX, patternLayout(w, h, 100, 25).moverX) << "period 4 s";
  renderPattern(frame.data(), 0, 0, 0, patternLayout(0, 0, 3, 25));  // an empty frame is harmless
}

TEST(PictureRules, PackedDibIsBottomUp24BitOfTheFrameSize) {
  const int w = 5, h = 2, stride = 8;
  std::vector<std::uint8_t> frame(stride * h, kBlack);
  frame[0] = kBarBase + 5;  // top-left red bar colour
  std::vector<std::uint8_t> dib = packedDib24(frame.data(), w, h, stride, basePalette());
  const std::size_t rowBytes = 16;  // 15 rounded up to 4
  ASSERT_EQ(dib.size(), 40 + rowBytes * h);
  EXPECT_EQ(dib[0], 40);
  EXPECT_EQ(dib[4], w);
  EXPECT_EQ(dib[8], h);
  EXPECT_EQ(dib[14], 24);
  const std::uint8_t* topRow = dib.data() + 40 + rowBytes;  // last in the file
  EXPECT_EQ(topRow[0], 0);    // blue
  EXPECT_EQ(topRow[1], 0);    // green
  EXPECT_EQ(topRow[2], 191);  // red
  EXPECT_EQ(dib[40 + 2], 0);
}

TEST(CaptureRules, FaultsDialogsAndLogLines) {
  auto f = parseCaptureFaults("no-driver,no-scale");
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->noDriver && f->noScale);
  EXPECT_FALSE(f->noWindow || f->noCaps || f->noOverlay);
  EXPECT_FALSE(parseCaptureFaults("no-drivers"));
  struct Row {
    const char* text;
    bool ok, source, format, display;
  } rows[] = {{"source,format,display", true, true, true, true}, {"format", true, false, true, false},
              {"", true, false, false, false}, {"none", true, false, false, false}, {"sources", false, 0, 0, 0}};
  for (const Row& r : rows) {
    auto d = parseCaptureDialogs(r.text);
    ASSERT_EQ(d.has_value(), r.ok) << r.text;
    if (d) {
      EXPECT_TRUE(d->source == r.source && d->format == r.format && d->display == r.display) << r.text;
    }
  }
  EXPECT_EQ(captureLogLine(0x0433, 1, 1), "SET_OVERLAY 1 -> 1");
  EXPECT_EQ(captureLogLine(0x040E, 44, 1), "DRIVER_GET_CAPS 44 -> 1");
  EXPECT_EQ(captureLogLine(0x040A, 1, 0), "DRIVER_CONNECT 1 -> 0");
  EXPECT_EQ(captureLogLine(0x0450, 0, 0), "MESSAGE_450 0 -> 0");
}
