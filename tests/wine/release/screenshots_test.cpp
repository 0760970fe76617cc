// tools/screenshots as the README uses it: one picture per scene, each showing its window
// (the viewer's in colour) and exactly as large as that window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>

#include "tests/wine/harness/harness.h"
#include "tools/shots/picture.h"
#include "tools/shots/scenes.h"

using namespace harness;
using namespace shots;

namespace {

// The pixels of a PNG, read through ImageMagick.
Picture pngPicture(const std::string& png) {
  const std::string ppm = png + ".ppm";
  if (runUnix("/usr/bin/convert", "'" + png + "' -depth 8 '" + ppm + "'") != 0) return {};
  Picture p = parsePpm(readFile(unixToWindows(ppm)));
  DeleteFileA(unixToWindows(ppm).c_str());
  return p;
}

// Width and height from a PNG's header; 0 x 0 when the bytes are no PNG.
SIZE pngSize(const std::string& png) {
  if (png.size() < 24 || png.compare(1, 3, "PNG") != 0) return {0, 0};
  auto number = [&](size_t at) {
    return static_cast<LONG>(static_cast<unsigned char>(png[at]) << 24 | static_cast<unsigned char>(png[at + 1]) << 16 |
                             static_cast<unsigned char>(png[at + 2]) << 8 | static_cast<unsigned char>(png[at + 3]));
  };
  return {number(16), number(20)};
}

TEST(Screenshots, EachPictureShowsItsWholeWindowAndTheViewersInColour) {
  const std::string folder = "/tmp/vt-screenshots-" + std::to_string(GetCurrentProcessId());
  // A Unix program started from Wine gets a Windows PATH and no WINEDLLOVERRIDES: give the
  // script the ones tools/wine-run sets.
  const std::string script = std::string(std::getenv("VT_SOURCE")) + "/tools/screenshots";
  ASSERT_EQ(runUnix("/usr/bin/env", "PATH=/usr/local/bin:/usr/bin:/bin WINEDLLOVERRIDES=avicap32=n '" + script + "' '" +
                                        folder + "'", 12 * kWait),
            0);

  std::map<std::string, SIZE> windows;
  ASSERT_TRUE(visitScenes([&](const char* scene, HWND w) {
    const RECT r = windowRect(w);
    windows[scene] = {r.right - r.left, r.bottom - r.top};
  }));
  ASSERT_EQ(windows.size(), 4u);
  for (const auto& [scene, size] : windows) {
    SCOPED_TRACE(scene);
    const Picture p = pngPicture(folder + "/" + scene + ".png");
    EXPECT_EQ(p.width, size.cx);
    EXPECT_EQ(p.height, size.cy);
    EXPECT_GE(distinctColours(p), 4u);
    if (scene == "volume" || scene == "help") {
      EXPECT_TRUE(whiteEdges(p)) << "the dialog's white frame, all round";
    }
    if (scene == "viewer") {
      EXPECT_GT(colourfulPixels(p), static_cast<size_t>(p.width * p.height / 20));
    }
    // The README's picture, as committed, has the size of a fresh one: a window that grew or
    // shrank since is a stale picture.
    const SIZE committed =
        pngSize(readFile(unixToWindows(std::string(std::getenv("VT_SOURCE")) + "/docs/images/" + scene + ".png")));
    const SIZE fresh = pngSize(readFile(unixToWindows(folder + "/" + scene + ".png")));
    EXPECT_TRUE(committed.cx == fresh.cx && committed.cy == fresh.cy)
        << "docs/images/" << scene << ".png is " << committed.cx << " x " << committed.cy << ", a fresh picture "
        << fresh.cx << " x " << fresh.cy << ": take the pictures again with tools/screenshots";
  }
  runUnix("/bin/rm", "-rf '" + folder + "'");
}

}  // namespace
