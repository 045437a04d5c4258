// The entry combo box on real windows, driven by real keys and mouse clicks, with its timed search
// on real WM_TIMER messages of the controller's pool: the delayed completion, Backspace, Enter and
// Escape, the MRU section built by picks in the open list, its colour and separator band by pixels,
// the window's creation parameters, its properties and the controller binding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTest.h"
#include "FreedMemory.h"
#include "FormStreams.h"
#include "MemorySurface.h"
#include "entry/EcCmbx.h"
#include "entry/EcExcept.h"

using namespace ec;
using namespace entrytest;
using tsupport::FormText;
using tsupport::LoadFormText;
using Log = std::vector<std::string>;

namespace {

struct Events : rtl::TObject {
  Log log;
  gui::TCustomComboBox* combo = nullptr;
  std::string Text() const { return combo ? std::string(" ").append(combo->Text()) : std::string(); }
  void Change(rtl::TObject*) { log.push_back("change" + Text()); }
  void Click(rtl::TObject*) { log.push_back("click" + Text()); }
  void Selection(rtl::TObject*) { log.push_back("selection" + Text()); }
  void Key(rtl::TObject*, WORD& key, gui::TShiftState) {
    if (key == kSearchKey) log.push_back("search");
  }
  int Count(const std::string& what) const {
    int n = 0;
    for (auto& s : log) n += s == what || s.rfind(what + " ", 0) == 0;
    return n;
  }
};

std::vector<std::string> Texts(const rtl::TStringList& l) {
  std::vector<std::string> t;
  for (int i = 0; i < l.Count(); ++i) t.push_back(l.Strings(i));
  return t;
}

// The texts the window itself holds, in its order.
std::vector<std::string> WindowItems(HWND combo) {
  std::vector<std::string> t;
  int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char buf[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    t.push_back(buf);
  }
  return t;
}

struct ComboTest : ShownForm {
  Events ev;

