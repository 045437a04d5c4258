// The timer pool: handles, the interval it chooses, real WM_TIMER delivery, due triggers with a
// set tick count (wrapped and overdue), refused timers and failing handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "EntryTest.h"
#include "FreedMemory.h"
#include "entry/EcBase.h"
#include "ExceptionHook.h"
#include "entry/EcExcept.h"
#include "entry/EcTimer.h"

using namespace ec;
using entrytest::PumpFor;
using entrytest::PumpUntil;
using entrytest::TFakeTicks;
using entrytest::TTimerCalls;

namespace {

struct TFiring {
  rtl::TObject* sender;
  std::string who;
  int handle;
  uint32_t interval;
  int elapsedTime;
};

// Records every firing, and what a handler should do while it runs.
struct TRecorder : rtl::TObject {
  std::vector<TFiring> log;
  std::function<void(int handle)> action;
  void Record(rtl::TObject* sender, const char* who, int handle, uint32_t interval, int elapsed) {
    log.push_back({sender, who, handle, interval, elapsed});
    if (action) action(handle);
  }
  void A(rtl::TObject* s, int h, uint32_t i, int e) { Record(s, "A", h, i, e); }
  void B(rtl::TObject* s, int h, uint32_t i, int e) { Record(s, "B", h, i, e); }
  void C(rtl::TObject* s, int h, uint32_t i, int e) { Record(s, "C", h, i, e); }
  void All(rtl::TObject* s, int h, uint32_t i, int e) { Record(s, "all", h, i, e); }
  TTriggerEvent OnA() { return TTriggerEvent(this, &TRecorder::A); }
  TTriggerEvent OnB() { return TTriggerEvent(this, &TRecorder::B); }
  TTriggerEvent OnC() { return TTriggerEvent(this, &TRecorder::C); }
  std::string Order() const {
    std::string s;
    for (auto& f : log) s += (s.empty() ? "" : " ") + f.who;
    return s;
  }
};

// A pool that notes when each timer message reached it.
class TTickedPool : public TEcTimerPool {
 public:
  using TEcTimerPool::TEcTimerPool;
  std::vector<DWORD> ticks;
  void DoTimer() override {
    ticks.push_back(GetTickCount());
    TEcTimerPool::DoTimer();
  }
  DWORD MedianGap() const {
    std::vector<DWORD> gaps;
    for (size_t i = 1; i < ticks.size(); ++i) gaps.push_back(ticks[i] - ticks[i - 1]);
    if (gaps.empty()) return 0;
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2];
  }
};

bool WindowTimerRuns(HWND wnd) { return KillTimer(wnd, 1) != FALSE; }

struct TimerPool : ::testing::Test {
  void SetUp() override {
    TTimerCalls::Install();
    TTimerCalls::refuseSetTimer = false;
  }
  void TearDown() override { TTimerCalls::refuseSetTimer = false; }
  TRecorder rec;
};

}  // namespace

TEST_F(TimerPool, HandlesAreOneAboveTheTopAndTheTopIsGivenOutAgain) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  EXPECT_EQ(pool.AddTrigger(100, rec.OnA()), 0);
  EXPECT_EQ(pool.AddTrigger(100, rec.OnA()), 1);
  pool.RemoveTrigger(1);
  EXPECT_EQ(pool.AddTrigger(100, rec.OnA()), 1);
  EXPECT_EQ(pool.AddTrigger(100, rec.OnA()), 2);
  pool.RemoveTrigger(0);
  EXPECT_EQ(pool.AddOneTimeTrigger(100, rec.OnA()), 3) << "one above the largest, not the lowest free";
  EXPECT_EQ(pool.TriggerCount(), 3);
}

TEST_F(TimerPool, IntervalsBelow55AreStoredAs55) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  int h1 = pool.AddTrigger(1, rec.OnA());
  int h54 = pool.AddTrigger(54, rec.OnA());
  int h55 = pool.AddTrigger(55, rec.OnA());
  int h56 = pool.AddTrigger(56, rec.OnA());
  EXPECT_EQ(pool.FindTrigger(h1)->Interval, 55u);
  EXPECT_EQ(pool.FindTrigger(h54)->Interval, 55u);
  EXPECT_EQ(pool.FindTrigger(h55)->Interval, 55u);
  EXPECT_EQ(pool.FindTrigger(h56)->Interval, 56u);
}

