// Writes bitmap files byte by byte from their published layout, for the decoder's tests (native
// and under Wine): the file header, an information header of any length, masks, colour table and
// pixel rows, each part the test's own choice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bmpfile {

struct Layout {
  uint32_t headerSize = 40;  // 12 writes a core header
  int32_t width = 1;
  int32_t height = 1;  // negative: rows top-down
  uint16_t planes = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t clrUsed = 0;
  std::vector<uint32_t> masks;  // written after the header (40 bytes) or inside it (52 and more)
  std::vector<uint32_t> palette;  // 0x00RRGGBB; written as 4-byte entries, 3-byte for a core header
  std::vector<uint8_t> pixels;
  uint32_t offBits = 0;  // 0: the true offset
  uint32_t fileSize = 0;  // 0: the true size
};

inline void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
inline void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Write(const Layout& f) {
  std::string info;
  Put32(info, f.headerSize);
  if (f.headerSize == 12) {
    Put16(info, static_cast<uint16_t>(f.width));
    Put16(info, static_cast<uint16_t>(f.height));
    Put16(info, f.planes);
    Put16(info, f.bits);
  } else {
    Put32(info, static_cast<uint32_t>(f.width));
    Put32(info, static_cast<uint32_t>(f.height));
    Put16(info, f.planes);
    Put16(info, f.bits);
    Put32(info, f.compression);
    Put32(info, f.sizeImage);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, f.clrUsed);
    Put32(info, 0);
    size_t m = 0;
    while (info.size() < f.headerSize) {
      // The later headers' masks (red, green, blue, then alpha) come first in their extension.
      if (f.headerSize >= 52 && m < f.masks.size())
        Put32(info, f.masks[m++]);
      else
        info += '\0';
    }
  }
  if (f.headerSize == 40)
    for (uint32_t mask : f.masks) Put32(info, mask);
  for (uint32_t c : f.palette) {
    info += static_cast<char>(c & 0xFF);
    info += static_cast<char>((c >> 8) & 0xFF);
    info += static_cast<char>((c >> 16) & 0xFF);
    if (f.headerSize != 12) info += '\0';
  }
  std::string file = "BM";
  const uint32_t off = 14 + static_cast<uint32_t>(info.size());
  Put32(file, f.fileSize ? f.fileSize : off + static_cast<uint32_t>(f.pixels.size()));
  Put32(file, 0);
  Put32(file, f.offBits ? f.offBits : off);
  return file + info + std::string(f.pixels.begin(), f.pixels.end());
}

// Row bytes padded to whole 32-bit units.
inline size_t Stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

}  // namespace bmpfile
