// The platform's bitmap file format, read without any platform header: gui::TBitmap makes its
// sections from what this decoder returns, and the native build tests and fuzzes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Streams.h"

namespace rtl {

// Compression values of the information header.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;

inline constexpr size_t kBitmapFileHeaderSize = 14;
inline constexpr size_t kBitmapInfoHeaderSize = 40;

// A bitmap file, as a device-independent section is made from it.
struct TBitmapFileImage {
  int32_t width = 0;
  int32_t height = 0;  // as stored: negative when the rows run top-down
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t colorCount = 0;  // entries in the colour table
  // The 40-byte information header in the platform's layout (little-endian; biSize 40, and
  // biSizeImage the pixel bytes of an uncompressed image), the three colour masks of a bit-field
  // image, then the colour table in 4-byte entries (a core file's 3-byte ones widened).
  std::vector<uint8_t> info;
  // The bytes that follow the colour table: the rows, or the compressed data.
  std::vector<uint8_t> pixels;

  int Rows() const { return height < 0 ? -height : height; }
  bool Compressed() const { return compression == kBiRle8 || compression == kBiRle4; }
};

// Bytes of one stored row of the given width and depth: whole 32-bit units.
size_t BitmapStride(int width, int bits);

// Reads one bitmap file from the stream's position: the "BM" signature, a 12-byte core header
// (3-byte colour entries) or an information header of 40 bytes or more, the three colour masks
// of a 16- or 32-bit bit-field image (after a 40-byte header, inside a longer one), the colour
// table (biClrUsed entries, or the full table of the depth when that is 0), and the pixels right
// after the table. The file header's size and pixel offset are never consulted.
// Throws EInvalidGraphic "Bitmap image is not valid" for a file it cannot take, EReadError
// "Stream read error" for one that ends early; the colour table and the pixels are measured
// against what the stream holds before anything is sized for them.
TBitmapFileImage ReadBitmapFile(TStream& stream);

}  // namespace rtl
