// shooter.exe FOLDER: the README's screenshots. Each scene's window is cut out of a picture
// of the whole screen once it is painted and saved as FOLDER/<scene>.png (FOLDER a Unix path).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/wine/harness/harness.h"
#include "tools/shots/picture.h"
#include "tools/shots/scenes.h"

using namespace harness;
using namespace shots;

namespace {

// When a scene's window is fully painted: the live picture once it shows colour; the still
// windows once two shots in a row are alike (and the viewer's dialogs have their white frame).
bool painted(const std::string& scene, const Picture& previous, const Picture& current) {
  if (scene == "viewer") return colourfulPixels(current) > static_cast<size_t>(current.width * current.height / 20);
  if (current.rgb != previous.rgb || distinctColours(current) < 4) return false;
  return scene == "editor" || whiteEdges(current);
}

bool shoot(const std::string& scene, HWND window, const std::string& folder) {
  const std::string screen = "/tmp/vt-shooter-" + std::to_string(GetCurrentProcessId()) + ".ppm";
  const RECT w = windowRect(window);
  const Rect r{w.left, w.top, w.right, w.bottom};
  Picture previous;
  const bool ready = waitFor([&] {
    if (!screenshot(screen)) return false;
    Picture current = crop(parsePpm(readFile(unixToWindows(screen))), r);
    const bool done = painted(scene, previous, current);
    previous = std::move(current);
    return done;
  }, 2 * kWait);
  const std::string geometry = std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" +
                               std::to_string(r.left) + "+" + std::to_string(r.top);
  const bool saved = ready && runUnix("/usr/bin/convert", "'" + screen + "' -crop " + geometry +
                                                              " +repage -strip -define png:exclude-chunks=date,time '" +
                                                              folder + "/" + scene + ".png'") == 0;
  DeleteFileA(unixToWindows(screen).c_str());
  if (!saved) std::fprintf(stderr, "screenshots: no picture of the %s\n", scene.c_str());
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: shooter.exe UNIX-FOLDER\n");
    return 2;
  }
  bool saved = true;
  const bool opened = visitScenes([&](const char* scene, HWND window) { saved = shoot(scene, window, argv[1]) && saved; });
  return opened && saved ? 0 : 1;
}
