// A 32-bit memory surface to paint on in tests: a DIB section selected into a memory DC, filled
// with a colour no drawing rule produces, so every pixel a test reads was put there on purpose.
#pragma once

#include <windows.h>

#include <string>

#include "Guards.h"

namespace tsupport {

class Surface {
 public:
  Surface(int w, int h, COLORREF fill = RGB(1, 2, 3));
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int Width() const { return w_; }
  int Height() const { return h_; }
  void Fill(COLORREF c);
  // Saves the picture as a bitmap file (for looking at it).
  void Save(const std::string& path) const;

 private:
  int w_, h_;
  gui::TMemoryDC dc_;
  gui::TBitmapHandle bmp_;
  gui::TSelectObject selected_;
};

// A windowed control paints itself into the surface as into its window: background, then its
// graphic controls (WM_ERASEBKGND and WM_PAINT with the surface's DC).
void PaintWindowInto(HWND wnd, Surface& s);

inline std::string Hex(COLORREF c) {
  char s[16];
  wsprintfA(s, "%06lX", static_cast<unsigned long>(c));
  return s;
}

}  // namespace tsupport
