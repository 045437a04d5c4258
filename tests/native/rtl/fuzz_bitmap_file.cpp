// Fuzzes the bitmap-file decoder: no read outside the input (ASan), nothing sized beyond what the
// input holds (the RSS limit), only its two errors; what it accepts has the layout a section is
// made from, and that layout written out as a file decodes to the same image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "rtl/BitmapFile.h"

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool Same(const rtl::TBitmapFileImage& a, const rtl::TBitmapFileImage& b) {
  return a.width == b.width && a.height == b.height && a.bitCount == b.bitCount &&
         a.compression == b.compression && a.colorCount == b.colorCount && a.info == b.info &&
         a.pixels == b.pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);  // exactly sized
  rtl::TBitmapFileImage image;
  try {
    rtl::TReadOnlyMemoryStream s(bytes.data(), static_cast<long long>(bytes.size()));
    image = rtl::ReadBitmapFile(s);
  } catch (const rtl::EInvalidGraphic&) {
    return 0;
  } catch (const rtl::EReadError&) {
    return 0;
  }

  const bool bitfields = image.compression == rtl::kBiBitfields;
  if (image.width <= 0 || image.Rows() <= 0) abort();
  if (image.info.size() != rtl::kBitmapInfoHeaderSize + (bitfields ? 12 : 0) + 4 * size_t(image.colorCount)) abort();
  if (U32(image.info, 0) != rtl::kBitmapInfoHeaderSize || U32(image.info, 4) != uint32_t(image.width) ||
      U32(image.info, 8) != uint32_t(image.height))
    abort();
  if (!image.Compressed() &&
      image.pixels.size() != rtl::BitmapStride(image.width, image.bitCount) * size_t(image.Rows()))
    abort();
  if (image.pixels.size() > size) abort();

  // The section's own layout behind a file header decodes to itself.
  std::vector<uint8_t> file = {'B', 'M'};
  file.resize(rtl::kBitmapFileHeaderSize);
  file.insert(file.end(), image.info.begin(), image.info.end());
  file.insert(file.end(), image.pixels.begin(), image.pixels.end());
  rtl::TReadOnlyMemoryStream again(file.data(), static_cast<long long>(file.size()));
  if (!Same(rtl::ReadBitmapFile(again), image)) abort();
  return 0;
}
