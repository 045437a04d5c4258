// The bitmap button as the main window has it: its looks by pixels on memory DCs, and its
// behaviour under real mouse messages sent to the form's window.
#include <gtest/gtest.h>

#include <memory>

#include "BitmapBtnTest.h"
#include "ButtonModel.h"
#include "FreedMemory.h"
#include "GdiCounter.h"
#include "Menus.h"
#include "TestWindows.h"

using namespace bitmapbtn;
using bmptest::Hex;
using bmptest::Surface;

namespace {

constexpr int kLeft = 368, kTop = 48, kWidth = 129, kHeight = 81;

using bmpmodel::Differences;
using tsupport::Sys;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

struct Clicks : rtl::TObject {
  int clicks = 0, enters = 0, exits = 0;
  void Click(rtl::TObject*) { ++clicks; }
  void Enter(rtl::TObject*) { ++enters; }
  void Exit(rtl::TObject*) { ++exits; }
};

// The main window's button and list on a form of the main window's size.
class DialButton : public ::testing::Test, public tsupport::TTestForm {
 protected:
  // Before anything is made, so every release is matched.
  static void SetUpTestSuite() { tsupport::GdiCounter::Install(); }
  void SetUp() override {
    bmptest::LoadForm(*form, bmptest::kMainWindowText);
    btn = static_cast<TGxBitmapButton*>(form->FindComponent("btnDial"));
    list = static_cast<TGxBitmapList*>(form->FindComponent("GxBitmapList1"));
    ASSERT_NE(btn, nullptr);
    ASSERT_NE(list, nullptr);
    btn->OnClick.Bind(&events, &Clicks::Click);
    btn->OnMouseEnter.Bind(&events, &Clicks::Enter);
    btn->OnMouseExit.Bind(&events, &Clicks::Exit);
    form->HandleNeeded();
    Paint(first);  // the full paint that captures the background
  }

  void Paint(Surface& s) { bmptest::PaintForm(*form, s); }
  // Mouse messages in the button's own coordinates, sent to the form's window.
  void Send(UINT msg, WPARAM keys, int x, int y) {
    SendMessageA(form->Handle(), msg, keys, MAKELPARAM(kLeft + x, kTop + y));
  }
  void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
  void Drag(int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, x, y); }
  void Release(int x, int y) { Send(WM_LBUTTONUP, 0, x, y); }

  COLORREF Glyph(int x, int y) { return GetBitmapPixel(FreeHandle(*list->GetBitmap(0)), POINT{x, y}); }

  // The main window's picture as the list holds it: what the button draws from.
  bmpmodel::Picture Source() {
    bmpmodel::Picture p(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) p.At(x, y) = Glyph(x, y);
    return p;
  }

  // The rules' picture of the button in the state.
  std::unique_ptr<Surface> Expected(bool pressed, bool enabled) {
    source_ = Source();
    bmpmodel::Button m;
    m.w = kWidth, m.h = kHeight, m.borderWidth = 2, m.ground = Sys(COLOR_BTNFACE), m.align = ttaBottom;
    m.caption = btn->Caption(), m.font = &btn->Font(), m.fontColor = RGB(0, 0, 0), m.image = &source_;
    m.pressed = pressed, m.enabled = enabled;
    auto s = std::make_unique<Surface>(kWidth, kHeight);
    bmpmodel::Draw(m, *s);
    return s;
  }
  // What the window shows now.
  std::unique_ptr<Surface> OnScreen() {
    auto s = std::make_unique<Surface>(508, 161);
    gui::TClientDC dc(form->Handle());
    BitBlt(s->Dc(), 0, 0, 508, 161, dc, 0, 0, SRCCOPY);
    return s;
  }

  // The colours of ring i (0 outermost) of the button painted at (ox, oy): top, left, bottom, right.
  void ExpectRing(const Surface& s, int ox, int oy, int i, COLORREF topLeft, COLORREF bottomRight) {
    EXPECT_EQ(Hex(s.At(ox + 60, oy + i)), Hex(topLeft)) << "top of ring " << i;
    EXPECT_EQ(Hex(s.At(ox + i, oy + 40)), Hex(topLeft)) << "left of ring " << i;
    EXPECT_EQ(Hex(s.At(ox + 60, oy + kHeight - 1 - i)), Hex(bottomRight)) << "bottom of ring " << i;
    EXPECT_EQ(Hex(s.At(ox + kWidth - 1 - i, oy + 40)), Hex(bottomRight)) << "right of ring " << i;
  }

