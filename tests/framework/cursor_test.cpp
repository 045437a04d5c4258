// Cursors: the standard numbers in the cursor table, the Cursor property in form resources, and
// WM_SETCURSOR answered by the control under the mouse, with the mouse really there.
#include <gtest/gtest.h>

#include <string>

#include "FormStreams.h"
#include "Forms.h"
#include "MessageRecorder.h"
#include "TestWindows.h"

using namespace gui;
using namespace tsupport;

namespace {

HCURSOR System(LPCSTR idc) { return LoadCursorA(nullptr, idc); }

class TArea : public TGraphicControl {
  RTL_CLASS(TArea, TGraphicControl)
 public:
  using TGraphicControl::TGraphicControl;
};
RTL_IMPLEMENT_CLASS(TArea);

}  // namespace

TEST(Cursors, TheStandardNumbersAreThePlatformsCursors) {
  // The conventional numbering: -1 hides the pointer, -21 is the pointing hand.
  const struct {
    int number;
    LPCSTR idc;
  } standard[] = {
      {0, IDC_ARROW},       {-2, IDC_ARROW},     {-3, IDC_CROSS},  {-4, IDC_IBEAM},     {-6, IDC_SIZENESW},
      {-7, IDC_SIZENS},     {-8, IDC_SIZENWSE},  {-9, IDC_SIZEWE}, {-10, IDC_UPARROW},  {-11, IDC_WAIT},
      {-18, IDC_NO},        {-19, IDC_APPSTARTING}, {-20, IDC_HELP}, {-21, IDC_HAND},   {-22, IDC_SIZEALL},
  };
  for (const auto& s : standard) EXPECT_EQ(Cursors().Get(s.number), System(s.idc)) << s.number;
  EXPECT_EQ(Cursors().Get(crNone), nullptr);
  for (int n = 0; n >= -22; --n) EXPECT_TRUE(Cursors().Contains(n)) << n;
  EXPECT_EQ(crHandPoint, -21);
  EXPECT_EQ(crSizeAll, -22);
  long long v = 0;
  ASSERT_TRUE(CursorIdents().ValueOf("crHandPoint", v));
  EXPECT_EQ(v, -21);
  EXPECT_EQ(*CursorIdents().NameOf(-4), "crIBeam");
}

TEST(Cursors, TheCursorPropertyIsStoredByNameAndOnlyWhenNotDefault) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  LoadFormText(form,
               "object Host: TForm\n"
               "  object Link: TArea\n"
               "    Cursor = crHandPoint\n"
               "  end\n"
               "  object Plain: TArea\n"
               "    Cursor = -3\n"
               "  end\n"
               "end\n");
  auto* link = rtl::As<TControl>(form->FindComponent("Link"));
  auto* plain = rtl::As<TControl>(form->FindComponent("Plain"));
  ASSERT_TRUE(link && plain);
  EXPECT_EQ(link->Cursor(), crHandPoint);
  EXPECT_EQ(plain->Cursor(), crCross);

  plain->SetCursor(crDefault);
  std::string text = FormText(form);
  EXPECT_NE(text.find("Cursor = crHandPoint"), std::string::npos) << text;
  EXPECT_EQ(text.find("Cursor", text.find("object Plain")), std::string::npos) << "crDefault is not stored\n" << text;
}

namespace {

// A shown form at a fixed place with two graphic controls and two windowed ones.
struct CursorRouting : ::testing::Test, TTestForm {
  TArea* hand = Area(10, 10, crHandPoint);
  TArea* plain = Area(60, 10, crDefault);
  TWinControl* edit = Windowed(110, 10, crIBeam);
  TWinControl* inner = Windowed(180, 10, crDefault);

