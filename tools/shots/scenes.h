// The four windows the README shows, opened as a user opens them on the simulated card with
// colour on: the register editor with COLO ticked, then the viewer, its Volume panel and its
// Help box. The screenshot tool photographs them; its test measures them.
#pragma once
#include <windows.h>

#include <functional>

namespace shots {

// Called with each scene's name ("editor", "viewer", "volume", "help") and its window while
// the window is on the screen, in front.
using SceneVisit = std::function<void(const char* name, HWND window)>;

// Opens the scenes one after the other in a fresh copy of the delivery folder and calls visit
// for each; false, with the reason on stderr, when a window did not come up.
bool visitScenes(const SceneVisit& visit);

}  // namespace shots
