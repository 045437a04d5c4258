// Messages as controls see them, and the framework's own message numbers.
#pragma once

#include <windows.h>

#include <functional>

namespace gui {

// One message on its way through handlers. A handler answers it (Answer, or passes it to the
// handler below it, which answers) or leaves it; whoever delivered it gives what is left to the
// default processing of that level (docs/framework.md, "The path of a message").
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result = 0;
  bool Handled = false;
  void Answer(LRESULT result) {
    Result = result;
    Handled = true;
  }
};

// A control's message entry point (its WindowProc): replaceable, so that a hook can watch or
// intercept every message a control handles and pass the rest on to the one it replaced.
using TWndMethod = std::function<void(TMessage& m)>;

// Framework notifications between controls. They travel only by direct call (Perform), never
// through a window: a window procedure of ours ignores the whole range CM_BASE to CN_LAST
// (MessageTrust.h). The *CHANGED ones are sent by the property setters, after the new value is
// stored. Families number their own from CM_BASE + 0xF0.
enum : UINT {
  CM_BASE = 0xB000,
  CM_MOUSEENTER = CM_BASE + 1,
  CM_MOUSELEAVE = CM_BASE + 2,
  CM_ENABLEDCHANGED = CM_BASE + 3,
  CM_FONTCHANGED = CM_BASE + 4,
  CM_COLORCHANGED = CM_BASE + 5,
  CM_TEXTCHANGED = CM_BASE + 6,
  CM_PARENTFONTCHANGED = CM_BASE + 7,   // to each child after its parent's font changed
  CM_PARENTCOLORCHANGED = CM_BASE + 8,  // to each child after its parent's colour changed
  CM_VISIBLECHANGED = CM_BASE + 9,      // wParam: the new visibility (1 shown, 0 hidden)
  CM_DIALOGCHAR = CM_BASE + 10,  // a mnemonic key: wParam the character; Result 1 when taken
  CM_RELEASE = CM_BASE + 11,     // to ReleaseLater's own window: free what waits for it
};

// A parent's control messages, reflected to the child control they concern: CN_BASE plus the
// message's own number, with its wParam and lParam unchanged. What the child answers is the
// parent's answer; a child that leaves one unhandled gets the parent's default processing.
enum : UINT {
  CN_BASE = 0xBC00,
  CN_COMMAND = CN_BASE + WM_COMMAND,
  CN_NOTIFY = CN_BASE + WM_NOTIFY,
  CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
  CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
  CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
  CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM,
  CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM,
  CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM,
  CN_HSCROLL = CN_BASE + WM_HSCROLL,
  CN_VSCROLL = CN_BASE + WM_VSCROLL,
  CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
  CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
  CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
  CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
  CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
  CN_LAST = CN_BASE + 0x3FF,  // the end of the range the framework reserves
};

}  // namespace gui
