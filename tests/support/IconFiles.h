// Icon files made up for tests: one 32-bit image, each pixel given by a function.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace tsupport {

// An icon file of one size by size image, opaque, pixel(x, y) at x from the left, y from the top.
inline std::vector<uint8_t> IconFile(int size, const std::function<COLORREF(int x, int y)>& pixel) {
  std::vector<uint8_t> f;
  auto put = [&f](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) f.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  const int maskRow = ((size + 31) / 32) * 4;
  put(0, 2), put(1, 2), put(1, 2);  // the directory: one icon
  put(size, 1), put(size, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2);
  put(40 + size * size * 4 + size * maskRow, 4), put(22, 4);
  put(40, 4), put(size, 4), put(size * 2, 4), put(1, 2), put(32, 2);  // the image and its mask
  for (int i = 0; i < 6; ++i) put(0, 4);
  for (int y = size - 1; y >= 0; --y)  // bottom-up
    for (int x = 0; x < size; ++x) {
      COLORREF c = pixel(x, y);
      put(0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c), 4);
    }
  for (int i = 0; i < size * maskRow; ++i) put(0, 1);
  return f;
}

}  // namespace tsupport
