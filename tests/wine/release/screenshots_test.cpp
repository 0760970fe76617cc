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
  }
  runUnix("/bin/rm", "-rf '" + folder + "'");
}

}  // namespace
