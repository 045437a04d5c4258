// The timer component with real WM_TIMER from the message loop, in form resources and owned by
// a control; and the release-later of utility windows.
#include <gtest/gtest.h>

#include <string>

#include "FormStreams.h"
#include "Forms.h"
#include "MessageRecorder.h"
#include "TestWindows.h"
#include "Timer.h"

using namespace gui;
using namespace tsupport;

namespace {

struct Ticks : rtl::TObject {
  int count = 0;
  rtl::TObject* sender = nullptr;
  UINT dispatched = 0;  // the message the loop was handling at the tick
  const MSG* current = nullptr;
  void Tick(rtl::TObject* s) {
    ++count;
    sender = s;
    if (current) dispatched = current->message;
  }
};

}  // namespace

TEST(Timer, TicksFromTheMessageLoopUntilDisabled) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  MSG last{};
  host.app.OnMessage = [&](MSG& m) {
    last = m;
    return false;
  };
  auto* timer = new TTimer(form);
  EXPECT_EQ(timer->Interval(), 1000);
  EXPECT_TRUE(timer->Enabled());
  Ticks ticks;
  ticks.current = &last;
  timer->OnTimer.Bind(&ticks, &Ticks::Tick);
  timer->SetInterval(15);
  Sleep(40);
  EXPECT_EQ(ticks.count, 0) << "only the message loop delivers ticks";
  DWORD start = GetTickCount();
  while (ticks.count < 3 && GetTickCount() - start < 5000) host.app.HandleMessage();
  EXPECT_GE(ticks.count, 3);
  EXPECT_EQ(ticks.sender, timer);
  EXPECT_EQ(ticks.dispatched, static_cast<UINT>(WM_TIMER));

  timer->SetEnabled(false);
  int then = ticks.count;
  PumpFor(80);
  EXPECT_EQ(ticks.count, then);
  timer->SetEnabled(true);
  timer->SetInterval(0);
  PumpFor(80);
  EXPECT_EQ(ticks.count, then) << "interval 0: no timer";
}

TEST(Timer, AFormResourceSetsItUpAndItStartsOnceLoaded) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  LoadFormText(form,
               "object Host: TForm\n"
               "  object Fast: TTimer\n"
               "    Interval = 20\n"
               "  end\n"
               "  object Off: TTimer\n"
               "    Enabled = False\n"
               "    Interval = 20\n"
               "  end\n"
               "  object Usual: TTimer\n"
               "  end\n"
               "end\n");
  auto* fast = rtl::As<TTimer>(form->FindComponent("Fast"));
  auto* off = rtl::As<TTimer>(form->FindComponent("Off"));
  ASSERT_TRUE(fast && off);
  Ticks fastTicks, offTicks;
  fast->OnTimer.Bind(&fastTicks, &Ticks::Tick);
  off->OnTimer.Bind(&offTicks, &Ticks::Tick);
  PumpFor(200);  // the 1000 ms of a timer that ignored what was read would not tick yet
  EXPECT_GE(fastTicks.count, 2);
  EXPECT_EQ(offTicks.count, 0);

  std::string text = FormText(form);
  std::string usual = text.substr(text.find("object Usual"));
  EXPECT_EQ(usual.find("Interval"), std::string::npos) << "defaults are not stored\n" << text;
  EXPECT_EQ(usual.find("Enabled"), std::string::npos) << text;
  EXPECT_NE(text.find("Enabled = False"), std::string::npos) << text;
}

namespace {
int g_blinks = 0;
// A control that owns a timer of its own.
class TBlinker : public TGraphicControl {
 public:
  explicit TBlinker(rtl::TComponent* owner) : TGraphicControl(owner), timer_(new TTimer(this)) {
    timer_->SetInterval(10);
    timer_->OnTimer.Bind(this, &TBlinker::Blink);
  }
  void Blink(rtl::TObject*) { ++g_blinks; }

 private:
  TTimer* timer_;
};
}  // namespace

TEST(Timer, AControlOwnsOneAndItGoesWithTheControl) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  auto* blinker = new TBlinker(form);
  g_blinks = 0;
  PumpFor(100);
  EXPECT_GE(g_blinks, 2);
  blinker->Free();
  int then = g_blinks;
  PumpFor(60);
  EXPECT_EQ(g_blinks, then);
}

TEST(Timer, AHandlerMayFreeItsOwnTimer) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  auto* timer = new TTimer(form);
  timer->SetInterval(10);
  struct SelfFree : rtl::TObject {
    int ticks = 0;
    void Tick(rtl::TObject* sender) {
      ++ticks;
      static_cast<TTimer*>(sender)->Free();
    }
  } handler;
  timer->OnTimer.Bind(&handler, &SelfFree::Tick);
  PumpFor(100);
  EXPECT_EQ(handler.ticks, 1);
  EXPECT_EQ(form->ComponentCount(), 0);
}

// --------------------------------------------------------------------------- release-later

TEST(UtilWindow, ReleasedFromInsideItsOwnProcedureItGoesWhenThatHasReturned) {
  std::unique_ptr<TUtilWindow> window;
  int handled = 0;
  window = std::make_unique<TUtilWindow>([&](TMessage& m) {
    if (m.Msg < WM_APP) return;
    ++handled;
    if (m.Msg == WM_APP) {
      HWND wnd = window->Handle();
      TUtilWindow::Release(std::move(window));
      SendMessageA(wnd, WM_APP + 1, 0, 0);  // still there, but no longer ours to hear
      SendMessageA(wnd, WM_APP + 2, 0, 0);
    }
    m.Answer(5);
  });
  HWND wnd = window->Handle();
  TMessageRecorder rec;
  rec.Watch(wnd, "util");
  rec.Only({WM_APP, WM_APP + 1, WM_APP + 2, WM_DESTROY, WM_NCDESTROY});
  EXPECT_EQ(SendMessageA(wnd, WM_APP, 0, 0), 5);
  EXPECT_FALSE(window);
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(IsWindow(wnd)) << "gone once its procedure returned";
  EXPECT_TRUE(rec.Matches({{WM_APP, sent},
                           {WM_APP + 1, sent},
                           {WM_APP + 1, defwinproc},
                           {WM_APP + 2, sent},
                           {WM_APP + 2, defwinproc},
                           {WM_DESTROY, sent},
                           {WM_DESTROY, defwinproc},
                           {WM_NCDESTROY, sent},
                           {WM_NCDESTROY, defwinproc}}));
}

TEST(UtilWindow, ReleasedFromOutsideItGoesAtOnce) {
  int handled = 0;
  auto window = std::make_unique<TUtilWindow>([&](TMessage&) { ++handled; });
  HWND wnd = window->Handle();
  TUtilWindow::Release(std::move(window));
  EXPECT_FALSE(IsWindow(wnd));
}
