#include "ButtonModel.h"

#include <cstdio>

using namespace bitmapbtn;

namespace bmpmodel {

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void Set(Surface& s, int x, int y, COLORREF c) {
  if (x >= 0 && y >= 0 && x < s.Width() && y < s.Height()) SetPixel(s.Dc(), x, y, c);
}

// Pixels a one-pixel polyline covers: each segment from its start up to, not including, its end.
void Polyline(Surface& s, std::initializer_list<POINT> points, COLORREF c) {
  const POINT* p = points.begin();
  for (size_t i = 1; i < points.size(); ++i) {
    POINT a = p[i - 1], b = p[i];
    int dx = (b.x > a.x) - (b.x < a.x), dy = (b.y > a.y) - (b.y < a.y);
    for (POINT q = a; q.x != b.x || q.y != b.y; q.x += dx, q.y += dy) Set(s, q.x, q.y, c);
  }
}

void FillArea(Surface& s, RECT r, COLORREF c) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) Set(s, x, y, c);
}

// A rectangle drawn with a one-pixel pen and filled with the brush: the outline on its outermost
// pixels, the right and bottom edges left out as the platform does.
void Rectangle(Surface& s, RECT r, COLORREF pen, COLORREF brush) {
  FillArea(s, r, brush);
  for (int x = r.left; x < r.right; ++x) Set(s, x, r.top, pen), Set(s, x, r.bottom - 1, pen);
  for (int y = r.top; y < r.bottom; ++y) Set(s, r.left, y, pen), Set(s, r.right - 1, y, pen);
}

}  // namespace

Picture Picture::Cell(int x0, int width) const {
  Picture c(width, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < width; ++x) c.At(x, y) = At(x0 + x, y);
  return c;
}

Picture TestGlyph(int w, int h) {
  const COLORREF teal = RGB(0, 128, 128);
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), kWhite, RGB(200, 150, 50)};
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.At(x, y) = (x + (h - 1 - y)) % 5 == 0 ? teal : colours[(x * 3 + y) % 5];
  p.At(0, 0) = RGB(255, 0, 0);
  p.At(w - 1, 0) = RGB(0, 0, 255);
  p.At(w - 1, h - 1) = RGB(0, 160, 0);
  return p;
}

Picture SolidCells(const std::vector<COLORREF>& fills, const std::vector<COLORREF>& corners, int cell) {
  Picture p(cell * int(fills.size()), cell);
  for (size_t i = 0; i < fills.size(); ++i)
    for (int y = 0; y < cell; ++y)
      for (int x = 0; x < cell; ++x) p.At(int(i) * cell + x, y) = x == 0 && y == cell - 1 ? corners[i] : fills[i];
  return p;
}

Picture Grey(const Picture& p, int r, int g, int b) {
  Picture out = p;
  for (COLORREF& c : out.px) {
    int v = (r * GetRValue(c) + g * GetGValue(c) + b * GetBValue(c)) / (r + g + b);
    c = RGB(v, v, v);
  }
  return out;
}

Picture Embossed(const Picture& p) {
  const COLORREF ground = p.At(0, 0);
  auto black = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= p.w || y >= p.h) return false;
    COLORREF c = p.At(x, y);
    return !(c == kWhite || c == ground);
  };
  Picture out(p.w, p.h, Sys(COLOR_BTNFACE));
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      if (black(x - 1, y - 1)) out.At(x, y) = Sys(COLOR_BTNHIGHLIGHT);
      if (black(x, y)) out.At(x, y) = Sys(COLOR_BTNSHADOW);
    }
  return out;
}

void Fill(gui::TBitmap& b, const Picture& p) {
  b.SetSize(p.w, p.h);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) b.SetPixelAt(x, y, static_cast<gui::TColor>(p.At(x, y)));
  b.Changed();
}

void Frame(Surface& s, RECT& r, COLORREF top, COLORREF bottom, int lineWidth) {
  --r.right;
  --r.bottom;
  for (int i = 0; i < lineWidth; ++i) {
    Polyline(s, {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}}, top);
    Polyline(s, {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}}, bottom);
    InflateRect(&r, -1, -1);
  }
  ++r.right;
  ++r.bottom;
}

