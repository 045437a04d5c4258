#include "BitmapFile.h"

#include <cstring>

namespace rtl {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
// An information header that carries the three colour masks itself (the 52-byte one and every
// later one); after a 40-byte header they follow it.
constexpr uint32_t kHeaderWithMasks = 52;
constexpr uint32_t kLargestHeader = 4096;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

[[noreturn]] void Invalid() { throw EInvalidGraphic(msg::kInvalidBitmap); }

// Raises the read error unless the stream still holds count bytes.
void Require(TStream& stream, unsigned long long count) {
  long long left = stream.Size() - stream.Position();
  if (left < 0 || count > static_cast<unsigned long long>(left)) throw EReadError(msg::kReadError);
}

}  // namespace

size_t BitmapStride(int width, int bits) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32) * 4;
}

TBitmapFileImage ReadBitmapFile(TStream& stream) {
  uint8_t fileHeader[kBitmapFileHeaderSize];
  stream.ReadBuffer(fileHeader, sizeof fileHeader);
  if (U16(fileHeader) != 0x4D42) Invalid();  // "BM"

  uint8_t sizeField[4];
  stream.ReadBuffer(sizeField, sizeof sizeField);
  const uint32_t headerSize = U32(sizeField);

  TBitmapFileImage image;
  uint16_t planes = 0;
  uint32_t sizeImage = 0, xPels = 0, yPels = 0, clrUsed = 0, clrImportant = 0;
  uint8_t masks[12] = {};
  bool masksRead = false;
  const bool core = headerSize == kCoreHeaderSize;
  if (core) {
    uint8_t h[kCoreHeaderSize - 4];
    stream.ReadBuffer(h, sizeof h);
    image.width = U16(h);
    image.height = U16(h + 2);
    planes = U16(h + 4);
    image.bitCount = U16(h + 6);
  } else if (headerSize >= kBitmapInfoHeaderSize && headerSize <= kLargestHeader) {
    std::vector<uint8_t> h(headerSize - 4);
    stream.ReadBuffer(h.data(), static_cast<long long>(h.size()));
    image.width = static_cast<int32_t>(U32(&h[0]));
    image.height = static_cast<int32_t>(U32(&h[4]));
    planes = U16(&h[8]);
    image.bitCount = U16(&h[10]);
    image.compression = U32(&h[12]);
    sizeImage = U32(&h[16]);
    xPels = U32(&h[20]);
    yPels = U32(&h[24]);
    clrUsed = U32(&h[28]);
    clrImportant = U32(&h[32]);
    if (headerSize >= kHeaderWithMasks) {
      std::memcpy(masks, &h[36], sizeof masks);
      masksRead = true;
    }
  } else {
    Invalid();
  }

  const int bits = image.bitCount;
  if (image.width <= 0 || image.width > 32767 || image.height == 0 || image.height > 32767 ||
      image.height < -32767 || planes != 1 ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
    Invalid();
  const bool bitfields = image.compression == kBiBitfields;
  if (bitfields && bits != 16 && bits != 32) Invalid();
  if (image.compression != kBiRgb && !bitfields && !image.Compressed()) Invalid();

  // Masks, then the colour table: biClrUsed entries, or the full table of the depth.
  image.info.resize(kBitmapInfoHeaderSize);
  if (bitfields) {
    if (!masksRead) stream.ReadBuffer(masks, sizeof masks);
    image.info.insert(image.info.end(), masks, masks + sizeof masks);
  }
  const uint32_t colors = clrUsed ? clrUsed : (bits <= 8 ? 1u << bits : 0);
  if (colors > 256 && bits <= 8) Invalid();
  if (colors > 65536) Invalid();
  const size_t entrySize = core ? 3 : 4;
  Require(stream, static_cast<unsigned long long>(colors) * entrySize);
  std::vector<uint8_t> table(colors * entrySize);
  stream.ReadBuffer(table.data(), static_cast<long long>(table.size()));
  for (uint32_t i = 0; i < colors; ++i) {
    const uint8_t* e = &table[i * entrySize];
    const uint8_t quad[4] = {e[0], e[1], e[2], 0};  // blue, green, red, reserved
    image.info.insert(image.info.end(), quad, quad + 4);
  }
  image.colorCount = colors;

  // The pixels follow the table at once, whatever the file header claims.
  unsigned long long size;
  if (image.Compressed()) {
    if (sizeImage == 0) throw EReadError(msg::kReadError);
    size = sizeImage;
  } else {
    size = BitmapStride(image.width, bits) * static_cast<unsigned long long>(image.Rows());
    sizeImage = static_cast<uint32_t>(size);
  }
  Require(stream, size);
  image.pixels.resize(static_cast<size_t>(size));
  stream.ReadBuffer(image.pixels.data(), static_cast<long long>(size));

  uint8_t* h = image.info.data();
  Put32(h, kBitmapInfoHeaderSize);
  Put32(h + 4, static_cast<uint32_t>(image.width));
  Put32(h + 8, static_cast<uint32_t>(image.height));
  Put16(h + 12, planes);
  Put16(h + 14, image.bitCount);
  Put32(h + 16, image.compression);
  Put32(h + 20, sizeImage);
  Put32(h + 24, xPels);
  Put32(h + 28, yPels);
  Put32(h + 32, clrUsed);
  Put32(h + 36, clrImportant);
  return image;
}

}  // namespace rtl
