// The steps of a yardstick program's start, written down for bench_startup's breakdown: with
// the arguments LAUNCH_TICKS OUT_FILE, each Mark writes a step's name, its start and its length
// in milliseconds from the launch (the format startup_profile writes too).
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace launchmarks {

inline LONGLONG g_launch = 0;
inline FILE* g_out = nullptr;
inline double g_last = 0;

// Takes the arguments when both are there; true when the steps are written down.
inline bool Start(int argc, char** argv) {
  if (argc != 3) return false;
  g_launch = std::strtoll(argv[1], nullptr, 10);
  g_out = std::fopen(argv[2], "w");
  return g_out != nullptr;
}

inline void Mark(const char* step) {
  if (!g_out) return;
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  double now = static_cast<double>(t.QuadPart - g_launch) * 1000.0 / static_cast<double>(f.QuadPart);
  std::fprintf(g_out, "%s\t%.3f\t%.3f\n", step, g_last, now - g_last);
  g_last = now;
}

// Handles what is queued (the first idle moment comes when the queue is empty), writes the last
// step and asks the window to close.
inline void FinishAtIdle(HWND wnd) {
  if (!g_out) return;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Mark("until the first idle moment");
  std::fclose(g_out);
  g_out = nullptr;
  PostMessageA(wnd, WM_CLOSE, 0, 0);
}

}  // namespace launchmarks
