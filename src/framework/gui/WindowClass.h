// The program's own window classes, registered on first use.
#pragma once

#include <windows.h>

namespace gui {

// Registers the class `name` of the program's module with `proc` (and `icon`) unless it is
// registered already. A class lives as long as the module: nothing to unregister.
inline void EnsureWindowClass(const char* name, WNDPROC proc, HICON icon = nullptr) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (GetClassInfoA(instance, name, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

}  // namespace gui
