#include "Accel.h"

#include <windows.h>

namespace gui {

namespace {
char UpperChar(char c) {
  // CharUpperA takes a single character in the low word of its argument (the ANSI code page's rules).
  return static_cast<char>(reinterpret_cast<UINT_PTR>(
      CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(c))))));
}
}  // namespace

size_t AccelIndex(const std::string& caption) {
  size_t found = std::string::npos;
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') found = i + 1;
    ++i;  // the marked letter, or the second "&" of a literal one
  }
  return found;
}

bool IsAccel(char ch, const std::string& caption) {
  size_t i = AccelIndex(caption);
  return i != std::string::npos && UpperChar(caption[i]) == UpperChar(ch);
}

}  // namespace gui
