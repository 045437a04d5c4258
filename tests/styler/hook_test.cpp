// The hook component on real windows: two hooks on one window taken out in either order, the
// registry, a foreign procedure above a hook, the window's destruction, and the owner rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageRecorder.h"
#include "StylerTest.h"
#include "TestWindows.h"
#include "styler/GxHook.h"

using namespace styler;
using namespace tsupport;

namespace {

constexpr UINT kProbe = WM_APP + 11;
std::vector<std::string> g_log;

// A hook that notes its name for the probe and passes everything on.
class TNamedHook : public TGxWndProcComponent {
 public:
  TNamedHook(rtl::TComponent* owner, std::string name) : TGxWndProcComponent(owner), name_(std::move(name)) {}
  void HookWndProc(gui::TMessage& m) override {
    if (m.Msg == kProbe) g_log.push_back(name_);
    TGxWndProcComponent::HookWndProc(m);
  }

 private:
  std::string name_;
};

WNDPROC ProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }

struct Hooks : ::testing::Test, TTestForm {
  HWND wnd = form->Handle();
  WNDPROC formProc = ProcOf(wnd);  // the form's own procedure, before any hook
  TMessageRecorder rec;            // watches the form before anything hooks it
  // The form handles the probe and passes it to its default procedure.
  const std::vector<TExpectedMsg> kReachedForm{{kProbe, sent, 0, 0, form}, {kProbe, defwinproc, 0, 0, form}};

  void SetUp() override {
    rec.Watch(*form, "form");
    rec.Only({kProbe});
  }
  // The hooks the probe passes through, top first; the recorder says whether it reached the form.
  std::string Probe() {
    g_log.clear();
    rec.Clear();
    SendMessageA(wnd, kProbe, 0, 0);
    std::string s;
    for (auto& name : g_log) s += name + " ";
    if (rec.Matches(kReachedForm)) s += "form";
    return s;
  }
};

}  // namespace

TEST_F(Hooks, TwoHooksOnOneWindowTakenOutInEitherOrder) {
  for (bool firstFirst : {true, false}) {
    auto* a = new TNamedHook(form, "a");
    auto* b = new TNamedHook(form, "b");
    a->HookWindow();
    b->HookWindow();
    EXPECT_EQ(Probe(), "b a form");
    EXPECT_EQ(ProcOf(wnd), b->HookInstance());
    EXPECT_EQ(b->PrevWndProc(), a->HookInstance());
    EXPECT_EQ(a->PrevWndProc(), formProc);

    if (firstFirst) {
      // a goes from under b: b stays installed and now calls what a had replaced.
      a->UnhookWindow();
      EXPECT_EQ(ProcOf(wnd), b->HookInstance());
      EXPECT_EQ(b->PrevWndProc(), formProc);
      EXPECT_EQ(Probe(), "b form");
      b->UnhookWindow();
    } else {
      b->UnhookWindow();
      EXPECT_EQ(ProcOf(wnd), a->HookInstance());
      EXPECT_EQ(Probe(), "a form");
      a->UnhookWindow();
    }
    EXPECT_EQ(ProcOf(wnd), formProc);
    EXPECT_EQ(Probe(), "form");
    EXPECT_FALSE(a->Hooked());
    EXPECT_FALSE(b->Hooked());
    delete a;
    delete b;
  }
  // Three, the middle one taken out: the chain closes over it.
  auto *a = new TNamedHook(form, "a"), *b = new TNamedHook(form, "b"), *c = new TNamedHook(form, "c");
  for (TNamedHook* h : {a, b, c}) h->HookWindow();
  b->UnhookWindow();
  EXPECT_EQ(Probe(), "c a form");
  EXPECT_EQ(c->PrevWndProc(), a->HookInstance());
  for (TNamedHook* h : {c, b, a}) delete h;
  EXPECT_EQ(ProcOf(wnd), formProc);
}