int ChosenCell(const Button& b) {
  if (b.glyphIndex != -1) return b.glyphIndex;
  const bool disabled = !b.enabled;
  int idx = 0;
  if (b.numGlyphs == 2 && disabled) idx = 1;
  if (b.numGlyphs == 3) idx = disabled ? 1 : b.pressed ? 2 : 0;
  if (b.numGlyphs == 4) idx = disabled ? 1 : b.down ? 3 : b.pressed ? 2 : 0;
  if ((b.style == bsExplorer || b.style == bsHighLight) && b.enabled && !b.down && !b.mouseInside && b.showDisabled) {
    if (b.autoGray)
      idx = b.numGlyphs;
    else if (b.numGlyphs > 1)
      idx = 1;
  }
  if (disabled && b.numGlyphs == 1) idx = 2;
  return idx;
}

namespace {

// The glyph cells: the picture's own, then its grey and embossed first cell when the rules make them.
std::vector<Picture> Strip(const Button& b) {
  std::vector<Picture> cells;
  const int n = b.numGlyphs, cw = b.image->w / n;
  for (int i = 0; i < n; ++i) cells.push_back(b.image->Cell(i * cw, cw));
  if (n == 1 || ((b.style == bsExplorer || b.style == bsHighLight) && b.autoGray)) {
    cells.push_back(Grey(cells[0], 11, 59, 30));
    cells.push_back(Embossed(cells[0]));
  }
  return cells;
}

// Where the caption sits across and down, by TextAlign (in its order); the glyph keeps to the
// other side.
enum Side { kStart, kMiddle, kEnd };
struct Sides {
  Side across, down;
};
constexpr Sides kCaptionSides[] = {{kStart, kStart}, {kMiddle, kStart}, {kEnd, kStart},
                                   {kEnd, kMiddle},  {kEnd, kEnd},      {kMiddle, kEnd},
                                   {kStart, kEnd},   {kStart, kMiddle}, {kMiddle, kMiddle}};

// The glyph is centred (the room to spare halved, rounded down) but on the axis where the caption
// takes a side: above or below it when the caption has a row of its own, else beside it. There
// it keeps `spacing` from the button's edge away from the caption.
RECT GlyphPlace(const Button& b, int gw, int gh) {
  const Sides c = kCaptionSides[b.align];
  auto awayFrom = [&](Side caption, int room, int size) { return caption == kStart ? room - size - b.spacing : b.spacing; };
  int left = (b.w - gw) / 2, top = (b.h - gh) / 2;
  if (c.down != kMiddle)
    top = awayFrom(c.down, b.h, gh);
  else if (c.across != kMiddle)
    left = awayFrom(c.across, b.w, gw);
  return RECT{left, top, left + gw, top + gh};
}

// The caption's measured box keeps `spacing` from the button's edge across and from the glyph
// down; in the middle of an axis it starts at half the button less half the box, each halved down.
RECT CaptionPlace(const Button& b, const RECT& glyph, int tw, int th) {
  const Sides c = kCaptionSides[b.align];
  const int x = c.across == kStart ? b.spacing : c.across == kEnd ? b.w - b.spacing - tw : b.w / 2 - tw / 2;
  const int y = c.down == kStart ? glyph.top - b.spacing - th : c.down == kEnd ? glyph.bottom + b.spacing : b.h / 2 - th / 2;
  return RECT{x, y, x + tw, y + th};
}

// Pressed with ShowPressed, glyph and caption are drawn moved by the two indents.
RECT Indented(const Button& b, RECT r) {
  if (b.pressed && b.showPressed) OffsetRect(&r, b.indentH, b.indentV);
  return r;
}

void DrawGlyph(const Button& b, Surface& s, const RECT& g) {
  const std::vector<Picture> strip = Strip(b);
  const int idx = ChosenCell(b);
  const Picture& cell = strip.at(size_t(idx));
  COLORREF key;
  if (b.transparent) {
    key = b.fixedKey ? b.key : b.image->At(0, b.image->h - 1);
  } else {
    const int column = b.image->w * idx / b.numGlyphs, cw = b.image->w / b.numGlyphs;
    key = strip.at(size_t(column / cw)).At(column % cw, b.image->h - 1);
  }
  for (int y = 0; y < cell.h; ++y)
    for (int x = 0; x < cell.w; ++x)
      if (cell.At(x, y) != key) Set(s, g.left + x, g.top + y, cell.At(x, y));
}

void DrawCaption(const Button& b, Surface& s, const RECT& glyph) {
  gui::TCanvas canvas;
  canvas.SetHandle(s.Dc());
  canvas.Font().Assign(const_cast<gui::TFont*>(b.font));
  canvas.Brush().SetStyle(gui::bsClear);
  const UINT lines = b.wordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  RECT m{0, 0, b.w, b.h};
  canvas.DrawText(b.caption, m, DT_CALCRECT | lines);
  RECT t = Indented(b, CaptionPlace(b, glyph, m.right - m.left, m.bottom - m.top));
  const UINT flags = DT_CENTER | DT_NOCLIP | lines;
  SetBkMode(s.Dc(), TRANSPARENT);
  if (b.enabled) {
    SetTextColor(s.Dc(), b.fontColor);
    canvas.DrawText(b.caption, t, flags);
  } else {
    RECT light = t;
    OffsetRect(&light, 1, 1);
    SetTextColor(s.Dc(), Sys(COLOR_BTNHIGHLIGHT));
    canvas.DrawText(b.caption, light, flags);
    SetTextColor(s.Dc(), Sys(COLOR_BTNSHADOW));
    canvas.DrawText(b.caption, t, flags);
  }
  canvas.SetHandle(nullptr);
}

struct Rings {
  COLORREF topLeft, bottomRight;
  int count;
};

// The frame's rings from the button's outer edge in. Released, each style has its own; pressed
// with ShowPressed a frame is its released look with each ring's two colours swapped, the indent
// style taking the regular one's. The explorer style is framed only under the pointer (pressed:
// or while down), and pressed without ShowPressed it stays raised; the other styles show no frame
// while pressed without ShowPressed.
std::vector<Rings> FrameRings(const Button& b) {
  const COLORREF face = Sys(COLOR_BTNFACE), light = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW),
                 dark = Sys(COLOR_3DDKSHADOW);
  const int bw = b.borderWidth;
  auto released = [&](TGxButtonStyle style) -> std::vector<Rings> {
    switch (style) {
      case bsRegular: return {{light, kBlack, bw}, {face, shadow, bw}};
      case bsIndent: return {{shadow, light, bw}};
      case bsLight: return {{light, shadow, 1}};
      case bsDark: return {{face, dark, 1}};
      case bsMono: return {{light, dark, 1}};
      case bsExplorer: return {{light, shadow, bw}};
      default: return {};
    }
  };
  if (b.style == bsExplorer && !(b.mouseInside || (b.pressed && b.down))) return {};
  if (!b.pressed || (b.style == bsExplorer && !b.showPressed)) return released(b.style);
  if (!b.showPressed) return {};
  std::vector<Rings> rings = released(b.style == bsIndent ? bsRegular : b.style);
  for (Rings& r : rings) std::swap(r.topLeft, r.bottomRight);
  return rings;
}

}  // namespace

