// The entry combo box's flat look with hot tracking, read back by pixels from the real window as
// the mouse enters and leaves it; the focus with AfterEnter and AfterExit and the MRU entry it
// leaves behind; the mouse wheel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTest.h"
#include "MemorySurface.h"
#include "StdCtrls.h"
#include "entry/EcCmbx.h"

using namespace ec;
using namespace entrytest;
using Log = std::vector<std::string>;

namespace {

struct Events : rtl::TObject {
  Log log;
  void Enter(rtl::TObject*) { log.push_back("enter"); }
  void Exit(rtl::TObject*) { log.push_back("exit"); }
  void AfterEnter(rtl::TObject*) { log.push_back("after enter"); }
  void AfterExit(rtl::TObject*) { log.push_back("after exit"); }
  void Wheel(rtl::TObject*, gui::TShiftState shift, uint16_t delta, uint16_t x, uint16_t y) {
    log.push_back("wheel " + std::to_string(shift) + " " + std::to_string(delta) + " " + std::to_string(x) + " " +
                  std::to_string(y));
  }
};

// What the drawing rules put at a few places of the control: the frame's outer rings, the drop
// button's left edge and the arrow.
struct Look {
  COLORREF outerLeft, innerRight, buttonEdge, arrow;
};

Look Expected(bool active) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  if (active)  // sunken frame: shadow on the left, white on the right, white button edge
    return Look{GetSysColor(COLOR_BTNSHADOW), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)};
  return Look{face, face, face, RGB(0, 0, 0)};  // flat: all button face
}

struct LookTest : ShownForm {
  TEcComboBox* combo = nullptr;
  void SetUp() override {
    combo = new TEcComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 20, 300, 30);
    combo->Items().Add("one");
    combo->Items().Add("two");
  }
  // The four places, read from the screen: x = 1 and Width − 2 halfway down, the button's left
  // edge (Width − 15) and the arrow's middle.
  Look Read() {
    gui::TClientDC dc(combo->Handle());
    const int w = combo->Width(), h2 = combo->Height() / 2, x0 = w - 15;
    return Look{GetPixel(dc, 1, h2), GetPixel(dc, w - 2, h2), GetPixel(dc, x0, h2 - 3), GetPixel(dc, x0 + 5, h2)};
  }
  static std::string Describe(const Look& l) {
    return tsupport::Hex(l.outerLeft) + " " + tsupport::Hex(l.innerRight) + " " + tsupport::Hex(l.buttonEdge) + " " +
           tsupport::Hex(l.arrow);
  }
  bool LooksAs(bool active) {
    Look want = Expected(active), got = Read();
    return got.outerLeft == want.outerLeft && got.innerRight == want.innerRight &&
           got.buttonEdge == want.buttonEdge && got.arrow == want.arrow;
  }
  POINT Away() { return form->ClientToScreen(POINT{400, 300}); }
};

}  // namespace

TEST_F(LookTest, HotTrackingShowsTheActiveLookWhileTheMouseIsOverTheControl) {
  Show();
  MoveMouse(Away());
  combo->SetHotTrack(true);
  ASSERT_NE(combo->HotTrackTrigger(), -1);
  const TriggerRecord* poll = controller->TimerPool().FindTrigger(combo->HotTrackTrigger());
  ASSERT_NE(poll, nullptr);
  EXPECT_EQ(poll->Interval, kMinTriggerInterval) << "asked for 1 ms, raised to the floor";
  EXPECT_TRUE(poll->Recurring);
  PumpFor(100);
  EXPECT_TRUE(LooksAs(false)) << Describe(Read()) << " want " << Describe(Expected(false));

  MoveMouse(combo->ClientToScreen(POINT{combo->Width() / 2, combo->Height() / 2}));
  ASSERT_TRUE(PumpUntil([&] { return LooksAs(true); }, 500)) << Describe(Read()) << " want " << Describe(Expected(true));
  EXPECT_TRUE(combo->Hot());

  MoveMouse(Away());
  DWORD left = GetTickCount();
  ASSERT_TRUE(PumpUntil([&] { return LooksAs(false); }, 1000)) << Describe(Read());
  EXPECT_LT(GetTickCount() - left, 300u) << "seen by the next poll";
  EXPECT_FALSE(combo->Hot());

  combo->SetHotTrack(false);
  EXPECT_EQ(combo->HotTrackTrigger(), -1);
  EXPECT_EQ(controller->TimerPool().TriggerCount(), 0);
}

