// A 3-D label on a form, painted into memory surfaces, and pictures of what it should show built
// from the layer rules with the platform's own TextOut.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>

#include "Forms.h"
#include "MemorySurface.h"
#include "TestWindows.h"
#include "TextInk.h"
#include "label3d/FxLabel.h"

namespace fxtest {

constexpr COLORREF kBack = RGB(10, 120, 40);  // what the parent shows behind a transparent label
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGray = RGB(128, 128, 128);

// To the nearest integer, halves to even (the layer rules' rounding).
inline int Even(double v) { return static_cast<int>(std::nearbyint(v)); }

struct LabelTest : ::testing::Test, tsupport::TTestForm {
  static constexpr int W = 200, H = 40;
  fx::TFxLabel* label = new fx::TFxLabel(form);

  LabelTest() {
    label->SetParent(form);
    label->Font().SetName("Arial");  // Liberation Sans under Wine: the same pixels every run
    label->Font().SetHeight(-20);
    label->Font().SetStyle(gui::FontStyle(gui::fsBold));
    label->SetBounds(0, 0, W, H);
  }
  fx::TFxCustomSettings& S() { return label->CustomSettings(); }
  HFONT Font() { return label->Font().Handle(); }
  int TextWidth(const std::string& text) { return textink::Measure(Font(), text).width; }
  // The label paints itself into a surface as its parent would (origin at its top left).
  void PaintInto(tsupport::Surface& s) { label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0); }
  // One copy of the caption at (x, y), as TextOut draws it.
  void Copy(tsupport::Surface& s, int x, int y, COLORREF c) { textink::Draw(s, Font(), x, y, label->Caption(), c); }
};

}  // namespace fxtest
