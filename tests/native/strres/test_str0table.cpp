// The STR0 view and writer: lookups, and that no malformed image leads a read outside it (the
// images live in exactly-sized buffers, so AddressSanitizer catches any stray read).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "strres/Str0Table.h"

using strres::BuildStr0Table;
using strres::Str0Entry;
using strres::Str0SourceEntry;
using strres::Str0Status;
using strres::Str0Table;

namespace {

using Bytes = std::vector<unsigned char>;

void PutU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// An exactly-sized heap copy, so that one byte too far is a reported overflow.
struct Image {
  explicit Image(const Bytes& b)
      : size(b.size()), data(new unsigned char[b.size() ? b.size() : 1]) {
    if (size) std::memcpy(data.get(), b.data(), size);
  }
  Str0Table Table() const { return Str0Table(data.get(), size); }
  size_t size;
  std::unique_ptr<unsigned char[]> data;
};

Bytes Sample() {
  return BuildStr0Table({{0, u"Black"},
                         {1, u"Maroon"},
                         {15, u"White"},
                         {30, u"No label is attached"},
                         {39, u"Invalid date"}});
}

}  // namespace

TEST(Str0Table, WriterLaysOutTextsBackToBackAndRefusesUnsortedIds) {
  Bytes b = BuildStr0Table({{7, u"ab"}, {9, u"\u00fc"}});
  const Bytes expected = {'S', 'T', 'R', '0', 2, 0,  0, 0, 7, 0, 0, 0, 32, 0,   0, 0,   2, 0,    0,
                          0,   9,   0,   0,   0, 36, 0, 0, 0, 1, 0, 0, 0,  'a', 0, 'b', 0, 0xFC, 0};
  EXPECT_EQ(b, expected);
  EXPECT_EQ(BuildStr0Table({}), (Bytes{'S', 'T', 'R', '0', 0, 0, 0, 0}));
  EXPECT_THROW(BuildStr0Table({{1, u"a"}, {1, u"b"}}), std::invalid_argument);
  EXPECT_THROW(BuildStr0Table({{2, u"a"}, {1, u"b"}}), std::invalid_argument);
}

TEST(Str0Table, FindsFirstLastAndNothingBetween) {
  Image img(Sample());
  Str0Table t = img.Table();
  ASSERT_EQ(t.Validate(), Str0Status::kOk);
  EXPECT_EQ(t.Count(), 5u);
  EXPECT_EQ(t.Find(0), u"Black");
  EXPECT_EQ(t.Find(39), u"Invalid date");
  EXPECT_EQ(t.Find(30), u"No label is attached");
  EXPECT_EQ(t.Find(20), std::nullopt);
  EXPECT_EQ(t.Find(-1), std::nullopt);
  EXPECT_EQ(t.Find(40), std::nullopt);
  EXPECT_EQ(t.Find(INT32_MIN), std::nullopt);
}

TEST(Str0Table, EmptyTableIsValidAndFindsNothing) {
  Image img(BuildStr0Table({}));
  Str0Table t = img.Table();
  EXPECT_EQ(t.Validate(), Str0Status::kOk);
  EXPECT_EQ(t.Count(), 0u);
  EXPECT_EQ(t.Find(0), std::nullopt);
}

TEST(Str0Table, BinarySearchFindsEveryIdOfALargeTableAndNoGap) {
  std::vector<Str0SourceEntry> entries;
  for (int32_t id = -999; id <= 999; id += 2)
    entries.push_back({id, std::u16string(1 + id % 5 + 4, u'x')});
  entries.push_back({1001, u""});
  entries.push_back({INT32_MAX, u"\U0001F600\u20AC"});
  Image img(BuildStr0Table(entries));
  Str0Table t = img.Table();
  ASSERT_EQ(t.Validate(), Str0Status::kOk);
  for (const auto& e : entries) ASSERT_EQ(t.Find(e.id), e.text) << e.id;
  for (int32_t id = -1000; id <= 1000; id += 2) ASSERT_EQ(t.Find(id), std::nullopt) << id;
}

TEST(Str0Table, RejectsBadHeaders) {
  EXPECT_EQ(Str0Table(nullptr, 0).Validate(), Str0Status::kTruncated);
  const Bytes sample = Sample();
  for (long n = 0; n < 8; ++n) {
    Image img(Bytes(sample.begin(), sample.begin() + n));
    EXPECT_EQ(img.Table().Validate(), Str0Status::kTruncated) << n;
    EXPECT_EQ(img.Table().Find(0), std::nullopt);
  }
  Bytes b = Sample();
  b[3] = '1';
  Image bad(b);
  EXPECT_EQ(bad.Table().Validate(), Str0Status::kBadMagic);
  EXPECT_EQ(bad.Table().Find(0), std::nullopt);
}

