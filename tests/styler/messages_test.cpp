// The styler's message handling on real windows: activation, sizing cursors, the window made
// again, icon and setting changes, a second styler, and what the styler leaves when it goes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "GdiCounter.h"
#include "IconFiles.h"
#include "MessageRecorder.h"
#include "StylerTest.h"

using namespace styler;
using namespace stytest;
using namespace tsupport;

namespace {

std::unique_ptr<Surface> Capture(HWND wnd) {
  RECT w;
  GetWindowRect(wnd, &w);
  auto s = std::make_unique<Surface>(w.right - w.left, w.bottom - w.top);
  CaptureWindow(wnd, *s);
  return s;
}

// Pixels of a colour in the room the texts have.
int TextPixels(const Surface& s, const RECT& t, COLORREF c) {
  int n = 0;
  for (int y = t.top; y < t.bottom; ++y)
    for (int x = AfterIcon(t); x < t.right; ++x) n += s.At(x, y) == c;
  return n;
}

// Counts the form's paints that had any of the client area to paint.
struct ClientPaints : rtl::TObject {
  gui::TForm* form;
  int count = 0;
  explicit ClientPaints(gui::TForm* f) : form(f) { f->OnPaint.Bind(this, &ClientPaints::Paint); }
  void Paint(rtl::TObject*) {
    RECT r;
    if (GetClipBox(form->Canvas().Handle(), &r) != NULLREGION) ++count;
  }
};

}  // namespace

TEST(StylerMessages, ActivationRepaintsOnlyTheCaptionInTheColoursOfTheNewState) {
  TMessageRecorder rec;
  StyledForm f(gui::bsSingle, 420, &rec);
  ClientPaints client(f.form);
  rec.Only({WM_NCACTIVATE, WM_NCPAINT, WM_PAINT, WM_ERASEBKGND});
  RECT c = CaptionRect(f.Wnd(), gui::bsSingle), t = TextRect(f.Wnd(), gui::bsSingle);
  EXPECT_TRUE(f.styler->IsCaptionActive());
  for (bool active : {false, true, false}) {
    rec.Clear();
    EXPECT_EQ(SendMessageA(f.Wnd(), WM_NCACTIVATE, active, 0), TRUE);
    // The platform's own activation drawing is skipped; the frame is painted by the non-client
    // paint (Wine's comes from the BeginPaint of a WM_PAINT), and nothing of the client area is
    // painted again.
    EXPECT_TRUE(rec.Matches({{WM_PAINT, sent | optional, 0, 0, f.form},
                             {WM_NCPAINT, sent, 0, 0, f.form},
                             {WM_NCPAINT, defwinproc, 0, 0, f.form}}));
    EXPECT_EQ(client.count, 0);
    EXPECT_EQ(f.styler->IsCaptionActive(), active);
    auto s = Capture(f.Wnd());
    EXPECT_EQ(s->At(c.right - 1, c.top), GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    EXPECT_EQ(s->At(t.left, t.top), RGB(0, 0, 0)) << "the left colour is black in both states";
    EXPECT_GT(TextPixels(*s, t, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)), 50);
    EXPECT_EQ(TextPixels(*s, t, GetSysColor(active ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT)), 0);
  }
}

TEST(StylerMessages, BeforeTheFirstActivationMessageThePlatformSaysWhetherTheCaptionIsActive) {
  gui::TApplication app;
  gui::TForm* behind = ShownForm(app);
  gui::TForm* front = ShownForm(app);
  auto* a = new TGxFormStyler(behind);
  auto* b = new TGxFormStyler(front);
  EXPECT_FALSE(a->ActiveKnown());
  EXPECT_FALSE(a->IsCaptionActive());
  EXPECT_TRUE(b->IsCaptionActive());
  SetForegroundWindow(behind->Handle());
  Pump();
  EXPECT_TRUE(a->ActiveKnown());
  EXPECT_TRUE(a->IsCaptionActive());
  EXPECT_FALSE(b->IsCaptionActive());
}

