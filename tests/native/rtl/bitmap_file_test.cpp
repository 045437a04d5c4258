// The bitmap-file decoder on files written here from the published layout: where it takes the
// masks, the colour table and the pixels from, and how it refuses what it cannot take.
#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

#include "BitmapFileBuilder.h"
#include "rtl/BitmapFile.h"

using bmpfile::Layout;
using rtl::TBitmapFileImage;

namespace {

TBitmapFileImage Decode(const std::string& file) {
  // An exactly-sized copy, so a read one byte too far is reported.
  std::vector<uint8_t> bytes(file.begin(), file.end());
  rtl::TReadOnlyMemoryStream s(bytes.data(), static_cast<long long>(bytes.size()));
  return rtl::ReadBitmapFile(s);
}

// The class and message of what decoding raises, or "none".
std::string Failure(const std::string& file) {
  try {
    Decode(file);
  } catch (const rtl::EInvalidGraphic& e) {
    return std::string(typeid(e) == typeid(rtl::EInvalidGraphic) ? "EInvalidGraphic: " : "?: ") + e.what();
  } catch (const rtl::EReadError& e) {
    return std::string(typeid(e) == typeid(rtl::EReadError) ? "EReadError: " : "?: ") + e.what();
  }
  return "none";
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::vector<uint8_t> Counting(size_t n, uint8_t from = 1) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(from + i);
  return v;
}

const std::string kInvalid = "EInvalidGraphic: Bitmap image is not valid";
const std::string kShort = "EReadError: Stream read error";

}  // namespace

TEST(BitmapFile, SixteenBitBitFieldsTakeTheirMasksAfterTheHeaderAndThePixelsAfterThem) {
  Layout f;
  f.width = 3;
  f.height = 2;
  f.bits = 16;
  f.compression = rtl::kBiBitfields;
  f.masks = {0xF800, 0x07E0, 0x001F};
  f.pixels = Counting(bmpfile::Stride(3, 16) * 2);  // 8 bytes a row
  f.offBits = 200;  // never consulted
  TBitmapFileImage image = Decode(bmpfile::Write(f));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.bitCount, 16);
  EXPECT_EQ(image.compression, rtl::kBiBitfields);
  ASSERT_EQ(image.info.size(), 40u + 12u);
  EXPECT_EQ(U32(image.info, 40), 0xF800u);
  EXPECT_EQ(U32(image.info, 44), 0x07E0u);
  EXPECT_EQ(U32(image.info, 48), 0x001Fu);
  EXPECT_EQ(image.pixels, f.pixels);
  EXPECT_EQ(U32(image.info, 20), 16u) << "biSizeImage: the pixel bytes";
}

TEST(BitmapFile, ALongerHeaderCarriesItsOwnMasksAndNoneFollowIt) {
  // The 124-byte header of 32-bit pictures with an alpha channel: masks inside it.
  for (uint32_t headerSize : {52u, 56u, 108u, 124u}) {
    Layout f;
    f.headerSize = headerSize;
    f.width = 2;
    f.height = -2;
    f.bits = 32;
    f.compression = rtl::kBiBitfields;
    f.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    f.pixels = Counting(16, 0x40);
    TBitmapFileImage image = Decode(bmpfile::Write(f));
    ASSERT_EQ(image.info.size(), 52u) << headerSize;
    EXPECT_EQ(U32(image.info, 0), 40u) << "the section's header is the 40-byte one";
    EXPECT_EQ(U32(image.info, 40), 0x00FF0000u) << headerSize;
    EXPECT_EQ(U32(image.info, 48), 0x000000FFu) << headerSize;
    EXPECT_EQ(image.pixels, f.pixels) << headerSize << ": the pixels follow the header at once";
  }
}

TEST(BitmapFile, AColourCountOfZeroMeansTheFullTableAtFourAndEightBits) {
  for (uint16_t bits : {uint16_t(1), uint16_t(4), uint16_t(8)}) {
    Layout f;
    f.width = 5;
    f.height = 3;
    f.bits = bits;
    for (uint32_t i = 0; i < (1u << bits); ++i) f.palette.push_back((0x010203 * i) & 0xFFFFFF);
    f.pixels = Counting(bmpfile::Stride(5, bits) * 3, 0x80);
    TBitmapFileImage image = Decode(bmpfile::Write(f));
    EXPECT_EQ(image.colorCount, 1u << bits);
    ASSERT_EQ(image.info.size(), 40u + 4u * (1u << bits)) << bits;
    EXPECT_EQ(U32(image.info, 40 + 4 * ((1u << bits) - 1)), (0x010203u * ((1u << bits) - 1)) & 0xFFFFFF)
        << "last entry";
    EXPECT_EQ(image.pixels, f.pixels) << bits << ": right after the full table";
    EXPECT_EQ(U32(image.info, 32), 0u) << "biClrUsed as stored";
  }
  // A shorter table when the header says so.
  Layout f;
  f.width = 4;
  f.height = 1;
  f.bits = 8;
  f.clrUsed = 2;
  f.palette = {0xFF0000, 0x0000FF};
  f.pixels = {0, 1, 1, 0};
  TBitmapFileImage image = Decode(bmpfile::Write(f));
  EXPECT_EQ(image.colorCount, 2u);
  EXPECT_EQ(image.info.size(), 48u);
  EXPECT_EQ(image.pixels, f.pixels);
  // More entries than the depth can address are refused.
  f.clrUsed = 257;
  EXPECT_EQ(Failure(bmpfile::Write(f)), kInvalid);
}

