// Messages as controls see them, and the framework's own message numbers.
#pragma once

#include <windows.h>

namespace gui {

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Framework notifications between controls (never sent to other programs' windows).
enum : UINT {
  CM_BASE = 0xB000,
  CM_MOUSEENTER = CM_BASE + 1,
  CM_MOUSELEAVE = CM_BASE + 2,
  CM_ENABLEDCHANGED = CM_BASE + 3,
  CM_FONTCHANGED = CM_BASE + 4,
  CM_COLORCHANGED = CM_BASE + 5,
  CM_TEXTCHANGED = CM_BASE + 6,
  CM_PARENTFONTCHANGED = CM_BASE + 7,
  CM_PARENTCOLORCHANGED = CM_BASE + 8,
  CM_VISIBLECHANGED = CM_BASE + 9,
  CM_DIALOGCHAR = CM_BASE + 10,  // a mnemonic key: wParam the character; Result 1 when taken
  CM_RELEASE = CM_BASE + 11,     // a form frees itself once the message arrives
};

// Notifications a parent reflects back to the child control that sent them.
enum : UINT {
  CN_BASE = 0xBC00,
  CN_COMMAND = CN_BASE + WM_COMMAND,
  CN_NOTIFY = CN_BASE + WM_NOTIFY,
  CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
  CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
  CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
  CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
  CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
  CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
};

}  // namespace gui