TEST(StylerMessages, OverASizingBorderTheStylerSetsTheCursorElsewhereTheFormDecides) {
  TMessageRecorder rec;
  StyledForm f(gui::bsSizeable, 420, &rec);
  rec.Only({WM_SETCURSOR});
  struct {
    int hit;
    LPCSTR cursor;
  } borders[] = {{HTLEFT, IDC_SIZEWE},       {HTRIGHT, IDC_SIZEWE},        {HTTOP, IDC_SIZENS},
                 {HTBOTTOM, IDC_SIZENS},     {HTTOPLEFT, IDC_SIZENWSE},    {HTBOTTOMRIGHT, IDC_SIZENWSE},
                 {HTTOPRIGHT, IDC_SIZENESW}, {HTBOTTOMLEFT, IDC_SIZENESW}};
  for (auto& b : borders) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    rec.Clear();
    EXPECT_EQ(SendMessageA(f.Wnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(f.Wnd()), MAKELPARAM(b.hit, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, b.cursor)) << "hit-test " << b.hit;
    EXPECT_TRUE(rec.Matches({})) << "the form never sees it";
  }
  for (int hit : {HTCAPTION, HTCLIENT}) {
    rec.Clear();
    LPARAM lp = MAKELPARAM(hit, WM_MOUSEMOVE);
    SendMessageA(f.Wnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(f.Wnd()), lp);
    EXPECT_TRUE(rec.Matches({{WM_SETCURSOR, sent | lparam, 0, lp, f.form}, {WM_SETCURSOR, defwinproc | optional, 0, 0, f.form}}))
        << "hit-test " << hit;
  }
}

TEST(StylerMessages, ABorderStyleChangeMakesANewWindowThatIsStyledToo) {
  StyledForm f;
  HWND old = f.Wnd();
  f.form->SetBorderStyle(gui::bsSizeable);
  HWND now = f.Wnd();
  ASSERT_NE(now, old);
  Pump();  // the posted rehook
  EXPECT_TRUE(f.styler->Hooked());
  EXPECT_EQ(f.styler->HookedHandle(), now);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(now, GWLP_WNDPROC)), f.styler->HookInstance());
  EXPECT_EQ(TGxFormStyler::FindStyler(now), f.styler);
  ASSERT_NE(TGxWndProcComponent::HookRegistry(), nullptr);
  EXPECT_EQ(TGxWndProcComponent::HookRegistry()->size(), 1u);
  EXPECT_TRUE(f.styler->IsCaptionActive());
  EXPECT_EQ(f.form->Caption(), "Brindlex UK Tessaline -  v1.01");
  auto s = Capture(now);
  RECT c = CaptionRect(now, gui::bsSizeable), t = TextRect(now, gui::bsSizeable);
  EXPECT_EQ(c.left, GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(s->At(t.left, t.top), RGB(0, 0, 0)) << "the gradient's left colour";
  EXPECT_EQ(s->At(c.right - 1, c.top), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_GT(TextPixels(*s, t, GetSysColor(COLOR_CAPTIONTEXT)), 50);
}

namespace {

// An icon file of one 16 x 16 image in a single colour.
void LoadIcon(gui::TIcon& icon, COLORREF colour) {
  rtl::TMemoryStream stream(tsupport::IconFile(16, [colour](int, int) { return colour; }));
  icon.LoadFromStream(stream);
}

}  // namespace

TEST(StylerMessages, ARehookIsTakenOnlyWhenTheStylerAskedForIt) {
  StyledForm f;
  f.form->SetBorderStyle(gui::bsSizeable);  // the window made again: the utility window is there
  Pump();
  ASSERT_TRUE(f.styler->Hooked());
  f.styler->UnhookWindow();
  // What any program could post to the utility window, its true address included.
  for (LPARAM l : {LPARAM(0x10), LPARAM(-8), reinterpret_cast<LPARAM>(f.styler)})
    PostMessageA(f.styler->UtilityWindow(), RehookMessage, 0, l);
  Pump();
  EXPECT_FALSE(f.styler->Hooked());
}

TEST(StylerMessages, AWindowMadeAgainWhileTheFormIsReadIsHookedWhenReadingEnds) {
  StyledForm f;
  f.form->DestroyHandle();
  HWND now = f.form->Handle();  // before the posted rehook arrives
  EXPECT_FALSE(f.styler->Hooked());
  f.styler->Loaded();
  EXPECT_TRUE(f.styler->Hooked());
  EXPECT_EQ(f.styler->HookedHandle(), now);
  Pump();  // the rehook finds it hooked already
  EXPECT_EQ(TGxWndProcComponent::HookRegistry()->size(), 1u);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(now, GWLP_WNDPROC)), f.styler->HookInstance());
}

