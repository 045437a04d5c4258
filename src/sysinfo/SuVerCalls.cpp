#include "SuVerCalls.h"

#include "SystemLibrary.h"

namespace sysinfo::ver {

namespace {

// Loaded once and kept for the rest of the process, as an import would be.
HMODULE Library() {
  static const HMODULE library = gui::LoadSystemLibrary("version.dll");
  return library;
}

template <class TCall>
TCall Call(const char* name) {
  return gui::LibraryFunction<TCall>(Library(), name);
}

template <class TCall, class... TArgs>
auto Invoke(TCall call, TArgs... args) -> decltype(call(args...)) {
  if (call) return call(args...);
  SetLastError(ERROR_DLL_NOT_FOUND);
  return 0;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
  static const auto call = Call<DWORD(WINAPI*)(LPCSTR, LPDWORD)>("GetFileVersionInfoSizeA");
  return Invoke(call, file, handle);
}

BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data) {
  static const auto call = Call<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>("GetFileVersionInfoA");
  return Invoke(call, file, handle, size, data);
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
  static const auto call = Call<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>("VerQueryValueA");
  return Invoke(call, block, subBlock, buffer, length);
}

DWORD VerLanguageNameA(DWORD language, LPSTR name, DWORD size) {
  static const auto call = Call<DWORD(WINAPI*)(DWORD, LPSTR, DWORD)>("VerLanguageNameA");
  return Invoke(call, language, name, size);
}

}  // namespace sysinfo::ver