void Draw(const Button& b, Surface& s) {
  const int w = b.w, h = b.h, bw = b.borderWidth;
  const COLORREF light = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
  const bool opaque = !b.transparent;
  s.Fill(b.ground);

  // The ground under the frame (an opaque rectangle is drawn with a one-pixel pen here).
  if (b.style == bsRegular) {
    if (opaque)
      Rectangle(s, RECT{1, 1, w, h}, kBlack, b.color);
    else {
      RECT r{1, 1, w, h};
      Frame(s, r, kBlack, kBlack, bw);
    }
  } else if (b.style == bsIndent) {
    RECT r{0, 0, w - 1, h - 1};
    if (opaque)
      Rectangle(s, r, shadow, b.color);
    else
      Frame(s, r, shadow, shadow, bw);
    RECT inner{1, 1, w, h};
    Frame(s, inner, light, light, bw);
  } else if (opaque) {
    FillArea(s, RECT{0, 0, w, h}, b.color);
  }
  RECT r{0, 0, w, h};
  for (const Rings& ring : FrameRings(b)) Frame(s, r, ring.topLeft, ring.bottomRight, ring.count);

  const int gw = b.image ? b.image->w / b.numGlyphs : 0, gh = b.image ? b.image->h : 0;
  const RECT g = GlyphPlace(b, gw, gh);
  if (b.image) DrawGlyph(b, s, Indented(b, g));
  if (!b.caption.empty()) DrawCaption(b, s, g);
}

int Differences(const Surface& actual, int ox, int oy, const Surface& expected, std::string* first) {
  int different = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) {
      COLORREF a = actual.At(ox + x, oy + y), e = expected.At(x, y);
      if (a == e) continue;
      if (different++ == 0 && first) {
        char text[96];
        std::snprintf(text, sizeof text, "first at (%d, %d): %06lX, expected %06lX", x, y,
                      static_cast<unsigned long>(a), static_cast<unsigned long>(e));
        *first = text;
      }
    }
  return different;
}

}  // namespace bmpmodel
