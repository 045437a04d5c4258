// The yardstick of the start-up benchmark: the least a program with Tessaline's window needs, a
// bare Win32 window of the same client size (508 by 161) with a single border and a menu bar of
// two items, shown centred; it paints its background and ends when closed.
//
//   bare_window [LAUNCH_TICKS OUT_FILE]
// With the two arguments (as bench_startup gives them) it also writes down when main began,
// when its window was made, and when it was shown and painted, as startup_profile does.
#include <windows.h>

#include "LaunchMarks.h"

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
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = self;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "E&xit");
  AppendMenuA(menu, MF_STRING, 2, "About");
  const DWORD style = WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  RECT r{0, 0, 508, 161};
  AdjustWindowRectEx(&r, style, TRUE, 0);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HWND wnd = CreateWindowExA(0, "BareWindow", "Bare window", style, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                             (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr, menu, self, nullptr);
  Mark("class, menu and window made");
  ShowWindow(wnd, SW_SHOWNORMAL);
  UpdateWindow(wnd);
  Mark("shown and painted");
  launchmarks::FinishAtIdle(wnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