  bmpmodel::Picture source_;
  TGxBitmapButton* btn = nullptr;
  TGxBitmapList* list = nullptr;
  Clicks events;
  Surface first{508, 161};
};

}  // namespace

TEST_F(DialButton, AtRestShowsItsRingsTheKeyedGlyphAndTheCaptionBelowIt) {
  EXPECT_EQ(btn->NumGlyphs(), 1);
  EXPECT_EQ(btn->GlyphStrip().Width(), 96) << "the image, its grey copy and its embossed copy";
  EXPECT_EQ(btn->BackBuffer()->Width(), kWidth);
  EXPECT_EQ(btn->BackBuffer()->Height(), 2 * kHeight);
  Surface s(508, 161);
  Paint(s);
  ExpectRing(s, kLeft, kTop, 0, Sys(COLOR_BTNHIGHLIGHT), RGB(0, 0, 0));
  ExpectRing(s, kLeft, kTop, 1, Sys(COLOR_BTNHIGHLIGHT), RGB(0, 0, 0));
  ExpectRing(s, kLeft, kTop, 2, Sys(COLOR_BTNFACE), Sys(COLOR_BTNSHADOW));
  ExpectRing(s, kLeft, kTop, 3, Sys(COLOR_BTNFACE), Sys(COLOR_BTNSHADOW));
  // The glyph's ground (its bottom-left colour) is left out; its picture is at (48, 2).
  EXPECT_NE(Hex(Glyph(0, 31)), Hex(Sys(COLOR_BTNFACE))) << "the test needs a visible ground";
  EXPECT_EQ(Hex(s.At(kLeft + 48, kTop + 2 + 31)), Hex(Sys(COLOR_BTNFACE)));
  EXPECT_EQ(Hex(s.At(kLeft + 48 + 8, kTop + 2 + 2)), Hex(Glyph(8, 2)));
  EXPECT_EQ(Hex(s.At(kLeft + 48 + 16, kTop + 2 + 20)), Hex(Glyph(16, 20)));
  EXPECT_EQ(Differences(s, kLeft, kTop, *Expected(false, true)), 0);
  EXPECT_EQ(s.At(kLeft - 1, kTop + 40), Sys(COLOR_BTNFACE)) << "nothing outside the button";
}

TEST_F(DialButton, PressedLooksSunkenWithGlyphAndCaptionShiftedAndFastRedrawMatchesAFullPaint) {
  Press(60, 40);
  EXPECT_TRUE(btn->Pressed());
  // FastRedraw composed the pressed face in the upper half of the buffer; a full paint only
  // renews the lower half.
  Surface s(508, 161);
  Paint(s);
  HBITMAP buffer = FreeHandle(*btn->BackBuffer());
  ExpectRing(s, kLeft, kTop, 0, RGB(0, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
  ExpectRing(s, kLeft, kTop, 1, RGB(0, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
  ExpectRing(s, kLeft, kTop, 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNFACE));
  ExpectRing(s, kLeft, kTop, 3, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNFACE));
  // Glyph and caption one pixel right and down: the glyph's picture at (49, 3).
  EXPECT_EQ(Hex(s.At(kLeft + 49 + 8, kTop + 3 + 2)), Hex(Glyph(8, 2)));
  EXPECT_EQ(Differences(s, kLeft, kTop, *Expected(true, true)), 0);

  int different = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      different += GetBitmapPixel(buffer, POINT{x, y}) != static_cast<gui::TColor>(s.At(kLeft + x, kTop + y));
  EXPECT_EQ(different, 0) << "the fast redraw and the full paint agree pixel for pixel";
  Release(60, 40);
}

TEST_F(DialButton, DisabledShowsTheEmbossedCellAndTheCaptionTwice) {
  btn->SetEnabled(false);
  // The strip's third cell is the picture embossed as the rules make it.
  const bmpmodel::Picture embossed = bmpmodel::Embossed(Source());
  HBITMAP strip = FreeHandle(btn->GlyphStrip());
  int different = 0, shadows = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      different += static_cast<COLORREF>(GetBitmapPixel(strip, POINT{64 + x, y})) != embossed.At(x, y);
      shadows += embossed.At(x, y) == Sys(COLOR_BTNSHADOW);
    }
  EXPECT_EQ(different, 0);
  EXPECT_GT(shadows, 50) << "the picture has an outline to emboss";
  Surface s(508, 161);
  Paint(s);
  EXPECT_EQ(Differences(s, kLeft, kTop, *Expected(false, false)), 0);

  // Presses are ignored while disabled.
  btn->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_FALSE(btn->Tracking());
  btn->SetEnabled(true);
}

TEST_F(DialButton, AClickNeedsPressAndReleaseInsideAndDraggingOutUndoesThePress) {
  Press(60, 40);
  Drag(200, 40);
  EXPECT_FALSE(btn->Pressed()) << "dragged out: the released look";
  EXPECT_TRUE(btn->Armed());
  Drag(60, 41);
  EXPECT_TRUE(btn->Pressed()) << "back in: pressed again";
  Release(61, 41);
  EXPECT_EQ(events.clicks, 1);
  EXPECT_FALSE(btn->Pressed());
  EXPECT_FALSE(btn->Tracking());

  Press(60, 40);
  Drag(-30, 40);
  Release(-30, 40);
  EXPECT_EQ(events.clicks, 1) << "released outside: no click";
  EXPECT_FALSE(btn->Armed());

  // A double click is two presses and two releases, so two clicks.
  Press(10, 10);
  Release(10, 10);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 10, 10);
  Release(10, 10);
  EXPECT_EQ(events.clicks, 3);

  // Only the left button presses the button.
  Send(WM_RBUTTONDOWN, MK_RBUTTON, 10, 10);
  EXPECT_FALSE(btn->Pressed());
  Send(WM_RBUTTONUP, 0, 10, 10);
  EXPECT_EQ(events.clicks, 3);
}

