#include "Subclass.h"

#include <algorithm>
#include <map>
#include <vector>

#include "ExceptionHook.h"
#include "MessageTrust.h"

namespace gui {

namespace {

// Our subclasses of each window, in the order they were installed (the last is nearest the top).
std::map<HWND, std::vector<TSubclass*>>& Chains() {
  static std::map<HWND, std::vector<TSubclass*>> chains;
  return chains;
}

WNDPROC CurrentProc(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }

// What a thunk left under a foreign procedure calls from then on.
struct Orphan {
  WNDPROC previous;
  HWND wnd;
};

LRESULT CALLBACK OrphanProc(void* object, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* o = static_cast<Orphan*>(object);
  return CallWindowProcA(o->previous, o->wnd, msg, wParam, lParam);
}

}  // namespace

TSubclass::TSubclass(Handler handler, int)
    : handler_(std::move(handler)), thunk_(std::make_unique<TWndProcThunk>(this, &TSubclass::Dispatch)) {}

TSubclass::~TSubclass() {
  lifetime_.End();
  Uninstall();
}

void TSubclass::Install(HWND wnd) {
  if (wnd == wnd_) return;
  Uninstall();
  wnd_ = wnd;
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk_->Proc())));
  Chains()[wnd].push_back(this);
}

void TSubclass::InstallUnder(TSubclass& above) {
  if (!above.wnd_ || &above == this) return;
  Uninstall();
  wnd_ = above.wnd_;
  previous_ = above.previous_;
  above.previous_ = thunk_->Proc();
  // The chain is kept in installation order, nearest the top last: this one sits below `above`.
  auto& chain = Chains()[wnd_];
  chain.insert(std::find(chain.begin(), chain.end(), &above), this);
}

void TSubclass::Uninstall() {
  if (!wnd_) return;
  HWND wnd = wnd_;
  auto& chain = Chains()[wnd];
  if (CurrentProc(wnd) == thunk_->Proc()) {
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  } else {
    auto above = std::find_if(chain.begin(), chain.end(), [&](TSubclass* s) { return s->previous_ == thunk_->Proc(); });
    if (above != chain.end()) {
      (*above)->previous_ = previous_;
    } else if (IsWindow(wnd)) {
      // A foreign procedure holds our address: it stays callable, passing everything on.
      thunk_->Retarget(new Orphan{previous_, wnd}, &OrphanProc);
      (void)thunk_.release();
      thunk_ = std::make_unique<TWndProcThunk>(this, &TSubclass::Dispatch);
    }
  }
  Forget();
}

void TSubclass::Forget() {
  auto it = Chains().find(wnd_);
  if (it != Chains().end()) {
    std::erase(it->second, this);
    if (it->second.empty()) Chains().erase(it);
  }
  wnd_ = nullptr;
  previous_ = nullptr;
}

TSubclass* TSubclass::Top(HWND wnd) {
  auto it = Chains().find(wnd);
  if (it == Chains().end()) return nullptr;
  WNDPROC current = CurrentProc(wnd);
  for (TSubclass* s : it->second)
    if (s->thunk_->Proc() == current) return s;
  return nullptr;
}

LRESULT TSubclass::CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (!wnd_ || !previous_) return 0;
  return CallWindowProcA(previous_, wnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TSubclass::Dispatch(void* object, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The framework's own numbers travel by Perform only: through a window, one came from outside.
  if (IsFrameworkMessage(msg)) return 0;
  auto* self = static_cast<TSubclass*>(object);
  HWND wnd = self->wnd_;
  TMessage m{msg, wParam, lParam};
  rtl::TAliveToken alive = self->lifetime_.Token();  // a handler may free its own subclass
  try {
    if (self->handler_) self->handler_(m);
    // What the handler left goes on below, unless the handler freed this subclass (and what it
    // served) on the way.
    if (!m.Handled && alive) self->CallPrevious(m);
  } catch (...) {
    // Never let an exception unwind through the platform's frames.
    HandleException(std::current_exception());
    m.Result = 0;
  }
  if (!alive) return m.Result;
  // The window is gone after its last message: nothing to put back.
  if (msg == WM_NCDESTROY && self->wnd_ == wnd) self->Forget();
  return m.Result;
}

}  // namespace gui
