// The 3-D label's pixels: every copy of the text where the layer rules put it (offsets from the
// directions and depths, the extent's correction for the alignment), in the colours they give
// (graduated steps rounded halves to even, gradient bands and their edges), over the parent's
// picture or the label's own colour; nothing of GDI left behind.
#include <gtest/gtest.h>

#include <vector>

#include "GdiCounter.h"
#include "ImportPatch.h"
#include "LabelFixture.h"

using namespace fx;
using namespace fxtest;
using tsupport::Surface;

namespace {

struct Placed {
  int x, y;
  COLORREF colour;
};

}  // namespace

struct PaintTest : LabelTest {
  // The picture of copies drawn in order on the background, the way the layers are stacked.
  ::testing::AssertionResult Shows(const std::vector<Placed>& copies, COLORREF back = kBack) {
    Surface got(W, H, kBack);
    PaintInto(got);
    Surface want(W, H, back);
    for (const Placed& p : copies) Copy(want, p.x, p.y, p.colour);
    return textink::SamePixels(got, want);
  }
  int Count(COLORREF c) {
    Surface got(W, H, kBack);
    PaintInto(got);
    return textink::Count(got, c, RECT{0, 0, W, H});
  }
};

TEST_F(PaintTest, TheDefaultRaisedLayersSitWhereTheExtentPutsThemForEachAlignment) {
  label->SetCaption("Dial up");
  int free = W - TextWidth("Dial up");
  // Highlight up-left and shadow down-right, one pixel each: lo = -1, hi = 1. A plain text would
  // start at 0, at free (right) and at free / 2 (centred); the correction is 0, 2 and 1.
  struct Case {
    gui::TAlignment alignment;
    int plain, highlight, shadow, face;
  } cases[] = {
      {gui::taLeftJustify, 0, 0, 2, 1},
      {gui::taRightJustify, free, -2, 0, -1},
      {gui::taCenter, free / 2, -1, 1, 0},
  };
  for (const Case& c : cases) {
    label->SetAlignment(c.alignment);
    EXPECT_TRUE(Shows({{c.plain + c.shadow, 2, kBlack}, {c.plain + c.highlight, 0, kWhite}, {c.plain + c.face, 1, kGray}}))
        << "alignment " << c.alignment;
  }
  EXPECT_GT(Count(kWhite), 20);
  EXPECT_GT(Count(kBlack), 20);
  EXPECT_GT(Count(kGray), 100);
}

TEST_F(PaintTest, ShadowAppearanceIsOneCopyTwoPixelsDownRightUnderAnUnmovedFace) {
  label->SetCaption("Dial up");
  label->SetAppearance(apShadow);
  // lo = 0, hi = 2; the highlight of depth 0 lies at distance 0 under the face.
  EXPECT_TRUE(Shows({{2, 2, kBlack}, {0, 0, kWhite}, {0, 0, kGray}}));
  EXPECT_EQ(Count(kWhite), 0) << "the highlight is hidden";
}

TEST_F(PaintTest, FlyingAppearanceTakesItsHighlightFromTheSchemesShadowColour) {
  label->SetCaption("Dial up");
  label->SetColorScheme(csGold);  // yellow highlight, black shadow, olive text
  label->SetAppearance(apFlying);
  S().SetShadowColor(RGB(255, 0, 0));
  // lo = 0, hi = 5: the shadow 5 pixels down-right, the highlight 1, in the scheme's shadow colour.
  EXPECT_TRUE(Shows({{5, 5, RGB(255, 0, 0)}, {1, 1, kBlack}, {0, 0, RGB(128, 128, 0)}}));
}

TEST_F(PaintTest, AnExtrudedShadowIsACopyAtEveryDistanceFromTheDepthIn) {
  label->SetCaption("Dial up");
  S().SetShadowStyle(ssExtrude);
  S().SetShadowDepth(3);
  // lo = -1, hi = 3: copies at distances 3, 2, 1 moved by (1, 1), the highlight at (0, 0).
  EXPECT_TRUE(Shows({{4, 4, kBlack}, {3, 3, kBlack}, {2, 2, kBlack}, {0, 0, kWhite}, {1, 1, kGray}}));
  // Right aligned the correction is hi - lo = 4: the farthest copy ends at the right edge.
  label->SetAlignment(gui::taRightJustify);
  int plain = W - TextWidth("Dial up");
  EXPECT_TRUE(Shows({{plain, 4, kBlack},
                     {plain - 1, 3, kBlack},
                     {plain - 2, 2, kBlack},
                     {plain - 4, 0, kWhite},
                     {plain - 3, 1, kGray}}));
}

