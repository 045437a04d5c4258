// What a window procedure of ours may trust in a message. Any program on the desktop can post
// (and send) any number with any parameters to our windows, so:
// - The framework's own numbers (CM_*, CN_*) travel only by direct call inside the program
//   (Perform); one that arrives through a window procedure came from outside and is ignored.
// - A pointer a message carries is used only after it is checked against the objects that could
//   legitimately have sent it.
// - A release later is honoured only for what the program itself asked to release (ReleaseLater).
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

// Frees the component once the messages already queued have been handled (from the thread's
// message loop, a modal one included). A message that reaches the hidden window doing this frees
// only what was handed to this function and still exists.
void ReleaseLater(rtl::TComponent* component);

}  // namespace gui