TEST_F(TimerPool, TheTimerPeriodServesEveryTrigger) {
  TFakeTicks ticks(1000);
  {
    TEcTimerPool pool(nullptr);
    pool.AddTrigger(500, rec.OnA());
    EXPECT_EQ(pool.TimerInterval(), 500u);
    pool.AddTrigger(100, rec.OnB());
    EXPECT_EQ(pool.TimerInterval(), 100u) << "500 is a multiple of 100";
  }
  {
    // 40 ms into a 100 ms period a 500 ms trigger comes: 60 left, 100 mod 60 = 40, 60 - 40 = 20,
    // below the floor.
    TEcTimerPool pool(nullptr);
    pool.AddTrigger(100, rec.OnA());
    ticks.Advance(40);
    pool.AddTrigger(500, rec.OnB());
    EXPECT_EQ(pool.TimerInterval(), 55u);
  }
  {
    // 300 and 500: 500 mod 300 = 200, so 100, which divides both.
    TEcTimerPool pool(nullptr);
    pool.AddTrigger(300, rec.OnA());
    pool.AddTrigger(500, rec.OnB());
    EXPECT_EQ(pool.TimerInterval(), 100u);
    // 120 with them: 300 mod 120 = 60 gives 60; 500 mod 60 = 20 gives 40: the floor.
    pool.AddTrigger(120, rec.OnC());
    EXPECT_EQ(pool.TimerInterval(), 55u);
  }
  {
    // Ordered by interval, equal intervals in the order they came.
    TEcTimerPool pool(nullptr);
    int a = pool.AddTrigger(500, rec.OnA());
    int b = pool.AddTrigger(200, rec.OnA());
    int c = pool.AddTrigger(500, rec.OnA());
    int d = pool.AddTrigger(200, rec.OnA());
    std::vector<int> order;
    for (int i = 0; i < pool.TriggerCount(); ++i) order.push_back(pool.Trigger(i)->Handle);
    EXPECT_EQ(order, (std::vector<int>{b, d, a, c}));
  }
}

TEST_F(TimerPool, OverdueOrWrappedTriggersGiveTheMinimumPeriod) {
  TFakeTicks ticks(10000);
  {
    TEcTimerPool pool(nullptr);
    pool.AddTrigger(1000, rec.OnA());
    ticks.Advance(1500);
    pool.AddTrigger(2000, rec.OnB());
    EXPECT_EQ(pool.TimerInterval(), 55u);
  }
  {
    // 500 ms into the first period, but across the wrap: counted as overdue, not as 500 left.
    ticks.Set(0xFFFFFF00u);
    TEcTimerPool pool(nullptr);
    pool.AddTrigger(1000, rec.OnA());
    ticks.Set(0xF4);
    pool.AddTrigger(1000, rec.OnB());
    EXPECT_EQ(pool.TimerInterval(), 55u) << "a wrapped counter counts as long overdue";
  }
}

TEST_F(TimerPool, RealTimerMessagesArriveAtTheChosenPeriod) {
  struct Case {
    std::vector<uint32_t> intervals;
    uint32_t delayBeforeLast;  // ms of the first trigger's period passed when the last comes
    DWORD period;
    DWORD nextLonger;  // the period another outcome of the rule would have chosen
  };
  const Case cases[] = {{{500}, 0, 500, 1000}, {{100, 500}, 0, 100, 500}, {{100, 500}, 40, 55, 100}};
  for (const Case& c : cases) {
    TFakeTicks ticks(5000);
    TTickedPool pool(nullptr);
    for (size_t i = 0; i < c.intervals.size(); ++i) {
      if (i + 1 == c.intervals.size()) ticks.Advance(c.delayBeforeLast);
      pool.AddTrigger(c.intervals[i], rec.OnA());
    }
    ASSERT_EQ(pool.TimerInterval(), c.period);
    ASSERT_TRUE(PumpUntil([&] { return pool.ticks.size() >= 5; }, 10 * c.period + 3000));
    DWORD gap = pool.MedianGap();
    EXPECT_GE(gap + 20, c.period) << "period " << c.period;
    EXPECT_LT(gap, c.nextLonger) << "period " << c.period;
  }
}

TEST_F(TimerPool, AOneTimeTriggerFiresOnceAfterItsIntervalAndIsGone) {
  TEcTimerPool pool(nullptr);
  DWORD added = GetTickCount();
  DWORD firedAt = 0;
  rec.action = [&](int) { firedAt = GetTickCount(); };
  int h = pool.AddOneTimeTrigger(500, rec.OnA());
  EXPECT_EQ(h, 0);
  ASSERT_TRUE(PumpUntil([&] { return !rec.log.empty(); }, 5000));
  EXPECT_GE(firedAt - added, 500u - kEarlyAllowance);
  EXPECT_EQ(pool.TriggerCount(), 0);
  EXPECT_EQ(pool.FindTrigger(h), nullptr);
  PumpFor(700);
  EXPECT_EQ(rec.log.size(), 1u);
  EXPECT_EQ(pool.TimerInterval(), 0u);
  EXPECT_FALSE(WindowTimerRuns(pool.WindowHandle())) << "no window timer while the pool is empty";
  EXPECT_EQ(pool.AddTrigger(500, rec.OnA()), h) << "the handle is given out again";
}

