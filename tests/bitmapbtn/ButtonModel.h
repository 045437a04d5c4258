// The bitmap button's looks computed from the family's drawing rules, pixel by pixel, without the
// family's code: the 3-D frame, the styles' grounds and frames, the glyph cells (grey and embossed
// ones made here from the source picture), the keyed glyph and the caption's place. Tests build
// a button, paint it, and compare every pixel with what this model draws.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "MemorySurface.h"
#include "TestWindows.h"
#include "bitmapbtn/GxBmpBtn.h"

namespace bmpmodel {

using tsupport::Surface;
using tsupport::Sys;

// A picture as plain colours, row by row.
struct Picture {
  int w = 0, h = 0;
  std::vector<COLORREF> px;
  Picture() = default;
  Picture(int width, int height, COLORREF fill = 0) : w(width), h(height), px(size_t(width) * height, fill) {}
  COLORREF At(int x, int y) const { return px[size_t(y) * w + x]; }
  COLORREF& At(int x, int y) { return px[size_t(y) * w + x]; }
  Picture Cell(int x0, int width) const;
};

// The test glyph: no two corners alike; its bottom-left pixel (the automatic key) is teal, its
// top-left red; red, green, blue, white and a brown in a pattern, teal on every fifth diagonal.
Picture TestGlyph(int w, int h);
// Cells side by side, each filled with its own colour but for a bottom-left pixel of its own.
Picture SolidCells(const std::vector<COLORREF>& fills, const std::vector<COLORREF>& corners, int cell);

// The family's grey: (r*R + g*G + b*B) div (r + g + b) for each pixel.
Picture Grey(const Picture& p, int r, int g, int b);
// The embossed look of a disabled glyph: the picture reduced to ground (its top-left colour,
// white counting as ground) and black; highlight one pixel down-right of every black pixel, then
// shadow on every black pixel, on the button face.
Picture Embossed(const Picture& p);

// A bitmap holding the picture, for a bitmap list.
void Fill(gui::TBitmap& b, const Picture& p);

// Frame3D as the rules draw it on a surface: lineWidth rings, r shrunk to the inside.
void Frame(Surface& s, RECT& r, COLORREF top, COLORREF bottom, int lineWidth);

// Everything the button's looks depend on.
struct Button {
  int w = 100, h = 70;
  bitmapbtn::TGxButtonStyle style = bitmapbtn::bsRegular;
  int borderWidth = 1;
  bool transparent = true;
  COLORREF color = 0;   // the button's colour (the opaque fill)
  COLORREF ground = 0;  // what lies under it (the parent's painting)
  bool pressed = false, down = false, mouseInside = false, enabled = true;
  bool showPressed = true, showDisabled = true, autoGray = true;
  int numGlyphs = 1;
  int spacing = 2;
  bitmapbtn::TGxTextAlign align = bitmapbtn::ttaCenter;
  bool wordWrap = false;
  int indentH = 1, indentV = 1;
  std::string caption;
  const gui::TFont* font = nullptr;
  COLORREF fontColor = 0;
  const Picture* image = nullptr;  // none: no glyph
  int glyphIndex = -1;             // what OnGetGlyphIndex answers; -1 none
  bool fixedKey = false;
  COLORREF key = 0;                // the fixed transparent colour
};

// The cell index the drawing rules choose.
int ChosenCell(const Button& b);
// The button drawn by the rules onto a surface of its own size.
void Draw(const Button& b, Surface& s);

// Pixels of the area (ox, oy, w, h) of actual that differ from expected; the first is described.
int Differences(const Surface& actual, int ox, int oy, const Surface& expected, std::string* first = nullptr);

}  // namespace bmpmodel
