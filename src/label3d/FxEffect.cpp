#include "FxEffect.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace fx {

TFxRgb SplitColor(gui::TColor c) {
  auto v = static_cast<uint32_t>(c);
  return TFxRgb{static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF)};
}

COLORREF JoinColor(int r, int g, int b) {
  return RGB(static_cast<BYTE>(r & 0xFF), static_cast<BYTE>(g & 0xFF), static_cast<BYTE>(b & 0xFF));
}

int RoundHalfEven(double v) {
  double whole = std::floor(v);
  double rest = v - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<int>(whole);
}

TFxExtent EffectExtent(const TFxCustomSettings& s, UINT flags) {
  TFxOffset h = DirectionOffsets(s.HighlightDirection()), d = DirectionOffsets(s.ShadowDirection());
  int hd = s.HighlightDepth(), sd = s.ShadowDepth();
  std::initializer_list<int> reach = {h.dx * hd, d.dx * sd, h.dy * hd, d.dy * sd, 0};
  int lo = std::min(reach), hi = std::max(reach);
  int adj = (flags & DT_CENTER) ? (hi - lo) / 2 : (flags & DT_RIGHT) ? hi - lo : 0;
  return TFxExtent{lo, hi, adj};
}

namespace {

// One layer's copies: depth copies from the farthest in, or one copy at the depth.
void AddPass(std::vector<TFxTextCopy>& out, gui::TColor color, int depth, TFxOffset step, TFxShadeStyle style,
             TFxRgb font, const TFxExtent& e) {
  TFxRgb c = SplitColor(color);
  double fr = 0, fg = 0, fb = 0;
  int first = depth;
  if (style != ssPlain && depth > 1) {
    first = 1;
    if (style == ssGraduated) {
      fr = static_cast<double>(font.r - c.r) / (depth - 1);
      fg = static_cast<double>(font.g - c.g) / (depth - 1);
      fb = static_cast<double>(font.b - c.b) / (depth - 1);
    }
  }
  for (int m = depth; m >= first; --m) {
    int k = depth - m;
    out.push_back(TFxTextCopy{e.X(m * step.dx), e.Y(m * step.dy),
                              JoinColor(c.r + RoundHalfEven(k * fr), c.g + RoundHalfEven(k * fg),
                                        c.b + RoundHalfEven(k * fb))});
  }
}

}  // namespace

std::vector<TFxTextCopy> LayerCopies(const TFxCustomSettings& s, gui::TColor fontColor, const TFxExtent& e) {
  std::vector<TFxTextCopy> copies;
  TFxRgb font = SplitColor(fontColor);
  AddPass(copies, s.ShadowColor(), s.ShadowDepth(), DirectionOffsets(s.ShadowDirection()), s.ShadowStyle(), font, e);
  AddPass(copies, s.HighlightColor(), s.HighlightDepth(), DirectionOffsets(s.HighlightDirection()),
          s.HighlightStyle(), font, e);
  return copies;
}

std::vector<TFxBand> GradientBands(const TFxCustomSettings& s, gui::TColor fontColor, const TFxExtent& e,
                                   UINT flags, int width, int height, int faceWidth) {
  int x0 = (flags & DT_CENTER) ? (width - faceWidth) / 2 - e.lo - e.adj
           : (flags & DT_RIGHT) ? width - e.hi - faceWidth
                                : -e.lo;
  int y0 = -e.lo;
  bool vertical = s.GraduateStyle() == gsVertical;
  double band = (vertical ? height - 1 : faceWidth - 1) / 15.0;
  TFxRgb from = SplitColor(s.GraduateFromColor()), to = SplitColor(fontColor);
  double sr = (to.r - from.r) / 15.0, sg = (to.g - from.g) / 15.0, sb = (to.b - from.b) / 15.0;
  std::vector<TFxBand> bands;
  for (int i = 0; i < 16; ++i) {
    int start = RoundHalfEven(i * band), end = RoundHalfEven((i + 1) * band);
    RECT r = vertical ? RECT{0, y0 + start, width, y0 + end} : RECT{x0 + start, 0, x0 + end, height};
    bands.push_back(TFxBand{r, JoinColor(from.r + RoundHalfEven(i * sr), from.g + RoundHalfEven(i * sg),
                                         from.b + RoundHalfEven(i * sb))});
  }
  return bands;
}

}  // namespace fx
