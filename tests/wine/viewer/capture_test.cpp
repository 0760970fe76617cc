// The capture window as the simulated card's capture service sees it: the messages the
// viewer sends, in their order, for start-up, freeze, grab and shutdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/harness/log_lines.h"
#include "tests/wine/viewer/viewer_session.h"

using namespace harness;
using namespace viewer_test;

namespace {

// The capture log's lines that record a capture message or the window's life (not its sizes).
std::vector<std::string> captureMessages(const Sandbox& box) {
  std::vector<std::string> lines;
  for (const std::string& line : completeLines(box.log("capture.log")))
    if (line.rfind("size ", 0) != 0) lines.push_back(line);
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

bool waitLogLines(const Sandbox& box, size_t count) {
  return waitFor([&] { return captureMessages(box).size() >= count; });
}

TEST(ViewerCapture, StartUpAndShutdownSendTheCaptureMessagesInOrder) {
  Sandbox box;
  Viewer v = startViewer(box, iniLines({"[Position]", "w=400", "h=320"}));
  ASSERT_NE(v.window, nullptr);
  EXPECT_EQ(joined(captureMessages(box)), "create 0 0 400 320\n"
                                          "DRIVER_CONNECT 0 -> 1\n"
                                          "DRIVER_GET_CAPS 44 -> 1\n"
                                          "SET_OVERLAY 1 -> 1\n"
                                          "SET_SCALE 1 -> 1\n");
  EXPECT_EQ(closeViewer(v), 0);
  std::vector<std::string> lines = captureMessages(box);
  ASSERT_EQ(lines.size(), 7u) << joined(lines);
  EXPECT_EQ(lines[5], "DRIVER_DISCONNECT 0 -> 1");
  EXPECT_EQ(lines[6], "destroy");
}

// Space freezes by grabbing a frame and unfreezes by turning overlay on again; G grabs a
// frame to the clipboard without touching the freeze state, with or without Ctrl; while
// frozen it copies the frame already grabbed.
TEST(ViewerCapture, FreezeUnfreezeAndGrabToClipboard) {
  Sandbox box;
  Viewer v = startViewer(box);
  ASSERT_NE(v.window, nullptr);
  ASSERT_TRUE(waitLogLines(box, 5));
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  struct Step {
    WORD key;
    std::vector<WORD> modifiers;
    std::vector<std::string> sent;
  } steps[] = {
      {VK_SPACE, {}, {"GRAB_FRAME 0 -> 1"}},
      {'G', {}, {"EDIT_COPY 0 -> 1"}},
      {VK_SPACE, {}, {"SET_OVERLAY 1 -> 1"}},
      {'G', {VK_CONTROL}, {"GRAB_FRAME_NOSTOP 0 -> 1", "EDIT_COPY 0 -> 1"}},
      {VK_SPACE, {}, {"GRAB_FRAME 0 -> 1"}},
  };
  size_t count = captureMessages(box).size();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.sent.front());
    pressKey(v.window, step.key, step.modifiers);
    ASSERT_TRUE(waitLogLines(box, count + step.sent.size())) << joined(captureMessages(box));
    std::vector<std::string> lines = captureMessages(box);
    std::vector<std::string> added(lines.begin() + count, lines.end());
    EXPECT_EQ(added, step.sent);
    count = lines.size();
  }
  std::vector<unsigned char> dib = clipboardDib();
  ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER)) << "no frame on the clipboard";
  BITMAPINFOHEADER header;
  memcpy(&header, dib.data(), sizeof header);
  EXPECT_EQ(header.biWidth, 720);
  EXPECT_EQ(std::abs(header.biHeight), 576);
  EXPECT_EQ(closeViewer(v), 0);
}

// How many pixels of a packed 24-bit bottom-up DIB differ from the screen at (left, top).
int pixelsDifferingFromScreen(const std::vector<unsigned char>& dib, const ScreenPixels& screen, POINT at) {
  BITMAPINFOHEADER h;
  memcpy(&h, dib.data(), sizeof h);
  const size_t stride = (h.biWidth * 3 + 3) & ~3u;
  if (h.biBitCount != 24 || dib.size() < sizeof h + stride * h.biHeight) return -1;
  int differing = 0;
  for (int y = 0; y < h.biHeight; ++y) {
    const unsigned char* row = dib.data() + sizeof h + stride * (h.biHeight - 1 - y);
    for (int x = 0; x < h.biWidth; ++x)
      differing += screen.at(at.x + x, at.y + y) != RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  }
  return differing;
}

std::vector<unsigned char> grabToClipboard(HWND viewer) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  pressKey(viewer, 'G');
  std::vector<unsigned char> dib;
  waitFor([&] { return (dib = clipboardDib()).size() > sizeof(BITMAPINFOHEADER); });
  return dib;
}

// The frozen picture is what a grab copies, however long after the freeze and however often;
// unfrozen, a grab takes a new frame. The window shows the frame unscaled (720 x 576), so
// the clipboard's picture and the screen's are compared pixel by pixel.
TEST(ViewerCapture, GrabWhileFrozenCopiesThePictureOnScreen) {
  Sandbox box;
  Viewer v = startViewer(box, iniLines({"[Position]", "x=0", "y=0", "w=720", "h=576"}));
  ASSERT_NE(v.window, nullptr);
  ASSERT_TRUE(waitLogLines(box, 5));
  HWND capture = GetWindow(v.window, GW_CHILD);
  ASSERT_NE(capture, nullptr);
  POINT origin{0, 0};
  ClientToScreen(capture, &origin);
  pressKey(v.window, VK_SPACE);
  ASSERT_TRUE(waitLogLines(box, 6));
  std::vector<unsigned char> frozen;
  for (int grab = 0; grab < 2; ++grab) {
    SCOPED_TRACE(grab);
    const DWORD since = GetTickCount();
    waitFor([&] { return GetTickCount() - since > 600; });  // the card's picture moves on meanwhile
    std::vector<unsigned char> dib = grabToClipboard(v.window);
    ASSERT_GT(dib.size(), sizeof(BITMAPINFOHEADER));
    ScreenPixels screen = screenPixels();
    ASSERT_GT(screen.width, 0);
    EXPECT_EQ(pixelsDifferingFromScreen(dib, screen, origin), 0);
    if (grab == 0) frozen = dib;
    EXPECT_TRUE(dib == frozen) << "the second grab copies the same frame";
  }
  pressKey(v.window, VK_SPACE);
  ASSERT_TRUE(waitLogLines(box, 9));
  EXPECT_FALSE(grabToClipboard(v.window) == frozen) << "unfrozen, a grab takes a new frame";
  EXPECT_EQ(closeViewer(v), 0);
}

}  // namespace
