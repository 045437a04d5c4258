// File names the family asks the platform for, whole however long they are.
#pragma once

#include <windows.h>

#include <string>

namespace sysinfo {

// The full path of a loaded module (the program's own for null); empty when the platform fails.
std::string ModuleFileName(HMODULE module);
// The system folder, without a trailing separator; empty when the platform fails.
std::string SystemDirectory();
// True for an existing file; false for a folder or a name that names nothing.
bool FileExists(const std::string& name);

}  // namespace sysinfo
