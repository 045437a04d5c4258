// One key-to-command record of the entry controls' command tables, the shift flags its keys
// carry and the command codes. Portable: no <windows.h>.
#pragma once

#include <cstdint>

namespace ec {

// Shift flags of a record's keys, added together for combinations.
inline constexpr uint8_t kCmdShift = 2, kCmdCtrl = 4, kCmdAlt = 8;
// The second key of a two-key sequence in the WordStar table.
inline constexpr uint8_t kCmdSecondKey = 128;

#pragma pack(push, 1)
struct CommandRecord {
  uint8_t Key1 = 0;         // virtual-key code
  uint8_t ShiftState1 = 0;
  uint8_t Key2 = 0;         // 0 for a one-key command
  uint8_t ShiftState2 = 0;
  uint16_t Command = 0;

  // The four key bytes as one value, Key1 in the lowest byte: records compare by this alone.
  uint32_t Keys() const {
    return uint32_t{Key1} | uint32_t{ShiftState1} << 8 | uint32_t{Key2} << 16 | uint32_t{ShiftState2} << 24;
  }
  static CommandRecord FromKeys(uint32_t keys, uint16_t command) {
    return CommandRecord{static_cast<uint8_t>(keys), static_cast<uint8_t>(keys >> 8),
                         static_cast<uint8_t>(keys >> 16), static_cast<uint8_t>(keys >> 24), command};
  }
  bool operator==(const CommandRecord&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(CommandRecord) == 6, "a command record is 6 packed bytes");

// Command codes; the family's string table names each under kCommandNameBase + code.
enum TEcCommand : uint16_t {
  ccNone, ccBack, ccBotOfPage, ccBotRightCell, ccCompleteDate, ccCompleteTime, ccCopy, ccCtrlChar,
  ccCut, ccDec, ccDel, ccDelBol, ccDelEol, ccDelLine, ccDelWord, ccDown, ccEnd, ccExtendDown,
  ccExtendEnd, ccExtendHome, ccExtendLeft, ccExtendPgDn, ccExtendPgUp, ccExtendRight, ccExtendUp,
  ccExtBotOfPage, ccExtFirstPage, ccExtLastPage, ccExtTopOfPage, ccExtWordLeft, ccExtWordRight,
  ccFirstPage,
  ccGotoMarker0, ccGotoMarker1, ccGotoMarker2, ccGotoMarker3, ccGotoMarker4, ccGotoMarker5,
  ccGotoMarker6, ccGotoMarker7, ccGotoMarker8, ccGotoMarker9,
  ccHome, ccInc, ccIns, ccLastPage, ccLeft, ccNewLine, ccNextPage, ccPageLeft, ccPageRight, ccPaste,
  ccPrevPage, ccRedo, ccRestore, ccRight, ccScrollDown, ccScrollUp,
  ccSetMarker0, ccSetMarker1, ccSetMarker2, ccSetMarker3, ccSetMarker4, ccSetMarker5,
  ccSetMarker6, ccSetMarker7, ccSetMarker8, ccSetMarker9,
  ccTab, ccTableEdit, ccTopLeftCell, ccTopOfPage, ccUndo, ccUp, ccWordLeft, ccWordRight,
};
static_assert(ccWordRight == 75);
inline constexpr uint16_t kCommandNameBase = 33768;

}  // namespace ec