TEST_F(TimerPool, TheWindowTimerRunsExactlyWhileTriggersExist) {
  TEcTimerPool pool(nullptr);
  EXPECT_FALSE(WindowTimerRuns(pool.WindowHandle()));
  int h = pool.AddTrigger(200, rec.OnA());
  pool.RemoveTrigger(h);
  EXPECT_FALSE(WindowTimerRuns(pool.WindowHandle()));
  pool.AddTrigger(200, rec.OnA());
  EXPECT_TRUE(WindowTimerRuns(pool.WindowHandle()));
}

TEST_F(TimerPool, RemovingAHandleNoTriggerHasChangesNothing) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  pool.AddTrigger(300, rec.OnA());
  pool.AddTrigger(500, rec.OnB());
  int setCalls = TTimerCalls::setTimerCalls, killCalls = TTimerCalls::killTimerCalls;
  pool.RemoveTrigger(7);
  pool.RemoveTrigger(-1);
  EXPECT_EQ(pool.TriggerCount(), 2);
  EXPECT_EQ(pool.TimerInterval(), 100u);
  EXPECT_EQ(TTimerCalls::setTimerCalls, setCalls);
  EXPECT_EQ(TTimerCalls::killTimerCalls, killCalls) << "the timer is not even restarted";
  EXPECT_TRUE(WindowTimerRuns(pool.WindowHandle()));
}

TEST_F(TimerPool, ARefusedTimerRaisesItsErrorAndLeavesNoTriggerBehind) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  int a = pool.AddTrigger(200, rec.OnA());
  TTimerCalls::refuseSetTimer = true;
  try {
    pool.AddTrigger(300, rec.OnB());
    FAIL() << "no error";
  } catch (const ENoTimersAvailable& e) {
    EXPECT_STREQ(e.what(), "No Window's timers are available");
  }
  EXPECT_THROW(pool.AddOneTimeTrigger(300, rec.OnC()), ENoTimersAvailable);
  EXPECT_EQ(pool.TriggerCount(), 1) << "no orphan that could fire for a caller without a handle";
  EXPECT_EQ(pool.TimerInterval(), 200u);
  // Removing never raises (a destructor removes its triggers); the last one stops the timer.
  pool.RemoveTrigger(a);
  EXPECT_EQ(pool.TriggerCount(), 0);
  TTimerCalls::refuseSetTimer = false;
  EXPECT_FALSE(WindowTimerRuns(pool.WindowHandle()));
}

TEST_F(TimerPool, DueTriggersFireUpTo27msEarlyWithTheirOwnHandlerThenOnAllTriggers) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  pool.OnAllTriggers.Bind(&rec, &TRecorder::All);
  int a = pool.AddTrigger(1000, rec.OnA());
  ticks.Set(1000 + 1000 - 28);
  pool.DoTimer();
  EXPECT_TRUE(rec.log.empty()) << "28 ms early is too early";
  ticks.Set(1000 + 1000 - 27);
  pool.DoTimer();
  ASSERT_EQ(rec.Order(), "A all");
  for (const TFiring& f : rec.log) {
    EXPECT_EQ(f.sender, &pool);
    EXPECT_EQ(f.handle, a);
    EXPECT_EQ(f.interval, 1000u);
    EXPECT_EQ(f.elapsedTime, 973);
  }
  EXPECT_EQ(pool.FindTrigger(a)->LastTime, 1973u);
  pool.DoTimer();
  EXPECT_EQ(rec.log.size(), 2u) << "not due again at once";
}

TEST_F(TimerPool, ElapsedTimeIsRightAcrossTheCounterWrapAndStopsAtItsMaximum) {
  TFakeTicks ticks(0xFFFFFF00u);
  TEcTimerPool pool(nullptr);
  int h = pool.AddTrigger(1000, rec.OnA());
  ticks.Set(0x00000300u);  // 0x100 before the wrap plus 0x300 after it
  pool.DoTimer();
  ASSERT_EQ(rec.log.size(), 1u);
  EXPECT_EQ(rec.log[0].elapsedTime, 0x400);

  ticks.Advance(2147483000u);
  pool.DoTimer();
  ASSERT_EQ(rec.log.size(), 2u);
  EXPECT_EQ(rec.log[1].elapsedTime, INT_MAX) << "1024 + 2147483000 saturates";
  ticks.Advance(5000);
  pool.DoTimer();
  EXPECT_EQ(rec.log.back().elapsedTime, INT_MAX);
  EXPECT_EQ(pool.FindTrigger(h)->ElapsedTime, INT_MAX);
}

