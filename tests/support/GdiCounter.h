// Counts the GDI and USER objects this test program creates and releases. GetGuiResources
// answers 0 under Wine, so the program's own calls are counted instead: the import table of the
// test executable is patched to route the creating and releasing functions through counters.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tsupport {

class GdiCounter {
 public:
  // Installs the hooks once (idempotent).
  static void Install();
  // Objects created and not yet released (GDI objects, DCs, paint DCs, icons, menus).
  static long Live();
};

// The change in live objects over a scope.
class GdiDelta {
 public:
  GdiDelta() : start_((GdiCounter::Install(), GdiCounter::Live())) {}
  long Delta() const { return GdiCounter::Live() - start_; }

 private:
  long start_;
};

}  // namespace tsupport
