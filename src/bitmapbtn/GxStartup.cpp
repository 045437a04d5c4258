// The family's start-up: its cursors go into the program's cursor table under their resource
// numbers before main runs. This sits in the object library with the cursor resources, so a
// program that carries the cursors also loads them.
#include <windows.h>

#include "Cursors.h"

namespace {

constexpr int kFirstCursor = 2001, kLastCursor = 2031;

struct Startup {
  Startup() {
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (int id = kFirstCursor; id <= kLastCursor; ++id) gui::Cursors().Set(id, LoadCursorA(self, MAKEINTRESOURCEA(id)));
  }
} startup;

}  // namespace