TEST_F(DialButton, AReleaseHandlerMayFreeTheButton) {
  struct TFreeing : rtl::TObject {
    rtl::TComponent* victim = nullptr;
    void Up(rtl::TObject*, gui::TMouseButton, gui::TShiftState, int, int) { std::exchange(victim, nullptr)->Free(); }
  } freeing;
  tsupport::TFreedMemoryWatch freed;
  freeing.victim = btn;
  btn->OnMouseUp.Bind(&freeing, &TFreeing::Up);
  Press(60, 40);
  Release(60, 40);
  EXPECT_EQ(events.clicks, 0) << "no click on what is gone";
  EXPECT_EQ(freed.WrittenAfterFree(), 0u);
}

TEST_F(DialButton, DraggingOutAndBackInRedrawsTheScreenEachTime) {
  form->Show();
  UpdateWindow(form->Handle());
  const COLORREF black = RGB(0, 0, 0), light = Sys(COLOR_BTNHIGHLIGHT);
  Press(60, 40);
  auto s = OnScreen();
  ExpectRing(*s, kLeft, kTop, 0, black, light);
  EXPECT_EQ(Differences(*s, kLeft, kTop, *Expected(true, true)), 0) << "pressed";
  Drag(200, 40);
  s = OnScreen();
  ExpectRing(*s, kLeft, kTop, 0, light, black);
  EXPECT_EQ(Differences(*s, kLeft, kTop, *Expected(false, true)), 0) << "dragged out";
  Drag(60, 41);
  s = OnScreen();
  ExpectRing(*s, kLeft, kTop, 0, black, light);
  EXPECT_EQ(Differences(*s, kLeft, kTop, *Expected(true, true)), 0) << "back in";
  Release(60, 41);
  s = OnScreen();
  ExpectRing(*s, kLeft, kTop, 0, light, black);
  EXPECT_EQ(Differences(*s, kLeft, kTop, *Expected(false, true)), 0) << "released";
  EXPECT_EQ(events.clicks, 1);
}

