// Helpers of the entry-family tests: a tick count the test sets and a window timer the platform
// can be made to refuse.
#pragma once

#include <windows.h>

#include <cstdint>

#include "TestWindows.h"

namespace entrytest {

using tsupport::PumpFor;
using tsupport::PumpUntil;

// While it exists the timer pool reads this count instead of the platform's.
class TFakeTicks {
 public:
  explicit TFakeTicks(uint32_t start);
  ~TFakeTicks();
  TFakeTicks(const TFakeTicks&) = delete;
  TFakeTicks& operator=(const TFakeTicks&) = delete;
  void Set(uint32_t now);
  void Advance(uint32_t ms) { Set(Now() + ms); }
  uint32_t Now() const;
};

// SetTimer and KillTimer as this test program calls them: counted, and SetTimer refused on demand.
struct TTimerCalls {
  static void Install();
  static inline bool refuseSetTimer = false;
  static inline int setTimerCalls = 0;
  static inline int killTimerCalls = 0;
};

}  // namespace entrytest