TEST_F(TimerPool, AOneTimeTriggerIsRemovedBeforeItsHandlerRunsAndTheNextStillFires) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  int once = pool.AddOneTimeTrigger(100, rec.OnA());
  pool.AddTrigger(100, rec.OnB());
  bool goneWhileRunning = false;
  rec.action = [&](int handle) {
    if (handle == once) goneWhileRunning = pool.FindTrigger(once) == nullptr;
  };
  ticks.Advance(100);
  pool.DoTimer();
  EXPECT_EQ(rec.Order(), "A B");
  EXPECT_TRUE(goneWhileRunning);
  EXPECT_EQ(pool.TriggerCount(), 1);
}

TEST_F(TimerPool, HandlersMayAddAndRemoveTriggersWhileTheyFire) {
  TFakeTicks ticks(1000);
  TEcTimerPool pool(nullptr);
  int a = pool.AddTrigger(100, rec.OnA());
  int b = pool.AddTrigger(100, rec.OnB());
  pool.AddTrigger(100, rec.OnC());
  rec.action = [&](int handle) {
    if (handle == a) {
      pool.RemoveTrigger(b);
      pool.AddOneTimeTrigger(500, rec.OnB());  // a new search delay, say
    }
  };
  ticks.Advance(100);
  pool.DoTimer();
  EXPECT_EQ(rec.Order(), "A C") << "B went before its turn; the new one is not due";
  EXPECT_EQ(pool.TriggerCount(), 3);
  EXPECT_EQ(pool.TimerInterval(), 55u) << "C was due when the new trigger came: the floor";
}

TEST_F(TimerPool, AFailingHandlerReachesTheCentralHandlerAndEndsThatTick) {
  static std::vector<std::string> reported;
  reported.clear();
  gui::SetExceptionHandler([](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& x) {
      reported.push_back(x.what());
    }
  });
  {
    TFakeTicks ticks(1000);
    TEcTimerPool pool(nullptr);
    pool.AddTrigger(100, rec.OnA());
    pool.AddTrigger(200, rec.OnB());
    rec.action = [](int handle) {
      if (handle == 0) throw rtl::Exception("handler failed");
    };
    ticks.Advance(5000);  // both due at every timer message from now on
    ASSERT_TRUE(PumpUntil([] { return !reported.empty(); }, 3000));
    EXPECT_EQ(reported[0], "handler failed");
    EXPECT_EQ(rec.Order(), "A") << "B is not fired in the tick that failed";
    // The next message: A fired at the fixed time already, so only B is due.
    ASSERT_TRUE(PumpUntil([&] { return rec.log.size() >= 2; }, 3000));
    EXPECT_EQ(rec.Order(), "A B");
    EXPECT_EQ(reported.size(), 1u);
  }
  gui::SetExceptionHandler(nullptr);
}

TEST_F(TimerPool, AHandlerThatFreesThePoolEndsTheFiring) {
  TFakeTicks ticks(1000);
  auto* pool = new TEcTimerPool(nullptr);
  pool->OnAllTriggers.Bind(&rec, &TRecorder::All);
  pool->AddTrigger(100, rec.OnA());
  pool->AddTrigger(100, rec.OnB());
  rec.action = [&](int) { delete pool; };
  ticks.Advance(100);
  pool->DoTimer();
  EXPECT_EQ(rec.Order(), "A");
}

TEST_F(TimerPool, ATriggerHandlerMayFreeTheControllerInsideARealTick) {
  tsupport::TFreedMemoryWatch freed;
  auto* controller = new TEcController(nullptr);
  controller->TimerPool().AddTrigger(55, rec.OnA());
  controller->TimerPool().AddTrigger(55, rec.OnB());
  HWND wnd = controller->TimerPool().WindowHandle();
  ASSERT_TRUE(IsWindow(wnd));
  rec.action = [&](int) { delete std::exchange(controller, nullptr); };
  ASSERT_TRUE(PumpUntil([&] { return !rec.log.empty(); }, 3000));
  PumpFor(150);
  EXPECT_EQ(rec.Order(), "A") << "the firing ends with the pool";
  EXPECT_FALSE(IsWindow(wnd)) << "the window went once its procedure had returned";
  EXPECT_EQ(freed.WrittenAfterFree(), 0u);
}

TEST_F(TimerPool, DestructionStopsTheTimerAndReleasesTheWindow) {
  auto* pool = new TEcTimerPool(nullptr);
  pool->AddTrigger(100, rec.OnA());
  HWND wnd = pool->WindowHandle();
  ASSERT_TRUE(IsWindow(wnd));
  delete pool;
  EXPECT_FALSE(IsWindow(wnd));
  PumpFor(250);
  EXPECT_TRUE(rec.log.empty());
}
