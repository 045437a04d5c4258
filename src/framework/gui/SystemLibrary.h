// Libraries from the system folder only. The program is run from wherever it was unpacked, often
// a downloads folder full of other files; a library named like one it uses and lying there (or
// in the current folder) must never be loaded in place of the platform's, since that would run
// the code of whoever could drop a file there.
#pragma once

#include <windows.h>

namespace gui {

// Limits the process's default library search to the system folder, so that libraries the
// platform loads on the program's behalf (and their dependencies) come from there too. Called
// from the program's entry, before its runtime starts. Where the platform lacks the call, only
// the current folder is taken out of the search. Uses the platform and nothing else: no runtime
// is running yet.
void RestrictLibrarySearch();

// The named library (a bare file name such as "comctl32.dll") from the system folder, never from
// the program's folder or the current one; null, with the platform's error, when it is not there.
// Released with FreeLibrary as any other.
HMODULE LoadSystemLibrary(const char* name);

// The named function of library, as the function type TCall; null when either is missing.
template <class TCall>
TCall LibraryFunction(HMODULE library, const char* name) {
  return library ? reinterpret_cast<TCall>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace gui
