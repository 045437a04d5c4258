// Window-procedure thunks, and controls driven by real window messages.
#include <gtest/gtest.h>

#include "Forms.h"
#include "GdiCounter.h"
#include "StatusBar.h"
#include "TestWindows.h"

#include <commctrl.h>

using namespace gui;

namespace {

struct Target {
  int calls = 0;
  static LRESULT CALLBACK Proc(void* self, UINT msg, WPARAM, LPARAM) {
    static_cast<Target*>(self)->calls++;
    return static_cast<LRESULT>(msg) + 1;
  }
};

class TProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::string> log;
  void MouseDown(TMouseButton, TShiftState, int x, int y) override { log.push_back("down " + Pt(x, y)); }
  void MouseMove(TShiftState, int x, int y) override { log.push_back("move " + Pt(x, y)); }
  void MouseUp(TMouseButton, TShiftState, int x, int y) override { log.push_back("up " + Pt(x, y)); }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) log.push_back("enter");
    if (m.Msg == CM_MOUSELEAVE) log.push_back("leave");
    TGraphicControl::WndProc(m);
  }
  void Paint() override {
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect(ClientRect());
  }
  static std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

TEST(Thunks, EachObjectGetsItsOwnCallableAddress) {
  Target a, b;
  TWndProcThunk ta(&a, &Target::Proc), tb(&b, &Target::Proc);
  EXPECT_NE(ta.Proc(), tb.Proc());
  EXPECT_EQ(CallWindowProcA(ta.Proc(), nullptr, 41, 0, 0), 42);
  EXPECT_EQ(CallWindowProcA(tb.Proc(), nullptr, 9, 0, 0), 10);
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 1);
}

TEST(Controls, ParentRoutesMouseMessagesToGraphicControlsWithCapture) {
  tsupport::TTestForm host(10, 10, 200, 150);
  TForm* form = host.form;
  auto* probe = new TProbe(form);
  probe->SetBounds(20, 30, 50, 40);
  probe->SetParent(form);
  HWND wnd = form->Handle();

  SendMessageA(wnd, WM_MOUSEMOVE, 0, At(25, 35));
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(25, 35));
  EXPECT_TRUE(probe->MouseCaptured());
  // Dragged outside: the captured control still hears it, in its own coordinates.
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, At(150, 100));
  SendMessageA(wnd, WM_LBUTTONUP, 0, At(150, 100));
  EXPECT_FALSE(probe->MouseCaptured());
  SendMessageA(wnd, WM_MOUSEMOVE, 0, At(150, 100));  // not over it any more: the form gets it
  EXPECT_EQ(probe->log, (std::vector<std::string>{"enter", "move 5,5", "down 5,5", "leave", "move 130,70", "up 130,70"}));
}

TEST(Controls, GraphicControlsArePaintedByTheirParentAndGdiIsReleased) {
  tsupport::GdiDelta delta;
  {
    tsupport::TTestForm host(0, 0, 200, 150);
    TForm* form = host.form;
    auto* probe = new TProbe(form);
    probe->SetBounds(10, 10, 20, 20);
    probe->SetParent(form);
    // The form paints into a memory DC as it would into its window: background, then children.
    HDC dc = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 150);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageA(form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 29, 29), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 30, 30), GetSysColor(COLOR_BTNFACE)) << "clipped to the control's bounds";
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  EXPECT_EQ(delta.Delta(), 0);
}

TEST(Controls, ParentFontIsFollowedUntilTheControlSetsItsOwn) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  auto* a = new TProbe(form);
  auto* b = new TProbe(form);
  a->SetParent(form);
  b->SetParent(form);
  form->Font().SetHeight(-20);
  EXPECT_EQ(a->Font().Height(), -20);
  b->Font().SetName("Arial");
  EXPECT_FALSE(b->ParentFont());
  form->Font().SetHeight(-30);
  EXPECT_EQ(a->Font().Height(), -30);
  EXPECT_EQ(b->Font().Height(), -20);
  b->SetParentFont(true);
  EXPECT_EQ(b->Font().Name(), form->Font().Name());
}

