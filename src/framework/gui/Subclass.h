// The one subclassing primitive: a window's procedure replaced by an object's own thunk, the
// previous procedure kept and called for whatever the object passes on. Controls, utility windows,
// the child windows of composite controls and hook components all stand on it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "Messages.h"
#include "Thunks.h"

namespace gui {

class TSubclass {
 public:
  // Gets every message while installed and sets m.Result; it passes a message on with
  // CallPrevious. An exception it throws goes to the application's handler (the answer is 0).
  using Handler = std::function<void(TMessage& m)>;

  explicit TSubclass(Handler handler);
  ~TSubclass();
  TSubclass(const TSubclass&) = delete;
  TSubclass& operator=(const TSubclass&) = delete;

  // Puts the thunk in as the window's procedure and keeps the one it replaces. Installed on
  // another window first, it leaves that one.
  void Install(HWND wnd);
  // Takes the thunk out of the window's chain, in whatever order the window's subclasses go:
  // at the top the previous procedure goes back in; under another of ours, that one skips us.
  // Under a foreign procedure that may still call us, the thunk's address stays valid as a pure
  // pass-through to the previous procedure until the process ends (it is never freed).
  void Uninstall();
  // Leaves the window without touching any procedure: for a caller that has already taken this
  // thunk out of the window's chain (a hook registry that re-linked the hook above it with
  // SetPrevious).
  void Detach() { Forget(); }
  bool Installed() const { return wnd_ != nullptr; }
  HWND Window() const { return wnd_; }
  // The thunk's address: what the window's procedure is while this subclass is at the top.
  WNDPROC Proc() const { return thunk_->Proc(); }
  WNDPROC Previous() const { return previous_; }
  // For a window created with a class procedure that installs the subclass from its first
  // message: the procedure to pass messages on to from then on.
  void SetPrevious(WNDPROC proc) { previous_ = proc; }

  LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) const;
  // Passes m on and stores the answer in m.Result.
  void CallPrevious(TMessage& m) const { m.Result = CallPrevious(m.Msg, m.WParam, m.LParam); }

  // The subclass of ours whose thunk is the window's procedure now, if any.
  static TSubclass* Top(HWND wnd);

 private:
  static LRESULT CALLBACK Dispatch(void* object, UINT msg, WPARAM wParam, LPARAM lParam);
  void Forget();

  Handler handler_;
  std::unique_ptr<TWndProcThunk> thunk_;
  HWND wnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace gui
