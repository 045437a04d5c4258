#include "Cursors.h"

namespace gui {

HCURSOR TCursorTable::Get(int id) const {
  auto it = cursors_.find(id);
  return it != cursors_.end() ? it->second : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
}

void TCursorTable::Set(int id, HCURSOR cursor) {
  if (cursor)
    cursors_[id] = cursor;
  else
    cursors_.erase(id);
}

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

}  // namespace gui
