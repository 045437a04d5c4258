#include "TestFiles.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace tsupport {

std::string FreshTestDir(const std::string& prefix) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = std::string(temp) + prefix + std::to_string(GetCurrentProcessId());
  if (info) dir += std::string("-") + info->name();
  RemoveTree(dir);
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string WriteTextFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  return path;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tsupport
