#include "OwnerDraw.h"

#include "Guards.h"

namespace gui {

void DrawOwnerItem(const DRAWITEMSTRUCT& request, TCanvas& canvas, TFont& font, TColor color,
                   const TDrawItemProc& drawItem) {
  TSaveDC saved(request.hDC);
  TCanvasDC attached(canvas, request.hDC);
  TOwnerDrawState state = request.itemState & 0xFFFF;
  int index = static_cast<int>(request.itemID);  // (UINT)-1: no item
  canvas.Font().Assign(&font);
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  if (index >= 0 && (state & odSelected)) {
    canvas.Brush().SetColor(clHighlight);
    canvas.Font().SetColor(clHighlightText);
  }
  if (index >= 0)
    drawItem(index, request.rcItem, state);
  else
    canvas.FillRect(request.rcItem);
  if ((state & odFocused) && !(state & odNoFocusRect)) DrawFocusRect(request.hDC, &request.rcItem);
}

}  // namespace gui
