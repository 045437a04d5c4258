#include "SuFiles.h"

#include <algorithm>

namespace sysinfo {

std::string ModuleFileName(HMODULE module) {
  // The platform truncates silently to the buffer: a cut path would name some other file, so
  // the buffer grows until the name fits, up to the longest path there is (32 767 characters and
  // the terminator).
  constexpr size_t kLongest = 32768;
  std::string name(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(module, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    if (name.size() == kLongest) return {};
    name.resize(std::min(name.size() * 2, kLongest));
  }
}

std::string SystemDirectory() {
  std::string dir(MAX_PATH, '\0');
  UINT n = GetSystemDirectoryA(dir.data(), static_cast<UINT>(dir.size()));
  if (n >= dir.size()) {  // too small: n is the size needed, terminator included
    dir.resize(n);
    n = GetSystemDirectoryA(dir.data(), static_cast<UINT>(dir.size()));
    if (n >= dir.size()) return {};
  }
  dir.resize(n);
  return dir;
}

bool FileExists(const std::string& name) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace sysinfo
