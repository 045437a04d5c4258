#include "entry/portable/EcBuiltinTables.h"

namespace ec {

namespace {

// Virtual-key codes (the platform's values; letters and digits are their character codes).
constexpr uint8_t kBack = 0x08, kTab = 0x09, kEnter = 0x0D, kPageUp = 0x21, kPageDown = 0x22,
                  kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28,
                  kInsert = 0x2D, kDelete = 0x2E, kF2 = 0x71;

constexpr uint8_t S = kCmdShift, C = kCmdCtrl, A = kCmdAlt, CS = kCmdCtrl | kCmdShift;

constexpr CommandRecord One(uint8_t key, uint8_t shift, uint16_t command) { return {key, shift, 0, 0, command}; }
// Ctrl+first, then second (flagged as a second key).
constexpr CommandRecord CtrlThen(char first, char second, uint16_t command) {
  return {static_cast<uint8_t>(first), C, static_cast<uint8_t>(second), kCmdSecondKey, command};
}
constexpr uint8_t Ch(char c) { return static_cast<uint8_t>(c); }
constexpr uint16_t Marker(uint16_t first, int n) { return static_cast<uint16_t>(first + n); }

constexpr CommandRecord kDefault[] = {
    One(kLeft, 0, ccLeft), One(kRight, 0, ccRight), One(kLeft, C, ccWordLeft), One(kRight, C, ccWordRight),
    One(kHome, 0, ccHome), One(kEnd, 0, ccEnd), One(kDelete, 0, ccDel), One(kBack, 0, ccBack),
    One(kBack, S, ccBack), One(kPageUp, C, ccTopOfPage), One(kPageDown, C, ccBotOfPage),
    One(kInsert, 0, ccIns), One(Ch('Z'), C, ccUndo), One(kBack, A, ccRestore), One(kUp, 0, ccUp),
    One(kDown, 0, ccDown), One(kEnter, C, ccNewLine), One(kLeft, S, ccExtendLeft),
    One(kRight, S, ccExtendRight), One(kHome, S, ccExtendHome), One(kEnd, S, ccExtendEnd),
    One(kLeft, CS, ccExtWordLeft), One(kRight, CS, ccExtWordRight), One(kPageUp, S, ccExtendPgUp),
    One(kPageDown, S, ccExtendPgDn), One(kUp, S, ccExtendUp), One(kDown, S, ccExtendDown),
    One(kHome, CS, ccExtFirstPage), One(kEnd, CS, ccExtLastPage), One(kPageUp, CS, ccExtTopOfPage),
    One(kPageDown, CS, ccExtBotOfPage), One(kDelete, S, ccCut), One(Ch('X'), C, ccCut),
    One(kInsert, C, ccCopy), One(Ch('C'), C, ccCopy), One(kInsert, S, ccPaste), One(Ch('V'), C, ccPaste),
    One(kPageUp, 0, ccPrevPage), One(kPageDown, 0, ccNextPage), One(kHome, C, ccFirstPage),
    One(kEnd, C, ccLastPage), One(kTab, 0, ccTab), One(kTab, C, ccTab), One(Ch('Z'), CS, ccRedo),
#define EC_MARKERS(shift, first)                                                                      \
  One(Ch('0'), shift, Marker(first, 0)), One(Ch('1'), shift, Marker(first, 1)),                       \
      One(Ch('2'), shift, Marker(first, 2)), One(Ch('3'), shift, Marker(first, 3)),                   \
      One(Ch('4'), shift, Marker(first, 4)), One(Ch('5'), shift, Marker(first, 5)),                   \
      One(Ch('6'), shift, Marker(first, 6)), One(Ch('7'), shift, Marker(first, 7)),                   \
      One(Ch('8'), shift, Marker(first, 8)), One(Ch('9'), shift, Marker(first, 9))
    EC_MARKERS(C, ccGotoMarker0), EC_MARKERS(CS, ccSetMarker0),
#undef EC_MARKERS
};

constexpr CommandRecord kWordStar[] = {
    One(Ch('S'), C, ccLeft), One(Ch('D'), C, ccRight), One(Ch('E'), C, ccUp), One(Ch('X'), C, ccDown),
    One(Ch('R'), C, ccPrevPage), One(Ch('C'), C, ccNextPage), One(Ch('W'), C, ccScrollUp),
    One(Ch('Z'), C, ccScrollDown), One(Ch('A'), C, ccWordLeft), One(Ch('F'), C, ccWordRight),
    CtrlThen('Q', 'S', ccHome), CtrlThen('Q', 'D', ccEnd), One(Ch('G'), C, ccDel), One(Ch('H'), C, ccBack),
    One(Ch('Y'), C, ccDelLine), CtrlThen('Q', 'Y', ccDelEol), One(Ch('V'), C, ccIns),
    One(Ch('T'), C, ccDelWord), One(Ch('P'), C, ccCtrlChar), CtrlThen('Q', 'L', ccRestore),
#define EC_MARKERS(first, command)                                                                    \
  CtrlThen(first, '0', Marker(command, 0)), CtrlThen(first, '1', Marker(command, 1)),                 \
      CtrlThen(first, '2', Marker(command, 2)), CtrlThen(first, '3', Marker(command, 3)),             \
      CtrlThen(first, '4', Marker(command, 4)), CtrlThen(first, '5', Marker(command, 5)),             \
      CtrlThen(first, '6', Marker(command, 6)), CtrlThen(first, '7', Marker(command, 7)),             \
      CtrlThen(first, '8', Marker(command, 8)), CtrlThen(first, '9', Marker(command, 9))
    EC_MARKERS('Q', ccGotoMarker0), EC_MARKERS('K', ccSetMarker0),
#undef EC_MARKERS
};

constexpr CommandRecord kGrid[] = {
    One(kLeft, 0, ccLeft), One(kRight, 0, ccRight), One(kLeft, C, ccPageLeft), One(kRight, C, ccPageRight),
    One(kHome, 0, ccHome), One(kEnd, 0, ccEnd), One(kDelete, 0, ccDel), One(kBack, 0, ccBack),
    One(kPageDown, C, ccBotOfPage), One(kPageUp, C, ccTopOfPage), One(kInsert, 0, ccIns),
    One(Ch('Z'), C, ccRestore), One(kUp, 0, ccUp), One(kDown, 0, ccDown), One(kLeft, S, ccExtendLeft),
    One(kRight, S, ccExtendRight), One(kHome, S, ccExtendHome), One(kEnd, S, ccExtendEnd),
    One(kLeft, CS, ccExtWordLeft), One(kRight, CS, ccExtWordRight), One(kPageUp, S, ccExtendPgUp),
    One(kPageDown, S, ccExtendPgDn), One(kUp, S, ccExtendUp), One(kDown, S, ccExtendDown),
    One(kHome, CS, ccExtFirstPage), One(kEnd, CS, ccExtLastPage), One(kPageUp, CS, ccExtTopOfPage),
    One(kPageDown, CS, ccExtBotOfPage), One(Ch('X'), C, ccCut), One(Ch('C'), C, ccCopy),
    One(Ch('V'), C, ccPaste), One(kPageUp, 0, ccPrevPage), One(kHome, C, ccFirstPage),
    One(kPageDown, 0, ccNextPage), One(kEnd, C, ccLastPage), One(kUp, C, ccTopLeftCell),
    One(kDown, C, ccBotRightCell), One(kF2, 0, ccTableEdit),
};

static_assert(std::size(kDefault) == 64 && std::size(kWordStar) == 40 && std::size(kGrid) == 38);

}  // namespace

std::span<const CommandRecord> BuiltinRecords(TBuiltinTable table) {
  switch (table) {
    case TBuiltinTable::Default: return kDefault;
    case TBuiltinTable::WordStar: return kWordStar;
    case TBuiltinTable::Grid: return kGrid;
  }
  return {};
}

}  // namespace ec
