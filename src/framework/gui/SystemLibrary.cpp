#include "SystemLibrary.h"

namespace gui {

namespace {

using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
using TSetDllDirectoryA = BOOL(WINAPI*)(LPCSTR);

// Looked up, not imported: systems before the search flags lack them, and an import would stop
// the program from starting there.
template <class TCall>
TCall Kernel32Call(const char* name) {
  return LibraryFunction<TCall>(GetModuleHandleA("kernel32.dll"), name);
}

// Where SetDefaultDllDirectories exists, LoadLibraryEx also understands the search flags (they
// came with the same update).
bool HasSearchFlags() {
  static const bool has = Kernel32Call<TSetDefaultDllDirectories>("SetDefaultDllDirectories") != nullptr;
  return has;
}

}  // namespace

void RestrictLibrarySearch() {
  if (auto restrict = Kernel32Call<TSetDefaultDllDirectories>("SetDefaultDllDirectories")) {
    restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else if (auto setDirectory = Kernel32Call<TSetDllDirectoryA>("SetDllDirectoryA")) {
    setDirectory("");  // the current folder out of the search; the program's folder stays
  }
}

HMODULE LoadSystemLibrary(const char* name) {
  if (HasSearchFlags()) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // By its full name; the altered search path makes the library's own dependencies come from the
  // system folder too rather than from the program's.
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  size_t length = lstrlenA(name);
  if (n == 0 || n + 1 + length >= MAX_PATH) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  path[n] = '\\';
  lstrcpyA(path + n + 1, name);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace gui