TEST_F(LookTest, HotTrackingGetsItsPollWithTheWindowAndAtOnceFromAReplacingController) {
  auto* early = new TEcComboBox(form);
  early->SetHotTrack(true);  // no parent, no controller yet
  EXPECT_EQ(early->HotTrackTrigger(), -1);
  early->SetParent(form);
  early->SetBounds(10, 80, 200, 30);
  Show();
  ASSERT_NE(early->HotTrackTrigger(), -1);
  MoveMouse(early->ClientToScreen(POINT{20, 10}));
  ASSERT_TRUE(PumpUntil([&] { return early->Hot(); }, 500));
  MoveMouse(Away());
  EXPECT_TRUE(PumpUntil([&] { return !early->Hot(); }, 500)) << "the poll sees the mouse leave";
  early->SetStyle(ecsDropDownList);  // a new window
  EXPECT_EQ(controller->TimerPool().TriggerCount(), 1) << "one poll, whatever the windows";
  // A controller set by hand takes the poll over, and so does one adopted after the last went.
  auto polledBy = [&](TEcController* c) {
    const TriggerRecord* poll = c->TimerPool().FindTrigger(early->HotTrackTrigger());
    return early->Controller() == c && poll && poll->Interval == 100u;
  };
  auto* second = new TEcController(form);
  early->SetController(second);
  EXPECT_EQ(controller->TimerPool().TriggerCount(), 0);
  EXPECT_TRUE(polledBy(second));
  delete second;  // the box has none, then adopts the one made next
  EXPECT_TRUE(polledBy(new TEcController(form))) << "at once, not with the next window";
}

TEST_F(LookTest, EachLookFollowsItsDrawingRules) {
  // Painted into a surface: every pixel of a column through the frame and one across the button.
  combo->SetHotTrack(true);
  combo->HandleNeeded();
  const int w = combo->Width(), h = combo->Height(), x0 = w - 15, h2 = h / 2;
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                 light = GetSysColor(COLOR_BTNHIGHLIGHT), white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  tsupport::Surface idle(w, h);
  SendMessageA(combo->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(idle.Dc()), 0);
  // Idle: button-face outer rings, the highlight-filled field, the button with its arrow.
  EXPECT_EQ(idle.At(0, h2), face);
  EXPECT_EQ(idle.At(1, h2), face);
  EXPECT_EQ(idle.At(2, h2), face);
  EXPECT_EQ(idle.At(3, h2), light);
  EXPECT_EQ(idle.At(w - 3, h2), face);
  EXPECT_EQ(idle.At(10, h - 3), face) << "the line along the bottom";
  EXPECT_EQ(idle.At(x0, h2 - 3), face);
  EXPECT_EQ(idle.At(x0 + 1, h2 - 3), face);
  for (int x = x0 + 3; x <= x0 + 7; ++x) EXPECT_EQ(idle.At(x, h2 - 1), black) << "the arrow's top row, x " << x;
  EXPECT_EQ(idle.At(x0 + 5, h2 + 1), black) << "its point";
  EXPECT_EQ(idle.At(x0 + 2, h2 - 1), face);
  EXPECT_EQ(idle.At(x0 + 8, h2 - 1), face);

  // Focused, the list closed: sunken frame, raised button.
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SETFOCUS),
               reinterpret_cast<LPARAM>(combo->Handle()));
  tsupport::Surface active(w, h);
  SendMessageA(combo->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(active.Dc()), 0);
  EXPECT_EQ(active.At(0, h2), face);
  EXPECT_EQ(active.At(1, h2), shadow);
  EXPECT_EQ(active.At(5, 1), shadow) << "the top ring";
  EXPECT_EQ(active.At(2, h2), face);
  EXPECT_EQ(active.At(w - 2, h2), white);
  EXPECT_EQ(active.At(5, h - 2), white) << "the bottom ring";
  EXPECT_EQ(active.At(w - 3, h2), face);
  EXPECT_EQ(active.At(x0, h2 - 3), white) << "the raised button's light left edge";
  EXPECT_EQ(active.At(x0 + 2, 3), white) << "and its top";
  EXPECT_EQ(active.At(x0 - 2, h2), face) << "the gap before the button";
  EXPECT_EQ(active.At(x0 + 5, h2), black);
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_KILLFOCUS),
               reinterpret_cast<LPARAM>(combo->Handle()));
  tsupport::Surface again(w, h);
  SendMessageA(combo->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(again.Dc()), 0);
  EXPECT_EQ(again.At(1, h2), face) << "focus gone: idle again";
}