  CursorRouting() : TTestForm(100, 100, 300, 100) {}
  void SetUp() override {
    form->SetBorderStyle(bsNone);
    Show();
  }
  TArea* Area(int x, int y, TCursor cursor) {
    auto* a = new TArea(form);
    a->SetBounds(x, y, 40, 30);
    a->SetCursor(cursor);
    a->SetParent(form);
    return a;
  }
  TWinControl* Windowed(int x, int y, TCursor cursor) {
    auto* w = new TWinControl(form);
    w->SetBounds(x, y, 60, 30);
    w->SetCursor(cursor);
    w->SetParent(form);
    return w;
  }
  // Puts the mouse on a point of the form's client area.
  static void MoveTo(TControl* c, int x, int y) {
    POINT p = c->ClientToScreen(POINT{x, y});
    SetCursorPos(p.x, p.y);
  }
  // What the platform sends when the mouse moves over wnd's client area.
  static LRESULT SetCursorOver(TWinControl* w, UINT hit = HTCLIENT) {
    ::SetCursor(nullptr);
    return SendMessageA(w->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(w->Handle()), MAKELPARAM(hit, WM_MOUSEMOVE));
  }
};

}  // namespace

TEST_F(CursorRouting, TheMouseOverAGraphicControlShowsItsCursor) {
  MoveTo(hand, 5, 5);
  ::SetCursor(nullptr);
  PumpFor(50);  // the platform's own WM_SETCURSOR for the move
  EXPECT_EQ(GetCursor(), System(IDC_HAND));
  MoveTo(plain, 5, 5);
  PumpFor(50);
  EXPECT_EQ(GetCursor(), System(IDC_ARROW)) << "crDefault: the form's class cursor";
}

TEST_F(CursorRouting, AGraphicControlsCursorComesFirstThenTheWindowsThenDefaultProcessing) {
  TMessageRecorder rec;
  rec.Watch(*form, "form");
  rec.Only({WM_SETCURSOR});
  MoveTo(hand, 5, 5);
  EXPECT_TRUE(SetCursorOver(form));
  EXPECT_EQ(GetCursor(), System(IDC_HAND));
  EXPECT_TRUE(rec.Matches({{WM_SETCURSOR, sent}})) << "answered, not passed on";

  rec.Clear();
  MoveTo(plain, 5, 5);
  SetCursorOver(form);
  EXPECT_EQ(GetCursor(), System(IDC_ARROW));
  EXPECT_TRUE(rec.Matches({{WM_SETCURSOR, sent}, {WM_SETCURSOR, defwinproc}})) << "all crDefault: default processing";

  form->SetCursor(crCross);
  SetCursorOver(form);
  EXPECT_EQ(GetCursor(), System(IDC_CROSS)) << "a graphic control with crDefault shows the window's";
  MoveTo(hand, 5, 5);
  SetCursorOver(form);
  EXPECT_EQ(GetCursor(), System(IDC_HAND)) << "the graphic control's own wins over the window's";

  rec.Clear();
  SetCursorOver(form, HTCAPTION);
  EXPECT_TRUE(rec.Matches({{WM_SETCURSOR, sent}, {WM_SETCURSOR, defwinproc}})) << "outside the client area";
}

TEST_F(CursorRouting, AWindowedChildKeepsItsOwnCursorUnderAParentWithOne) {
  form->SetCursor(crCross);
  MoveTo(edit, 5, 5);
  SetCursorOver(edit);
  EXPECT_EQ(GetCursor(), System(IDC_IBEAM));

  // A child without a cursor of its own: its default processing asks the parent, which does
  // not overrule it, and the child's class cursor shows.
  TMessageRecorder rec;
  rec.Watch(*form, "form");
  rec.Watch(*inner, "inner");
  rec.Only({WM_SETCURSOR});
  MoveTo(inner, 5, 5);
  SetCursorOver(inner);
  EXPECT_EQ(GetCursor(), System(IDC_ARROW));
  EXPECT_TRUE(rec.Matches({{WM_SETCURSOR, sent, 0, 0, inner},
                           {WM_SETCURSOR, defwinproc, 0, 0, inner},
                           {WM_SETCURSOR, sent, 0, 0, form},
                           {WM_SETCURSOR, defwinproc, 0, 0, form}}));
}