  TEcComboBox* Make(std::initializer_list<const char*> items, TEcComboStyle style = ecsDropDown) {
    auto* c = new TEcComboBox(form);
    c->SetParent(form);
    c->SetBounds(10, 20, 300, 30);
    c->SetStyle(style);
    c->Font().SetName("Arial");
    c->Font().SetHeight(-16);
    for (const char* s : items) c->Items().Add(s);
    ev.combo = c;
    c->OnChange.Bind(&ev, &Events::Change);
    c->OnClick.Bind(&ev, &Events::Click);
    c->OnSelectionChange.Bind(&ev, &Events::Selection);
    c->OnKeyDown.Bind(&ev, &Events::Key);
    return c;
  }
  // Clicks into the edit field, as a person does before typing.
  void ClickIntoEdit(TEcComboBox* c) {
    RECT r;
    GetWindowRect(c->EditHandle(), &r);
    ClickAt(POINT{r.left + 20, (r.top + r.bottom) / 2});
    ev.log.clear();
  }
  static std::pair<int, int> EditSel(TEcComboBox* c) {
    DWORD start = 0, end = 0;
    SendMessageA(c->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }
  static bool WaitForText(TEcComboBox* c, const std::string& notThis, DWORD ms) {
    return PumpUntil([&] { return c->Text() != notThis; }, ms);
  }
  // Opens the list with a click on the drop button and picks an item with another.
  void Pick(TEcComboBox* c, int index) {
    COMBOBOXINFO info{sizeof info};
    GetComboBoxInfo(c->Handle(), &info);
    POINT button{(info.rcButton.left + info.rcButton.right) / 2, (info.rcButton.top + info.rcButton.bottom) / 2};
    ClientToScreen(c->Handle(), &button);
    ClickAt(button);
    ASSERT_TRUE(PumpUntil([&] { return c->DroppedDown(); }, 1000)) << "the list opens";
    RECT list;
    GetWindowRect(c->ListHandle(), &list);
    int y = 0;
    for (int i = 0; i < index; ++i) y += c->ItemHeightAt(i);
    POINT item{list.left + 40, list.top + 1 + y + c->ItemHeightAt(index) / 2};
    ClickAt(item);
    ASSERT_TRUE(PumpUntil([&] { return !c->DroppedDown(); }, 1000)) << "the list closes on the pick";
  }
};

}  // namespace

namespace {

struct TKeyProbe : TEcComboBox {  // its key handling called as the key messages call it
  using TEcComboBox::KeyDown, TEcComboBox::TEcComboBox;
};

struct TParamsProbe : TEcComboBox {
  using TEcComboBox::TEcComboBox;
  gui::TCreateParams Params() {
    gui::TCreateParams p;
    CreateParams(p);
    return p;
  }
};

}  // namespace

TEST_F(ComboTest, TheWindowIsAnOwnerDrawnVariableComboOfEitherStyle) {
  TParamsProbe probe(form);
  probe.SetParent(form);
  for (TEcComboStyle s : {ecsDropDown, ecsDropDownList}) {
    probe.SetStyle(s);
    gui::TCreateParams p = probe.Params();
    EXPECT_EQ(p.Style & 3u, s == ecsDropDown ? DWORD(CBS_DROPDOWN) : DWORD(CBS_DROPDOWNLIST));
    for (DWORD bit : {DWORD(CBS_OWNERDRAWVARIABLE), DWORD(CBS_HASSTRINGS), DWORD(CBS_AUTOHSCROLL), DWORD(WS_VSCROLL)})
      EXPECT_TRUE(p.Style & bit) << std::hex << bit;
    EXPECT_FALSE(p.Style & CBS_OWNERDRAWFIXED);
    EXPECT_TRUE(p.ExStyle & WS_EX_CLIENTEDGE);
    EXPECT_EQ(p.SubClass, "COMBOBOX");
  }

  auto* c = Make({"one"});
  LONG_PTR style = GetWindowLongPtrA(c->Handle(), GWL_STYLE);
  EXPECT_EQ(style & 3, CBS_DROPDOWN);
  for (LONG_PTR bit : {CBS_OWNERDRAWVARIABLE, CBS_HASSTRINGS, CBS_AUTOHSCROLL}) EXPECT_TRUE(style & bit) << std::hex << bit;
  EXPECT_FALSE(style & CBS_OWNERDRAWFIXED);
  EXPECT_NE(c->EditHandle(), nullptr);
  c->SetItemIndex(0);
  c->SetStyle(ecsDropDownList);
  style = GetWindowLongPtrA(c->Handle(), GWL_STYLE);
  EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
  EXPECT_TRUE(style & CBS_OWNERDRAWVARIABLE);
  EXPECT_EQ(c->EditHandle(), nullptr);
  EXPECT_EQ(c->ItemIndex(), 0) << "the selection survives the new window";
  EXPECT_EQ(c->Controller(), controller) << "bound to the form's controller when its window was made";
  EXPECT_EQ(c->About(), "v3.05");
}

TEST_F(ComboTest, WithoutAControllerTheWindowIsNotMade) {
  controller->Free();
  auto* c = Make({"one"});
  try {
    c->HandleNeeded();
    FAIL() << "made a window without a controller";
  } catch (const ENoControllerAssigned& e) {
    EXPECT_STREQ(e.what(), "No Controller assigned");
  }
  EXPECT_FALSE(c->HandleAllocated());
}

TEST_F(ComboTest, ThePauseAfterTypingCompletesTheTextAndSelectsTheRest) {
  auto* c = Make({"Abacus", "Abbey"});
  Show();
  ClickIntoEdit(c);
  TypeKeys("ab");
  EXPECT_EQ(c->Text(), "ab") << "nothing before the pause";
  ASSERT_TRUE(WaitForText(c, "ab", 1500));
  EXPECT_EQ(c->Text(), "Abacus");
  EXPECT_EQ(EditSel(c), std::make_pair(2, 6)) << "the last four letters, not typed, are selected";
  ASSERT_GE(ev.log.size(), 2u);
  EXPECT_EQ(Log(ev.log.end() - 2, ev.log.end()), (Log{"selection Abacus", "search"}))
      << "the search runs as the pseudo key, which OnKeyDown sees after it";
  EXPECT_EQ(ev.Count("change"), 2) << "one per typed letter; the completion tells none";

  TypeKeys("b");  // replaces the selected part
  EXPECT_EQ(c->Text(), "Abb");
  ASSERT_TRUE(WaitForText(c, "Abb", 1500));
  EXPECT_EQ(c->Text(), "Abbey");
  EXPECT_EQ(EditSel(c), std::make_pair(3, 5));
  EXPECT_EQ(ev.Count("change"), 3);
  EXPECT_EQ(ev.Count("click"), 0) << "the search's own completion is no click";
}

TEST_F(ComboTest, ABackspaceWithinTheDelayCancelsTheCompletion) {
  auto* c = Make({"Abacus", "Abbey"});
  Show();
  ClickIntoEdit(c);
  TypeKeys("ab");
  PressKey(VK_BACK);
  EXPECT_EQ(c->Text(), "a");
  PumpFor(800);
  EXPECT_EQ(c->Text(), "a") << "\"a\" would complete to Abacus";
  EXPECT_EQ(c->SearchTrigger(), -1);
  EXPECT_EQ(controller->TimerPool().TriggerCount(), 0) << "the pending search fired and did nothing";
  EXPECT_EQ(ev.Count("search"), 0);
  TypeKeys("b");  // a letter after the Backspace searches again
  ASSERT_TRUE(WaitForText(c, "ab", 1500));
  EXPECT_EQ(c->Text(), "Abacus");
}

TEST_F(ComboTest, OnlyKeysOutsideTheNavigationFunctionAndModifierKeysScheduleASearch) {
  TFakeTicks ticks(1000);
  auto* c = new TKeyProbe(form);
  c->SetController(controller);
  // Mouse buttons, Tab, Clear, Shift, Ctrl, Alt, Pause, Caps Lock, 33-47, F1-F24, Num and Scroll Lock.
  auto quiet = [](int k) { return (k >= 1 && k <= 4) || k == 9 || k == 12 || (k >= 16 && k <= 20) || (k >= 33 && k <= 47) ||
                                  (k >= 112 && k <= 135) || k == 144 || k == 145; };
  for (int k = 1; k < 256; ++k) {
    if (k == VK_BACK || k == VK_RETURN || k == VK_ESCAPE) continue;  // each has its own action
    ticks.Advance(1);
    WORD key = static_cast<WORD>(k);
    c->KeyDown(key, 0);
    const TriggerRecord* t = controller->TimerPool().FindTrigger(c->SearchTrigger());
    EXPECT_EQ(t && t->LastTime == ticks.Now(), !quiet(k)) << "key " << k;
  }
  c->Free();
  EXPECT_EQ(controller->TimerPool().TriggerCount(), 0) << "the pending search goes with the box";
}

TEST_F(ComboTest, EachKeyRestartsTheWaitAndOneSearchRunsAfterTheLast) {
  auto* c = Make({"Abacus", "Abbey"});
  Show();
  ClickIntoEdit(c);
  TypeKeys("a");
  PumpFor(300);
  TypeKeys("b");
  DWORD last = GetTickCount();
  PumpFor(300);
  EXPECT_EQ(c->Text(), "ab") << "600 ms after the first key, 300 after the last";
  EXPECT_EQ(controller->TimerPool().TriggerCount(), 1) << "the first key's search was replaced";
  ASSERT_TRUE(WaitForText(c, "ab", 1500));
  DWORD waited = GetTickCount() - last;
  EXPECT_GE(waited, 500u - kEarlyAllowance - 30);
  EXPECT_LT(waited, 800u);
  PumpFor(600);
  EXPECT_EQ(ev.Count("search"), 1) << "OnKeyDown sees the search's pseudo key once";
  EXPECT_EQ(c->Text(), "Abacus");
}

TEST_F(ComboTest, EnterCompletesAPrefixAndBeepsAtNoMatch) {
  TBeepCounter beeps;
  auto* c = Make({"Abacus", "Abbey"});
  Show();
  ClickIntoEdit(c);
  TypeKeys("abb");
  PressKey(VK_RETURN);
  EXPECT_EQ(c->Text(), "Abbey");
  EXPECT_EQ(ev.Count("click"), 1);
  EXPECT_EQ(ev.Count("selection"), 1);
  EXPECT_EQ(beeps.Count(), 0);
  PumpFor(700);  // the pending search finds what Enter found

  SetWindowTextA(c->Handle(), "");
  TypeKeys("xyz");
  ev.log.clear();
  PressKey(VK_RETURN);
  EXPECT_EQ(beeps.Count(), 1);
  EXPECT_EQ(beeps.LastType(), 0u) << "the platform's default beep";
  EXPECT_EQ(c->Text(), "xyz");
  EXPECT_EQ(c->ItemIndex(), -1);
  EXPECT_EQ(ev.Count("click") + ev.Count("selection") + ev.Count("change"), 0);
}

TEST_F(ComboTest, AHandlerMayFreeTheBoxInTheCompletionAndCloseUpPaths) {
  // Enter's completion fires OnClick, then OnSelectionChange; a pick in the list fires them as
  // the list closes. Each handler in turn frees the box: nothing of it is touched afterwards.
  struct TFreeing : rtl::TObject {
    rtl::TComponent* victim = nullptr;
    std::string at;
    Log log;
    void Fire(const char* what) {
      log.push_back(what);
      if (what == at) std::exchange(victim, nullptr)->Free();
    }
    void Click(rtl::TObject*) { Fire("click"); }
    void Selection(rtl::TObject*) { Fire("selection"); }
    void CloseUp(rtl::TObject*) { log.push_back("closeup"); }
  };
  Show();
  for (bool byEnter : {true, false})
    for (const char* at : {"click", "selection"}) {
      tsupport::TFreedMemoryWatch freed;
      TFreeing ev;
      ev.at = at;
      auto* c = Make({"Abacus", "Abbey"});
      ev.victim = c;
      c->OnClick.Bind(&ev, &TFreeing::Click);
      c->OnSelectionChange.Bind(&ev, &TFreeing::Selection);
      c->OnCloseUp.Bind(&ev, &TFreeing::CloseUp);
      if (byEnter) {
        ClickIntoEdit(c);
        TypeKeys("abb");
        PressKey(VK_RETURN);
      } else {
        c->SetItemIndex(1);
        c->SetDroppedDown(true);
        PostMessageA(c->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      }
      PumpFor(100);
      EXPECT_EQ(ev.log.back(), at) << (byEnter ? "enter" : "close-up");
      EXPECT_EQ(freed.WrittenAfterFree(), 0u);
    }
}

TEST_F(ComboTest, EscapeSelectsTheFirstItemAndTellsTheChange) {
  auto* c = Make({"one", "two", "three"});
  c->SetMRUListCount(2);
  Show();
  Pick(c, 2);  // three: now the first item, at the top of the MRU section
  ClickIntoEdit(c);
  TypeKeys("tw");
  ev.log.clear();
  PressKey(VK_ESCAPE);
  EXPECT_EQ(c->ItemIndex(), 0);
  EXPECT_EQ(c->Text(), "three");
  EXPECT_EQ(ev.log, (Log{"change three"}));
}

TEST_F(ComboTest, PicksFillTheMRUSectionNewestFirstWithinItsCount) {
  auto* c = Make({"A", "B", "C", "D"});
  c->SetMRUListCount(2);
  Show();
  struct Step {
    int pick;
    Log items;
    int selected;
  };
  const Step steps[] = {
      {2, {"C", "A", "B", "C", "D"}, 3},
      {1, {"A", "C", "A", "B", "C", "D"}, 2},
      {3, {"B", "A", "A", "B", "C", "D"}, 3},  // C went: only two fit
  };
  for (const Step& s : steps) {
    std::string picked = c->Items().Strings(s.pick);
    ev.log.clear();
    Pick(c, s.pick);
    EXPECT_EQ(Texts(c->Items()), s.items) << "after picking " << picked;
    EXPECT_EQ(WindowItems(c->Handle()), s.items) << "the window's list";
    EXPECT_EQ(c->ItemIndex(), s.selected) << "the main section's " << picked;
    EXPECT_EQ(c->Text(), picked);
    EXPECT_EQ(ev.Count("change " + picked), 1) << "the pick tells the change once";
  }
  // An entry already in the section moves to the front; the section does not grow.
  Pick(c, 1);
  EXPECT_EQ(Texts(c->Items()), (Log{"A", "B", "A", "B", "C", "D"}));
  EXPECT_EQ(c->ItemIndex(), 2);
  for (int i = 0; i < c->Items().Count(); ++i) EXPECT_EQ(c->ItemHeightAt(i), c->ItemHeight() + 3) << "item " << i;
}

TEST_F(ComboTest, AnEntryDifferingOnlyInLetterCaseMovesToTheFrontAsNowWritten) {
  auto* c = Make({"alpha", "Beta", "ALPHA"});
  c->SetMRUListCount(2);
  c->AddItemToMRUList(0);  // alpha
  EXPECT_EQ(Texts(c->Items()), (Log{"alpha", "alpha", "Beta", "ALPHA"}));
  c->RebuildMRUSection(1);
  c->AddItemToMRUList(2);  // Beta
  c->RebuildMRUSection(2);
  EXPECT_EQ(Texts(c->Items()), (Log{"Beta", "alpha", "alpha", "Beta", "ALPHA"}));
  c->AddItemToMRUList(4);  // ALPHA: the same entry as alpha, letter case aside
  EXPECT_EQ(Texts(c->MRUList().Items()), (Log{"ALPHA", "Beta"}));
  c->SetText("beta");
  c->RebuildMRUSection(2);
  EXPECT_EQ(Texts(c->Items()), (Log{"ALPHA", "Beta", "alpha", "Beta", "ALPHA"}));
  EXPECT_EQ(c->ItemIndex(), 3) << "the text's entry after the section, letter case aside";
  EXPECT_FALSE(c->HandleAllocated()) << "none of it needs a window";
}

TEST_F(ComboTest, MRUListCountZeroAtRunTimeRemovesTheSectionForGood) {
  auto* c = Make({"A", "B", "C"});
  Show();
  Pick(c, 1);
  Pick(c, 3);
  ASSERT_EQ(Texts(c->Items()), (Log{"C", "B", "A", "B", "C"}));
  c->SetMRUListCount(0);
  EXPECT_EQ(Texts(c->Items()), (Log{"A", "B", "C"}));
  EXPECT_EQ(c->MRUList().Count(), 0);
  Pick(c, 0);
  EXPECT_EQ(Texts(c->Items()), (Log{"A", "B", "C"})) << "later picks leave the list alone";
  EXPECT_EQ(c->ItemIndex(), 0);
  c->SetMRUListCount(1);
  Pick(c, 2);
  EXPECT_EQ(Texts(c->Items()), (Log{"C", "A", "B", "C"}));
}

TEST_F(ComboTest, TheSectionHasItsColourAndTheBandClosesItInTheOpenListOnly) {
  auto* c = Make({"A", "B", "C", "D"});
  c->SetMRUListCount(2);
  c->MRUListColor = gui::clSilver;
  Show();
  Pick(c, 2);  // C
  Pick(c, 1);  // A: items A, C, A, B, C, D
  ClickAt(POINT{form->ClientToScreen(POINT{400, 250})});  // the mouse away from the list
  c->SetItemIndex(-1);
  c->SetDroppedDown(true);
  ASSERT_TRUE(PumpUntil([&] { return c->DroppedDown() && IsWindowVisible(c->ListHandle()); }, 1000));
  RedrawWindow(c->ListHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpFor(50);
  const COLORREF silver = RGB(192, 192, 192), grey = GetSysColor(COLOR_GRAYTEXT), window = GetSysColor(COLOR_WINDOW);
  const int h = c->ItemHeight() + 3;
  RECT client;
  GetClientRect(c->ListHandle(), &client);
  const int x = client.right - 6;  // right of any text
  {
    gui::TClientDC dc(c->ListHandle());
    auto at = [&](int item, int row) { return GetPixel(dc, x, item * h + row); };
    // Item 0: the section's colour to its bottom, no band.
    EXPECT_EQ(at(0, 1), silver);
    EXPECT_EQ(at(0, h - 3), silver);
    EXPECT_EQ(at(0, h - 1), silver);
    // Item 1, the section's last: the band in its bottom 3 rows, outlined in grey text colour and
    // filled with the item's brush.
    EXPECT_EQ(at(1, 1), silver);
    EXPECT_EQ(at(1, h - 4), silver);
    EXPECT_EQ(at(1, h - 3), grey);
    EXPECT_EQ(at(1, h - 2), silver);
    EXPECT_EQ(at(1, h - 1), grey);
    EXPECT_EQ(GetPixel(dc, 0, h + h - 2), silver) << "the outline's sides lie outside the item";
    // The main section on the control's colour, no band under any item.
    for (int item = 2; item < 6; ++item) {
      EXPECT_EQ(at(item, 1), window) << "item " << item;
      EXPECT_EQ(at(item, h - 3), window) << "item " << item;
      EXPECT_EQ(at(item, h - 1), window) << "item " << item;
    }
  }
  c->SetDroppedDown(false);
  PumpFor(50);

  // Closed, the same item drawn through the parent's WM_DRAWITEM has no band.
  tsupport::Surface s(200, h);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_COMBOBOX;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(c->Handle()));
  dis.itemID = 1;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.hwndItem = c->Handle();
  dis.hDC = s.Dc();
  dis.rcItem = RECT{0, 0, 200, h};
  SendMessageA(form->Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(s.At(194, h - 3), silver);
  EXPECT_EQ(s.At(194, h - 1), silver);
  dis.itemState = ODS_SELECTED;
  SendMessageA(form->Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(s.At(194, 1), GetSysColor(COLOR_HIGHLIGHT)) << "selected: the highlight, section or not";
}

TEST_F(ComboTest, TheItemsTextIsDrawnTwoPixelsInAtTheTopOnATransparentBackground) {
  auto* c = Make({"Wide"});
  c->HandleNeeded();
  const int h = c->ItemHeight() + 3;
  tsupport::Surface got(120, h);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_COMBOBOX;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(c->Handle()));
  dis.itemID = 0;
  dis.hwndItem = c->Handle();
  dis.hDC = got.Dc();
  dis.rcItem = RECT{0, 0, 120, h};
  SendMessageA(form->Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  // DT_VCENTER alone centres nothing: the text's cell starts at the item's top.
  tsupport::Surface want(120, h, GetSysColor(COLOR_WINDOW));
  {
    gui::TSelectObject font(want.Dc(), c->Font().Handle());
    SetBkMode(want.Dc(), TRANSPARENT);
    SetTextColor(want.Dc(), GetSysColor(COLOR_WINDOWTEXT));
    TextOutA(want.Dc(), 2, 0, "Wide", 4);
  }
  int differ = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 120; ++x) differ += got.At(x, y) != want.At(x, y);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(GetBkMode(got.Dc()), OPAQUE) << "the DC's background mode is given back";
}

TEST_F(ComboTest, DroppedWidthGivesThePlatformsWidthOrItsOwn) {
  auto* c = Make({"one"});
  c->SetDroppedWidth(400);
  c->HandleNeeded();
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 400) << "set before the window";
  c->SetDroppedWidth(-1);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETDROPPEDWIDTH, 0, 0), c->Width());
  c->SetDroppedWidth(400);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 400);
  c->SetStyle(ecsDropDownList);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 400) << "a new window keeps it";
}

