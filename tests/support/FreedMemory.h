// Use of freed memory, caught without a sanitizer (the Windows compilers here have none). While a
// watch is open, every block the program frees with delete is filled with a pattern and kept,
// never given out again: a call through a freed object's virtual table meets the pattern (an
// address that is never mapped) and faults, and a block whose pattern changed was written after
// it was freed. The test program's operator new and delete are replaced for this.
#pragma once

#include <cstddef>

namespace tsupport {

class TFreedMemoryWatch {
 public:
  TFreedMemoryWatch();
  // Gives the kept blocks back.
  ~TFreedMemoryWatch();
  TFreedMemoryWatch(const TFreedMemoryWatch&) = delete;
  TFreedMemoryWatch& operator=(const TFreedMemoryWatch&) = delete;

  // Blocks freed while the watch is open; those written to after they were freed.
  size_t Freed() const;
  size_t WrittenAfterFree() const;
};

}  // namespace tsupport
