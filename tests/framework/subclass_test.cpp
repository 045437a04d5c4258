// The subclassing primitive on real windows: chains of two, removed in either order, a foreign
// procedure on top, and a handler that frees its own subclass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Guards.h"
#include "Subclass.h"
#include "TestWindows.h"

using namespace gui;

namespace {

constexpr UINT kProbe = WM_APP + 7;
std::vector<std::string> g_log;

LRESULT CALLBACK BaseProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) {
    g_log.push_back("base");
    return 1;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

// A subclass that logs its name and passes the probe on, adding one to the answer.
struct Logger {
  std::string name;
  TSubclass sub;
  explicit Logger(std::string n)
      : name(std::move(n)), sub([this](TMessage& m) {
          if (m.Msg == kProbe) g_log.push_back(name);
          sub.CallPrevious(m);
          if (m.Msg == kProbe) m.Result += 1;
        }) {}
};

std::string Probe(HWND wnd, LRESULT* answer = nullptr) {
  g_log.clear();
  LRESULT r = SendMessageA(wnd, kProbe, 0, 0);
  if (answer) *answer = r;
  std::string s;
  for (auto& e : g_log) s += (s.empty() ? "" : " ") + e;
  return s;
}

WNDPROC ProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }

}  // namespace

TEST(Subclass, TwoSubclassesRemovedTopFirstAndBottomFirst) {
  for (bool topFirst : {true, false}) {
    tsupport::TPlainWindow wnd(BaseProc);
    ASSERT_TRUE(wnd.Handle());
    Logger a("a"), b("b");
    a.sub.Install(wnd);
    b.sub.Install(wnd);
    LRESULT answer = 0;
    EXPECT_EQ(Probe(wnd, &answer), "b a base");
    EXPECT_EQ(answer, 3);
    EXPECT_EQ(TSubclass::Top(wnd), &b.sub);

    Logger& first = topFirst ? b : a;
    Logger& second = topFirst ? a : b;
    first.sub.Uninstall();
    EXPECT_FALSE(first.sub.Installed());
    EXPECT_EQ(Probe(wnd), second.name + " base");
    EXPECT_EQ(ProcOf(wnd), second.sub.Proc());
    second.sub.Uninstall();
    EXPECT_EQ(Probe(wnd), "base");
    EXPECT_EQ(ProcOf(wnd), &BaseProc);
    EXPECT_EQ(TSubclass::Top(wnd), nullptr);
  }
}

namespace {
WNDPROC g_foreignPrevious = nullptr;
LRESULT CALLBACK ForeignProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) g_log.push_back("foreign");
  return CallWindowProcA(g_foreignPrevious, wnd, msg, wParam, lParam);
}
}  // namespace

TEST(Subclass, UnderAForeignProcedureTheAddressStaysAPassThrough) {
  tsupport::TPlainWindow wnd(BaseProc);
  {
    Logger a("a");
    a.sub.Install(wnd);
    g_foreignPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    a.sub.Uninstall();
  }
  // The object is gone; the foreign procedure still calls its old address.
  EXPECT_EQ(Probe(wnd), "foreign base");
}

TEST(Subclass, OneUnderAnotherSeesWhatThatPassesOnAndWhatItLeavesGoesOn) {
  tsupport::TPlainWindow wnd(BaseProc);
  Logger a("a");
  a.sub.Install(wnd);
  TSubclass probe([](TMessage& m) {
    if (m.Msg == kProbe) g_log.push_back("probe");  // answers nothing
  });
  probe.InstallUnder(a.sub);
  LRESULT answer = 0;
  EXPECT_EQ(Probe(wnd, &answer), "a probe base");
  EXPECT_EQ(answer, 2) << "the base answered what the probe left; a added one";
  EXPECT_EQ(ProcOf(wnd), a.sub.Proc());
  EXPECT_EQ(TSubclass::Top(wnd), &a.sub);
  probe.Uninstall();  // from under another of ours: that one skips it
  EXPECT_EQ(Probe(wnd), "a base");
  a.sub.Uninstall();
  EXPECT_EQ(ProcOf(wnd), &BaseProc);
}

