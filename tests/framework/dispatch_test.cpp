// Message dispatch by recorded sequences: the recorder itself, reflection of control messages to
// the child they concern, the change notifications of the property setters, the order of a
// handler and the default procedure, key preview, and a Paint that throws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "FreedMemory.h"
#include "GdiCounter.h"
#include "MemorySurface.h"
#include "MessageRecorder.h"
#include "TestWindows.h"

using namespace gui;
using namespace tsupport;

namespace {

constexpr UINT kMarker = WM_APP + 9;

// A windowed child that answers every reflected message with a number of its own.
class TReflectTarget : public TWinControl {
 public:
  using TWinControl::TWinControl;
  static LRESULT AnswerFor(UINT msg) { return 0x500 + static_cast<LRESULT>(msg); }
  void WndProc(TMessage& m) override {
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + WM_USER) {
      m.Answer(AnswerFor(m.Msg - CN_BASE));
      return;
    }
    TWinControl::WndProc(m);
  }
};

struct Form : ::testing::Test, TTestForm {
  Form() : TTestForm(0, 0, 300, 200) {}
  template <class C>
  C* Child(int left = 10, int top = 10, int width = 50, int height = 30) {
    auto* c = new C(form);
    c->SetBounds(left, top, width, height);
    c->SetParent(form);
    return c;
  }
};

}  // namespace

// ------------------------------------------------------------------------------ the recorder

TEST(Recorder, TellsSentFromPostedAndNamesWhatArrivedOnAMismatch) {
  TPlainWindow wnd;
  ASSERT_TRUE(wnd.Handle());
  {
    TMessageRecorder rec;
    rec.Watch(wnd, "plain");
    rec.Only({WM_APP + 1, WM_APP + 2, WM_SETTEXT});
    SendMessageA(wnd, WM_APP + 1, 7, 0);
    PostMessageA(wnd, WM_APP + 2, 0, 0);
    Pump();
    EXPECT_TRUE(rec.Matches({{WM_APP + 1, sent | wparam, 7}, {WM_SETTEXT, sent | optional}, {WM_APP + 2, posted}}));
    auto wrong = rec.Matches({{WM_APP + 1, sent}, {WM_APP + 2, sent}});
    EXPECT_FALSE(wrong);
    EXPECT_NE(std::string(wrong.message()).find("WM_APP+2 posted, plain"), std::string::npos) << wrong.message();
    EXPECT_FALSE(rec.Matches({{WM_APP + 1, sent | wparam, 8}, {WM_APP + 2, posted}})) << "wParam is compared";
    EXPECT_FALSE(rec.Matches({{WM_APP + 1, sent}})) << "what arrived beyond the table is a mismatch";
    EXPECT_FALSE(rec.Matches({{WM_APP + 1, sent}, {WM_APP + 2, posted}, {WM_APP + 3, sent}})) << "a missing entry";
  }
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)), &DefWindowProcA) << "the recorder left";
}

TEST(Recorder, NamesMessages) {
  EXPECT_EQ(MessageName(WM_PAINT), "WM_PAINT");
  EXPECT_EQ(MessageName(CN_DRAWITEM), "CN_DRAWITEM");
  EXPECT_EQ(MessageName(CN_CTLCOLORSCROLLBAR), "CN_CTLCOLORSCROLLBAR");
  EXPECT_EQ(MessageName(CM_ENABLEDCHANGED), "CM_ENABLEDCHANGED");
  EXPECT_EQ(MessageName(WM_USER + 3), "WM_USER+3");
}

// ------------------------------------------------------------------------------ reflection

