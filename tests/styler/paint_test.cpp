// The caption painted on real windows, checked by pixels against the geometry, band edges and
// colours the rules give (MulDiv, component arithmetic), computed here from the platform's
// metrics and colours.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "GdiCounter.h"
#include "StylerTest.h"

using namespace styler;
using namespace stytest;

namespace {

struct Caption : ::testing::Test {
  StyledForm f;
  gui::TFormBorderStyle bs = gui::bsSingle;

  // The window repainted by the platform's own route (non-client paint) and read back.
  // With repaint false, the window as it is now.
  std::unique_ptr<Surface> Shot(bool repaint = true) {
    if (repaint) RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT w;
    GetWindowRect(f.Wnd(), &w);
    auto s = std::make_unique<Surface>(w.right - w.left, w.bottom - w.top);
    CaptureWindow(f.Wnd(), *s);
    return s;
  }
  // Every band's first and last column in the caption's top row, where no text or icon reaches.
  ::testing::AssertionResult Bands(const Surface& s, COLORREF from, COLORREF to, int n) {
    RECT t = TextRect(f.Wnd(), bs);
    for (int i = 0; i < n; ++i) {
      int x0 = BandEdge(t, i, n), x1 = BandEdge(t, i + 1, n);
      COLORREF want = BandColour(from, to, i, n);
      for (int x : {x0, x1 - 1})
        if (x0 < x1 && s.At(x, t.top) != want)
          return ::testing::AssertionFailure() << "band " << i << " at x " << x << ": " << Hex(s.At(x, t.top))
                                               << " not " << Hex(want);
    }
    return ::testing::AssertionSuccess();
  }
};

}  // namespace

