// The combo box base on real windows: owner drawing checked by pixels (the parent's WM_DRAWITEM,
// the open list, the selection field), measuring and item heights, re-creation keeping what the
// box showed, the edit and list windows heard through their subclasses, the focus entering and
// leaving the whole control, the notifications, and a failing read of the items.
#include <gtest/gtest.h>

#include "Forms.h"
#include "FreedMemory.h"
#include "GdiCounter.h"
#include "StdCtrls.h"
#include "TestWindows.h"
#include "TextInk.h"
#include "rtl/Filer.h"
#include "rtl/FormText.h"

using namespace gui;
using tsupport::Surface;

namespace {

constexpr COLORREF kColours[] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 180), RGB(180, 180, 0)};
constexpr COLORREF Inverse(COLORREF c) { return c ^ 0xFFFFFF; }

// Paints each item in a colour of its own, notes how the canvas came prepared, answers the
// measuring with heights of its own and logs what its child windows hear.
class TColourCombo : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
  using TCustomComboBox::RecreateWnd;
  struct Seen {
    int index;
    RECT rect;
    TOwnerDrawState state;
    COLORREF brush, font;
    std::string face;
  };
  std::vector<Seen> drawn;
  int heightBase = 0;  // 0: leave the proposed height
  std::vector<std::string> edit, list;

 protected:
  void DrawItem(int index, const RECT& r, TOwnerDrawState state) override {
    drawn.push_back({index, r, state, ColorToRGB(Canvas().Brush().Color()), ColorToRGB(Canvas().Font().Color()),
                     Canvas().Font().Name()});
    Canvas().Brush().SetColor(static_cast<TColor>(kColours[index % 4]));
    Canvas().FillRect(r);
  }
  void MeasureItem(int index, int& height) override {
    if (heightBase) height = index < 0 ? heightBase + 10 : heightBase + 3 * index;
  }
  void EditWndProc(TMessage& m) override {
    Log(edit, m);
    TCustomComboBox::EditWndProc(m);
  }
  void ListWndProc(TMessage& m) override {
    Log(list, m);
    TCustomComboBox::ListWndProc(m);
  }

 private:
  static void Log(std::vector<std::string>& log, const TMessage& m) {
    if (m.Msg == WM_KEYDOWN) log.push_back("keydown " + std::to_string(m.WParam));
    if (m.Msg == WM_CHAR) log.push_back(std::string("char ") + static_cast<char>(m.WParam));
    if (m.Msg == WM_NCHITTEST) log.push_back("hittest");
  }
};

struct Events : rtl::TObject {
  std::vector<std::string> log;
  TCustomComboBox* combo = nullptr;
  std::string Text() const { return combo ? " " + combo->Text() : ""; }
  void Click(rtl::TObject*) { log.push_back("click" + Text()); }
  void Select(rtl::TObject*) { log.push_back("select" + Text()); }
  void Change(rtl::TObject*) { log.push_back("change" + Text()); }
  void DropDown(rtl::TObject*) { log.push_back("dropdown"); }
  void CloseUp(rtl::TObject*) { log.push_back("closeup"); }
  void Enter(rtl::TObject*) { log.push_back("enter"); }
  void Exit(rtl::TObject*) { log.push_back("exit"); }
  void KeyDown(rtl::TObject*, WORD& key, TShiftState) { log.push_back("key " + std::to_string(key)); }
  void KeyPress(rtl::TObject*, char& ch) {
    log.push_back(std::string("press ") + ch);
    if (ch == 'q') ch = 0;  // taken: the edit field never sees it
  }
  void Measure(rtl::TObject*, int index, int& height) { height = 12 + index; }
  void Draw(rtl::TObject*, int index, const RECT&, TOwnerDrawState state) {
    log.push_back("draw " + std::to_string(index) + " " + std::to_string(state));
  }
};

using Log = std::vector<std::string>;

struct ComboTest : ::testing::Test, tsupport::TTestForm {
  ComboTest() : TTestForm(50, 50, 400, 300) {}

