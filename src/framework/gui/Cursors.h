// The program's cursor table: cursors by number, shared by every part of the program. The
// standard numbers (below zero) stand for the platform's cursors; component families put their
// own in at start-up under fixed positive numbers (the bitmap-button family's 2001 to 2031).
#pragma once

#include <windows.h>

#include <map>

#include "rtl/Classes.h"

namespace gui {

using TCursor = int;

// The standard cursor numbers. crDefault leaves the choice to the window (its class cursor, or
// what its parent says); crNone hides the pointer.
enum : TCursor {
  crDefault = 0,
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSize = -5,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crUpArrow = -10,
  crHourGlass = -11,
  crDrag = -12,
  crNoDrop = -13,
  crHSplit = -14,
  crVSplit = -15,
  crMultiDrag = -16,
  crSQLWait = -17,
  crNo = -18,
  crAppStart = -19,
  crHelp = -20,
  crHandPoint = -21,
  crSizeAll = -22,
};

// The names of the standard numbers ("crHandPoint"), for form resources.
const rtl::TIdentMap& CursorIdents();

// Cursors are loaded when first asked for: loading one costs the platform about half a
// millisecond, and most are never shown.
class TCursorTable {
 public:
  // Holds the standard numbers from the start.
  TCursorTable();
  // The cursor stored under id (loaded now if it was stored as a resource); the platform's arrow
  // when there is none; nullptr for crNone.
  HCURSOR Get(TCursor id) const;
  bool Contains(TCursor id) const { return cursors_.count(id) != 0; }
  int Count() const { return static_cast<int>(cursors_.size()); }
  // Stores a cursor under id (nullptr removes the entry). The table destroys nothing: cursors
  // loaded from resources are shared ones that the system keeps for the module.
  void Set(TCursor id, HCURSOR cursor);
  // Stores the cursor resource `name` of module (null: the platform's) under id, loaded on first use.
  void SetResource(TCursor id, HINSTANCE module, LPCSTR name);

 private:
  struct TEntry {
    HINSTANCE module = nullptr;
    LPCSTR name = nullptr;  // null: no pointer at all (crNone), or a cursor given as it is
    mutable HCURSOR cursor = nullptr;
    mutable bool loaded = false;
  };
  std::map<TCursor, TEntry> cursors_;
};

// The one table; usable from start-up code that runs before main.
TCursorTable& Cursors();

}  // namespace gui
