#include "tools/shots/scenes.h"

#include <cstdio>

#include "regedit/resource.h"
#include "tests/wine/harness/harness.h"
#include "tests/wine/regedit/editor_bench.h"
#include "tests/wine/viewer/viewer_session.h"

using namespace harness;

namespace shots {
namespace {

bool fail(const char* what) {
  std::fprintf(stderr, "screenshots: %s\n", what);
  return false;
}

// The editor with the decoder's colour switched on (COLO ticked by a click), once its status
// groups show that the chip decodes colour (CODE = 1).
bool editorScene(Sandbox& box, const SceneVisit& visit) {
  bench::Editor editor = bench::startEditor(box);
  if (!editor.dialog) return fail("the register editor did not open");
  HWND colo = editor.item(IDC_COLO);
  if (SendMessageA(colo, BM_GETCHECK, 0, 0) != BST_CHECKED) bench::clickControl(colo);
  if (!waitFor([&] { return editor.text(IDC_STATUS_FIRST) == "1"; }))
    return fail("the editor's CODE status did not show colour");
  moveMouse(0, GetSystemMetrics(SM_CYSCREEN) - 1);  // away from the controls it would highlight
  visit("editor", editor.dialog);
  PostMessageA(editor.dialog, WM_COMMAND, IDC_EXIT, 0);
  return editor.process.waitExit() == 0 || fail("the register editor did not close");
}

// A dialog of the viewer opened by a key, at a point of the screen clear of the main window.
bool viewerDialogScene(const viewer_test::Viewer& viewer, const char* name, WORD key, const SceneVisit& visit) {
  bringToFront(viewer.window);
  moveMouse(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 3);
  pressKey(viewer.window, key);
  HWND dialog = waitProcessWindow(viewer.process.id(), "#32770");
  if (!dialog) return fail(name);
  visit(name, dialog);
  pressKey(dialog, VK_ESCAPE);
  return waitFor([&] { return !IsWindow(dialog); }) || fail(name);
}

bool viewerScenes(Sandbox& box, const SceneVisit& visit) {
  viewer_test::Viewer viewer = viewer_test::startViewer(box);
  if (!viewer.window) return fail("the viewer did not open");
  bringToFront(viewer.window);
  visit("viewer", viewer.window);
  bool ok = viewerDialogScene(viewer, "volume", 'V', visit) && viewerDialogScene(viewer, "help", VK_F1, visit);
  return viewer_test::closeViewer(viewer) == 0 && ok;
}

}  // namespace

bool visitScenes(const SceneVisit& visit) {
  // Fixed text-slicer and status bytes, so that the editor's picture holds still.
  ScopedEnv status("SIMCARD_STATUS", "1A:0F,1B:D6,1C:58");
  Sandbox box;
  return editorScene(box, visit) && viewerScenes(box, visit);
}

}  // namespace shots
