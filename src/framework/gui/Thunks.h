// Per-object window-procedure thunks: a small executable stub per object that calls a static
// function with the object in place of the window handle. Each object gets its own callable
// address, which matters because hook chains compare window-procedure addresses. The pages the
// stubs live in are execute-read; one is read-write (and not executable) only while a stub in it
// is written.
#pragma once

#include <windows.h>

namespace gui {

// The target receives the bound object as its first argument.
using TThunkTarget = LRESULT(CALLBACK*)(void* object, UINT msg, WPARAM wParam, LPARAM lParam);

class TWndProcThunk {
 public:
  TWndProcThunk(void* object, TThunkTarget target);
  ~TWndProcThunk();
  TWndProcThunk(const TWndProcThunk&) = delete;
  TWndProcThunk& operator=(const TWndProcThunk&) = delete;
  WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(code_); }
  // The same address, now calling another target for another object.
  void Retarget(void* object, TThunkTarget target);

 private:
  unsigned char* code_;
};

}  // namespace gui
