#include "PrivateMessages.h"

namespace gui {

namespace {

constexpr TPrivateMessage kMessages[] = {
    {kEntryAfterEnterMessage, "EntryAfterEnterMessage", "entry control", "0"},
    {kEntryAfterExitMessage, "EntryAfterExitMessage", "entry control", "0"},
    {kEntryControlMovedMessage, "EntryControlMovedMessage", "entry control", "0"},
    {kEntryLabelMovedMessage, "EntryLabelMovedMessage", "entry control", "0"},
    {kEntryLabelAttachMessage, "EntryLabelAttachMessage", "entry control", "the attached label"},
    {kFxLabelMovedMessage, "LabelMovedMessage", "3-D attached label's control", "0"},
    {kFxAttachLabelMessage, "AttachLabelMessage", "3-D attached label's control", "the attached label"},
    {kGxRehookMessage, "RehookMessage", "caption styler's utility window", "the styler"},
};

}  // namespace

std::span<const TPrivateMessage> PrivateMessages() { return kMessages; }

const TPrivateMessage* FindPrivateMessage(UINT number) {
  for (const TPrivateMessage& m : kMessages)
    if (m.Number == number) return &m;
  return nullptr;
}

}  // namespace gui
