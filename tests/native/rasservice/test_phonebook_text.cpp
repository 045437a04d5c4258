// The phonebook's text as the service reads and edits it: entries in file order, each once, the
// first section and the first key winning, and bad text of every kind read without harm.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "phonebook_text.h"

using ras::PhonebookText;
using Names = std::vector<std::string>;

namespace {

PhonebookText Parse(const std::string& text) {
  PhonebookText book;
  book.parse(text);
  return book;
}

}  // namespace

TEST(PhonebookText, LinesEndAtNewlinesWithOrWithoutReturnsAndTheByteOrderMarkGoes) {
  PhonebookText book = Parse("\xEF\xBB\xBF[A]\r\nPhoneNumber=1\n\r\n[B]\rX=2");
  EXPECT_EQ(book.lines(), (Names{"[A]", "PhoneNumber=1", "", "[B]\rX=2"}))
      << "a lone return is no line end";
  EXPECT_EQ(book.text(), "[A]\r\nPhoneNumber=1\r\n\r\n[B]\rX=2\r\n");
  EXPECT_EQ(book.entry_names(), (Names{"A", "B"})) << "what follows a header's bracket is ignored";
  EXPECT_TRUE(Parse("").lines().empty());
  EXPECT_EQ(Parse("\n").lines(), Names{""});
}

TEST(PhonebookText, EntriesAreListedInFileOrderOnceEachTheFirstSectionWinning) {
  PhonebookText book = Parse(
      "; comment\r\n"
      "[Office]\r\nPhoneNumber=1\r\nPhoneNumber=9\r\n"
      "[  home isp  ]\r\nphonenumber = 2\r\n"
      "[OFFICE]\r\nPhoneNumber=3\r\nUserName=late\r\n"
      "[.hidden]\r\n[   ]\r\n[]\r\n[tab\there]\r\n[a]b]\r\n");
  EXPECT_EQ(book.entry_names(), (Names{"Office", "home isp", "a]b"}));
  EXPECT_EQ(book.value("office", "PHONENUMBER"), "1") << "first section, first line of the key";
  EXPECT_EQ(book.value("Home ISP", "PhoneNumber"), "2");
  EXPECT_EQ(book.value("Office", "UserName"), std::nullopt) << "the later section is not consulted";
  EXPECT_FALSE(book.has_entry(".hidden"));
  EXPECT_FALSE(book.has_entry("Nowhere"));
}

TEST(PhonebookText, OverlongNamesAreNoEntriesAndOverlongValuesAreKeptWhole) {
  const std::string longest(256, 'L'), tooLong(257, 'X'), huge(1 << 20, 'v');
  PhonebookText book = Parse("[" + tooLong + "]\r\nA=1\r\n[" + longest + "]\r\nA=" + huge + "\r\n[" +
                             std::string(100000, 'n') + "]\r\n");
  EXPECT_EQ(book.entry_names(), Names{longest});
  EXPECT_EQ(book.value(longest, "A"), huge);
  EXPECT_FALSE(book.has_entry(tooLong));
}

TEST(PhonebookText, BinaryGarbageGivesOnlyValidNames) {
  std::string junk;
  for (int i = 0; i < 65536; ++i) junk += static_cast<char>((i * 37 + i / 7) & 0xFF);
  junk += "\n[Real]\n";
  junk += std::string("[with\0nul]\n", 11);
  PhonebookText book = Parse(junk);
  Names names = book.entry_names();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), "Real");
  for (const std::string& n : names) EXPECT_TRUE(ras::valid_entry_name(n)) << n;
  EXPECT_EQ(book.text().size() >= junk.size(), true);
}

TEST(PhonebookText, ListingManySectionsTakesLinearTime) {
  // 8 MiB, the most the service reads, holds well over a million sections.
  std::string text;
  const int n = 400000;
  for (int i = 0; i < n; ++i) text += "[" + std::to_string(i) + "]\n";
  text += "[0]\n[399999]\n";  // repeats
  PhonebookText book = Parse(text);
  auto t0 = std::chrono::steady_clock::now();
  Names names = book.entry_names();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  ASSERT_EQ(names.size(), static_cast<size_t>(n));
  EXPECT_EQ(names.front(), "0");
  EXPECT_EQ(names.back(), "399999");
  // Far above a linear listing on a loaded machine (about 7 s under sanitizers and two
  // parallel builds), far below a quadratic one.
  EXPECT_LT(seconds, 60.0) << "a quadratic search for repeats would take hours";
}

TEST(PhonebookText, EditsChangeTheirLinesAndKeepEveryOther) {
  PhonebookText book = Parse("# kept\r\n[A]\r\nX=1\r\n; kept too\r\nY=2\r\n\r\n[B]\r\nZ=3\r\n");
  book.set_value("a", "Y", "22");
  book.set_value("B", "New", "4");
  book.set_value("C", "Q", "5");
  EXPECT_EQ(book.text(), "# kept\r\n[A]\r\nX=1\r\n; kept too\r\nY=22\r\n\r\n[B]\r\nZ=3\r\nNew=4\r\n\r\n[C]\r\nQ=5\r\n");
  book.remove_key("A", "x");
  EXPECT_TRUE(book.rename_entry("b", "Bee"));
  EXPECT_TRUE(book.remove_entry("C"));
  EXPECT_FALSE(book.remove_entry("C"));
  EXPECT_EQ(book.text(), "# kept\r\n[A]\r\n; kept too\r\nY=22\r\n\r\n[Bee]\r\nZ=3\r\nNew=4\r\n\r\n");
  EXPECT_EQ(book.entry_names(), (Names{"A", "Bee"}));
}
