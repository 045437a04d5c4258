// The layers of 3-D text, worked out before anything is drawn: how far the effect reaches from
// the text, every copy of the text with its place and colour, and the bands of a gradient face.
#pragma once

#include <windows.h>

#include <vector>

#include "FxSettings.h"

namespace fx {

// Red 241, green 9, blue 254: the face's colour on the mask of a gradient face.
inline constexpr gui::TColor MaskKeyColor = 16648689;

struct TFxRgb {
  int r, g, b;
};
// A colour's three low bytes (a system colour's number is not resolved).
TFxRgb SplitColor(gui::TColor c);
// Each component kept to 8 bits.
COLORREF JoinColor(int r, int g, int b);
// To the nearest integer, halves to even.
int RoundHalfEven(double v);

// How far the layers reach on both axes at once (lo <= 0 <= hi), and the horizontal correction
// of the alignment; with them every layer stays inside the label.
struct TFxExtent {
  int lo, hi, adj;
  // Where a copy at a layer offset goes, relative to the label's rectangle.
  int X(int dx) const { return dx - lo - adj; }
  int Y(int dy) const { return dy - lo; }
};
TFxExtent EffectExtent(const TFxCustomSettings& s, UINT drawTextFlags);

struct TFxTextCopy {
  int x, y;
  COLORREF color;
};
// The shadow pass, then the highlight pass, each farthest copy first (the face is not among
// them: it goes at (X(0), Y(0))). fontColor is the label's font colour.
std::vector<TFxTextCopy> LayerCopies(const TFxCustomSettings& s, gui::TColor fontColor, const TFxExtent& e);

struct TFxBand {
  RECT rect;
  COLORREF color;
};
// The 16 bands of a gradient face in a width x height label, from GraduateFromColor to the font
// colour, left to right or top to bottom; faceWidth is the caption's width as one line.
std::vector<TFxBand> GradientBands(const TFxCustomSettings& s, gui::TColor fontColor, const TFxExtent& e,
                                   UINT drawTextFlags, int width, int height, int faceWidth);

}  // namespace fx
