#include "Cursors.h"

namespace gui {

namespace {

struct TStandardCursor {
  TCursor id;
  const char* name;
  LPCSTR platform;  // IDC_*; nullptr: no pointer at all
};

// The platform has no drag, split or database-wait cursors of its own; those numbers use the
// nearest platform cursor, so no number ever shows something unrelated.
const TStandardCursor kStandard[] = {
    {crDefault, "crDefault", IDC_ARROW},     {crNone, "crNone", nullptr},
    {crArrow, "crArrow", IDC_ARROW},         {crCross, "crCross", IDC_CROSS},
    {crIBeam, "crIBeam", IDC_IBEAM},         {crSize, "crSize", IDC_SIZEALL},
    {crSizeNESW, "crSizeNESW", IDC_SIZENESW}, {crSizeNS, "crSizeNS", IDC_SIZENS},
    {crSizeNWSE, "crSizeNWSE", IDC_SIZENWSE}, {crSizeWE, "crSizeWE", IDC_SIZEWE},
    {crUpArrow, "crUpArrow", IDC_UPARROW},   {crHourGlass, "crHourGlass", IDC_WAIT},
    {crDrag, "crDrag", IDC_ARROW},           {crNoDrop, "crNoDrop", IDC_NO},
    {crHSplit, "crHSplit", IDC_SIZEWE},      {crVSplit, "crVSplit", IDC_SIZENS},
    {crMultiDrag, "crMultiDrag", IDC_ARROW}, {crSQLWait, "crSQLWait", IDC_WAIT},
    {crNo, "crNo", IDC_NO},                  {crAppStart, "crAppStart", IDC_APPSTARTING},
    {crHelp, "crHelp", IDC_HELP},            {crHandPoint, "crHandPoint", IDC_HAND},
    {crSizeAll, "crSizeAll", IDC_SIZEALL},
};

HCURSOR Arrow() { return LoadCursorA(nullptr, IDC_ARROW); }

}  // namespace

const rtl::TIdentMap& CursorIdents() {
  static const rtl::TIdentMap map = [] {
    rtl::TIdentMap m;
    for (const auto& c : kStandard) m.entries.emplace_back(c.id, c.name);
    return m;
  }();
  return map;
}

TCursorTable::TCursorTable() {
  for (const auto& c : kStandard) cursors_[c.id] = TEntry{nullptr, c.platform};
}

HCURSOR TCursorTable::Get(TCursor id) const {
  auto it = cursors_.find(id);
  if (it == cursors_.end()) return Arrow();
  const TEntry& e = it->second;
  if (!e.loaded) {
    e.cursor = e.name ? LoadCursorA(e.module, e.name) : nullptr;
    e.loaded = true;
  }
  return e.cursor;
}

void TCursorTable::Set(TCursor id, HCURSOR cursor) {
  if (cursor)
    cursors_[id] = TEntry{nullptr, nullptr, cursor, true};
  else
    cursors_.erase(id);
}

void TCursorTable::SetResource(TCursor id, HINSTANCE module, LPCSTR name) { cursors_[id] = TEntry{module, name}; }

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

}  // namespace gui