TEST_F(Form, ControlMessagesAreReflectedToTheChildTheyConcern) {
  auto* child = Child<TReflectTarget>();
  HWND wnd = form->Handle();
  HWND childWnd = child->Handle();
  const UINT id = static_cast<UINT>(GetDlgCtrlID(childWnd));
  NMHDR notify{childWnd, id, 0};
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_LISTBOX;
  draw.CtlID = id;
  draw.hwndItem = childWnd;
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = id;
  DELETEITEMSTRUCT del{};
  del.CtlType = ODT_LISTBOX;
  del.CtlID = id;
  del.hwndItem = childWnd;
  COMPAREITEMSTRUCT compare{};
  compare.CtlType = ODT_LISTBOX;
  compare.CtlID = id;
  compare.hwndItem = childWnd;
  const LPARAM childArg = reinterpret_cast<LPARAM>(childWnd);
  HDC dc = GetDC(childWnd);
  const WPARAM dcArg = reinterpret_cast<WPARAM>(dc);
  struct Case {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  } cases[] = {
      {WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), childArg},
      {WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notify)},
      {WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&draw)},
      {WM_MEASUREITEM, id, reinterpret_cast<LPARAM>(&measure)},
      {WM_DELETEITEM, id, reinterpret_cast<LPARAM>(&del)},
      {WM_COMPAREITEM, id, reinterpret_cast<LPARAM>(&compare)},
      {WM_VKEYTOITEM, MAKEWPARAM(VK_DOWN, 0), childArg},
      {WM_CHARTOITEM, MAKEWPARAM('a', 0), childArg},
      {WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), childArg},
      {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), childArg},
      {WM_CTLCOLOREDIT, dcArg, childArg},
      {WM_CTLCOLORLISTBOX, dcArg, childArg},
      {WM_CTLCOLORBTN, dcArg, childArg},
      {WM_CTLCOLORSCROLLBAR, dcArg, childArg},
      {WM_CTLCOLORSTATIC, dcArg, childArg},
  };
  for (const Case& c : cases) {
    TMessageRecorder rec;
    rec.Watch(*form, "form");
    rec.Watch(*child, "child");
    rec.Only({c.msg, CN_BASE + c.msg});
    LRESULT answer = SendMessageA(wnd, c.msg, c.wParam, c.lParam);
    EXPECT_EQ(answer, TReflectTarget::AnswerFor(c.msg)) << MessageName(c.msg) << ": the child's answer is the parent's";
    EXPECT_TRUE(rec.Matches({{c.msg, sent | wparam | lparam, c.wParam, c.lParam, form},
                             {CN_BASE + c.msg, sent | wparam | lparam, c.wParam, c.lParam, child}}))
        << MessageName(c.msg);
  }
  ReleaseDC(childWnd, dc);
}

TEST_F(Form, MenuAndOwnScrollBarMessagesStayWithTheParent) {
  auto* child = Child<TReflectTarget>();
  HWND wnd = form->Handle();
  child->HandleNeeded();
  DRAWITEMSTRUCT menuItem{};
  menuItem.CtlType = ODT_MENU;
  menuItem.hwndItem = child->Handle();  // even a child's window there: a menu's item is the parent's
  TMessageRecorder rec;
  rec.Watch(*form, "form");
  rec.Watch(*child, "child");
  rec.Only({WM_COMMAND, WM_DRAWITEM, WM_VSCROLL, CN_COMMAND, CN_DRAWITEM, CN_VSCROLL});
  SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(42, 0), 0);  // a menu item's command
  SendMessageA(wnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem));
  SendMessageA(wnd, WM_VSCROLL, SB_LINEDOWN, 0);  // the window's own scroll bar
  EXPECT_TRUE(rec.Matches({{WM_COMMAND, sent, 0, 0, form}, {WM_COMMAND, defwinproc, 0, 0, form},
                           {WM_DRAWITEM, sent, 0, 0, form}, {WM_DRAWITEM, defwinproc, 0, 0, form},
                           {WM_VSCROLL, sent, 0, 0, form}, {WM_VSCROLL, defwinproc, 0, 0, form}}));
}

TEST_F(Form, ANotificationWhoseRecordDoesNotCheckOutStaysWithTheParent) {
  auto* child = Child<TReflectTarget>();
  HWND wnd = form->Handle(), childWnd = child->Handle();
  const auto id = static_cast<UINT_PTR>(GetDlgCtrlID(childWnd));
  NMHDR notChild{wnd, id, 0}, wrongId{childWnd, id + 1, 0};
  TMessageRecorder rec;
  rec.Watch(*child, "child");
  rec.Only({CN_NOTIFY});
  // Any program may post a WM_NOTIFY with any lParam: addresses of nothing, records naming
  // another window or id.
  for (LPARAM junk : {LPARAM(0x10), LPARAM(-8), LPARAM(0x7FFE0000), reinterpret_cast<LPARAM>(&notChild),
                      reinterpret_cast<LPARAM>(&wrongId)})
    PostMessageA(wnd, WM_NOTIFY, id, junk);
  Pump();
  EXPECT_EQ(rec.Count(CN_NOTIFY), 0);
}

