// The program's cursor table: cursors by number, shared by every part of the program. Component
// families put their own cursors in at start-up under fixed numbers.
#pragma once

#include <windows.h>

#include <map>

namespace gui {

class TCursorTable {
 public:
  // The cursor stored under id; the platform's arrow when there is none.
  HCURSOR Get(int id) const;
  bool Contains(int id) const { return cursors_.count(id) != 0; }
  int Count() const { return static_cast<int>(cursors_.size()); }
  // Stores a cursor under id (nullptr removes the entry). The table destroys nothing: cursors
  // loaded from resources are shared ones that the system keeps for the module.
  void Set(int id, HCURSOR cursor);

 private:
  std::map<int, HCURSOR> cursors_;
};

// The one table; usable from start-up code that runs before main.
TCursorTable& Cursors();

}  // namespace gui
