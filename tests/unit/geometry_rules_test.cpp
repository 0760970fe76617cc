// Arithmetic of the viewer's window geometry: aspect drag, restore, predefined sizes,
// keyboard stretch, placement and the size title.
#include "viewer/geometry_rules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr ScreenSize kExtra{8, 27};  // window minus client, as a frame with a caption has it

ScreenRect windowFor(int left, int top, int clientWidth, int clientHeight) {
  return {left, top, left + clientWidth + kExtra.width, top + clientHeight + kExtra.height};
}

::testing::AssertionResult clientIs(ScreenRect r, int width, int height) {
  int w = r.right - r.left - kExtra.width, h = r.bottom - r.top - kExtra.height;
  if (w == width && h == height) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "client " << w << "x" << h << ", expected " << width << "x" << height;
}

TEST(HasFrameAspect, PalAndNtsc) {
  struct Row {
    int w, h;
    bool ntsc, expected;
  } rows[] = {
      {720, 576, false, true}, {360, 288, false, true}, {625, 500, false, true}, {700, 500, false, false},
      {5, 4, false, true},     {720, 574, false, false}, {720, 480, true, true}, {630, 420, true, true},
      {720, 576, true, false}, {3, 2, true, true},       {631, 421, true, false},
      {360, 290, false, false}, {360, 241, true, false},  // 290 / 4 * 5 and 241 / 2 * 3 are 360
  };
  for (const Row& r : rows)
    EXPECT_EQ(hasFrameAspect(r.w, r.h, r.ntsc), r.expected) << r.w << "x" << r.h << " ntsc " << r.ntsc;
}

// Every edge and corner: the client comes out at the aspect ratio and the edges opposite the
// dragged ones stay where they were.
TEST(AspectDrag, EveryEdgeKeepsTheOppositeEdgesAndTheRatio) {
  struct Row {
    int edge;
    int clientW, clientH;  // implied by the dragged rectangle
    bool ntsc;
    int expectedW, expectedH;
  } rows[] = {
      {kEdgeLeft, 503, 100, false, 500, 400},         // width leads
      {kEdgeRight, 503, 700, false, 500, 400},        //
      {kEdgeTop, 100, 403, false, 500, 400},          // height leads
      {kEdgeBottom, 100, 403, false, 500, 400},       //
      {kEdgeTopLeft, 700, 203, false, 250, 200},      //
      {kEdgeTopRight, 700, 203, false, 250, 200},     //
      {kEdgeBottomLeft, 10, 401, false, 500, 400},    //
      {kEdgeBottomRight, 10, 401, false, 500, 400},   //
      {kEdgeRight, 359, 100, true, 357, 238},         // NTSC: 3q x 2q
      {kEdgeBottomRight, 10, 421, true, 630, 420},    //
      {kEdgeLeft, 4, 300, false, 0, 0},               // below one step: nothing left of the client
  };
  for (const Row& r : rows) {
    ScreenRect dragged = windowFor(100, 200, r.clientW, r.clientH);
    ScreenRect got = aspectDragRect(dragged, r.edge, kExtra, r.ntsc);
    SCOPED_TRACE(testing::Message() << "edge " << r.edge << " from " << r.clientW << "x" << r.clientH);
    EXPECT_TRUE(clientIs(got, r.expectedW, r.expectedH));
    bool left = r.edge == kEdgeLeft || r.edge == kEdgeTopLeft || r.edge == kEdgeBottomLeft;
    bool top = r.edge == kEdgeTop || r.edge == kEdgeTopLeft || r.edge == kEdgeTopRight;
    EXPECT_EQ(left ? got.right : got.left, left ? dragged.right : dragged.left);
    EXPECT_EQ(top ? got.bottom : got.top, top ? dragged.bottom : dragged.top);
  }
}

TEST(AspectDrag, BottomRightCornerGives5qBy4qForEveryHeight) {
  for (int h = 96; h <= 576; ++h) {
    ScreenRect dragged = windowFor(-30, 40, 700, h);
    ScreenRect got = aspectDragRect(dragged, kEdgeBottomRight, kExtra, false);
    int q = h / 4;
    ASSERT_TRUE(clientIs(got, 5 * q, 4 * q)) << "height " << h;
    ASSERT_EQ(got.left, -30);
    ASSERT_EQ(got.top, 40);
  }
}

TEST(RestoreAspect, HeightLeadsAndIsOnlyReduced) {
  struct Row {
    ScreenSize client;
    bool ntsc;
    ScreenSize expected;
  } rows[] = {
      {{700, 500}, false, {625, 500}}, {{700, 421}, true, {630, 420}}, {{720, 576}, false, {720, 576}},
      {{120, 99}, false, {120, 96}},   {{100, 576}, false, {720, 576}}, {{720, 480}, true, {720, 480}},
      {{0, 0}, false, {0, 0}},
  };
  for (const Row& r : rows) {
    ScreenSize got = restoredAspectClient(r.client, r.ntsc);
    EXPECT_EQ(got, r.expected) << r.client.width << "x" << r.client.height << " ntsc " << r.ntsc << " gave "
                               << got.width << "x" << got.height;
  }
}

