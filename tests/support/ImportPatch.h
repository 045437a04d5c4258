// Routes calls that this program makes to DLL functions through hooks of the test's own, by
// rewriting the program's import table. The program's code is what runs; only its view of the
// DLL changes.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tsupport {

struct ImportHook {
  const char* name;  // the imported function's name
  void* hook;
  void** original;   // receives the address the import pointed to
};

void PatchImports(HMODULE module, const ImportHook* hooks, size_t count);

}  // namespace tsupport
