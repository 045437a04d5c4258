// Every private message number the program's windows receive, and whose it is (the framework's
// own CM_ and CN_ numbers are in Messages.h). Numbers in the WM_USER range mean other things to
// other window classes, and any program can post them: the owner's window acts on one only when
// it is its own, and checks a pointer it carries against the objects that could have sent it
// (docs/framework.md, "Message trust").
#pragma once

#include <windows.h>

#include <span>

namespace gui {

enum : UINT {
  // The entry-control family: an entry control posts these to itself, an attached label sends
  // the last one to its control.
  kEntryAfterEnterMessage = 0x7F08,
  kEntryAfterExitMessage = 0x7F09,
  kEntryControlMovedMessage = 0x7F0B,
  kEntryLabelMovedMessage = 0x7F0C,
  kEntryLabelAttachMessage = 0x7F0D,  // lParam: the attached label
  // The 3-D label family's attached label, to its control.
  kFxLabelMovedMessage = 0x465,
  kFxAttachLabelMessage = 0x466,  // lParam: the attached label
  // The caption styler, posted to its own utility window.
  kGxRehookMessage = 0x354D,  // lParam: the styler
};

struct TPrivateMessage {
  UINT Number;
  const char* Name;
  const char* Owner;
  const char* LParam;  // what lParam carries; "0" when nothing
};

// The table above, for tools that name messages (the test recorder's dumps).
std::span<const TPrivateMessage> PrivateMessages();
const TPrivateMessage* FindPrivateMessage(UINT number);

}  // namespace gui