TEST(PredefinedSize, FrameDividedByTheDivisor) {
  struct Row {
    int divisor;
    ScreenSize pal, ntsc;
  } rows[] = {
      {1, {720, 576}, {720, 480}},
      {2, {360, 288}, {360, 240}},
      {4, {180, 144}, {180, 120}},
      {6, {120, 96}, {120, 80}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(predefinedClient({720, 576}, r.divisor), r.pal) << "1:" << r.divisor;
    EXPECT_EQ(predefinedClient({720, 480}, r.divisor), r.ntsc) << "1:" << r.divisor << " ntsc";
  }
}

TEST(Stretch, RightAndBottomMoveUnlessTheSizeWouldBeNegative) {
  struct Row {
    ScreenRect window;
    int dx, dy;
    ScreenRect expected;
  } rows[] = {
      {{100, 100, 468, 415}, 10, 0, {100, 100, 478, 415}},
      {{100, 100, 468, 415}, 0, -10, {100, 100, 468, 405}},
      {{100, 100, 468, 415}, -1, 1, {100, 100, 467, 416}},
      {{-400, -300, 5, 3}, -10, -10, {-400, -300, -5, -7}},  // edges may become negative
      {{-400, -300, -10, -5}, 1, 1, {-400, -300, -9, -4}},    // and stretch from there
      {{100, 100, 105, 103}, -10, -10, {100, 100, 105, 103}},  // a negative size: that edge stays
      {{100, 100, 110, 110}, -10, -10, {100, 100, 100, 100}},  // zero is allowed
      {{-400, -300, -395, -270}, -10, -10, {-400, -300, -395, -280}},
  };
  for (const Row& r : rows) {
    ScreenRect got = stretchedRect(r.window, r.dx, r.dy);
    EXPECT_EQ(got, r.expected) << "step " << r.dx << "," << r.dy << " gave " << got.left << "," << got.top << ","
                               << got.right << "," << got.bottom;
  }
}

TEST(Placement, CornersAndCentre) {
  ScreenRect area{0, 0, 1024, 738};  // a work area above a taskbar
  ScreenSize window{368, 315};
  struct Row {
    unsigned key;
    ScreenPoint expected;
  } rows[] = {
      {kKeyHome, {0, 0}},          {kKeyPageUp, {656, 0}},     {kKeyEnd, {0, 423}},
      {kKeyPageDown, {656, 423}},  {kKeyClear, {328, 211}},
  };
  for (const Row& r : rows) {
    ScreenPoint got{-1, -1};
    ASSERT_TRUE(placedCorner(area, window, r.key, &got)) << r.key;
    EXPECT_EQ(got, r.expected) << "key " << r.key << " gave " << got.x << "," << got.y;
  }
}

TEST(Placement, CentreHalvesTowardMinusInfinity) {
  struct Row {
    ScreenRect area;
    ScreenSize window;
    ScreenPoint expected;
  } rows[] = {
      {{0, 0, 1024, 738}, {728, 603}, {148, 67}},      // odd room: rounded down
      {{0, 0, 1024, 500}, {728, 603}, {148, -52}},     // taller than the area: -103 / 2 -> -52
      {{0, 0, 700, 500}, {728, 603}, {-14, -52}},      // larger both ways
      {{100, 50, 1124, 788}, {728, 603}, {248, 117}},  // an area not at the origin
      {{0, 0, 1024, 768}, {1024, 768}, {0, 0}},
  };
  for (const Row& r : rows) {
    ScreenPoint got{};
    ASSERT_TRUE(placedCorner(r.area, r.window, kKeyClear, &got));
    EXPECT_EQ(got, r.expected) << "gave " << got.x << "," << got.y;
    // The overhang (or gap) above and below differ by at most one pixel.
    int above = r.area.top - got.y, below = got.y + r.window.height - r.area.bottom;
    EXPECT_GE(above - below, 0);
    EXPECT_LE(above - below, 1);
  }
}

TEST(Placement, OtherKeysAreNotPlacements) {
  ScreenPoint got{7, 7};
  for (unsigned key : {0x25u, 0x0Du, 0x24u + 0x100u, 0u}) {
    EXPECT_FALSE(placedCorner({0, 0, 800, 600}, {100, 100}, key, &got)) << key;
    EXPECT_EQ(got, (ScreenPoint{7, 7}));
  }
}

TEST(SizeTitle, WindowedFullScreenAndTooSmallABuffer) {
  char title[100];
  ASSERT_TRUE(formatSizeTitle(title, sizeof title, 720, 576, false));
  EXPECT_STREQ(title, "Vistrel (720x576)");
  ASSERT_TRUE(formatSizeTitle(title, sizeof title, 0, 0, false));
  EXPECT_STREQ(title, "Vistrel (0x0)");
  ASSERT_TRUE(formatSizeTitle(title, sizeof title, 1024, 768, true));
  EXPECT_STREQ(title, "Vistrel (full-screen)");
  ASSERT_TRUE(formatSizeTitle(title, sizeof title, -2147483647 - 1, -2147483647 - 1, false));
  EXPECT_STREQ(title, "Vistrel (-2147483648x-2147483648)");

  char small[17];
  EXPECT_TRUE(formatSizeTitle(small, sizeof small, 1, 1, false));  // "Vistrel (1x1)" fits
  EXPECT_FALSE(formatSizeTitle(small, sizeof small, 720, 576, false));
  EXPECT_STREQ(small, "");
  EXPECT_FALSE(formatSizeTitle(small, sizeof small, 0, 0, true));
}

}  // namespace