TEST_F(PaintTest, AGraduatedShadowRunsFromTheShadowColourToTheFontColourRoundingHalvesToEven) {
  label->SetCaption("Dial up");
  S().SetHighlightDepth(0);
  S().SetShadowStyle(ssGraduated);
  S().SetShadowDepth(3);
  // lo = 0, hi = 3. Black to white over two steps: 127.5 rounds to 128.
  label->Font().SetColor(gui::clWhite);
  EXPECT_TRUE(Shows({{3, 3, kBlack}, {2, 2, kGray}, {1, 1, kWhite}, {0, 0, kWhite}, {0, 0, kWhite}}));
  EXPECT_GT(Count(kGray), 0) << "the middle copy shows along the edges";

  // Halfway steps of 126.5, 127.5 and -126.5 give 126, 128 and 253 - 126.
  S().SetShadowColor(RGB(0, 0, 253));
  label->Font().SetColor(RGB(253, 255, 0));
  COLORREF middle = RGB(Even(253 / 2.0), Even(255 / 2.0), 253 + Even(-253 / 2.0));
  ASSERT_EQ(middle, RGB(126, 128, 127));
  EXPECT_TRUE(Shows({{3, 3, RGB(0, 0, 253)}, {2, 2, middle}, {1, 1, RGB(253, 255, 0)}, {0, 0, kWhite},
                     {0, 0, RGB(253, 255, 0)}}));
  EXPECT_GT(Count(middle), 0);
}

TEST_F(PaintTest, LayerColoursAreTheirLowThreeBytesNeverTheSystemsColour) {
  label->SetCaption("Dial up");
  S().SetShadowColor(gui::clBtnShadow);    // system colour 16: red 16, green 0, blue 0
  S().SetHighlightColor(gui::clHighlight); // system colour 13
  label->Font().SetColor(gui::clBtnFace);  // system colour 15
  EXPECT_TRUE(Shows({{2, 2, RGB(COLOR_BTNSHADOW, 0, 0)}, {0, 0, RGB(COLOR_HIGHLIGHT, 0, 0)}, {1, 1, RGB(COLOR_BTNFACE, 0, 0)}}));
}

TEST_F(PaintTest, EachDirectionDepthAndStylePutsItsCopiesInsideTheLabel) {
  label->SetCaption("R&D");  // without the accelerator letter: the "&" drawn as it is, in every copy
  label->SetShowAccelChar(false);
  const int centre = (W - TextWidth("R&D")) / 2;
  const gui::TAlignment L = gui::taLeftJustify;
  const COLORREF light = RGB(191, 191, 191);
  // Each copy in order: the shadow's, the highlight's farthest first, the face.
  struct { TFxShadeDirection hDir, sDir; int hDepth, sDepth; TFxShadeStyle hStyle; gui::TAlignment alignment;
           std::vector<Placed> copies; } cases[] = {
      // The shadow alone, 2 pixels each way: lo and hi span x and y at once, so a copy up or left
      // moves every layer down and right.
      {sdNone, sdUp, 0, 2, ssPlain, L, {{2, 0, kBlack}, {2, 2, kWhite}, {2, 2, kGray}}},
      {sdNone, sdRight, 0, 2, ssPlain, L, {{2, 0, kBlack}, {0, 0, kWhite}, {0, 0, kGray}}},
      {sdNone, sdDown, 0, 2, ssPlain, L, {{0, 2, kBlack}, {0, 0, kWhite}, {0, 0, kGray}}},
      {sdNone, sdLeft, 0, 2, ssPlain, L, {{0, 2, kBlack}, {2, 2, kWhite}, {2, 2, kGray}}},
      {sdNone, sdUpRight, 0, 2, ssPlain, L, {{4, 0, kBlack}, {2, 2, kWhite}, {2, 2, kGray}}},
      {sdNone, sdDownLeft, 0, 2, ssPlain, L, {{0, 4, kBlack}, {2, 2, kWhite}, {2, 2, kGray}}},
      // Centred with a reach of 3: moved left by 3 div 2.
      {sdNone, sdDown, 0, 3, ssPlain, gui::taCenter, {{centre - 1, 3, kBlack}, {centre - 1, 0, kWhite}, {centre - 1, 0, kGray}}},
      // An extruded highlight 2 deep over the default shadow: lo -2, hi 1.
      {sdUpLeft, sdDownRight, 2, 1, ssExtrude, L, {{3, 3, kBlack}, {0, 0, kWhite}, {1, 1, kWhite}, {2, 2, kGray}}},
      // A graduated highlight 3 deep, white to the gray face: steps of -63.5 round to 191, then 128.
      {sdUp, sdNone, 3, 0, ssGraduated, L, {{3, 3, kBlack}, {3, 0, kWhite}, {3, 1, light}, {3, 2, kGray}, {3, 3, kGray}}}};
  for (const auto& k : cases) {
    S().SetHighlightDirection(k.hDir);
    S().SetHighlightDepth(static_cast<TFxDepth>(k.hDepth));
    S().SetHighlightStyle(k.hStyle);
    S().SetShadowDirection(k.sDir);
    S().SetShadowDepth(static_cast<TFxDepth>(k.sDepth));
    label->SetAlignment(k.alignment);
    EXPECT_TRUE(Shows(k.copies)) << "highlight " << int(k.hDir) << " shadow " << int(k.sDir);
  }
}