TEST_F(Form, AReflectedMessageTheChildLeavesGetsTheParentsDefaultProcessing) {
  auto* child = Child<TWinControl>();
  HWND wnd = form->Handle();
  TMessageRecorder rec;
  rec.Watch(*form, "form");
  rec.Watch(*child, "child");
  rec.Only({WM_VKEYTOITEM, CN_VKEYTOITEM});
  // The platform's default answer to a list's key: -1, "do the default action".
  EXPECT_EQ(SendMessageA(wnd, WM_VKEYTOITEM, VK_DOWN, reinterpret_cast<LPARAM>(child->Handle())), -1);
  EXPECT_TRUE(rec.Matches({{WM_VKEYTOITEM, sent, 0, 0, form},
                           {CN_VKEYTOITEM, sent, 0, 0, child},
                           {WM_VKEYTOITEM, defwinproc, 0, 0, form}}));
}

namespace {
// An owner-drawn list of the platform's, whose items are as high as it answers.
class TOwnerDrawList : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int measured = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == CN_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = 23;
      ++measured;
      m.Answer(TRUE);
      return;
    }
    TWinControl::WndProc(m);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    p.SubClass = "LISTBOX";
    p.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  }
};
}  // namespace

TEST_F(Form, AChildBeingCreatedIsReflectedToAlready) {
  auto* list = Child<TOwnerDrawList>(10, 10, 100, 100);
  list->HandleNeeded();
  EXPECT_EQ(list->measured, 1) << "the list measures its items inside its own creation";
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 23);
}

// ----------------------------------------------------------------------- change notifications

namespace {
class TGraphic : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
};
}  // namespace

TEST_F(Form, SettersSendTheirChangeNotifications) {
  auto* graphic = Child<TGraphic>();
  auto* windowed = Child<TWinControl>(100, 10);
  graphic->SetParentColor(true);
  form->HandleNeeded();
  TMessageRecorder rec;
  rec.Watch(*graphic, "graphic");
  rec.Watch(*windowed, "windowed");
  rec.Only({CM_ENABLEDCHANGED, CM_VISIBLECHANGED, CM_TEXTCHANGED, CM_FONTCHANGED, CM_COLORCHANGED,
            CM_PARENTFONTCHANGED, CM_PARENTCOLORCHANGED});
  graphic->SetEnabled(false);
  graphic->SetEnabled(false);  // unchanged: nothing
  graphic->SetVisible(false);
  graphic->SetCaption("Text");
  windowed->SetCaption("Text");
  windowed->SetColor(clRed);
  windowed->Font().SetHeight(-20);
  EXPECT_TRUE(rec.Matches({{CM_ENABLEDCHANGED, sent, 0, 0, graphic},
                           {CM_VISIBLECHANGED, sent | wparam, 0, 0, graphic},
                           {CM_TEXTCHANGED, sent, 0, 0, graphic},
                           {CM_TEXTCHANGED, sent, 0, 0, windowed},
                           {CM_COLORCHANGED, sent, 0, 0, windowed},
                           {CM_FONTCHANGED, sent, 0, 0, windowed}}));
  // The parent's changes reach each child, which follows when it takes the parent's.
  rec.Clear();
  form->SetColor(clYellow);
  EXPECT_TRUE(rec.Matches({{CM_PARENTCOLORCHANGED, sent, 0, 0, graphic},
                           {CM_COLORCHANGED, sent, 0, 0, graphic},
                           {CM_PARENTCOLORCHANGED, sent, 0, 0, windowed}}));
  EXPECT_EQ(graphic->Color(), clYellow);
  EXPECT_EQ(windowed->Color(), clRed);
  rec.Clear();
  form->Font().SetName("Arial");
  EXPECT_TRUE(rec.Matches({{CM_PARENTFONTCHANGED, sent, 0, 0, graphic},
                           {CM_FONTCHANGED, sent, 0, 0, graphic},
                           {CM_PARENTFONTCHANGED, sent, 0, 0, windowed}}));
  EXPECT_EQ(graphic->Font().Name(), "Arial");
  EXPECT_NE(windowed->Font().Name(), "Arial") << "it has a font of its own";
}