TEST(BitmapFile, TopDownRowsKeepTheirNegativeHeight) {
  Layout f;
  f.width = 1;
  f.height = -3;
  f.pixels = Counting(12);
  TBitmapFileImage image = Decode(bmpfile::Write(f));
  EXPECT_EQ(image.height, -3);
  EXPECT_EQ(image.Rows(), 3);
  EXPECT_EQ(static_cast<int32_t>(U32(image.info, 8)), -3);
  EXPECT_EQ(image.pixels, f.pixels);
}

TEST(BitmapFile, ACoreHeaderHasThreeByteColourEntries) {
  Layout f;
  f.headerSize = 12;
  f.width = 2;
  f.height = 2;
  f.bits = 1;
  f.palette = {0x112233, 0x445566};
  f.pixels = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
  TBitmapFileImage image = Decode(bmpfile::Write(f));
  ASSERT_EQ(image.info.size(), 48u);
  EXPECT_EQ(U32(image.info, 40), 0x112233u) << "widened to four bytes";
  EXPECT_EQ(U32(image.info, 44), 0x445566u);
  EXPECT_EQ(image.pixels, f.pixels);
}

TEST(BitmapFile, CompressedDataIsTheStatedSizeAndNeedsOne) {
  Layout f;
  f.width = 4;
  f.height = 1;
  f.bits = 8;
  f.compression = rtl::kBiRle8;
  f.clrUsed = 1;
  f.palette = {0xFFFFFF};
  f.pixels = {4, 0, 0, 1};  // four pixels of colour 0, end of bitmap
  f.sizeImage = 4;
  TBitmapFileImage image = Decode(bmpfile::Write(f));
  EXPECT_TRUE(image.Compressed());
  EXPECT_EQ(image.pixels, f.pixels);
  f.sizeImage = 0;
  EXPECT_EQ(Failure(bmpfile::Write(f)), kShort);
  f.sizeImage = 5;
  EXPECT_EQ(Failure(bmpfile::Write(f)), kShort);
}

TEST(BitmapFile, FilesItCannotTakeAreInvalidAndShortOnesAReadError) {
  Layout good;
  good.width = 2;
  good.height = 2;
  good.pixels = std::vector<uint8_t>(16, 0x7F);
  const std::string file = bmpfile::Write(good);
  ASSERT_EQ(Failure(file), "none");

  std::string notBm = file;
  notBm[1] = 'A';
  EXPECT_EQ(Failure(notBm), kInvalid);
  auto with = [&](auto change) {
    Layout f = good;
    change(f);
    return Failure(bmpfile::Write(f));
  };
  EXPECT_EQ(with([](Layout& f) { f.headerSize = 20; }), kInvalid) << "no header of that size";
  EXPECT_EQ(with([](Layout& f) { f.headerSize = 5000; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) { f.width = 0; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) { f.width = -2; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) { f.height = 0; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) { f.height = -40000; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) { f.planes = 2; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) { f.bits = 3; }), kInvalid);
  EXPECT_EQ(with([](Layout& f) {
              f.compression = rtl::kBiBitfields;
              f.masks = {1, 2, 4};
            }),
            kInvalid)
      << "bit fields at 24 bits";
  EXPECT_EQ(with([](Layout& f) { f.compression = 7; }), kInvalid);

  // Cut anywhere before its last byte, the file is short.
  for (size_t n = 0; n < file.size(); ++n) EXPECT_EQ(Failure(file.substr(0, n)), kShort) << n;
}

TEST(BitmapFile, DimensionsBeyondTheDataAreRefusedBeforeAnythingIsSizedForThem) {
  // 32767 x 32767 at 32 bits would be 4 GiB of pixels; the file holds 16 bytes.
  Layout f;
  f.width = 32767;
  f.height = 32767;
  f.bits = 32;
  f.pixels = std::vector<uint8_t>(16);
  EXPECT_EQ(Failure(bmpfile::Write(f)), kShort);
  // So is a colour table longer than the data.
  Layout g;
  g.bits = 24;
  g.clrUsed = 65536;
  g.pixels = std::vector<uint8_t>(4);
  EXPECT_EQ(Failure(bmpfile::Write(g)), kShort);
  g.clrUsed = 65537;
  EXPECT_EQ(Failure(bmpfile::Write(g)), kInvalid);
}
