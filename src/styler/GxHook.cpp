#include "GxHook.h"

#include <algorithm>

#include "rtl/Exceptions.h"

namespace styler {

RTL_IMPLEMENT_CLASS(TGxWndProcComponent);

namespace {

// Exists only while it holds a component.
std::unique_ptr<std::vector<TGxWndProcComponent*>> g_hookRegistry;

gui::TForm* RequireForm(rtl::TComponent* owner) {
  auto* form = rtl::As<gui::TForm>(owner);
  if (!form) throw rtl::Exception("Owner must be a Form");
  return form;
}

}  // namespace

TGxWndProcComponent::TGxWndProcComponent(rtl::TComponent* owner)
    : TGxNonVisualComponent(owner), subclass_([this](gui::TMessage& m) { Dispatch(m); }) {
  ownerForm_ = RequireForm(owner);
}

TGxWndProcComponent::~TGxWndProcComponent() { UnhookWindow(); }

const std::vector<TGxWndProcComponent*>* TGxWndProcComponent::HookRegistry() { return g_hookRegistry.get(); }

void TGxWndProcComponent::HookWindow() {
  if (hooked_ || !ownerForm_) return;
  hookedHandle_ = ownerForm_->Handle();
  subclass_.Install(hookedHandle_);
  if (!g_hookRegistry) g_hookRegistry = std::make_unique<std::vector<TGxWndProcComponent*>>();
  g_hookRegistry->push_back(this);
  hooked_ = true;
}

void TGxWndProcComponent::UnhookWindow() {
  if (!hooked_) return;
  hooked_ = false;
  if (g_hookRegistry) {
    std::erase(*g_hookRegistry, this);
    if (g_hookRegistry->empty()) g_hookRegistry.reset();
  }
  if (!hookedHandle_) return;
  // A hook chained behind this one now calls past it; at the top the replaced procedure goes back.
  subclass_.Uninstall();
  hookedHandle_ = nullptr;
}

void TGxWndProcComponent::HookWndProc(gui::TMessage& m) { m.Answer(CallPrevWndProc(m.Msg, m.WParam, m.LParam)); }

LRESULT TGxWndProcComponent::CallPrevWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hooked_) return 0;
  return subclass_.CallPrevious(msg, wParam, lParam);
}

void TGxWndProcComponent::Dispatch(gui::TMessage& m) {
  HWND wnd = hookedHandle_;
  rtl::TAliveToken alive = AliveToken();  // the form may free its components while handling a message
  HookWndProc(m);
  // The window is gone after its last message: the hook ends with it.
  if (alive && m.Msg == WM_NCDESTROY && hooked_ && hookedHandle_ == wnd) UnhookWindow();
}

}  // namespace styler