TEST_F(DialButton, SwitchTogglesDownAndALatchedButtonIgnoresThePointer) {
  btn->SetSwitch(true);
  Press(20, 20);
  Release(20, 20);
  EXPECT_TRUE(btn->Down());
  EXPECT_TRUE(btn->Pressed());
  EXPECT_EQ(events.clicks, 1);
  // While down, moves and entering or leaving change nothing.
  Send(WM_MOUSEMOVE, 0, 200, 20);
  EXPECT_TRUE(btn->Pressed());
  btn->Perform(gui::CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(events.exits, 0);
  Press(20, 20);
  Drag(200, 20);
  EXPECT_TRUE(btn->Pressed());
  Drag(20, 20);
  Release(20, 20);
  EXPECT_FALSE(btn->Down());
  EXPECT_FALSE(btn->Pressed());
  EXPECT_EQ(events.clicks, 2);
  // Released outside: no toggle.
  Press(20, 20);
  Release(300, 20);
  EXPECT_FALSE(btn->Down());
}

TEST_F(DialButton, CaptionChangeInvalidatesAndRepaintsCentredBelowTheGlyph) {
  form->Show();
  UpdateWindow(form->Handle());
  ValidateRect(form->Handle(), nullptr);
  btn->SetCaption("Hang Up");
  RECT dirty{};
  ASSERT_TRUE(GetUpdateRect(form->Handle(), &dirty, FALSE));
  EXPECT_EQ(dirty.left, kLeft);
  EXPECT_EQ(dirty.top, kTop);
  EXPECT_EQ(dirty.right, kLeft + kWidth);
  Surface s(508, 161);
  Paint(s);
  EXPECT_EQ(Differences(s, kLeft, kTop, *Expected(false, true)), 0);
}

TEST_F(DialButton, TheAcceleratorClicksOnlyAnEnabledButton) {
  btn->SetCaption("&Dial");
  EXPECT_TRUE(form->DialogChar('d'));
  EXPECT_EQ(events.clicks, 1);
  EXPECT_FALSE(form->DialogChar('x'));
  btn->SetEnabled(false);
  EXPECT_FALSE(form->DialogChar('d'));
  EXPECT_EQ(events.clicks, 1);
  btn->SetEnabled(true);
  btn->SetCaption("R&&D");
  EXPECT_FALSE(form->DialogChar('d')) << "a doubled ampersand is no accelerator";
}

TEST_F(DialButton, FastRedrawReachesTheWindowAndAPartialPaintKeepsTheBackground) {
  form->Show();
  UpdateWindow(form->Handle());
  // Only part of the button is repainted: the rest of the window DC still shows the button, which
  // must not become the background the fast redraw restores.
  RECT part{kLeft + 10, kTop + 10, kLeft + 40, kTop + 30};
  InvalidateRect(form->Handle(), &part, TRUE);
  UpdateWindow(form->Handle());
  HBITMAP buffer = FreeHandle(*btn->BackBuffer());
  int notBackground = 0;
  for (int y = kHeight; y < 2 * kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      notBackground += GetBitmapPixel(buffer, POINT{x, y}) != static_cast<gui::TColor>(Sys(COLOR_BTNFACE));
  EXPECT_EQ(notBackground, 0);

  Press(60, 40);
  buffer = FreeHandle(*btn->BackBuffer());
  gui::TClientDC dc(form->Handle());
  int different = 0;
  for (int y = 0; y < kHeight; y += 3)
    for (int x = 0; x < kWidth; x += 3)
      different += GetPixel(dc, kLeft + x, kTop + y) != static_cast<COLORREF>(GetBitmapPixel(buffer, POINT{x, y}));
  EXPECT_EQ(different, 0);
  EXPECT_EQ(Hex(GetBitmapPixel(buffer, POINT{0, 40})), Hex(RGB(0, 0, 0))) << "the pressed frame";
  Release(60, 40);
}

TEST_F(DialButton, PaintsAndStateChangesLeaveNoGdiObjectBehind) {
  Surface s(508, 161);
  // Every look once: the canvases make their pens, brushes and fonts on first use and keep them.
  auto everything = [&] {
    Paint(s);
    Press(60, 40);
    Drag(300, 40);
    Drag(60, 40);
    Release(60, 40);
    btn->SetEnabled(false);
    Paint(s);
    btn->SetEnabled(true);
    btn->SetButtonStyle(bsExplorer);
    Send(WM_MOUSEMOVE, 0, 60, 40);
    Paint(s);
    Send(WM_MOUSEMOVE, 0, 300, 40);
    btn->SetButtonStyle(bsRegular);
  };
  everything();
  tsupport::GdiDelta delta;
  for (int i = 0; i < 5; ++i) everything();
  EXPECT_EQ(delta.Delta(), 0);
}

TEST(BitmapButton, ALifeFromConstructionToDestructionLeavesNoGdiObject) {
  tsupport::GdiDelta delta;
  {
    tsupport::TTestForm host;
    gui::TForm* form = host.form;
    bmptest::LoadForm(*form, bmptest::kMainWindowText);
    Surface s(508, 161);
    bmptest::PaintForm(*form, s);
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kLeft + 5, kTop + 5));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(kLeft + 5, kTop + 5));
  }
  EXPECT_EQ(delta.Delta(), 0);
}