TEST(Controls, TheParentFormIsTheOutermostParentWhenThatIsAForm) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  auto* panel = new TWinControl(form);
  auto* probe = new TProbe(form);
  EXPECT_EQ(GetParentForm(probe), nullptr) << "not placed yet";
  probe->SetParent(panel);
  EXPECT_EQ(GetParentForm(probe), nullptr) << "a parent chain that ends in no form";
  panel->SetParent(form);
  EXPECT_EQ(GetParentForm(probe), form) << "the form two parents up";
  EXPECT_EQ(GetParentForm(form), form);
  EXPECT_EQ(GetParentForm(nullptr), nullptr);
}

TEST(Controls, AlignedStatusBarSitsAlongTheBottom) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  form->SetClientSize(300, 200);
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  form->HandleNeeded();
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(bar->Top(), 181);
  EXPECT_EQ(bar->Width(), 300);
  bar->SetSimplePanel(true);
  bar->SetSimpleText("Ready");
  EXPECT_TRUE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
  char text[32] = {};
  SendMessageA(bar->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));  // simple mode: part 0
  EXPECT_STREQ(text, "Ready");
}

TEST(Controls, AFormScalesItsControlsAndFontsForAnotherResolution) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  form->SetClientSize(508, 161);
  auto* probe = new TProbe(form);
  probe->SetParent(form);
  probe->SetBounds(368, 48, 129, 81);
  probe->Font().SetHeight(-24);
  auto* follower = new TProbe(form);
  follower->SetParent(form);
  form->ScaleBy(120, 96);  // 96 dpi design shown at 120 dpi
  EXPECT_EQ(probe->Left(), 460);
  EXPECT_EQ(probe->Width(), 161);
  EXPECT_EQ(probe->Font().Height(), -30);
  EXPECT_EQ(form->Font().Height(), -14);
  EXPECT_EQ(follower->Font().Height(), -14) << "a parent-font control follows its parent";
  EXPECT_EQ(form->ClientWidth(), 635);
  EXPECT_EQ(form->PixelsPerInch(), 120);
}

namespace {
struct Clicks : rtl::TObject {
  int count = 0;
  void Clicked(rtl::TObject*) { ++count; }
};
class TThrower : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void MouseDown(TMouseButton, TShiftState, int, int) override { throw rtl::Exception("boom"); }
};
}  // namespace

TEST(Application, MenuShortcutsClickTheirItem) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  auto* menu = new TMainMenu(form);
  auto* item = new TMenuItem(form);
  menu->Items().Add(item);
  item->SetCaption("&Quit");
  item->SetShortCut(scCtrl | 'Q');
  Clicks clicks;
  item->OnClick.Bind(&clicks, &Clicks::Clicked);
  form->SetMenu(menu);
  form->HandleNeeded();
  EXPECT_FALSE(form->IsShortCut('Q', 0));
  EXPECT_TRUE(form->IsShortCut('Q', ssCtrl));
  EXPECT_EQ(clicks.count, 1);
  char text[32] = {};
  GetMenuStringA(GetMenu(form->Handle()), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Quit\tCtrl+Q");
  item->SetEnabled(false);
  EXPECT_FALSE(form->IsShortCut('Q', ssCtrl)) << "a disabled item takes no shortcut";
}

TEST(Application, AnExceptionInAHandlerReachesTheCentralHandler) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  std::string reported;
  host.app.OnException = [&](const std::exception& e) { reported = e.what(); };
  auto* thrower = new TThrower(form);
  thrower->SetBounds(0, 0, 50, 50);
  thrower->SetParent(form);
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(reported, "boom");
  EXPECT_TRUE(IsWindow(form->Handle())) << "the program goes on";
}
