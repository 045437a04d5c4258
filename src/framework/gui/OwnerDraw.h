// Owner drawing as a service: the state of an item the platform asks its owner to draw, and
// the preparation of a canvas for one such request, the same for every owner-drawn control.
#pragma once

#include <windows.h>

#include <functional>

#include "Canvas.h"

namespace gui {

// The platform's item states (ODS_*), as a bit set.
enum TOwnerDrawFlag : unsigned {
  odSelected = ODS_SELECTED,
  odGrayed = ODS_GRAYED,
  odDisabled = ODS_DISABLED,
  odChecked = ODS_CHECKED,
  odFocused = ODS_FOCUS,
  odDefault = ODS_DEFAULT,
  odHotLight = ODS_HOTLIGHT,
  odInactive = ODS_INACTIVE,
  odNoAccel = ODS_NOACCEL,
  odNoFocusRect = ODS_NOFOCUSRECT,
  odComboBoxEdit = ODS_COMBOBOXEDIT,  // the selection field of a combo box, not its list
};
using TOwnerDrawState = unsigned;

using TDrawItemEvent = rtl::TEvent<rtl::TObject*, int, const RECT&, TOwnerDrawState>;
using TMeasureItemEvent = rtl::TEvent<rtl::TObject*, int, int&>;

using TDrawItemProc = std::function<void(int index, const RECT& rect, TOwnerDrawState state)>;

// Answers one WM_DRAWITEM request on canvas: the canvas gets the request's DC, the font and a
// solid brush of color; a selected item gets the highlight brush and the highlight-text colour.
// An item is drawn by drawItem; a request without one (an empty selection field) is filled with
// the brush. The focus rectangle follows when the item has the focus. Whatever is selected into
// or set on the DC meanwhile is undone before the platform gets it back.
void DrawOwnerItem(const DRAWITEMSTRUCT& request, TCanvas& canvas, TFont& font, TColor color,
                   const TDrawItemProc& drawItem);

}  // namespace gui