TEST_F(ComboTest, KeyDelayTakesNoNegativeValue) {
  auto* c = Make({"one"});
  EXPECT_EQ(c->KeyDelay(), 500);
  c->SetKeyDelay(-1);
  EXPECT_EQ(c->KeyDelay(), 500);
  c->SetKeyDelay(0);
  EXPECT_EQ(c->KeyDelay(), 0);
}

namespace {

int FontHeight(const char* face, int height) {
  gui::TFont f;
  f.SetName(face);
  f.SetHeight(height);
  gui::TScreenDC screen;
  gui::TSelectObject selected(screen, f.Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  return tm.tmHeight;
}

}  // namespace

TEST_F(ComboTest, AfterLoadingTheFontDecidesTheItemHeight) {
  LoadFormText(form,
               "object Form: TForm\n"
               "  object cb: TEcComboBox\n"
               "    Left = 8\n    Top = 48\n    Width = 353\n    Height = 38\n"
               "    Font.Height = -19\n    Font.Name = 'Arial'\n    ParentFont = False\n"
               "    ItemHeight = 29\n    KeyDelay = 300\n    MRUListCount = 2\n    MRUListColor = clSilver\n"
               "    HotTrack = True\n"
               "    LabelInfo.Visible = False\n    Items.Strings = ( 'one' 'two' )\n"
               "  end\n"
               "end\n");
  auto* c = rtl::As<TEcComboBox>(form->FindComponent("cb"));
  ASSERT_NE(c, nullptr);
  const int font = FontHeight("Arial", -19);
  ASSERT_NE(font, 29);
  EXPECT_EQ(c->ItemHeight(), font) << "not the stored 29";
  EXPECT_EQ(c->Controller(), controller) << "bound after loading";
  const TriggerRecord* poll = controller->TimerPool().FindTrigger(c->HotTrackTrigger());
  ASSERT_NE(poll, nullptr);
  EXPECT_EQ(poll->Interval, 100u) << "the hot-track poll of a box read from a resource";
  EXPECT_EQ(c->KeyDelay(), 300);
  EXPECT_EQ(c->MRUList().MaxItems(), 2);
  EXPECT_EQ(c->MRUListColor, gui::clSilver);
  EXPECT_EQ(c->ItemHeightAt(0), font + 3);
  EXPECT_EQ(c->ItemHeightAt(1), font + 3);

  c->Font().SetHeight(-13);  // a new font at run time measures again
  EXPECT_EQ(c->ItemHeight(), FontHeight("Arial", -13));
  EXPECT_EQ(c->ItemHeightAt(1), FontHeight("Arial", -13) + 3);
}

TEST_F(ComboTest, TheFormResourceHoldsItsOwnPropertiesNotAboutNorHiddenOffsets) {
  auto* c = Make({"one"});
  c->SetName("cbConn");
  c->SetMRUListCount(2);
  std::string text = FormText(c);
  for (const char* line : {"AutoSearch = True", "HotTrack = False", "KeyDelay = 500", "MRUListCount = 2",
                           "MRUListColor = clWindow", "Style = ecsDropDown", "LabelInfo.Visible = False"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  for (const char* absent : {"About", "OffsetX", "OffsetY", "DroppedWidth"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;
}