TEST(BitmapButton, ExplorerStyleIsGreyAndFlatUntilThePointerComesOver) {
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  bmptest::LoadForm(*form, bmptest::kMainWindowText);
  auto* list = static_cast<TGxBitmapList*>(form->FindComponent("GxBitmapList1"));
  auto* btn = new TGxBitmapButton(form);
  btn->SetParent(form);
  btn->SetBounds(10, 10, 40, 40);
  btn->SetBitmapList(list);
  btn->SetBitmapIndex(0);
  EXPECT_EQ(btn->ButtonStyle(), bsExplorer);
  EXPECT_TRUE(btn->AutoGray());
  Clicks events;
  btn->OnMouseEnter.Bind(&events, &Clicks::Enter);
  btn->OnMouseExit.Bind(&events, &Clicks::Exit);
  HBITMAP image = FreeHandle(*list->GetBitmap(0));
  COLORREF red = GetBitmapPixel(image, POINT{16, 12});

  Surface away(508, 161);
  bmptest::PaintForm(*form, away);
  // Glyph at (4, 4): grey, and no frame (the ground shows at the edge).
  COLORREF c = away.At(10 + 4 + 16, 10 + 4 + 12);
  EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << Hex(c);
  EXPECT_EQ(away.At(10, 30), Sys(COLOR_BTNFACE));
  EXPECT_EQ(away.At(10 + 4, 10 + 4 + 31), Sys(COLOR_BTNFACE)) << "the grey ground is keyed out too";

  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(25, 25));
  EXPECT_TRUE(btn->MouseInside());
  EXPECT_EQ(events.enters, 1);
  Surface hot(508, 161);
  bmptest::PaintForm(*form, hot);
  EXPECT_EQ(hot.At(10 + 4 + 16, 10 + 4 + 12), red);
  EXPECT_EQ(hot.At(10, 30), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(hot.At(30, 10), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(hot.At(49, 30), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(hot.At(30, 49), Sys(COLOR_BTNSHADOW));

  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 25));
  EXPECT_FALSE(btn->MouseInside());
  EXPECT_EQ(events.exits, 1);
}

TEST(BitmapButton, PropertyLimitsAndDefaults) {
  TGxBitmapButton btn(nullptr);
  EXPECT_EQ(btn.Width(), 40);
  EXPECT_EQ(btn.Height(), 40);
  EXPECT_EQ(btn.BackBuffer()->Height(), 80);
  EXPECT_TRUE(btn.Transparent());
  EXPECT_TRUE(btn.ParentColor());
  EXPECT_EQ(btn.BitmapIndex(), -1);
  EXPECT_EQ(btn.TransparentColor(), clAutoTransparent);
  btn.SetNumGlyphs(0);
  EXPECT_EQ(btn.NumGlyphs(), 1);
  btn.SetNumGlyphs(-3);
  EXPECT_EQ(btn.NumGlyphs(), 1);
  btn.SetBitmapIndex(-7);
  EXPECT_EQ(btn.BitmapIndex(), -1);
  btn.SetDownIndentHoriz(-2);
  btn.SetDownIndentVert(-1);
  EXPECT_EQ(btn.DownIndentHoriz(), 0);
  EXPECT_EQ(btn.DownIndentVert(), 0);
  btn.SetBorderWidth(-4);
  EXPECT_EQ(btn.BorderWidth(), 0);

  // Fixing the transparent colour without an image keeps the automatic one.
  btn.SetTransparentMode(tmFixed);
  EXPECT_EQ(btn.TransparentMode(), tmAuto);
  btn.SetTransparentColor(gui::clRed);
  EXPECT_EQ(btn.TransparentMode(), tmFixed);
  btn.SetTransparentMode(tmAuto);
  EXPECT_EQ(btn.TransparentColor(), clAutoTransparent);
  btn.SetBounds(0, 0, 50, 30);
  EXPECT_EQ(btn.BackBuffer()->Width(), 50);
  EXPECT_EQ(btn.BackBuffer()->Height(), 60);
}

