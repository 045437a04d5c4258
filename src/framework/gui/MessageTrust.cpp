#include "MessageTrust.h"

#include <algorithm>
#include <vector>

#include "ExceptionHook.h"
#include "Messages.h"
#include "Subclass.h"
#include "WindowClass.h"

namespace gui {

bool IsFrameworkMessage(UINT msg) { return msg >= CM_BASE && msg <= CN_LAST; }

bool IsReadableMemory(const void* p, size_t n) {
  if (!p || n == 0) return false;
  auto begin = reinterpret_cast<uintptr_t>(p);
  if (begin + n < begin) return false;
  for (uintptr_t at = begin; at < begin + n;) {
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) || info.State != MEM_COMMIT) return false;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(info.Protect & readable) || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return false;
    at = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

namespace {

// The components waiting for their release, each with the token that tells whether it still
// exists when the message comes.
struct TPendingRelease {
  rtl::TComponent* component;
  rtl::TAliveToken alive;
};

thread_local std::vector<TPendingRelease> g_pending;
thread_local HWND g_releaseWindow = nullptr;

// A window procedure of its own, not a subclass: it takes only CM_RELEASE, and a forged one
// frees nothing that was not already waiting.
LRESULT CALLBACK ReleaseProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != CM_RELEASE) return DefWindowProcA(wnd, msg, wParam, lParam);
  std::vector<TPendingRelease> due;
  due.swap(g_pending);
  for (TPendingRelease& p : due) {
    if (!p.alive) continue;
    try {
      p.component->Free();
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
  return 0;
}

HWND ReleaseWindow() {
  if (g_releaseWindow && IsWindow(g_releaseWindow)) return g_releaseWindow;
  static const char* kClass = "TessalineReleaseWindow";
  HINSTANCE instance = GetModuleHandleA(nullptr);
  EnsureWindowClass(kClass, ReleaseProc);
  // Message-only: it is never shown and hears no broadcasts.
  g_releaseWindow = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  return g_releaseWindow;
}

// WM_SYSTIMER, the platform's own timer message (caret blinking): dispatched the same way.
constexpr UINT kSystemTimerMessage = 0x0118;

thread_local HHOOK g_queueGuard = nullptr;
thread_local int g_queueGuards = 0;

LRESULT CALLBACK QueueGuard(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG& msg = *reinterpret_cast<MSG*>(lParam);
    if ((msg.message == WM_TIMER || msg.message == kSystemTimerMessage) && msg.lParam && IsFrameworkWindow(msg.hwnd)) {
      msg.message = WM_NULL;  // nothing left to dispatch
      msg.lParam = 0;
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

void GuardThreadQueue() {
  if (g_queueGuards++ == 0) g_queueGuard = SetWindowsHookExA(WH_GETMESSAGE, &QueueGuard, nullptr, GetCurrentThreadId());
}

void UnguardThreadQueue() {
  if (g_queueGuards == 0 || --g_queueGuards > 0) return;
  if (g_queueGuard) UnhookWindowsHookEx(g_queueGuard);
  g_queueGuard = nullptr;
}

bool IsFrameworkWindow(HWND wnd) { return wnd && (wnd == g_releaseWindow || TSubclass::Top(wnd) != nullptr); }

void ReleaseLater(rtl::TComponent* component) {
  if (!component) return;
  auto same = [component](const TPendingRelease& p) { return p.alive && p.component == component; };
  if (std::none_of(g_pending.begin(), g_pending.end(), same)) g_pending.push_back({component, component->AliveToken()});
  if (HWND wnd = ReleaseWindow()) PostMessageA(wnd, CM_RELEASE, 0, 0);
}

}  // namespace gui