TEST_F(PaintTest, AnOpaqueLabelFillsWithItsColourFirst) {
  label->SetCaption("Dial up");
  label->SetTransparent(false);
  label->SetColor(RGB(200, 200, 0));
  EXPECT_TRUE(Shows({{2, 2, kBlack}, {0, 0, kWhite}, {1, 1, kGray}}, RGB(200, 200, 0)));
  // The fill is a brush: a system colour is the system's.
  label->SetColor(gui::clBtnFace);
  EXPECT_TRUE(Shows({{2, 2, kBlack}, {0, 0, kWhite}, {1, 1, kGray}}, GetSysColor(COLOR_BTNFACE)));
}

TEST_F(PaintTest, AWrappedCaptionWrapsInEveryLayer) {
  label->SetCaption("Dial Dial");
  int w = TextWidth("Dial") + 6, line = textink::Measure(Font(), "Dial").lineHeight;
  label->SetBounds(0, 0, w, H);
  ASSERT_TRUE(label->WordWrap());
  Surface got(W, H, kBack);
  PaintInto(got);
  Surface want(W, H, kBack);
  for (Placed p : {Placed{2, 2, kBlack}, Placed{0, 0, kWhite}, Placed{1, 1, kGray}}) {
    textink::Draw(want, Font(), p.x, p.y, "Dial", p.colour);
    textink::Draw(want, Font(), p.x, p.y + line, "Dial", p.colour);
  }
  EXPECT_TRUE(textink::SamePixels(got, want, RECT{0, 0, w, H}));
  EXPECT_TRUE(textink::SamePixels(got, Surface(W, H, kBack), RECT{w, 0, W, H})) << "nothing outside the label";
}

namespace {

// Where a text drawn at (0, 0) without smoothing puts ink.
std::vector<std::vector<bool>> InkOf(HFONT font, const std::string& text, int w, int h) {
  LOGFONTA lf{};
  GetObjectA(font, sizeof lf, &lf);
  lf.lfQuality = NONANTIALIASED_QUALITY;
  gui::TFontHandle crisp(CreateFontIndirectA(&lf));
  Surface ink(w, h, RGB(255, 255, 255));
  textink::Draw(ink, crisp, 0, 0, text, RGB(0, 0, 0));
  std::vector<std::vector<bool>> map(static_cast<size_t>(h), std::vector<bool>(static_cast<size_t>(w)));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) map[y][x] = ink.At(x, y) != RGB(255, 255, 255);
  return map;
}

// The colour of band i of 16 from `from` to `to`.
COLORREF BandColour(COLORREF from, COLORREF to, int i) {
  auto part = [i](int a, int b) { return a + Even(i * (b - a) / 15.0); };
  return RGB(part(GetRValue(from), GetRValue(to)), part(GetGValue(from), GetGValue(to)),
             part(GetBValue(from), GetBValue(to)));
}

}  // namespace