TEST(BitmapButton, GlyphCountIsDetectedFromImagesAssignedAtRunTime) {
  TGxBitmapList list(nullptr);
  for (int w : {128, 160, 100, 32}) {
    gui::TBitmap b;
    b.SetSize(w, 32);
    list.Add(&b);
  }
  TGxBitmapButton btn(nullptr);
  btn.SetBitmapList(&list);
  btn.SetBitmapIndex(0);
  EXPECT_EQ(btn.NumGlyphs(), 4);
  EXPECT_EQ(btn.GlyphStrip().Width(), 32 * 6) << "four cells plus grey and embossed (explorer style)";
  btn.SetNumGlyphs(1);
  btn.SetBitmapIndex(1);
  EXPECT_EQ(btn.NumGlyphs(), 4) << "160 x 32 gives at most 4";
  btn.SetNumGlyphs(1);
  btn.SetBitmapIndex(2);
  EXPECT_EQ(btn.NumGlyphs(), 1) << "not a multiple of the height";
  btn.SetBitmapIndex(3);
  btn.SetButtonStyle(bsRegular);
  btn.SetAutoSize(true);
  EXPECT_EQ(btn.Width(), 32);
  EXPECT_EQ(btn.Height(), 32);
  EXPECT_EQ(btn.BackBuffer()->Height(), 64);

  // Fixing the transparent colour with an image takes its key colour.
  list.GetBitmap(3)->Canvas().SetPixel(0, 31, gui::clLime);
  btn.SetTransparentMode(tmFixed);
  EXPECT_EQ(btn.TransparentMode(), tmFixed);
  EXPECT_EQ(btn.TransparentColor(), gui::clLime);
}

TEST(BitmapButton, FormLoadingKeepsTheStoredGlyphCountAndTheListGoingAwayIsNoticed) {
  // A list with one 64 x 32 image, stored as the form would store it.
  TGxBitmapList source(nullptr);
  gui::TBitmap wide;
  wide.SetSize(64, 32);
  source.Add(&wide);
  rtl::TMemoryStream value;
  source.WriteData(value);
  std::string bytes(reinterpret_cast<const char*>(value.Memory()), static_cast<size_t>(value.Size()));

  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  bmptest::LoadForm(*form, R"(object Form1: TForm
  object Button1: TGxBitmapButton
    Left = 10
    Top = 10
    Width = 80
    Height = 40
    BitmapList = List1
    BitmapIndex = 0
    ButtonStyle = bsRegular
  end
  object List1: TGxBitmapList
    ListItems = @'Wide'
  end
end
)",
                    {{"Wide", bytes}});
  auto* btn = static_cast<TGxBitmapButton*>(form->FindComponent("Button1"));
  auto* list = static_cast<TGxBitmapList*>(form->FindComponent("List1"));
  EXPECT_EQ(btn->NumGlyphs(), 1);
  EXPECT_EQ(btn->GlyphStrip().Width(), 64 * 3) << "built once loading ended";
  EXPECT_EQ(btn->BitmapList(), list);
  delete list;
  EXPECT_EQ(btn->BitmapList(), nullptr);
  Surface s(200, 100);
  bmptest::PaintForm(*form, s);  // a frame and no glyph
  EXPECT_EQ(s.At(10, 30), Sys(COLOR_BTNHIGHLIGHT));
}

TEST(BitmapButton, APopupMenuShowsOnPressAndThePressEndsWhenItCloses) {
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  bmptest::LoadForm(*form, bmptest::kMainWindowText);
  auto* btn = static_cast<TGxBitmapButton*>(form->FindComponent("btnDial"));
  auto* menu = new gui::TPopupMenu(form);
  auto* item = new gui::TMenuItem(form);
  item->SetCaption("Item");
  menu->Items().Add(item);
  btn->SetPopupMenu(menu);
  Clicks events;
  btn->OnClick.Bind(&events, &Clicks::Click);
  form->Show();
  // The menu's own loop runs until something closes it.
  SetTimer(nullptr, 0, 100, &CloseMenu);
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kLeft + 5, kTop + 5));
  EXPECT_FALSE(btn->Tracking());
  EXPECT_FALSE(btn->Pressed());
  EXPECT_EQ(events.clicks, 1) << "the press ends inside, as a click";
}
