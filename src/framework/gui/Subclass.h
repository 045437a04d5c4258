// The one subclassing primitive: a window's procedure replaced by an object's own thunk, the
// previous procedure kept and called for whatever the object leaves. Controls, utility windows,
// the child windows of composite controls and hook components all stand on it, and it alone
// keeps the chains of our procedures on a window in order. The framework's own message numbers
// (CM_*, CN_*) never reach a handler through it: inside the program they travel by Perform.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <type_traits>

#include "Messages.h"
#include "Thunks.h"
#include "rtl/Lifetime.h"

namespace gui {

class TSubclass {
 public:
  // Gets every message while installed. It answers (m.Answer, or CallPrevious first and then
  // more) or leaves the message, which then goes to the previous procedure. An exception it
  // throws goes to the application's handler (the answer is 0).
  using Handler = std::function<void(TMessage& m)>;

  // A handler returns nothing: a lambda that returned whether it handled a message would be
  // taken silently, and what it meant to leave would be swallowed.
  template <class F>
  explicit TSubclass(F handler) : TSubclass(Handler(std::move(handler)), 0) {
    static_assert(std::is_void_v<std::invoke_result_t<F&, TMessage&>>, "a handler answers through m.Answer");
  }
  ~TSubclass();
  TSubclass(const TSubclass&) = delete;
  TSubclass& operator=(const TSubclass&) = delete;

  // Puts the thunk in as the window's procedure and keeps the one it replaces. Installed on
  // another window first, it leaves that one.
  void Install(HWND wnd);
  // Puts the thunk between `above` (installed) and the procedure `above` passes messages on to:
  // it then sees what `above` passes on (a probe of a window's default processing).
  void InstallUnder(TSubclass& above);
  // Takes the thunk out of the window's chain, in whatever order the window's subclasses go:
  // at the top the previous procedure goes back in; under another of ours, that one skips us.
  // Under a foreign procedure that may still call us, the thunk's address stays valid as a pure
  // pass-through to the previous procedure until the process ends (it is never freed).
  void Uninstall();
  bool Installed() const { return wnd_ != nullptr; }
  HWND Window() const { return wnd_; }
  // The thunk's address: what the window's procedure is while this subclass is at the top.
  WNDPROC Proc() const { return thunk_->Proc(); }
  WNDPROC Previous() const { return previous_; }

  LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) const;
  // Passes m on and answers it with what the previous procedure returned.
  void CallPrevious(TMessage& m) const { m.Answer(CallPrevious(m.Msg, m.WParam, m.LParam)); }

  // The subclass of ours whose thunk is the window's procedure now, if any.
  static TSubclass* Top(HWND wnd);

 private:
  TSubclass(Handler handler, int);
  static LRESULT CALLBACK Dispatch(void* object, UINT msg, WPARAM wParam, LPARAM lParam);
  void Forget();

  Handler handler_;
  std::unique_ptr<TWndProcThunk> thunk_;
  HWND wnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  rtl::TLifetime lifetime_;  // a handler may free its own subclass
};

}  // namespace gui