  template <class C>
  C* Make(TComboBoxStyle style) {
    auto* c = new C(form);
    c->SetParent(form);
    c->SetBounds(10, 10, 200, 24);
    c->SetStyle(style);
    c->Font().SetName("Arial");
    c->Font().SetHeight(-13);
    for (const char* s : {"one", "two", "three", "four"}) c->Items().Add(s);
    return c;
  }
  // The request the platform sends the parent when an item is to be drawn, on a surface.
  void DrawRequest(TCustomComboBox* c, Surface& s, int index, UINT state, RECT r) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(c->Handle()));
    dis.itemID = static_cast<UINT>(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = c->Handle();
    dis.hDC = s.Dc();
    dis.rcItem = r;
    SendMessageA(form->Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  }
  static int CountOnRow(HDC dc, COLORREF c, int y, int left, int right) {
    int n = 0;
    for (int x = left; x < right; ++x) n += GetPixel(dc, x, y) == c;
    return n;
  }
};

}  // namespace

TEST_F(ComboTest, AnOwnerDrawRequestReachesDrawItemOnAPreparedCanvas) {
  auto* c = Make<TColourCombo>(csOwnerDrawFixed);
  c->SetColor(static_cast<TColor>(RGB(10, 20, 30)));
  c->Font().SetColor(static_cast<TColor>(RGB(40, 50, 60)));
  Surface s(100, 80);
  HGDIOBJ font = GetCurrentObject(s.Dc(), OBJ_FONT), brush = GetCurrentObject(s.Dc(), OBJ_BRUSH);
  COLORREF text = GetTextColor(s.Dc()), back = GetBkColor(s.Dc());

  DrawRequest(c, s, 1, 0, RECT{0, 0, 100, 20});
  DrawRequest(c, s, 2, ODS_SELECTED, RECT{0, 20, 100, 40});
  DrawRequest(c, s, 3, ODS_SELECTED | ODS_FOCUS, RECT{0, 40, 100, 60});
  DrawRequest(c, s, -1, ODS_COMBOBOXEDIT, RECT{0, 60, 100, 80});

  ASSERT_EQ(c->drawn.size(), 3u) << "a request without an item is not DrawItem's";
  EXPECT_EQ(c->drawn[0].index, 1);
  EXPECT_EQ(c->drawn[0].brush, RGB(10, 20, 30)) << "the control's colour";
  EXPECT_EQ(c->drawn[0].font, RGB(40, 50, 60)) << "the control's font";
  EXPECT_EQ(c->drawn[0].face, "Arial");
  EXPECT_EQ(c->drawn[1].brush, GetSysColor(COLOR_HIGHLIGHT)) << "selected";
  EXPECT_EQ(c->drawn[1].font, GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(c->drawn[2].state, static_cast<TOwnerDrawState>(odSelected | odFocused));
  EXPECT_EQ(c->drawn[1].rect.top, 20);
  EXPECT_EQ(s.At(50, 10), kColours[1]);
  EXPECT_EQ(s.At(50, 30), kColours[2]);
  EXPECT_EQ(s.At(50, 50), kColours[3]);
  EXPECT_EQ(s.At(50, 70), RGB(10, 20, 30)) << "no item: filled with the control's colour";
  // The focus rectangle: every other pixel of the item's edge inverted, once.
  EXPECT_GE(CountOnRow(s.Dc(), Inverse(kColours[3]), 40, 0, 100), 49);
  EXPECT_GE(CountOnRow(s.Dc(), Inverse(kColours[3]), 59, 0, 100), 49);
  EXPECT_EQ(CountOnRow(s.Dc(), Inverse(kColours[3]), 50, 2, 98), 0);
  EXPECT_EQ(CountOnRow(s.Dc(), Inverse(kColours[2]), 20, 0, 100), 0) << "no focus, no rectangle";
  // The platform gets its DC back as it gave it.
  EXPECT_EQ(GetCurrentObject(s.Dc(), OBJ_FONT), font);
  EXPECT_EQ(GetCurrentObject(s.Dc(), OBJ_BRUSH), brush);
  EXPECT_EQ(GetTextColor(s.Dc()), text);
  EXPECT_EQ(GetBkColor(s.Dc()), back);

  Surface hidden(100, 20);
  DrawRequest(c, hidden, 3, ODS_SELECTED | ODS_FOCUS | ODS_NOFOCUSRECT, RECT{0, 0, 100, 20});
  EXPECT_EQ(CountOnRow(hidden.Dc(), Inverse(kColours[3]), 0, 0, 100), 0) << "the platform hides focus cues";
}

TEST_F(ComboTest, TheDefaultDrawItemFillsAndDrawsTheItemsText) {
  auto* c = Make<TComboBox>(csOwnerDrawFixed);
  HFONT font = c->Font().Handle();
  auto m = textink::Measure(font, "one");
  const int h = m.lineHeight + 4;  // room for the text, centred 2 pixels from the top
  Surface got(100, h);
  DrawRequest(c, got, 0, ODS_SELECTED, RECT{0, 0, 100, h});
  Surface want(100, h, GetSysColor(COLOR_HIGHLIGHT));
  textink::Draw(want, font, 2, 2, "one", GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_TRUE(textink::SamePixels(got, want)) << "selected: highlight colours, the text 2 pixels in";

  Surface plain(100, h);
  DrawRequest(c, plain, 1, 0, RECT{0, 0, 100, h});
  Surface expected(100, h, GetSysColor(COLOR_WINDOW));
  textink::Draw(expected, font, 2, 2, "two", GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_TRUE(textink::SamePixels(plain, expected));

  Events ev;
  c->OnDrawItem.Bind(&ev, &Events::Draw);
  Surface any(100, h, RGB(1, 2, 3));
  DrawRequest(c, any, 2, ODS_SELECTED, RECT{0, 0, 100, h});
  EXPECT_EQ(ev.log, (Log{"draw 2 1"}));
  EXPECT_EQ(any.At(50, 2), RGB(1, 2, 3)) << "OnDrawItem draws instead, background and all";
}

TEST_F(ComboTest, TheOpenListAndTheSelectionFieldShowTheOwnerDrawnItems) {
  auto* c = Make<TColourCombo>(csOwnerDrawFixed);
  c->SetItemHeight(20);
  c->SetItemIndex(1);
  Show();
  c->SetFocus();
  RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  tsupport::PumpFor(100);
  // The selection field: the chosen item, with the focus rectangle (drawn once, so it shows).
  auto field = std::find_if(c->drawn.rbegin(), c->drawn.rend(), [](auto& d) { return (d.state & odComboBoxEdit) != 0; });
  ASSERT_NE(field, c->drawn.rend());
  EXPECT_EQ(field->index, 1);
  EXPECT_TRUE(field->state & odFocused);
  {
    TClientDC dc(c->Handle());
    RECT r = field->rect;
    EXPECT_EQ(GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2), kColours[1]);
    EXPECT_GE(CountOnRow(dc, Inverse(kColours[1]), r.top, r.left, r.right), (r.right - r.left) / 2 - 1);
  }

  c->SetDroppedDown(true);
  tsupport::PumpFor(100);
  ASSERT_TRUE(c->DroppedDown());
  HWND list = c->ListHandle();
  ASSERT_TRUE(IsWindowVisible(list));
  {
    TClientDC dc(list);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(GetPixel(dc, 30, 20 * i + 10), kColours[i]) << "item " << i;
  }
  c->SetDroppedDown(false);
}

TEST_F(ComboTest, MeasureItemGivesEachItemOfTheVariableStyleItsHeight) {
  auto* c = Make<TColourCombo>(csOwnerDrawVariable);
  c->heightBase = 14;
  c->HandleNeeded();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(c->ItemHeightAt(i), 14 + 3 * i) << "item " << i;
  c->SetItemHeightAt(2, 40);
  EXPECT_EQ(c->ItemHeightAt(2), 40);
  EXPECT_EQ(c->ItemHeightAt(3), 23);
  // The selection field is measured too (as item -1), though the platform asks before the
  // control can answer: 10 pixels more in the answer, 10 more in the field.
  auto field = [&] { return SendMessageA(c->Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0); };
  LRESULT before = field();
  c->heightBase = 24;
  c->RecreateWnd();
  EXPECT_EQ(field() - before, 10);
  EXPECT_EQ(c->ItemHeightAt(0), 24);

  auto* plain = Make<TComboBox>(csOwnerDrawVariable);
  Events ev;
  plain->OnMeasureItem.Bind(&ev, &Events::Measure);
  plain->Items().Add("five");  // every item goes to the window again, and is measured
  for (int i = 0; i < 5; ++i) EXPECT_EQ(plain->ItemHeightAt(i), 12 + i) << "OnMeasureItem, item " << i;
}

TEST_F(ComboTest, ItemHeightSetsTheOwnerDrawnItemsAndAChangeKeepsTheList) {
  auto* fixed = Make<TComboBox>(csOwnerDrawFixed);
  fixed->SetItemHeight(24);
  fixed->SetItemIndex(2);
  fixed->HandleNeeded();
  EXPECT_EQ(fixed->ItemHeightAt(0), 24);
  fixed->SetItemHeight(30);
  EXPECT_EQ(fixed->ItemHeightAt(0), 30);
  EXPECT_EQ(SendMessageA(fixed->Handle(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(fixed->ItemIndex(), 2);
  // The selection field is an item too: 6 pixels more for both.
  auto field = [&] { return SendMessageA(fixed->Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0); };
  LRESULT before = field();
  fixed->SetItemHeight(36);
  EXPECT_EQ(field() - before, 6);

  // Variable heights start from ItemHeight: a change measures every item again.
  auto* variable = Make<TColourCombo>(csOwnerDrawVariable);
  variable->SetItemHeight(18);
  variable->HandleNeeded();
  EXPECT_EQ(variable->ItemHeightAt(3), 18);
  variable->SetItemHeight(26);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(variable->ItemHeightAt(i), 26) << "item " << i;
}

TEST_F(ComboTest, ReCreatingTheWindowKeepsItemsTextAndSelection) {
  auto* c = Make<TComboBox>(csDropDown);
  c->SetItemIndex(2);
  c->HandleNeeded();
  c->SetStyle(csDropDownList);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(c->ItemIndex(), 2);
  EXPECT_EQ(c->Text(), "three");
  c->Items().Insert(0, "zero");
  EXPECT_EQ(c->Text(), "three") << "a list-only box keeps showing its item when the list changes";
  EXPECT_EQ(c->ItemIndex(), 3);
  c->Items().Delete(0);

  c->SetStyle(csDropDown);
  c->SetItemIndex(-1);
  c->SetText("Custom");
  c->SetStyle(csSimple);
  EXPECT_EQ(c->Text(), "Custom") << "typed text that is no item";
  EXPECT_EQ(c->ItemIndex(), -1);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETCOUNT, 0, 0), 4);

  c->DestroyHandle();
  EXPECT_EQ(c->Text(), "Custom") << "kept while there is no window";
  c->HandleNeeded();
  EXPECT_EQ(c->Text(), "Custom");

  c->SetItemIndex(1);
  form->DestroyHandle();  // the parent's window takes the combo box's with it
  form->HandleNeeded();
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(c->Text(), "two");
}

TEST_F(ComboTest, TheEditAndListWindowsAreHeardThroughTheirSubclasses) {
  auto* c = Make<TColourCombo>(csDropDown);
  Events ev;
  c->OnKeyDown.Bind(&ev, &Events::KeyDown);
  c->OnKeyPress.Bind(&ev, &Events::KeyPress);
  c->HandleNeeded();
  HWND edit = c->EditHandle();
  ASSERT_TRUE(edit && IsChild(c->Handle(), edit));
  SendMessageA(edit, WM_KEYDOWN, 'A', 0);
  SendMessageA(edit, WM_CHAR, 'a', 0);
  SendMessageA(edit, WM_CHAR, 'q', 0);
  EXPECT_EQ(c->edit, (Log{"keydown 65", "char a", "char q"}));
  EXPECT_EQ(ev.log, (Log{"key 65", "press a", "press q"})) << "the control's own key events";
  EXPECT_EQ(c->Text(), "a") << "a key the control took never reaches the edit field";

  SendMessageA(c->ListHandle(), WM_NCHITTEST, 0, 0);
  EXPECT_EQ(c->list, (Log{"hittest"}));

  // A new window gets new children, subclassed in their turn, each message heard once.
  c->SetStyle(csSimple);
  HWND newEdit = c->EditHandle();
  ASSERT_TRUE(newEdit && IsChild(c->Handle(), newEdit));
  c->edit.clear();
  SendMessageA(newEdit, WM_CHAR, 'b', 0);
  EXPECT_EQ(c->edit, (Log{"char b"}));
  EXPECT_NE(TSubclass::Top(newEdit), nullptr);

  c->SetStyle(csOwnerDrawFixed);
  EXPECT_EQ(c->EditHandle(), nullptr) << "a list-only box has no edit field";
  EXPECT_NE(c->ListHandle(), nullptr);
}

TEST_F(ComboTest, TheFocusEntersAndLeavesTheWholeControlOnce) {
  auto* c = Make<TComboBox>(csDropDown);
  auto* other = new TButton(form);
  other->SetParent(form);
  other->SetBounds(250, 10, 80, 25);
  Events ev;
  c->OnEnter.Bind(&ev, &Events::Enter);
  c->OnExit.Bind(&ev, &Events::Exit);
  std::string reported;
  app.OnException = [&](const std::exception& e) { reported = e.what(); };
  Show();
  other->SetFocus();
  ev.log.clear();

  c->SetFocus();
  EXPECT_EQ(GetFocus(), c->EditHandle()) << "the platform passes the focus on to the edit field";
  EXPECT_EQ(ev.log, (Log{"enter"}));
  other->SetFocus();
  EXPECT_EQ(ev.log, (Log{"enter", "exit"}));

  c->SetStyle(csDropDownList);
  c->SetFocus();
  other->SetFocus();
  EXPECT_EQ(ev.log, (Log{"enter", "exit", "enter", "exit"}));

  // Freed while its edit field has the focus: nothing reaches the freed control.
  c->SetStyle(csDropDown);
  c->SetFocus();
  HWND edit = c->EditHandle(), list = c->ListHandle();
  ev.log.clear();
  delete c;
  EXPECT_EQ(ev.log, Log{});
  EXPECT_EQ(reported, "");
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_FALSE(IsWindow(list));
}

// A descendant hears the focus entering and leaving the whole control before the events do.
class TFocusCombo : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
  Log* log = nullptr;

 protected:
  void DoEnter() override {
    log->push_back("do enter");
    TCustomComboBox::DoEnter();
  }
  void DoExit() override {
    log->push_back("do exit");
    TCustomComboBox::DoExit();
  }
};

TEST_F(ComboTest, DoEnterAndDoExitRunOncePerEntryBeforeTheEvents) {
  auto* c = Make<TFocusCombo>(csDropDown);
  auto* other = new TButton(form);
  other->SetParent(form);
  other->SetBounds(250, 10, 80, 25);
  Events ev;
  c->log = &ev.log;
  c->OnEnter.Bind(&ev, &Events::Enter);
  c->OnExit.Bind(&ev, &Events::Exit);
  Show();
  other->SetFocus();
  ev.log.clear();
  c->SetFocus();  // the combo box, then its edit field
  other->SetFocus();
  c->SetStyle(csDropDownList);  // no edit field: the combo box's own window
  c->SetFocus();
  other->SetFocus();
  EXPECT_EQ(ev.log, (Log{"do enter", "enter", "do exit", "exit", "do enter", "enter", "do exit", "exit"}));
}

TEST_F(ComboTest, TheNotificationsFireTheirEvents) {
  auto* c = Make<TComboBox>(csDropDown);
  Events ev;
  ev.combo = c;
  c->OnClick.Bind(&ev, &Events::Click);
  c->OnSelect.Bind(&ev, &Events::Select);
  c->OnChange.Bind(&ev, &Events::Change);
  c->OnDropDown.Bind(&ev, &Events::DropDown);
  c->OnCloseUp.Bind(&ev, &Events::CloseUp);
  Show();
  c->SetFocus();
  tsupport::PumpFor(100);
  ev.log.clear();

  SendMessageA(c->EditHandle(), WM_KEYDOWN, VK_DOWN, 0);  // the next item of the list
  EXPECT_EQ(ev.log, (Log{"click one", "select one", "change one"}));

  ev.log.clear();
  SendMessageA(c->EditHandle(), WM_CHAR, 'x', 0);
  ASSERT_EQ(ev.log.size(), 1u);
  EXPECT_EQ(ev.log[0], "change " + c->Text());
  EXPECT_NE(c->Text().find('x'), std::string::npos);

  ev.log.clear();
  c->SetDroppedDown(true);
  EXPECT_TRUE(c->DroppedDown());
  c->SetDroppedDown(false);
  EXPECT_FALSE(c->DroppedDown());
  EXPECT_EQ(ev.log, (Log{"dropdown", "closeup"}));

  c->SetDroppedWidth(300);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 300);
  c->SetDroppedWidth(-1);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETDROPPEDWIDTH, 0, 0), c->Width()) << "the platform's: as wide as the box";
}

