// The window-procedure hook component: a non-visual component owned by a form that puts its own
// procedure in front of the form window's, so that a descendant sees every message of the window
// before the form does and decides what to pass on. Several hooks on one window may be removed
// in any order: the framework's subclass re-links the chain when one leaves from under another.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "Subclass.h"
#include "bitmapbtn/GxObj.h"

namespace styler {

class TGxWndProcComponent : public bitmapbtn::TGxNonVisualComponent {
  RTL_CLASS(TGxWndProcComponent, bitmapbtn::TGxNonVisualComponent)
 public:
  // Raises "Owner must be a Form" unless the owner is a form. Does not hook.
  explicit TGxWndProcComponent(rtl::TComponent* owner);
  ~TGxWndProcComponent() override;

  // Puts the hook in front of the form window's procedure (making the window when there is none
  // yet); nothing when it is already in place.
  virtual void HookWindow();
  // Takes the hook out: a hook chained behind this one is re-linked past it, otherwise the
  // replaced procedure goes back in.
  virtual void UnhookWindow();
  // Every message of the hooked window; this one passes it on (CallPrevWndProc) and answers with
  // what came back.
  virtual void HookWndProc(gui::TMessage& m);
  // The procedure the hook replaced, with the hooked window; 0 and nothing called while unhooked.
  virtual LRESULT CallPrevWndProc(UINT msg, WPARAM wParam, LPARAM lParam);

  bool Hooked() const { return hooked_; }
  HWND HookedHandle() const { return hookedHandle_; }
  gui::TForm* OwnerForm() const { return ownerForm_; }
  // The procedure the hook replaced, and the hook's own address (this component's thunk).
  WNDPROC PrevWndProc() const { return subclass_.Previous(); }
  WNDPROC HookInstance() const { return subclass_.Proc(); }

  // Every component whose hook is in place, in the order they hooked; none while it is empty.
  static const std::vector<TGxWndProcComponent*>* HookRegistry();

 private:
  void Dispatch(gui::TMessage& m);

  gui::TSubclass subclass_;
  HWND hookedHandle_ = nullptr;
  gui::TForm* ownerForm_ = nullptr;
  bool hooked_ = false;
};

}  // namespace styler
