// What a window procedure of ours may trust in a message. Any program on the desktop can post
// (and send) any number with any parameters to our windows, so:
// - The framework's own numbers (CM_*, CN_*) travel only by direct call inside the program
//   (Perform); one that arrives through a window procedure came from outside and is ignored.
// - A pointer a message carries is used only after it is checked against the objects that could
//   legitimately have sent it.
// - A release later is honoured only for what the program itself asked to release (ReleaseLater).
// - A timer message that names a callback for a window of ours came from outside: the program's
//   timers name none, and the platform's dispatch would call whatever address it carries
//   (GuardThreadQueue).
#pragma once

#include <windows.h>

#include <cstddef>

#include "rtl/Component.h"

namespace gui {

// CM_BASE to the end of the private range the framework reserves (CN_* included).
bool IsFrameworkMessage(UINT msg);

// The n bytes at p lie in committed, readable memory of this process: a record a message points
// to can be read without a fault (what it says must still be checked).
bool IsReadableMemory(const void* p, size_t n);

// Checks every message this thread takes from its queue, in the program's own loop and in the
// platform's modal ones (message boxes, menus, dialogs) alike, before it is dispatched. Counted:
// the guard goes with the last UnguardThreadQueue.
void GuardThreadQueue();
void UnguardThreadQueue();
// A window whose procedure is the framework's (a control's, a utility window's, ReleaseLater's).
bool IsFrameworkWindow(HWND wnd);

// Frees the component once the messages already queued have been handled (from the thread's
// message loop, a modal one included). A message that reaches the hidden window doing this frees
// only what was handed to this function and still exists.
void ReleaseLater(rtl::TComponent* component);

}  // namespace gui