TEST(StylerMessages, TheFormsIconIsShownAndAChangeRepaintsTheCaption) {
  StyledForm f;
  RECT t = TextRect(f.Wnd(), gui::bsSingle);
  POINT centre{t.left + 2 + GetSystemMetrics(SM_CXSMICON) / 2, t.top + 1 + GetSystemMetrics(SM_CYSMICON) / 2};
  LoadIcon(f.form->Icon(), RGB(255, 0, 0));  // the form sends WM_SETICON
  EXPECT_EQ(Capture(f.Wnd())->At(centre.x, centre.y), RGB(255, 0, 0));
  LoadIcon(f.form->Icon(), RGB(0, 255, 0));
  EXPECT_EQ(Capture(f.Wnd())->At(centre.x, centre.y), RGB(0, 255, 0));
  // Whatever was drawn over the caption, the icon message paints it again.
  {
    gui::TWindowDC dc(f.Wnd());
    gui::TBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(dc, &t, red);
  }
  HICON question = LoadIconA(nullptr, IDI_QUESTION);
  SendMessageA(f.Wnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(question));
  auto s = Capture(f.Wnd());
  EXPECT_EQ(s->At(t.left, t.top), RGB(0, 0, 0));
  EXPECT_EQ(s->At(centre.x, centre.y), RGB(0, 255, 0)) << "still the form's own icon";
  auto icon = [&](WPARAM type) { return reinterpret_cast<HICON>(SendMessageA(f.Wnd(), WM_GETICON, type, 0)); };
  HICON own = f.form->Icon().Handle();
  EXPECT_EQ(icon(ICON_SMALL), question);
  EXPECT_EQ(icon(ICON_BIG), own);
  f.form->SetBorderStyle(gui::bsSizeToolWin);  // a new window, made with the form's icon and no other
  EXPECT_EQ(icon(ICON_BIG), own);
  EXPECT_EQ(icon(ICON_SMALL), own) << "the icon set from outside went with the old window";
}

TEST(StylerMessages, ASettingChangeReloadsTheCaptionFontAndTheFontsMadeFromIt) {
  StyledForm f;
  auto* custom = f.styler->CaptionText();
  gui::TFont arial;
  arial.SetName("Arial");
  arial.SetHeight(-20);
  custom->SetFont(arial);
  NONCLIENTMETRICSA m{};
  m.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &m, 0);
  for (UINT msg : {WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_DISPLAYCHANGE}) {
    f.styler->CaptionFont().SetName("Courier New");
    f.styler->CompanyText()->Font().SetName("Courier New");
    f.styler->AppNameText()->Font().SetName("Courier New");
    SendMessageA(f.Wnd(), msg, 0, 0);
    EXPECT_EQ(f.styler->CaptionFont().Name(), m.lfCaptionFont.lfFaceName) << msg;
    EXPECT_EQ(f.styler->CompanyText()->Font().Name(), m.lfCaptionFont.lfFaceName) << msg;
    EXPECT_TRUE(f.styler->CompanyText()->Font().Style() & gui::FontStyle(gui::fsItalic));
    EXPECT_EQ(f.styler->AppNameText()->Font().Name(), m.lfCaptionFont.lfFaceName) << msg;
    EXPECT_EQ(custom->Font().Name(), "Arial") << "a font of its own stays";
    EXPECT_EQ(custom->Font().Height(), -20);
  }
}