TEST_F(Hooks, TheRegistryExistsOnlyWhileAHookIsInPlace) {
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr);
  auto* a = new TNamedHook(form, "a");
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr) << "creating does not hook";
  a->HookWindow();
  ASSERT_NE(TGxWndProcComponent::HookRegistry(), nullptr);
  EXPECT_EQ(*TGxWndProcComponent::HookRegistry(), std::vector<TGxWndProcComponent*>{a});
  a->UnhookWindow();
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr);
  a->HookWindow();
  ASSERT_NE(TGxWndProcComponent::HookRegistry(), nullptr);
  EXPECT_EQ(TGxWndProcComponent::HookRegistry()->size(), 1u);
  delete a;  // unhooks
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr);
  EXPECT_EQ(ProcOf(wnd), formProc);
}

TEST_F(Hooks, HookingTwiceHooksOnce) {
  TNamedHook a(form, "a");
  a.HookWindow();
  WNDPROC installed = ProcOf(wnd);
  a.HookWindow();
  EXPECT_EQ(ProcOf(wnd), installed);
  EXPECT_EQ(a.PrevWndProc(), formProc) << "not its own thunk";
  EXPECT_EQ(TGxWndProcComponent::HookRegistry()->size(), 1u);
  EXPECT_EQ(Probe(), "a form");
  a.UnhookWindow();
  EXPECT_EQ(ProcOf(wnd), formProc);
}

TEST_F(Hooks, UnhookedCallPrevWndProcAnswersZeroAndCallsNothing) {
  TNamedHook a(form, "a");
  rec.Clear();
  EXPECT_EQ(a.CallPrevWndProc(kProbe, 0, 0), 0);
  a.HookWindow();
  a.UnhookWindow();
  EXPECT_EQ(a.CallPrevWndProc(kProbe, 0, 0), 0);
  EXPECT_TRUE(rec.Messages().empty()) << rec.Dump();
  a.HookWindow();
  a.CallPrevWndProc(kProbe, 0, 0);
  EXPECT_TRUE(rec.Matches(kReachedForm));
}

namespace {
WNDPROC g_foreignPrevious;
LRESULT CALLBACK ForeignProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) g_log.push_back("foreign");
  return CallWindowProcA(g_foreignPrevious, wnd, msg, wParam, lParam);
}
}  // namespace

TEST_F(Hooks, AForeignProcedureAboveAHookStaysInPlaceWhenTheHookGoes) {
  {
    TNamedHook a(form, "a");
    a.HookWindow();
    g_foreignPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    a.UnhookWindow();
    EXPECT_EQ(ProcOf(wnd), &ForeignProc) << "not restored over the foreign procedure";
    EXPECT_EQ(Probe(), "foreign form");
  }
  // The hook is gone; the address the foreign procedure calls passes everything on.
  EXPECT_EQ(Probe(), "foreign form");
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
  EXPECT_EQ(Probe(), "form");
}

TEST_F(Hooks, TheWindowsDestructionEndsTheHook) {
  TNamedHook a(form, "a");
  a.HookWindow();
  form->DestroyHandle();
  EXPECT_FALSE(a.Hooked());
  EXPECT_EQ(a.HookedHandle(), nullptr);
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr);
  a.HookWindow();  // a new window for the form
  EXPECT_EQ(a.HookedHandle(), form->WindowHandle());
  EXPECT_EQ(ProcOf(form->WindowHandle()), a.HookInstance());
}

TEST(HookOwner, MustBeAForm) {
  gui::TApplication app;
  auto* plain = new rtl::TComponent(&app);
  try {
    TGxWndProcComponent hook(plain);
    FAIL() << "created";
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Owner must be a Form");
  }
  EXPECT_EQ(plain->ComponentCount(), 0) << "not left with the owner";
  EXPECT_THROW(TGxWndProcComponent(nullptr), rtl::Exception);
}