TEST(Subclass, TheFrameworksOwnNumbersNeverComeThroughAWindow) {
  tsupport::TPlainWindow wnd(BaseProc);
  std::vector<UINT> seen;
  TSubclass sub([&](TMessage& m) {
    if (m.Msg >= WM_APP) seen.push_back(m.Msg);
  });
  sub.Install(wnd);
  // Any program can send or post these: they travel only by Perform inside the program.
  for (UINT msg : {UINT(CM_BASE), UINT(CM_RELEASE), UINT(CN_DRAWITEM), UINT(CN_NOTIFY), UINT(CN_LAST)}) {
    EXPECT_EQ(SendMessageA(wnd, msg, 0, 0x10), 0);
    PostMessageA(wnd, msg, 0, 0x10);
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  SendMessageA(wnd, CM_BASE - 1, 0, 0);
  SendMessageA(wnd, CN_LAST + 1, 0, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{CM_BASE - 1, CN_LAST + 1})) << "only the numbers around the range";
}

TEST(Subclass, AThunksPageIsNeverWritableAndExecutableAtOnce) {
  tsupport::TPlainWindow wnd(BaseProc);
  {
    Logger a("a"), b("b");
    a.sub.Install(wnd);
    b.sub.Install(wnd);
    a.sub.Uninstall();  // rewrites nothing of its own, b's chain is re-linked
    for (WNDPROC proc : {a.sub.Proc(), b.sub.Proc()}) {
      MEMORY_BASIC_INFORMATION info{};
      ASSERT_TRUE(VirtualQuery(reinterpret_cast<void*>(proc), &info, sizeof info));
      EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
    }
    EXPECT_EQ(Probe(wnd), "b base");
  }
}

TEST(Subclass, NotInstalledCallsNothingAndAnswersZero) {
  Logger a("a");
  g_log.clear();
  EXPECT_EQ(a.sub.CallPrevious(kProbe, 0, 0), 0);
  EXPECT_TRUE(g_log.empty());
}

TEST(Subclass, AHandlerMayFreeItsOwnSubclass) {
  tsupport::TPlainWindow wnd(BaseProc);
  std::unique_ptr<TSubclass> sub;
  sub = std::make_unique<TSubclass>([&](TMessage& m) {
    sub->CallPrevious(m);
    if (m.Msg == kProbe) sub.reset();  // uninstalls from inside its own dispatch
  });
  sub->Install(wnd);
  LRESULT answer = 0;
  EXPECT_EQ(Probe(wnd, &answer), "base");
  EXPECT_EQ(answer, 1);
  EXPECT_FALSE(sub);
  EXPECT_EQ(ProcOf(wnd), &BaseProc);
}

TEST(Subclass, TheWindowsDestructionEndsTheSubclass) {
  tsupport::TPlainWindow wnd(BaseProc);
  Logger a("a");
  a.sub.Install(wnd);
  DestroyWindow(wnd);
  EXPECT_FALSE(a.sub.Installed());
  EXPECT_EQ(TSubclass::Top(wnd), nullptr);
}

TEST(Guards, ClipRegionPutsBackTheClipItFound) {
  TMemoryDC dc;
  TBitmapHandle bmp(CreateCompatibleBitmap(TScreenDC(), 20, 20));
  TSelectObject sel(dc, bmp);
  RECT r;
  {
    TClipRegion clip(dc);  // no clip at first
    clip.Intersect(RECT{2, 2, 5, 5});
    GetClipBox(dc, &r);
    EXPECT_EQ(r.right, 5);
  }
  GetClipBox(dc, &r);
  EXPECT_EQ(r.right, 20);
  IntersectClipRect(dc, 0, 0, 10, 10);
  {
    TClipRegion clip(dc);
    clip.Intersect(RECT{0, 0, 3, 3});
  }
  GetClipBox(dc, &r);
  EXPECT_EQ(r.right, 10);
}
