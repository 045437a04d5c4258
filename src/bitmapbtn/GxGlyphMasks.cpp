#include "GxGlyphMasks.h"

#include "Canvas.h"
#include "GxObj.h"

namespace bitmapbtn {

void TGxGlyphMasks::Build(gui::TBitmap& strip, COLORREF key) {
  const int w = strip.Width(), h = strip.Height();
  image_.SetSize(w, h);
  mask_.SetSize(w, h);
  // The same test as a blit to a monochrome mask with the key as background colour: equal RGB.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const gui::TColor p = strip.PixelAt(x, y);
      const bool keyed = static_cast<COLORREF>(p) == key;
      image_.SetPixelAt(x, y, keyed ? gui::clBlack : p);
      mask_.SetPixelAt(x, y, keyed ? gui::clWhite : gui::clBlack);
    }
  strip.Dormant();
  key_ = key;
  built_ = true;
}

void TGxGlyphMasks::Draw(HDC dc, gui::TBitmap& strip, int x, int y, const RECT& source, gui::TColor key) {
  const int w = source.right - source.left, h = source.bottom - source.top;
  if (!dc || strip.Empty() || w <= 0 || h <= 0) return;
  const bool inside = source.left >= 0 && source.top >= 0 && source.right <= strip.Width() && source.bottom <= strip.Height();
  if (!inside || GetMapMode(dc) != MM_TEXT || gui::ColourDepth(dc) < 16)
    return DrawTransparentBitmap(dc, FreeHandle(strip), x, y, source, key);
  const COLORREF rgb = gui::ColorToRGB(key);
  if (!built_ || rgb != key_) Build(strip, rgb);
  // Colour masks, so the DC's text and background colours play no part: AND keeps the
  // destination only where the key was, OR then puts the glyph everywhere else.
  BitBlt(dc, x, y, w, h, mask_.Canvas().Handle(), source.left, source.top, SRCAND);
  BitBlt(dc, x, y, w, h, image_.Canvas().Handle(), source.left, source.top, SRCPAINT);
}

}  // namespace bitmapbtn