TEST_F(Form, AHookThatTakesTheNotificationKeepsTheDefaultHandlerFromRunning) {
  auto* windowed = Child<TWinControl>();
  HWND wnd = windowed->Handle();
  TWndMethod inner = windowed->WindowProc;
  windowed->WindowProc = [&](TMessage& m) {
    if (m.Msg != CM_ENABLEDCHANGED) inner(m);
  };
  windowed->SetEnabled(false);
  EXPECT_TRUE(IsWindowEnabled(wnd)) << "EnabledChanged, the default handler, did not run";
  windowed->WindowProc = inner;
  windowed->SetEnabled(true);
  windowed->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(wnd));
}

// ----------------------------------------------------------------------- order and key preview

TEST_F(Form, FocusReachesTheDefaultProcedureBeforeOnEnter) {
  auto* a = Child<TWinControl>();
  form->HandleNeeded();
  form->Show();
  struct Enter : rtl::TObject {
    HWND wnd = nullptr;
    void Entered(rtl::TObject*) { SendMessageA(wnd, kMarker, 0, 0); }
  } enter;
  enter.wnd = a->Handle();
  a->OnEnter.Bind(&enter, &Enter::Entered);
  TMessageRecorder rec;
  rec.Watch(*a, "a");
  rec.Only({WM_SETFOCUS, kMarker});
  a->SetFocus();
  EXPECT_TRUE(rec.Matches({{WM_SETFOCUS, sent}, {WM_SETFOCUS, defwinproc}, {kMarker, sent}, {kMarker, defwinproc}}));
}

namespace {
struct Keys : rtl::TObject {
  std::vector<std::string> log;
  WORD swallow = 0;
  char replace = 0;
  void Down(rtl::TObject* sender, WORD& key, TShiftState) {
    log.push_back(Who(sender) + " down " + std::to_string(key));
    if (key == swallow) key = 0;
  }
  void Up(rtl::TObject* sender, WORD& key, TShiftState) { log.push_back(Who(sender) + " up " + std::to_string(key)); }
  void Press(rtl::TObject* sender, char& ch) {
    log.push_back(Who(sender) + " press " + std::string(1, ch));
    if (replace && rtl::As<TForm>(sender)) ch = replace;
  }
  static std::string Who(rtl::TObject* o) { return rtl::As<TForm>(o) ? "form" : "child"; }
};
}  // namespace