TEST_F(LookTest, TheFocusPostsAfterEnterAndAfterExitAndLeavesAnMRUEntry) {
  auto* other = new gui::TButton(form);
  other->SetParent(form);
  other->SetBounds(400, 20, 80, 25);
  Events ev;
  combo->OnEnter.Bind(&ev, &Events::Enter);
  combo->OnExit.Bind(&ev, &Events::Exit);
  combo->AfterEnter.Bind(&ev, &Events::AfterEnter);
  combo->AfterExit.Bind(&ev, &Events::AfterExit);
  Show();
  other->SetFocus();
  PumpFor(50);
  ev.log.clear();
  combo->SetItemIndex(1);
  combo->SetFocus();
  EXPECT_EQ(ev.log, (Log{"enter"})) << "AfterEnter comes through the queue";
  PumpFor(50);
  EXPECT_EQ(ev.log, (Log{"enter", "after enter"}));
  other->SetFocus();
  EXPECT_EQ(ev.log, (Log{"enter", "after enter", "exit"}));
  PumpFor(50);
  EXPECT_EQ(ev.log, (Log{"enter", "after enter", "exit", "after exit"}));
  // Leaving, the entry it showed went into the MRU list and its copy to the top.
  ASSERT_EQ(combo->MRUList().Count(), 1);
  EXPECT_EQ(combo->MRUList().Items().Strings(0), "two");
  ASSERT_EQ(combo->Items().Count(), 3);
  EXPECT_EQ(combo->Items().Strings(0), "two");
  EXPECT_EQ(combo->ItemIndex(), 2) << "still on the entry it named";
  EXPECT_EQ(combo->Text(), "two");
}

TEST_F(LookTest, TheWheelReportsItsWordsAfterThePlatformHandledIt) {
  Events ev;
  combo->OnMouseWheel.Bind(&ev, &Events::Wheel);
  Show();
  POINT over = combo->ClientToScreen(POINT{40, combo->Height() / 2});
  ClickAt(over);
  TurnWheel(-WHEEL_DELTA);
  ASSERT_EQ(ev.log.size(), 1u);
  EXPECT_EQ(ev.log[0], "wheel 0 " + std::to_string(static_cast<uint16_t>(-WHEEL_DELTA)) + " " +
                           std::to_string(over.x) + " " + std::to_string(over.y));
  EXPECT_EQ(combo->ItemIndex(), 0) << "the platform turned to the next item first";
  SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT | MK_CONTROL, WHEEL_DELTA), MAKELPARAM(5, 6));
  EXPECT_EQ(ev.log.at(1), "wheel 5 120 5 6") << "Shift (1) and Ctrl (4)";
}