TEST_F(Caption, SixtyFourBandsFromBlackToTheActiveCaptionColourBesideTheIcon) {
  auto shot = Shot();
  const Surface& s = *shot;
  EXPECT_TRUE(Bands(s, RGB(0, 0, 0), Sys(COLOR_ACTIVECAPTION), 64));
  RECT t = TextRect(f.Wnd(), bs);
  EXPECT_EQ(s.At(t.right - 1, t.top), Sys(COLOR_ACTIVECAPTION)) << "the last band is the right colour";
  // The small icon sits at (left + 2, top + 2), 16 square: something else than bands is there.
  int other = 0;
  for (int y = t.top + 2; y < t.top + 2 + GetSystemMetrics(SM_CYSMICON); ++y)
    for (int x = t.left + 2; x < t.left + 2 + GetSystemMetrics(SM_CXSMICON); ++x)
      other += s.At(x, y) != s.At(x, t.top);
  EXPECT_GT(other, 100) << "the icon";
  // Nothing of the caption leaks: each paint gives back all it takes.
  tsupport::GdiDelta gdi;
  f.styler->PaintCaption(true);
  SendMessageA(f.Wnd(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(gdi.Delta(), 0);
}

TEST_F(Caption, TwoBandsSplitTheTextAreaInHalves) {
  f.styler->SetNumColors(2);
  f.styler->SetClrLeftActive(gui::clMaroon);
  auto shot = Shot();
  const Surface& s = *shot;
  RECT t = TextRect(f.Wnd(), bs);
  int half = t.left + MulDiv(1, t.right - t.left, 2);
  EXPECT_EQ(s.At(t.left, t.top), RGB(128, 0, 0));
  EXPECT_EQ(s.At(half - 1, t.top), RGB(128, 0, 0));
  EXPECT_EQ(s.At(half, t.top), Sys(COLOR_ACTIVECAPTION));
  EXPECT_EQ(s.At(t.right - 1, t.top), Sys(COLOR_ACTIVECAPTION));
}

TEST_F(Caption, BandColoursAreComponentArithmeticInBothDirections) {
  // Red falls, green rises, blue stays: every component is from + MulDiv(i, to - from, n - 1).
  f.styler->SetNumColors(7);
  f.styler->SetClrLeftActive(RGB(250, 3, 77));
  f.styler->SetClrRightActive(RGB(5, 254, 77));
  EXPECT_TRUE(Bands(*Shot(), RGB(250, 3, 77), RGB(5, 254, 77), 7));
  f.styler->SetNumColors(1000);
  EXPECT_EQ(f.styler->NumColors(), 236) << "at most 236 bands";
  EXPECT_TRUE(Bands(*Shot(), RGB(250, 3, 77), RGB(5, 254, 77), 236));
  f.styler->SetNumColors(0);
  EXPECT_EQ(f.styler->NumColors(), 2) << "at least 2: a caption is never left unpainted";
}

TEST_F(Caption, UnderTheButtonsTheRightColourWithTheGradientAndTheSolidColourWithout) {
  f.styler->SetClrRightActive(gui::clTeal);
  RECT c = CaptionRect(f.Wnd(), bs);
  int closeLeft = c.right - 2 - (GetSystemMetrics(SM_CXSIZE) - 2);
  // Outside the buttons (which stand 2 pixels in) and in the 2-pixel gap left of the close box.
  auto free = [&](const Surface& s, COLORREF want) {
    for (POINT p : {POINT{c.right - 1, c.top}, POINT{c.right - 1, c.bottom - 1}, POINT{c.right - 10, c.top + 1},
                    POINT{closeLeft - 1, c.top + 8}, POINT{closeLeft - 2, c.top + 8}})
      EXPECT_EQ(s.At(p.x, p.y), want) << p.x << "," << p.y;
  };
  free(*Shot(), RGB(0, 128, 128));
  f.styler->SetOptions(goNever);
  free(*Shot(), Sys(COLOR_ACTIVECAPTION));  // the buttons themselves: CaptionButtons below
}

TEST_F(Caption, EachGradientOptionActiveAndInactiveInItsOwnColours) {
  f.styler->SetClrRightActive(gui::clTeal);
  f.styler->SetClrLeftInActive(gui::clMaroon);
  f.styler->SetClrRightInActive(gui::clOlive);
  RECT c = CaptionRect(f.Wnd(), bs);
  // Whether each option draws the gradient while active and inactive (the screen has 32 bits);
  // without it the caption is the platform's solid colour of the state, never the right colour.
  struct { TGxGradientOptions option; bool active, inactive; } cases[] = {
      {goAlways, true, true}, {goNever, false, false}, {goActive, true, false}, {goSmart, true, true}};
  for (auto& k : cases) {
    f.styler->SetOptions(k.option);
    for (bool active : {true, false}) {
      SendMessageA(f.Wnd(), WM_NCACTIVATE, active, 0);
      auto shot = Shot();
      if (active ? k.active : k.inactive) {
        EXPECT_TRUE(active ? Bands(*shot, 0, RGB(0, 128, 128), 64) : Bands(*shot, RGB(128, 0, 0), RGB(128, 128, 0), 64))
            << "option " << int(k.option) << " active " << active;
        continue;
      }
      COLORREF want = Sys(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
      for (int x = c.left; x < c.right; ++x) ASSERT_EQ(shot->At(x, c.top), want) << "x " << x << " option " << int(k.option);
    }
  }
}

namespace {

// An 8-bit surface with a palette of a 6 x 6 x 6 colour cube and greys.
class Surface8 {
 public:
  Surface8(int w, int h) : w_(w), h_(h) {
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD colours[256];
    } bi{};
    bi.h = {sizeof(BITMAPINFOHEADER), w, -h, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    for (int i = 0; i < 216; ++i)
      bi.colours[i] = RGBQUAD{static_cast<BYTE>(i % 6 * 51), static_cast<BYTE>(i / 6 % 6 * 51), static_cast<BYTE>(i / 36 * 51), 0};
    for (int i = 216; i < 256; ++i) bi.colours[i] = RGBQUAD{static_cast<BYTE>((i - 216) * 6), static_cast<BYTE>((i - 216) * 6), static_cast<BYTE>((i - 216) * 6), 0};
    void* bits = nullptr;
    bmp_.Reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0));
    selected_.emplace(dc_, bmp_);
  }
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  void Fill(COLORREF c, const RECT& r) {
    gui::TBrushHandle b(CreateSolidBrush(c));
    gui::TSelectObject s(dc_, b);
    PatBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
  }

 private:
  int w_, h_;
  gui::TMemoryDC dc_;
  gui::TBitmapHandle bmp_;
  std::optional<gui::TSelectObject> selected_;
};

}  // namespace

TEST_F(Caption, OnAnEightBitSurfaceTheInactiveCaptionIsSolidAndTheActiveOneAGradient) {
  RECT w, t = TextRect(f.Wnd(), bs);
  GetWindowRect(f.Wnd(), &w);
  int width = w.right - w.left, height = w.bottom - w.top;
  // What the platform makes of each colour on such a surface, painted here band by band.
  Surface8 got(width, height), solid(width, height), bands(width, height);
  solid.Fill(Sys(COLOR_INACTIVECAPTION), t);
  for (int i = 0; i < 64; ++i)
    bands.Fill(BandColour(0, Sys(COLOR_ACTIVECAPTION), i, 64), RECT{BandEdge(t, i, 64), t.top, BandEdge(t, i + 1, 64), t.bottom});
  f.styler->PaintCaptionTo(got.Dc(), false);
  for (int x = t.left; x < t.right; ++x) ASSERT_EQ(got.At(x, t.top), solid.At(x, t.top)) << "inactive, x " << x;
  f.styler->PaintCaptionTo(got.Dc(), true);
  for (int x = t.left; x < t.right; ++x) ASSERT_EQ(got.At(x, t.top), bands.At(x, t.top)) << "active, x " << x;
  // On the true-colour screen the inactive caption has its gradient too.
  SendMessageA(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_TRUE(Bands(*Shot(), 0, Sys(COLOR_INACTIVECAPTION), 64));
}

namespace {

struct Segment {
  std::string text;
  HFONT font;
  COLORREF colour;
};

// The captions' segments, each in a colour of its own on the solid active caption colour.
struct Segments : Caption {
  gui::TFontHandle boldItalic{CaptionFont(true, true)}, bold{CaptionFont(true, false)}, plain{CaptionFont(false, false)};
  Segment company{"Brindlex UK", boldItalic, RGB(255, 0, 0)};
  Segment appName{"Tessaline - ", bold, RGB(0, 255, 0)};
  Segment caption{"v1.01", plain, RGB(255, 255, 0)};

  void SetUp() override {
    f.styler->SetOptions(goNever);
    f.styler->CompanyText()->SetColorActive(gui::clRed);
    f.styler->AppNameText()->SetColorActive(gui::clLime);
    f.styler->CaptionText()->SetColorActive(gui::clYellow);
  }
  // What one segment takes: its text's width and the 3 pixels before it.
  static int Width(const Segment& s) { return TextWidth(s.font, s.text) + 3; }
  int Room() const { return TextRect(f.Wnd(), bs).right - AfterIcon(TextRect(f.Wnd(), bs)); }
  // Makes the room for the texts (after the icon, before the buttons) this wide.
  void SetRoom(int room) {
    f.form->SetWidth(f.form->Width() + room - Room());
    ASSERT_EQ(Room(), room);
  }
  // The caption as it must look: these segments from x on, each 3 pixels after the previous one.
  ::testing::AssertionResult Shows(std::initializer_list<const Segment*> shown, int x, UINT extra = 0,
                                   bool repaint = true) {
    auto shot = Shot(repaint);
    RECT t = TextRect(f.Wnd(), bs);
    Surface want(shot->Width(), shot->Height());
    want.Fill(Sys(COLOR_ACTIVECAPTION));
    for (const Segment* s : shown) {
      x += 3;
      DrawSegment(want, s->font, s->text, x, t, s->colour, extra);
      x += TextWidth(s->font, s->text);
    }
    return SamePixels(*shot, want, RECT{AfterIcon(t), t.top, t.right, t.bottom});
  }
};

}  // namespace

TEST_F(Segments, CompanyApplicationNameAndCaptionInTheirFontsEachThreePixelsAfterThePrevious) {
  EXPECT_TRUE(Shows({&company, &appName, &caption}, AfterIcon(TextRect(f.Wnd(), bs))));
}

TEST_F(Segments, TheCompanyGoesFirstThenTheApplicationNameAndTheCaptionEndsInAnEllipsis) {
  int start = AfterIcon(TextRect(f.Wnd(), bs));
  SetRoom(Width(company) + Width(appName) + Width(caption));  // one pixel short of all three
  EXPECT_TRUE(Shows({&appName, &caption}, start));
  SetRoom(Width(appName) + Width(caption));
  EXPECT_TRUE(Shows({&caption}, start));
  f.styler->SetAlignment(gui::taRightJustify);  // what is drawn is what is aligned
  EXPECT_TRUE(Shows({&caption}, TextRect(f.Wnd(), bs).right - Width(caption)));
  f.styler->SetAlignment(gui::taLeftJustify);
  f.styler->CaptionText()->SetCaption(caption.text = "v1.01, the dialler with a rather long caption");
  SetRoom(Width(caption) - 20);
  EXPECT_TRUE(Shows({&caption}, start, DT_END_ELLIPSIS));
}

TEST_F(Segments, CentredAndRightAlignedWhenTheyFitLeftAlignedWhenTheyDoNot) {
  int start = AfterIcon(TextRect(f.Wnd(), bs));
  int total = Width(company) + Width(appName) + Width(caption);
  f.styler->SetAlignment(gui::taCenter);
  EXPECT_TRUE(Shows({&company, &appName, &caption}, start + (Room() - total) / 2));
  f.styler->SetAlignment(gui::taRightJustify);
  EXPECT_TRUE(Shows({&company, &appName, &caption}, TextRect(f.Wnd(), bs).right - total));
  // An empty segment counts its 3 pixels and draws nothing; a hidden one counts nothing.
  f.styler->AppNameText()->SetCaption("");
  EXPECT_TRUE(Shows({&company, &caption}, TextRect(f.Wnd(), bs).right - total + TextWidth(appName.font, appName.text)));
  f.styler->AppNameText()->SetVisible(false);
  SetRoom(Width(company) + Width(caption) + 1);
  EXPECT_TRUE(Shows({&company, &caption}, start + 1));
  f.styler->SetAlignment(gui::taCenter);
  f.styler->CaptionText()->SetCaption(caption.text = "v1.01, the dialler with a rather long caption");
  SetRoom(Width(caption) - 20);
  EXPECT_TRUE(Shows({&caption}, start, DT_END_ELLIPSIS));
}

TEST_F(Segments, ATextSetByOtherCodeShowsAtOnceAfterTheCompanyAndTheApplicationName) {
  f.form->SetText(caption.text = "Dialling ...");
  EXPECT_EQ(f.form->Caption(), "Dialling ...") << "the window text stays as set";
  EXPECT_TRUE(Shows({&company, &appName, &caption}, AfterIcon(TextRect(f.Wnd(), bs)), 0, false));
  EXPECT_EQ(f.styler->CaptionText()->Caption(), "Dialling ...");
  EXPECT_TRUE(Shows({&company, &appName, &caption}, AfterIcon(TextRect(f.Wnd(), bs))));
}

TEST_F(Segments, AnAmpersandIsShownAsItIs) {
  f.styler->CompanyText()->SetVisible(false);
  f.styler->AppNameText()->SetVisible(false);
  f.styler->CaptionText()->SetCaption(caption.text = "R&D && Sons");
  EXPECT_TRUE(Shows({&caption}, AfterIcon(TextRect(f.Wnd(), bs))));
}

TEST(ToolWindowCaption, ShowsOnlyASmallCloseBoxAndNoIcon) {
  StyledForm f(gui::bsToolWindow, 300);
  for (TGxCompanyText* t : {static_cast<TGxCompanyText*>(f.styler->CompanyText()),
                            static_cast<TGxCompanyText*>(f.styler->AppNameText()),
                            static_cast<TGxCompanyText*>(f.styler->CaptionText())})
    t->SetVisible(false);
  RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT w;
  GetWindowRect(f.Wnd(), &w);
  Surface s(w.right - w.left, w.bottom - w.top);
  CaptureWindow(f.Wnd(), s);
  RECT c = CaptionRect(f.Wnd(), gui::bsToolWindow), t = TextRect(f.Wnd(), gui::bsToolWindow);
  // The styler's own caption, as the rules place it: SM_CYSMCAPTION - 1 high inside the frame.
  RECT painted = f.styler->PaintCaption(true);
  EXPECT_TRUE(EqualRect(&painted, &c)) << painted.left << "," << painted.top << "," << painted.right << "," << painted.bottom;
  // Every pixel of the text area is its band's: no icon, no other button.
  COLORREF right = GetSysColor(COLOR_ACTIVECAPTION);
  for (int i = 0; i < 64; ++i)
    for (int x = BandEdge(t, i, 64); x < BandEdge(t, i + 1, 64); ++x)
      for (int y = t.top; y < t.bottom; ++y)
        ASSERT_EQ(s.At(x, y), BandColour(0, right, i, 64)) << x << "," << y;
  // Its small close box: CaptionButtons below.
}

TEST(CaptionButtons, EachBorderStyleIconsAndWindowStateGetTheirButtonsAndFrameInset) {
  StyledForm f(gui::bsSingle, 420);
  const unsigned sys = 1u << gui::biSystemMenu, min = 1u << gui::biMinimize, max = 1u << gui::biMaximize,
                 help = 1u << gui::biHelp;
  const UINT close = DFCS_CAPTIONCLOSE, zoom = DFCS_CAPTIONMAX, iconise = DFCS_CAPTIONMIN, off = DFCS_INACTIVE;
  // The buttons from the right as the rules give them: with either box both, the missing one
  // greyed; help only for a dialog or without boxes; none without a system menu.
  struct { gui::TFormBorderStyle bs; unsigned icons; int show; std::vector<UINT> states; } cases[] = {
      {gui::bsSingle, sys | min, SW_SHOWNORMAL, {close, zoom | off, iconise}},
      {gui::bsSizeable, sys | max | help, SW_SHOWNORMAL, {close, zoom, iconise | off}},
      {gui::bsSizeable, sys | help, SW_SHOWNORMAL, {close, DFCS_CAPTIONHELP}},
      {gui::bsDialog, sys | min | max | help, SW_SHOWNORMAL, {close, DFCS_CAPTIONHELP}},
      {gui::bsSizeToolWin, sys | min | max | help, SW_SHOWNORMAL, {close}},
      {gui::bsSingle, min | max, SW_SHOWNORMAL, {}},
      {gui::bsSizeable, sys | min | max, SW_MAXIMIZE, {close, DFCS_CAPTIONRESTORE, iconise}},
      {gui::bsSizeable, sys | min | max, SW_MINIMIZE, {close, zoom, DFCS_CAPTIONRESTORE}},
      {gui::bsNone, sys | min | max, SW_SHOWNORMAL, {}}};
  for (const auto& k : cases) {
    ShowWindow(f.Wnd(), SW_SHOWNORMAL);
    f.form->SetBorderStyle(k.bs);
    f.form->SetBorderIcons(k.icons);
    Pump();  // a new window is hooked by a posted message
    ShowWindow(f.Wnd(), k.show);
    RECT w, c{};
    GetWindowRect(f.Wnd(), &w);
    Surface got(w.right - w.left, w.bottom - w.top), want(got.Width(), got.Height());
    RECT painted = f.styler->PaintCaptionTo(got.Dc(), true);
    // Inside the sizing frame, or the dialog frame (a minimised window's too); tool windows lower.
    bool tool = k.bs == gui::bsSizeToolWin, sizing = k.show != SW_MINIMIZE && (k.bs == gui::bsSizeable || tool);
    int fx = GetSystemMetrics(sizing ? SM_CXFRAME : SM_CXDLGFRAME), fy = GetSystemMetrics(sizing ? SM_CYFRAME : SM_CYDLGFRAME);
    if (k.bs != gui::bsNone) c = RECT{fx, fy, got.Width() - fx, fy + GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION) - 1};
    EXPECT_TRUE(EqualRect(&painted, &c)) << "style " << k.bs << " show " << k.show;
    // Each button w - 2 wide and 2 pixels in, close 2 pixels apart from the next; the texts end
    // w + 2 (close, help) or w (the boxes) before each.
    int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2, right = c.right - 2, room = c.right;
    for (size_t i = 0; i < k.states.size(); ++i) {
      RECT b{right - bw, c.top + 2, right, c.bottom - 2};
      DrawFrameControl(want.Dc(), &b, DFC_CAPTION, k.states[i]);
      EXPECT_TRUE(SamePixels(got, want, b)) << "style " << k.bs << " show " << k.show << " button " << i;
      right -= i == 0 ? bw + 2 : bw;
      room -= (k.states[i] & 0xF) == close || (k.states[i] & 0xF) == DFCS_CAPTIONHELP ? bw + 4 : bw + 2;
    }
    EXPECT_EQ(f.styler->GetTextRect().right, k.bs == gui::bsNone ? 2 : room) << "style " << k.bs;
  }
}