TEST(StylerMessages, OnlyOneStylerPerFormOrInsideAStyledForm) {
  StyledForm f;
  WNDPROC hook = f.styler->HookInstance();
  try {
    new TGxFormStyler(f.form);
    FAIL() << "a second styler was made";
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Only one FormStyler is allowed per Form");
  }
  EXPECT_EQ(f.form->ComponentCount(), 1) << "only the first one";
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(f.Wnd(), GWLP_WNDPROC)), hook);
  EXPECT_EQ(TGxFormStyler::StylerRegistry()->size(), 1u);

  // A form whose window lies inside the styled form's window.
  auto* inner = new gui::TForm(&f.app);
  HWND w = inner->Handle();
  SetWindowLongPtrA(w, GWL_STYLE, (GetWindowLongPtrA(w, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
  SetParent(w, f.Wnd());
  EXPECT_THROW(new TGxFormStyler(inner), rtl::Exception);
  delete inner;
  // Once the first one is gone, a new one may come.
  delete f.styler;
  EXPECT_EQ(TGxFormStyler::StylerRegistry(), nullptr);
  EXPECT_NO_THROW(new TGxFormStyler(f.form));
}

TEST(StylerMessages, GoingItLeavesTheCaptionSegmentAsTheTextAndThePlatformsCaption) {
  StyledForm f;
  WNDPROC formProc = f.styler->PrevWndProc();
  delete f.styler;
  Pump();
  EXPECT_EQ(f.form->Caption(), "v1.01");
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(f.Wnd(), GWLP_WNDPROC)), formProc);
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr);
  EXPECT_EQ(TGxFormStyler::StylerRegistry(), nullptr);
  RECT t = TextRect(f.Wnd(), gui::bsSingle);
  EXPECT_NE(Capture(f.Wnd())->At(t.left, t.top), RGB(0, 0, 0)) << "the platform's caption again";
}

TEST(StylerMessages, AStylersWholeLifeGivesBackEveryHandleItTook) {
  gui::TApplication app;
  gui::TForm* form = ShownForm(app);
  tsupport::GdiDelta gdi;
  auto* s = new TGxFormStyler(form);
  s->CompanyText()->SetCaption("Brindlex UK");
  s->CompanyText()->ApplyFontKind(fkSystemBI);
  for (bool active : {false, true}) SendMessageA(form->Handle(), WM_NCACTIVATE, active, 0);
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  form->SetBorderStyle(gui::bsSizeable);
  Pump();
  delete s;
  Pump();
  EXPECT_EQ(gdi.Delta(), 0);
}

TEST(StylerMessages, GoingWhenTheTextIsAlreadyTheCaptionSegmentStillGivesThePlatformsCaptionBack) {
  StyledForm f;
  f.styler->CompanyText()->SetVisible(false);
  f.styler->AppNameText()->SetVisible(false);
  ASSERT_EQ(f.form->Caption(), "v1.01");
  delete f.styler;
  Pump();
  RECT t = TextRect(f.Wnd(), gui::bsSingle);
  EXPECT_NE(Capture(f.Wnd())->At(t.left, t.top), RGB(0, 0, 0));
}

TEST(StylerMessages, AFormFreedWhileHandlingAMessageTakesItsStylerAlong) {
  StyledForm f;
  f.form->Release();
  Pump();
  EXPECT_EQ(f.app.ComponentCount(), 0);
  EXPECT_EQ(TGxWndProcComponent::HookRegistry(), nullptr);
  EXPECT_EQ(TGxFormStyler::StylerRegistry(), nullptr);
}
