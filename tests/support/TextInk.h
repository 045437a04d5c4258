// Pictures of text as the platform's own TextOut draws it, for comparing what a control drew
// with where the text belongs by the layout rules.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Guards.h"
#include "MemorySurface.h"

namespace textink {

// The font's line height and the width of text in it, measured on a screen DC.
struct Metrics {
  int lineHeight;
  int ascent;
  int width;
};

inline Metrics Measure(HFONT font, const std::string& text) {
  gui::TScreenDC screen;
  gui::TSelectObject selected(screen, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  SIZE s{};
  GetTextExtentPoint32A(screen, text.data(), static_cast<int>(text.size()), &s);
  return Metrics{tm.tmHeight, tm.tmAscent, s.cx};
}

// text drawn by TextOut at (x, y) in colour, on the surface as it is.
inline void Draw(tsupport::Surface& s, HFONT font, int x, int y, const std::string& text, COLORREF colour) {
  gui::TSelectObject selected(s.Dc(), font);
  SetBkMode(s.Dc(), TRANSPARENT);
  SetTextColor(s.Dc(), colour);
  TextOutA(s.Dc(), x, y, text.data(), static_cast<int>(text.size()));
}

// Pixels where two pictures differ; the first few are listed.
inline ::testing::AssertionResult SamePixels(const tsupport::Surface& got, const tsupport::Surface& want,
                                             RECT r = RECT{0, 0, 1 << 16, 1 << 16}) {
  int differ = 0;
  std::string where;
  for (int y = r.top; y < r.bottom && y < want.Height(); ++y)
    for (int x = r.left; x < r.right && x < want.Width(); ++x)
      if (got.At(x, y) != want.At(x, y) && ++differ <= 5)
        where += " (" + std::to_string(x) + "," + std::to_string(y) + ") " + tsupport::Hex(got.At(x, y)) +
                 " not " + tsupport::Hex(want.At(x, y));
  if (differ == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differ << " pixels differ:" << where;
}

inline int Count(const tsupport::Surface& s, COLORREF c, RECT r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += s.At(x, y) == c;
  return n;
}

}  // namespace textink
