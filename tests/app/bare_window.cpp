// The yardstick of the start-up benchmark: the least a program with Tessaline's window needs, a
// bare Win32 window of the same client size (508 by 161) with a single border and a menu bar of
// two items, shown centred; it paints its background and ends when closed.
//
//   bare_window [LAUNCH_TICKS OUT_FILE]
// With the two arguments (as bench_startup gives them) it also writes down when main began,
// when its window was made, and when it was shown and painted, as startup_profile does.
#include <windows.h>

#include "LaunchMarks.h"
#include "Yardstick.h"

namespace {

using launchmarks::Mark;

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE self, HINSTANCE, LPSTR, int) {
  launchmarks::Start(__argc, __argv);
  Mark("process start and DLLs loaded, until main");
  HWND wnd = yardstick::MakeMenuWindow(self, "BareWindow", "Bare window", Proc,
                                       WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  Mark("class, menu and window made");
  ShowWindow(wnd, SW_SHOWNORMAL);
  UpdateWindow(wnd);
  Mark("shown and painted");
  launchmarks::FinishAtIdle(wnd);
  return yardstick::RunLoop();
}
