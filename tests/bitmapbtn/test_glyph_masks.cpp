// The button draws its glyphs through masks it makes once per glyph change; the pixels must be
// DrawTransparentBitmap's exactly: for the routine alone (every cell, key colours present,
// absent and changing, destinations of 32 and 16 bits), and for the whole button in every style,
// state and key mode, against the same button drawing its glyphs with DrawTransparentBitmap.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "BitmapBtnTest.h"
#include "bitmapbtn/GxGlyphMasks.h"

using namespace bitmapbtn;
using tsupport::Hex;
using tsupport::Surface;

namespace {

const COLORREF kKeyA = RGB(255, 0, 255), kKeyB = RGB(0, 128, 128);

// Four 16x16 cells, each with corners of its own, runs of both key colours inside, and cell 2's
// bottom-left in kKeyB where the others have kKeyA.
void FillStrip(gui::TBitmap& b) {
  b.SetSize(64, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) {
      int cell = x / 16, cx = x % 16;
      COLORREF c = RGB(cell * 60 + cx * 3, y * 15, 200 - cell * 40);
      if ((cx + y) % 5 == 0) c = kKeyA;
      if ((cx * y) % 7 == 3) c = kKeyB;
      if (cx == 0 && y == 0) c = RGB(10, 20, 30 + cell);
      if (cx == 15 && y == 0) c = RGB(40, 50, 60 + cell);
      if (cx == 0 && y == 15) c = cell == 2 ? kKeyB : kKeyA;
      b.SetPixelAt(x, y, static_cast<gui::TColor>(c));
    }
  b.Changed();
}

// A destination where every pixel differs from its neighbours.
void Stripe(HDC dc, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, RGB(x * 7 % 256, y * 11 % 256, (x + y) * 5 % 256));
}

// A memory DC on a 16-bit (5-5-5) DIB section.
struct Surface16 {
  Surface16(int w, int h) : w(w), h(h) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bmp.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selected.emplace(dc, bmp.Get());
  }
  int w, h;
  gui::TMemoryDC dc;
  gui::TBitmapHandle bmp;
  std::optional<gui::TSelectObject> selected;
};

void ExpectSamePixels(HDC da, HDC db, int w, int h, const std::string& what) {
  int differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF pa = GetPixel(da, x, y), pb = GetPixel(db, x, y);
      if (pa != pb && differing++ < 3)
        ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << Hex(pa) << ", the reference "
                      << Hex(pb);
    }
  EXPECT_EQ(differing, 0) << what;
}

}  // namespace

TEST(GlyphMasks, DrawTheSamePixelsAsDrawTransparentBitmapForEveryCellAndKey) {
  gui::TBitmap strip;
  FillStrip(strip);
  TGxGlyphMasks masks;
  // Keys in turn, so the masks are made again whenever the key changes: both key colours of the
  // strip, its top-left colour of cell 0, and a colour it does not have.
  const COLORREF keys[] = {kKeyA, kKeyB, kKeyA, RGB(10, 20, 30), RGB(1, 1, 1)};
  for (COLORREF key : keys)
    for (int cell = 0; cell < 4; ++cell) {
      const RECT source{cell * 16, 0, cell * 16 + 16, 16};
      Surface mine(40, 30), reference(40, 30);
      Stripe(mine.Dc(), 40, 30);
      Stripe(reference.Dc(), 40, 30);
      masks.Draw(mine.Dc(), strip, 7, 5, source, static_cast<gui::TColor>(key));
      DrawTransparentBitmap(reference.Dc(), FreeHandle(strip), 7, 5, source, static_cast<gui::TColor>(key));
      ExpectSamePixels(mine.Dc(), reference.Dc(), 40, 30,
                       "cell " + std::to_string(cell) + ", key " + Hex(key));
    }
}

TEST(GlyphMasks, FollowTheStripWhenToldItChangedAndMatchOnSixteenBitsAndPartialCells) {
  gui::TBitmap strip;
  FillStrip(strip);
  TGxGlyphMasks masks;
  Surface first(20, 20);
  masks.Draw(first.Dc(), strip, 0, 0, RECT{0, 0, 16, 16}, static_cast<gui::TColor>(kKeyA));
  // The strip drawn anew: the masks made before would show the old picture.
  for (int x = 0; x < 64; ++x) strip.SetPixelAt(x, 8, static_cast<gui::TColor>(RGB(250, 250, 0)));
  strip.Changed();
  masks.Reset();
  Surface mine(20, 20), reference(20, 20);
  masks.Draw(mine.Dc(), strip, 2, 2, RECT{0, 0, 16, 16}, static_cast<gui::TColor>(kKeyA));
  DrawTransparentBitmap(reference.Dc(), FreeHandle(strip), 2, 2, RECT{0, 0, 16, 16}, static_cast<gui::TColor>(kKeyA));
  ExpectSamePixels(mine.Dc(), reference.Dc(), 20, 20, "after the strip changed");
  EXPECT_EQ(mine.At(2 + 3, 2 + 8), RGB(250, 250, 0));

  // Part of a cell, and a destination of 16 bits per pixel.
  Surface16 mine16(24, 24), reference16(24, 24);
  Stripe(mine16.dc, 24, 24);
  Stripe(reference16.dc, 24, 24);
  const RECT part{20, 3, 31, 14};
  masks.Draw(mine16.dc, strip, 4, 6, part, static_cast<gui::TColor>(kKeyB));
  DrawTransparentBitmap(reference16.dc, FreeHandle(strip), 4, 6, part, static_cast<gui::TColor>(kKeyB));
  ExpectSamePixels(mine16.dc, reference16.dc, 24, 24, "16 bits, part of cell 1");
}