TEST_F(PaintTest, AGradientFaceRunsInSixteenBandsFromTheFromColourToTheFontColour) {
  // A ring above the capital and descenders reach the label's first and last rows, the W the
  // caption's last column: every band has some of the face.
  const std::string caption = "\xC5gy gradient W";
  const COLORREF from = RGB(0, 0, 240), to = RGB(240, 30, 0);
  label->SetCaption(caption);
  label->SetAppearance(apNone);  // every layer at (0, 0), under the face
  label->Font().SetHeight(-30);
  label->Font().SetColor(static_cast<gui::TColor>(to));
  S().SetGraduateFromColor(static_cast<gui::TColor>(from));
  const int w = 260, h = textink::Measure(Font(), caption).lineHeight, f = TextWidth(caption);
  ASSERT_LT(f, w);
  label->SetBounds(0, 0, w, h);
  // The face goes on unsmoothed (a smoothed edge would keep a mix of the mask's key colour);
  // around it the smoothed shadow and highlight copies show.
  auto ink = InkOf(Font(), caption, w, h);
  ASSERT_TRUE(ink[1][10] || ink[1][11] || ink[1][12] || ink[1][13]) << "the ring on the first band's rows";
  bool lastColumn = false;
  for (int y = 0; y < h; ++y) lastColumn = lastColumn || ink[y][f - 1];
  ASSERT_TRUE(lastColumn);
  Surface layers(w, h, kBack);
  Copy(layers, 0, 0, kBlack);
  Copy(layers, 0, 0, kWhite);

  for (TFxGraduateStyle style : {gsHorizontal, gsVertical}) {
    S().SetGraduateStyle(style);
    // Band edges: round(i * span / 15) from the face's edge; the span is the caption's width
    // (as one line) less one across, the label's height less one down.
    double band = (style == gsHorizontal ? f - 1 : h - 1) / 15.0;
    auto bandOf = [&](int at) {
      for (int i = 0; i < 16; ++i)
        if (at >= Even(i * band) && at < Even((i + 1) * band)) return i;
      return -1;
    };
    Surface got(w, h, kBack);
    PaintInto(got);
    int wrong = 0, firstBand = 0, lastBand = 0, key = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int i = bandOf(style == gsHorizontal ? x : y);
        COLORREF want = ink[y][x] && i >= 0 ? BandColour(from, to, i) : layers.At(x, y);
        if (got.At(x, y) != want && ++wrong <= 3)
          ADD_FAILURE() << "style " << int(style) << " at (" << x << "," << y << ") " << tsupport::Hex(got.At(x, y))
                        << " not " << tsupport::Hex(want);
        if (ink[y][x] && i == 0) firstBand += got.At(x, y) == from;
        if (ink[y][x] && i == 15) lastBand += got.At(x, y) == to;
        key += got.At(x, y) == RGB(241, 9, 254);
      }
    EXPECT_EQ(wrong, 0) << "style " << int(style);
    EXPECT_GT(firstBand, 0) << "style " << int(style) << ": the first band is the from-colour";
    EXPECT_GT(lastBand, 0) << "style " << int(style) << ": the last band is the font colour";
    EXPECT_EQ(key, 0) << "no mask colour is left";
  }
}

namespace {

decltype(&CreateFontIndirectA) g_createFont;
// The platform making no unsmoothed font.
HFONT WINAPI RefuseUnsmoothed(const LOGFONTA* lf) { return lf->lfQuality == NONANTIALIASED_QUALITY ? nullptr : g_createFont(lf); }

}  // namespace

TEST_F(PaintTest, AGradientFaceThatCannotBeDrawnUnsmoothedIsDrawnPlainInTheFontColour) {
  label->SetCaption("Dial up");
  S().SetGraduateStyle(gsHorizontal);
  S().SetGraduateFromColor(gui::clBlue);
  label->Font().Handle();  // made before the platform refuses
  tsupport::ImportHook refuse{"CreateFontIndirectA", reinterpret_cast<void*>(&RefuseUnsmoothed), reinterpret_cast<void**>(&g_createFont)};
  tsupport::PatchImports(GetModuleHandleA(nullptr), &refuse, 1);
  ::testing::AssertionResult plain = Shows({{2, 2, kBlack}, {0, 0, kWhite}, {1, 1, kGray}});
  void* ours = nullptr;
  tsupport::ImportHook back{"CreateFontIndirectA", reinterpret_cast<void*>(g_createFont), &ours};
  tsupport::PatchImports(GetModuleHandleA(nullptr), &back, 1);
  EXPECT_TRUE(plain) << "not in the mask's own font";
}

TEST_F(PaintTest, APaintInItsParentsWindowCopiesThePictureOnceAndLeavesNoGdiObjects) {
  form->SetColor(RGB(200, 210, 220));
  form->SetClientSize(300, 100);
  label->SetBounds(8, 8, W, H);
  label->SetCaption("Dial up");
  form->HandleNeeded();
  Surface warm(300, 100);
  tsupport::PaintWindowInto(form->Handle(), warm);  // the font's handle is made once, and kept

  Surface got(300, 100, kBack);
  tsupport::GdiDelta gdi;
  tsupport::PaintWindowInto(form->Handle(), got);
  EXPECT_EQ(gdi.Delta(), 0);
  Surface want(300, 100, RGB(200, 210, 220));
  Copy(want, 8 + 2, 8 + 2, kBlack);
  Copy(want, 8 + 0, 8 + 0, kWhite);
  Copy(want, 8 + 1, 8 + 1, kGray);
  EXPECT_TRUE(textink::SamePixels(got, want));
}