TEST_F(ComboTest, AnEventHandlerMayFreeTheBoxMidSelection) {
  // Freed by the click's, then the select's, then the change's handler: the later events are not
  // fired and nothing of the box is written once it is gone.
  struct TFreeing : Events {
    std::string at;
    void Fire(const std::string& what) {
      log.push_back(what);
      if (what == at) std::exchange(combo, nullptr)->Free();
    }
    void Click(rtl::TObject*) { Fire("click"); }
    void Select(rtl::TObject*) { Fire("select"); }
    void Change(rtl::TObject*) { Fire("change"); }
  };
  Show();
  for (const Log& expected : {Log{"click"}, Log{"click", "select"}, Log{"click", "select", "change"}}) {
    tsupport::TFreedMemoryWatch freed;
    TFreeing ev;
    ev.at = expected.back();
    auto* c = Make<TComboBox>(csDropDown);
    ev.combo = c;
    c->OnClick.Bind(&ev, &TFreeing::Click);
    c->OnSelect.Bind(&ev, &TFreeing::Select);
    c->OnChange.Bind(&ev, &TFreeing::Change);
    SendMessageA(c->Handle(), CB_SETCURSEL, 0, 0);
    PostMessageA(c->EditHandle(), WM_KEYDOWN, VK_DOWN, 0);  // the next item of the list
    tsupport::Pump();
    EXPECT_EQ(ev.log, expected);
    EXPECT_EQ(freed.WrittenAfterFree(), 0u);
  }
}

