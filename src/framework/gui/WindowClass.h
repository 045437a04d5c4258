// The program's own window classes, registered on first use.
#pragma once

#include <windows.h>

namespace gui {

// Registers the class `name` of the program's module with `proc` unless it is registered already.
// A class lives as long as the module: nothing to unregister. No class icon: a class given one
// has the platform make a small copy of it at once, about a millisecond and a half under Wine;
// a window that shows an icon answers WM_GETICON instead.
inline void EnsureWindowClass(const char* name, WNDPROC proc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (GetClassInfoA(instance, name, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

}  // namespace gui
