// The family's private window messages. Their numbers are fixed: controls and labels of the
// family exchange them, and applications may watch them.
#pragma once

#include <windows.h>

namespace ec {

// Posted by an entry control to itself after it received the focus; fires AfterEnter.
inline constexpr UINT EntryAfterEnterMessage = 0x7F08;
// Posted by an entry control to itself after it lost the focus; fires AfterExit.
inline constexpr UINT EntryAfterExitMessage = 0x7F09;
// Posted by a control to itself after its bounds changed: put the attached label back in place.
inline constexpr UINT EntryControlMovedMessage = 0x7F0B;
// Posted by an attached label to its control after the label moved: record the new offsets.
inline constexpr UINT EntryLabelMovedMessage = 0x7F0C;
// Sent by an attached label to its control, lParam the label: the label belongs to the control.
inline constexpr UINT EntryLabelAttachMessage = 0x7F0D;

}  // namespace ec
