// The button's glyphs drawn with masks made once per glyph strip and key colour, instead of the
// four DCs and four bitmaps DrawTransparentBitmap makes on every call. The pixels are the same:
// where the key colour was, the destination stays; everywhere else the strip shows. The two masks
// keep a memory DC each while they live, so a draw makes none.
#pragma once

#include <windows.h>

#include "Bitmap.h"

namespace bitmapbtn {

class TGxGlyphMasks {
 public:
  // The strip changed: what was made from it is made again on the next draw.
  void Reset() { built_ = false; }
  // Draws the source cell of strip at (x, y) on dc, key-coloured pixels left out. A destination
  // of fewer than 16 bits per pixel, a map mode other than MM_TEXT or a cell reaching outside
  // the strip goes to DrawTransparentBitmap itself.
  void Draw(HDC dc, gui::TBitmap& strip, int x, int y, const RECT& source, gui::TColor key);

 private:
  void Build(gui::TBitmap& strip, COLORREF key);

  gui::TBitmap image_;  // the strip, black where the key colour was
  gui::TBitmap mask_;   // white where the key colour was, black elsewhere
  COLORREF key_ = CLR_INVALID;
  bool built_ = false;
};

}  // namespace bitmapbtn