TEST(Str0Table, RejectsCountsWhoseIndexRunsPastTheEnd) {
  // One more entry than the image could hold, a huge count, and one whose 12 * N wraps to a
  // small 32-bit value.
  const uint32_t oneTooMany = static_cast<uint32_t>((Sample().size() - 8) / 12 + 1);
  for (uint32_t count : {oneTooMany, 0xFFFFFFFFu, 0x15555556u}) {
    Bytes b = Sample();
    PutU32(b, 4, count);
    Image img(b);
    EXPECT_EQ(img.Table().Validate(), Str0Status::kIndexOutside) << count;
    EXPECT_EQ(img.Table().Count(), 0u);
    EXPECT_EQ(img.Table().Find(39), std::nullopt);
  }
}

TEST(Str0Table, TextsRunningPastTheEndAreNeverRead) {
  const size_t last = 8 + 12 * 4;  // index entry of id 39
  const uint32_t size = static_cast<uint32_t>(Sample().size());
  struct Case {
    uint32_t offset, length;
    const char* what;
  };
  const Case cases[] = {
      {size, 1, "starts at the end"},
      {size - 2, 2, "ends one unit past the end"},
      {size + 1, 0, "an empty text beyond the end"},
      {0xFFFFFFFE, 2, "offset plus length wraps"},
      {size - 24, 0x80000000, "length times two wraps"},
  };
  for (const Case& c : cases) {
    Bytes b = Sample();
    PutU32(b, last + 4, c.offset);
    PutU32(b, last + 8, c.length);
    Image img(b);
    Str0Table t = img.Table();
    EXPECT_EQ(t.CheckBounds(), Str0Status::kTextOutside) << c.what;
    EXPECT_EQ(t.Validate(), Str0Status::kTextOutside) << c.what;
    // Even without a check a lookup never follows the bad entry.
    EXPECT_EQ(t.Find(39), std::nullopt) << c.what;
    EXPECT_EQ(t.Find(0), u"Black") << c.what;
  }
}

TEST(Str0Table, TextsOverTheIndexOrAtOddOffsetsAreReadWhereTheyAre) {
  const size_t last = 8 + 12 * 4;  // index entry of id 39
  Bytes b = Sample();
  // Two code units from the magic and the count's low byte: "ST", then "R0".
  PutU32(b, last + 4, 0);
  PutU32(b, last + 8, 2);
  // Id 0 reads one unit at the odd offset 11: the high byte of its own id and the low byte of
  // its own offset field.
  PutU32(b, 8 + 4, 11);
  PutU32(b, 8 + 8, 1);
  const char16_t odd = static_cast<char16_t>(0 | 11 << 8);
  Image img(b);
  Str0Table t = img.Table();
  EXPECT_EQ(t.CheckBounds(), Str0Status::kOk) << "every read stays inside the image";
  EXPECT_EQ(t.Validate(), Str0Status::kTextMisplaced) << "but the writer never lays texts out so";
  EXPECT_EQ(t.Find(39), (std::u16string{u'S' | u'T' << 8, u'R' | u'0' << 8}));
  EXPECT_EQ(t.Find(0), std::u16string(1, odd));
  EXPECT_EQ(t.Find(1), u"Maroon");
}

TEST(Str0Table, AnUnsortedIndexIsSearchedAsItStandsComparedAsSigned) {
  // 0, 1, 40, 30, 39: the search halves at index 2 (id 40), so 30 and 39 lie on the side it
  // never looks at for them, while 40 itself and both ids left of it are found.
  Bytes b = Sample();
  PutU32(b, 8 + 12 * 2, 40);
  Image unsorted(b);
  Str0Table t = unsorted.Table();
  EXPECT_EQ(t.CheckBounds(), Str0Status::kOk);
  EXPECT_EQ(t.Validate(), Str0Status::kUnsorted);
  EXPECT_EQ(t.Find(40), u"White");
  EXPECT_EQ(t.Find(0), u"Black");
  EXPECT_EQ(t.Find(1), u"Maroon");
  EXPECT_EQ(t.Find(30), std::nullopt);
  EXPECT_EQ(t.Find(39), std::nullopt);

  // Ascending as unsigned but not as signed: 0x80000000 is the smallest id.
  Bytes w = BuildStr0Table({{1, u"a"}, {2, u"b"}});
  PutU32(w, 8 + 12, 0x80000000u);
  EXPECT_EQ(Image(w).Table().Validate(), Str0Status::kUnsorted);

  // A repeated id: the first probe (index 2 of 5) decides which of the two is found.
  Bytes dup = Sample();
  PutU32(dup, 8 + 12 * 3, 15);  // 0, 1, 15, 15, 39
  Image twice(dup);
  EXPECT_EQ(twice.Table().Validate(), Str0Status::kUnsorted);
  EXPECT_EQ(twice.Table().Find(15), u"White") << "the entry at the first probe";
  EXPECT_EQ(twice.Table().Find(30), std::nullopt);
}