TEST_F(ComboTest, AFailingReadOfTheItemsLeavesTheListTakingChanges) {
  auto* c = Make<TComboBox>(csDropDown);
  c->HandleNeeded();
  rtl::TMemoryStream bin;
  rtl::ObjectTextToBinary("object cb: TComboBox\n  Items.Strings = (\n    'alpha'\n    'beta')\nend\n", bin);
  const auto& bytes = bin.Bytes();
  std::string all(bytes.begin(), bytes.end());
  size_t cut = all.find("beta");
  ASSERT_NE(cut, std::string::npos);
  rtl::TMemoryStream truncated(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut) + 2));
  try {
    rtl::ReadComponentFromStream(truncated, c);
    ADD_FAILURE() << "read a truncated list";
  } catch (const rtl::EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  c->Items().Add("gamma");
  EXPECT_EQ(c->Items().Count(), 2);
  EXPECT_EQ(SendMessageA(c->Handle(), CB_GETCOUNT, 0, 0), c->Items().Count()) << "the window follows the list";
}

TEST(ComboBox, OwnerDrawingAndReCreationReleaseEveryGdiObjectAndWindow) {
  tsupport::GdiDelta delta;
  {
    tsupport::TTestForm host;
    TForm* form = host.form;
    auto* c = new TColourCombo(form);
    c->SetParent(form);
    c->SetStyle(csOwnerDrawVariable);
    c->Items().Add("one");
    c->Items().Add("two");
    c->HandleNeeded();
    c->SetDroppedDown(true);
    c->SetDroppedDown(false);
    c->SetStyle(csDropDown);  // a new window, new children
    c->SetStyle(csOwnerDrawFixed);
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_EQ(delta.Delta(), 0);
}
