// The combo box's flat look with hot tracking, drawn in place of the platform's: a flat frame and
// a small drop button while idle; a sunken frame and a raised (or, with the list open, pressed)
// button while the mouse is over the control, it has the focus or its list is open.
#include <initializer_list>

#include "entry/EcCmbx.h"

namespace ec {

namespace {

// A line from the first point through each following one, the end points excluded.
void Line(gui::TCanvas& canvas, std::initializer_list<POINT> points) {
  auto p = points.begin();
  canvas.MoveTo(p->x, p->y);
  for (++p; p != points.end(); ++p) canvas.LineTo(p->x, p->y);
}

void PenAndBrush(gui::TCanvas& canvas, gui::TColor colour) {
  canvas.Pen().SetColor(colour);
  canvas.Brush().SetColor(colour);
}

void Triangle(gui::TCanvas& canvas, POINT a, POINT b, POINT c) {
  PenAndBrush(canvas, gui::clBlack);
  const POINT points[] = {a, b, c};
  canvas.Polygon(points, 3);
}

}  // namespace

void TEcBaseComboBox::PaintFlat(HDC dc) {
  gui::TCanvas& canvas = Canvas();
  gui::TCanvasDC attached(canvas, dc);
  canvas.Font().Assign(&Font());
  canvas.Brush().SetStyle(gui::bsSolid);
  canvas.Pen().SetStyle(gui::psSolid);
  canvas.Pen().SetWidth(1);
  const int w = Width(), h = Height();
  const int x0 = w - 15;  // the drop button's left edge
  const int h2 = h / 2;
  const bool list = style_ == ecsDropDownList;
  const int selected = ItemIndex();
  const RECT field{4, 4, x0 - 1, h - 3};
  // The item shown in a list-only box's field; the band belongs to the open list only.
  auto drawField = [&](gui::TOwnerDrawState state) {
    if (!list || selected < 0) return;
    editPortion_ = true;
    DrawItem(selected, field, state);
  };

  PenAndBrush(canvas, gui::clBtnFace);
  canvas.Rectangle(0, 0, w, h);
  const bool dropped = DroppedDown();
  if (dropped || hot_ || focused_) {
    canvas.Pen().SetColor(gui::clBtnShadow);
    Line(canvas, {{1, h - 2}, {1, 1}, {w - 1, 1}});
    canvas.Pen().SetColor(gui::clWhite);
    Line(canvas, {{w - 2, 1}, {w - 2, h - 2}, {1, h - 2}});
    canvas.Pen().SetColor(gui::clBtnFace);
    Line(canvas, {{2, 2}, {2, h - 3}, {w - 3, h - 3}, {w - 3, 2}, {2, 2}});
    PenAndBrush(canvas, gui::clBtnFace);
    canvas.Rectangle(x0, 4, w - 4, h - 4);
    if (dropped) {
      Triangle(canvas, {x0 + 4, h2}, {x0 + 6, h2 + 2}, {x0 + 8, h2});
      canvas.Pen().SetColor(gui::clBtnHighlight);
      Line(canvas, {{x0, h - 4}, {w - 4, h - 4}, {w - 4, 3}});
      canvas.Pen().SetColor(gui::clBtnShadow);
      Line(canvas, {{x0, h - 4}, {x0, 3}, {w - 4, 3}});
      drawField(0);
    } else {
      Triangle(canvas, {x0 + 3, h2 - 1}, {x0 + 5, h2 + 1}, {x0 + 7, h2 - 1});
      canvas.Pen().SetColor(gui::clWhite);
      Line(canvas, {{x0, h - 4}, {x0, 3}, {w - 4, 3}});
      canvas.Font().SetColor(focused_ ? gui::clHighlightText : gui::clWindowText);
      drawField(focused_ ? gui::odSelected | gui::odFocused : 0);
    }
    canvas.Pen().SetColor(gui::clBtnFace);
    Line(canvas, {{x0 - 2, 3}, {x0 - 2, h - 3}});
  } else {
    canvas.Brush().SetColor(gui::clBtnHighlight);  // the pen stays button face
    canvas.Rectangle(2, 2, w - 2, h - 2);
    canvas.Brush().SetColor(gui::clBtnFace);
    canvas.Rectangle(x0, 4, w - 4, h - 4);
    Triangle(canvas, {x0 + 3, h2 - 1}, {x0 + 5, h2 + 1}, {x0 + 7, h2 - 1});
    canvas.Brush().SetColor(gui::clWindow);
    canvas.Pen().SetColor(gui::clBtnFace);
    Line(canvas, {{2, h - 3}, {w - 3, h - 3}});
    drawField(0);
  }
}

}  // namespace ec
