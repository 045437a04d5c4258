#include "EntryTest.h"

#include <iterator>
#include <mutex>

#include "ImportPatch.h"
#include "entry/EcTimer.h"

namespace entrytest {

namespace {

uint32_t g_now = 0;
uint32_t FakeNow() { return g_now; }

using SetTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
using KillTimerFn = BOOL(WINAPI*)(HWND, UINT_PTR);
SetTimerFn o_SetTimer = nullptr;
KillTimerFn o_KillTimer = nullptr;

UINT_PTR WINAPI h_SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  ++TTimerCalls::setTimerCalls;
  return TTimerCalls::refuseSetTimer ? 0 : o_SetTimer(wnd, id, elapse, proc);
}

BOOL WINAPI h_KillTimer(HWND wnd, UINT_PTR id) {
  ++TTimerCalls::killTimerCalls;
  return o_KillTimer(wnd, id);
}

}  // namespace

TFakeTicks::TFakeTicks(uint32_t start) {
  g_now = start;
  ec::SetTickCountSource(&FakeNow);
}
TFakeTicks::~TFakeTicks() { ec::SetTickCountSource(nullptr); }
void TFakeTicks::Set(uint32_t now) { g_now = now; }
uint32_t TFakeTicks::Now() const { return g_now; }

void TTimerCalls::Install() {
  static std::once_flag once;
  std::call_once(once, [] {
    const tsupport::ImportHook hooks[] = {
        {"SetTimer", reinterpret_cast<void*>(&h_SetTimer), reinterpret_cast<void**>(&o_SetTimer)},
        {"KillTimer", reinterpret_cast<void*>(&h_KillTimer), reinterpret_cast<void**>(&o_KillTimer)},
    };
    tsupport::PatchImports(GetModuleHandleA(nullptr), hooks, std::size(hooks));
  });
}

}  // namespace entrytest
