// The family's private window messages. Their numbers are fixed: controls and labels of the
// family exchange them, and applications may watch them.
#pragma once

#include <windows.h>

#include "PrivateMessages.h"

namespace ec {

// Posted by an entry control to itself after it received the focus; fires AfterEnter.
inline constexpr UINT EntryAfterEnterMessage = gui::kEntryAfterEnterMessage;
// Posted by an entry control to itself after it lost the focus; fires AfterExit.
inline constexpr UINT EntryAfterExitMessage = gui::kEntryAfterExitMessage;
// Posted by a control to itself after its bounds changed: put the attached label back in place.
inline constexpr UINT EntryControlMovedMessage = gui::kEntryControlMovedMessage;
// Posted by an attached label to its control after the label moved: record the new offsets.
inline constexpr UINT EntryLabelMovedMessage = gui::kEntryLabelMovedMessage;
// Sent by an attached label to its control, lParam the label: the label belongs to the control.
// Taken only for a label of the control's own form that names the control.
inline constexpr UINT EntryLabelAttachMessage = gui::kEntryLabelAttachMessage;

}  // namespace ec
