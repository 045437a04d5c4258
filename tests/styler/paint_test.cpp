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
  free(*Shot(), Sys(COLOR_ACTIVECAPTION));
  // The close box itself, with the platform's button face, 2 pixels in from the caption's edges.
  auto shot = Shot();
  const Surface& s = *shot;
  int face = 0;
  for (int x = closeLeft; x < c.right - 2; ++x) face += s.At(x, c.top + 4) == Sys(COLOR_BTNFACE);
  EXPECT_GT(face, 5);
}

TEST_F(Caption, GoNeverIsTheSolidCaptionColourActiveAndInactiveNeverTheRightColours) {
  f.styler->SetOptions(goNever);
  f.styler->SetClrRightActive(gui::clRed);
  f.styler->SetClrRightInActive(gui::clRed);
  f.styler->SetClrLeftActive(gui::clRed);
  f.styler->SetClrLeftInActive(gui::clRed);
  RECT c = CaptionRect(f.Wnd(), bs);
  for (bool active : {true, false}) {
    SendMessageA(f.Wnd(), WM_NCACTIVATE, active, 0);
    auto shot = Shot();
    const Surface& s = *shot;
    COLORREF want = Sys(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    for (int x = c.left; x < c.right; ++x) ASSERT_EQ(s.At(x, c.top), want) << "x " << x << " active " << active;
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
  EXPECT_EQ(c.bottom - c.top, GetSystemMetrics(SM_CYSMCAPTION) - 1);
  // Every pixel of the text area is its band's: no icon, no other button.
  COLORREF right = GetSysColor(COLOR_ACTIVECAPTION);
  for (int i = 0; i < 64; ++i)
    for (int x = BandEdge(t, i, 64); x < BandEdge(t, i + 1, 64); ++x)
      for (int y = t.top; y < t.bottom; ++y)
        ASSERT_EQ(s.At(x, y), BandColour(0, right, i, 64)) << x << "," << y;
  // The close box: SM_CXSMSIZE - 2 wide, 2 pixels in from the right; left of it the right colour.
  int closeLeft = c.right - 2 - (GetSystemMetrics(SM_CXSMSIZE) - 2);
  int mid = (c.top + c.bottom) / 2;
  EXPECT_EQ(s.At(closeLeft - 1, mid), right);
  EXPECT_NE(s.At(closeLeft, mid), right);
  EXPECT_NE(s.At(c.right - 3, mid), right);
  EXPECT_EQ(s.At(c.right - 2, mid), right);
}
