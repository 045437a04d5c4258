// The reflection table: the control messages a parent hands to the child control they concern
// (as CN_BASE plus the message's number, parameters unchanged), and how that child is found.
#pragma once

#include <windows.h>

#include "Messages.h"

namespace gui {

bool IsReflectedMessage(UINT msg);
// The child window a reflected message concerns, or none: the parent keeps a menu's or an
// accelerator's command, its own scroll bars' messages, an owner-drawn menu's requests, and a
// notification whose record does not check out.
HWND ReflectionTarget(HWND parent, const TMessage& m);

}  // namespace gui
