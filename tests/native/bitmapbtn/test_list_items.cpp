// The "ListItems" stream read and written without the platform: record framing, and the main
// window's stored value decoded record by record.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <typeinfo>

#include "bitmapbtn/GxListItems.h"
#include "rtl/BitmapFile.h"

namespace {

std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// The records take sees, each as its bytes; then "Class: message" of what ended the read, or "ok".
struct Reading {
  std::vector<std::string> records;
  std::string end;
};

Reading Read(const std::string& bytes) {
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  rtl::TReadOnlyMemoryStream s(data.data(), static_cast<long long>(data.size()));
  Reading r;
  try {
    bitmapbtn::ReadListItems(s, [&r](rtl::TStream& record) {
      EXPECT_EQ(record.Position(), 0);
      std::string b(static_cast<size_t>(record.Size()), '\0');
      record.ReadBuffer(b.data(), static_cast<long long>(b.size()));
      r.records.push_back(b);
    });
    r.end = "ok";
  } catch (const rtl::EReadError& e) {
    r.end = std::string(typeid(e) == typeid(rtl::EReadError) ? "EReadError: " : "?: ") + e.what();
  } catch (const rtl::EStreamError& e) {
    r.end = std::string(typeid(e) == typeid(rtl::EStreamError) ? "EStreamError: " : "?: ") + e.what();
  }
  return r;
}

std::string MainListItems() {
  std::ifstream in(TESS_LIST_ITEMS, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TEST(ListItems, RecordsAreHandedOverWithExactlyTheirBytes) {
  Reading r = Read("MBML" + Int32(3) + Int32(2) + "ab" + Int32(0) + Int32(3) + "xyz" + "trailing");
  EXPECT_EQ(r.end, "ok");
  EXPECT_EQ(r.records, (std::vector<std::string>{"ab", "", "xyz"}));
  EXPECT_EQ(Read("MBML" + Int32(0)).records.size(), 0u);
  EXPECT_EQ(Read("MBML" + Int32(-5) + "junk").end, "ok") << "a negative count reads nothing";
}

TEST(ListItems, BadStreamsEndWithTheirOwnErrorAfterTheRecordsBeforeThem) {
  EXPECT_EQ(Read("MBMX" + Int32(0)).end, "EStreamError: Invalid BitmapList stream");
  EXPECT_EQ(Read("MBM").end, "EReadError: Stream read error");
  EXPECT_EQ(Read("MBML" + std::string("\1\0", 2)).end, "EReadError: Stream read error");
  Reading r = Read("MBML" + Int32(3) + Int32(1) + "a" + Int32(-1));
  EXPECT_EQ(r.end, "EReadError: Stream read error");
  EXPECT_EQ(r.records, std::vector<std::string>{"a"});
  r = Read("MBML" + Int32(2) + Int32(1) + "a" + Int32(5) + "abcd");
  EXPECT_EQ(r.end, "EReadError: Stream read error") << "a record longer than what is left";
  EXPECT_EQ(r.records.size(), 1u);
  EXPECT_EQ(Read("MBML" + Int32(1) + Int32(0x7FFFFFF0) + "BM").end, "EReadError: Stream read error");
}

TEST(ListItems, WritingFramesEachRecordWithTheLengthItsSaveProduced) {
  rtl::TMemoryStream out;
  const std::string parts[] = {"first", "", "third!"};
  bitmapbtn::WriteListItems(out, 3, [&](int i, rtl::TStream& s) { s.WriteBuffer(parts[i].data(), parts[i].size()); });
  std::string bytes(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size()));
  EXPECT_EQ(bytes, "MBML" + Int32(3) + Int32(5) + "first" + Int32(0) + Int32(6) + "third!");
}

TEST(ListItems, TheMainWindowsValueHoldsTwo32By32ImagesWithPixelsAfterTheirTables) {
  std::string value = MainListItems();
  ASSERT_EQ(value.size(), 4348u);
  Reading r = Read(value);
  ASSERT_EQ(r.end, "ok");
  ASSERT_EQ(r.records.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const std::string& record = r.records[i];
    EXPECT_EQ(record.size(), 2166u);
    std::vector<uint8_t> bytes(record.begin(), record.end());
    rtl::TReadOnlyMemoryStream s(bytes.data(), static_cast<long long>(bytes.size()));
    rtl::TBitmapFileImage image = rtl::ReadBitmapFile(s);
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.bitCount, 16);
    EXPECT_EQ(image.colorCount, 16u);
    // 14 + 40 + 16 * 4 = 118: the pixels start there whatever the second header claims (182).
    EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), record.substr(118)) << i;
  }
  uint32_t offBits;
  std::memcpy(&offBits, r.records[1].data() + 10, 4);
  EXPECT_EQ(offBits, 182u);
}