TEST_F(Form, KeyPreviewShowsTheFormTheFocusedControlsKeysFirst) {
  auto* edit = Child<TWinControl>();
  Keys keys;
  for (TWinControl* c : {static_cast<TWinControl*>(form), static_cast<TWinControl*>(edit)}) {
    c->OnKeyDown.Bind(&keys, &Keys::Down);
    c->OnKeyUp.Bind(&keys, &Keys::Up);
    c->OnKeyPress.Bind(&keys, &Keys::Press);
  }
  HWND wnd = edit->Handle();
  TMessageRecorder rec;
  rec.Watch(*edit, "edit");
  rec.Only({WM_KEYDOWN, WM_CHAR, WM_KEYUP});

  SendMessageA(wnd, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(keys.log, (std::vector<std::string>{"child down 65"})) << "without KeyPreview the form hears nothing";

  form->SetKeyPreview(true);
  keys.log.clear();
  SendMessageA(wnd, WM_KEYDOWN, 'A', 0);
  SendMessageA(wnd, WM_CHAR, 'a', 0);
  SendMessageA(wnd, WM_KEYUP, 'A', 0);
  EXPECT_EQ(keys.log, (std::vector<std::string>{"form down 65", "child down 65", "form press a", "child press a",
                                                "form up 65", "child up 65"}));

  // Swallowed by the form: the control neither hears it nor passes it on.
  keys.log.clear();
  keys.swallow = VK_RETURN;
  keys.replace = 'b';
  rec.Clear();
  SendMessageA(wnd, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(wnd, WM_CHAR, 'a', 0);
  EXPECT_EQ(keys.log, (std::vector<std::string>{"form down 13", "form press a", "child press b"}));
  EXPECT_TRUE(rec.Matches({{WM_KEYDOWN, sent}, {WM_CHAR, sent | wparam, 'a'}, {WM_CHAR, defwinproc | wparam, 'b'}}))
      << "the key the form changed is the one passed on";
}

// ------------------------------------------------------------------------------ painting

namespace {
class TThrowingGraphic : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void Paint() override {
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect(ClientRect());
    throw rtl::Exception("paint failed");
  }
};
}  // namespace

namespace {
// Frees its victim from inside a handler of the victim's control.
struct TFreer : rtl::TObject {
  rtl::TComponent* victim = nullptr;
  std::vector<std::string> log;
  void Fire(const char* what) {
    log.push_back(what);
    if (victim) std::exchange(victim, nullptr)->Free();
  }
  void DblClick(rtl::TObject*) { Fire("dblclick"); }
  void MouseDown(rtl::TObject*, TMouseButton, TShiftState, int, int) { log.push_back("mousedown"); }
  void KeyDown(rtl::TObject*, WORD&, TShiftState) { Fire("keydown"); }
};
}  // namespace

TEST(Lifetime, AHandlerMayFreeItsControlOrTheFormItSitsOn) {
  // What would have followed the handler (the press after a double click, the default
  // procedure after a key) is not run on what is gone, and nothing of it is written.
  struct TCase {
    bool windowed, freesForm;
  };
  for (TCase c : {TCase{false, false}, TCase{false, true}, TCase{true, false}}) {
    TFreedMemoryWatch freed;
    GdiDelta gdi;
    {
      TTestForm f(0, 0, 200, 100);
      TFreer freer;
      TControl* control = c.windowed ? static_cast<TControl*>(new TCustomControl(f.form)) : new TGraphicControl(f.form);
      control->SetBounds(10, 10, 50, 30);
      control->SetParent(f.form);
      control->OnDblClick.Bind(&freer, &TFreer::DblClick);
      control->OnMouseDown.Bind(&freer, &TFreer::MouseDown);
      freer.victim = c.freesForm ? static_cast<rtl::TComponent*>(f.form) : control;
      rtl::TAliveToken gone = freer.victim->AliveToken();
      f.Show();
      if (auto* w = rtl::As<TWinControl>(control)) {
        w->OnKeyDown.Bind(&freer, &TFreer::KeyDown);
        PostMessageA(w->Handle(), WM_KEYDOWN, 'A', 0);
      } else {
        PostMessageA(f.form->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
      }
      Pump();
      EXPECT_FALSE(gone);
      EXPECT_EQ(freer.log, std::vector<std::string>{c.windowed ? "keydown" : "dblclick"});
      EXPECT_EQ(freed.WrittenAfterFree(), 0u);
    }
    EXPECT_EQ(gdi.Delta(), 0);
  }
}

TEST(Painting, APaintThatThrowsEndsThePaintAndReleasesEverything) {
  tsupport::GdiDelta delta;
  {
    TTestForm host(0, 0, 200, 150);
    TForm* form = host.form;
    std::vector<std::string> reported;
    host.app.OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
    struct Thrower : rtl::TObject {
      void Paint(rtl::TObject*) { throw rtl::Exception("form paint failed"); }
    } thrower;
    form->OnPaint.Bind(&thrower, &Thrower::Paint);
    form->HandleNeeded();
    form->Show();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(reported, (std::vector<std::string>{"form paint failed"}));
    EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE)) << "nothing left to paint";
    EXPECT_FALSE(form->Canvas().HandleAllocated()) << "the canvas let the paint DC go";
  }
  EXPECT_EQ(delta.Delta(), 0) << "EndPaint was done; no DC or object is left";
}

TEST(Painting, AGraphicControlThatThrowsLeavesTheParentsDCAsItWas) {
  tsupport::GdiDelta delta;
  {
    TTestForm host(0, 0, 200, 150);
    TForm* form = host.form;
    std::vector<std::string> reported;
    host.app.OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
    auto* bad = new TThrowingGraphic(form);
    bad->SetBounds(30, 40, 20, 10);
    bad->SetParent(form);
    Surface s(200, 150);
    SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0);
    ASSERT_EQ(reported, (std::vector<std::string>{"paint failed"}));
    POINT org{-1, -1};
    GetViewportOrgEx(s.Dc(), &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(org.y, 0);
    RECT clip;
    EXPECT_EQ(GetClipBox(s.Dc(), &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right, 200) << "the control's clip went with it";
    EXPECT_EQ(s.At(30, 40), RGB(255, 0, 0)) << "it did paint at its own origin";
    EXPECT_EQ(s.At(50, 40), RGB(1, 2, 3)) << "clipped to itself";
    EXPECT_FALSE(bad->Canvas().HandleAllocated());
  }
  EXPECT_EQ(delta.Delta(), 0);
}
