// What the start-up benchmark's yardstick programs share: the window Tessaline's main window
// would be without its contents, and the message loop.
#pragma once

#include <windows.h>

namespace yardstick {

// A hidden top-level window of a class of its own with the main window's menu (E&xit, About) and
// client size (508 by 161), centred on the screen.
inline HWND MakeMenuWindow(HINSTANCE self, const char* cls, const char* title, WNDPROC proc, DWORD style) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = self;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "E&xit");
  AppendMenuA(menu, MF_STRING, 2, "About");
  RECT r{0, 0, 508, 161};
  AdjustWindowRectEx(&r, style, TRUE, 0);
  const int w = r.right - r.left, h = r.bottom - r.top;
  return CreateWindowExA(0, cls, title, style, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr, menu, self, nullptr);
}

inline int RunLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace yardstick
