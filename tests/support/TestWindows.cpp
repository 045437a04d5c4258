#include "TestWindows.h"

#include <algorithm>
#include <cstdio>

namespace tsupport {

namespace {

TMessageObserver g_observer;

bool HandleOne(const TMessageObserver& each) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  if (each) each(msg);
  if (g_observer) g_observer(msg);
  return true;
}

}  // namespace

void SetPumpObserver(TMessageObserver observer) { g_observer = std::move(observer); }

void Pump() {
  while (HandleOne(nullptr)) {
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const TMessageObserver& each) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    if (HandleOne(each)) continue;
    // MWMO_INPUTAVAILABLE: input seen by an earlier peek but not yet removed also wakes us.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

TPlainWindow::TPlainWindow(WNDPROC proc) {
  // A class per procedure: a class name registered once keeps its first procedure.
  char name[40];
  std::snprintf(name, sizeof name, "TessPlain%p", reinterpret_cast<void*>(proc));
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
  wnd_ = CreateWindowExA(0, name, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

TPlainWindow::~TPlainWindow() {
  if (IsWindow(wnd_)) DestroyWindow(wnd_);
}

bool BringToFront(HWND wnd) {
  SetForegroundWindow(wnd);
  const bool ours = GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId();
  return PumpUntil(
      [&] { return GetForegroundWindow() == wnd && (!ours || HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0); }, 1000);
}

HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs, DWORD pid) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        for (HWND w = FindWindowExA(nullptr, nullptr, cls, title); w && !found; w = FindWindowExA(nullptr, w, cls, title)) {
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          if (IsWindowVisible(w) && (!pid || owner == pid)) found = w;
        }
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

}  // namespace tsupport