namespace {

// The button as it was: each glyph put on with DrawTransparentBitmap's own DCs and bitmaps.
class TReferenceButton : public TGxBitmapButton {
 public:
  using TGxBitmapButton::TGxBitmapButton;

 protected:
  void DrawGlyphCell(HDC dc, int x, int y, const RECT& cell, gui::TColor key) override {
    DrawTransparentBitmap(dc, FreeHandle(GlyphStrip()), x, y, cell, key);
  }
};

enum class State { rest, hot, pressed, disabled, down };
const char* const kStateNames[] = {"rest", "hot", "pressed", "disabled", "down"};
enum class Key { automatic, fixed, opaque };
const char* const kKeyNames[] = {"automatic key", "fixed key", "opaque"};

// One form with one button of either kind, set up alike and brought into the state.
struct ButtonForm {
  ButtonForm(gui::TApplication* app, bool reference, TGxButtonStyle style, int numGlyphs, Key key, State state) {
    form = new gui::TForm(app);
    form->SetColor(gui::clTeal);
    form->SetBounds(0, 0, 160, 100);
    list = new TGxBitmapList(form);
    gui::TBitmap b;
    FillStrip(b);
    if (numGlyphs == 1) {  // one 16x16 cell: the button makes the grey and embossed cells
      gui::TBitmap one;
      one.SetSize(16, 16);
      one.Canvas().CopyRect(RECT{0, 0, 16, 16}, b.Canvas(), RECT{0, 0, 16, 16});
      list->Add(&one);
    } else {
      list->Add(&b);
    }
    btn = reference ? new TReferenceButton(form) : new TGxBitmapButton(form);
    btn->SetParent(form);
    btn->SetBounds(10, 10, 90, 60);
    btn->SetCaption("Go");
    btn->SetButtonStyle(style);
    btn->SetNumGlyphs(numGlyphs);
    btn->SetBitmapList(list);
    btn->SetBitmapIndex(0);
    if (key == Key::fixed) btn->SetTransparentColor(static_cast<gui::TColor>(kKeyB));
    if (key == Key::opaque) btn->SetTransparent(false);
    form->HandleNeeded();
    switch (state) {
      case State::rest: break;
      case State::hot: btn->Perform(gui::CM_MOUSEENTER, 0, 0); break;
      case State::pressed: SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 30)); break;
      case State::disabled: btn->SetEnabled(false); break;
      case State::down: btn->SetDown(true); break;
    }
  }
  ~ButtonForm() { delete form; }
  gui::TForm* form;
  TGxBitmapList* list;
  TGxBitmapButton* btn;
};

}  // namespace

TEST(GlyphMasks, TheButtonLooksAsWithDrawTransparentBitmapInEveryStyleStateAndKeyMode) {
  gui::TApplication app;
  for (int style = bsRegular; style <= bsNone; ++style)
    for (int glyphs : {1, 4})
      for (int key = 0; key < 3; ++key)
        for (int state = 0; state < 5; ++state) {
          ButtonForm mine(&app, false, static_cast<TGxButtonStyle>(style), glyphs, static_cast<Key>(key),
                          static_cast<State>(state));
          ButtonForm reference(&app, true, static_cast<TGxButtonStyle>(style), glyphs, static_cast<Key>(key),
                               static_cast<State>(state));
          Surface a(160, 100), b(160, 100);
          bmptest::PaintForm(*mine.form, a);
          bmptest::PaintForm(*reference.form, b);
          // A state change drawn through the buffer as well as a whole paint.
          mine.btn->FastRedraw();
          reference.btn->FastRedraw();
          bmptest::PaintForm(*mine.form, a);
          bmptest::PaintForm(*reference.form, b);
          ExpectSamePixels(a.Dc(), b.Dc(), 160, 100,
                           std::string("style ") + std::to_string(style) + ", " + std::to_string(glyphs) +
                               " glyphs, " + kKeyNames[key] + ", " + kStateNames[state]);
        }
}
