// Temporary folders and whole-file reads and writes for tests.
#pragma once

#include <string>

namespace tsupport {

// A new, empty folder in the temp folder, named after prefix, this process and the running test.
std::string FreshTestDir(const std::string& prefix);
void RemoveTree(const std::string& dir);
// Writes the bytes as they are; returns the path.
std::string WriteTextFile(const std::string& path, const std::string& content);
// The whole file; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

}  // namespace tsupport
