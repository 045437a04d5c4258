// The string-table source format that strc reads.
#include <gtest/gtest.h>

#include "StrSource.h"

using strc::ParseStringSource;
using strc::SourceError;

namespace {

// The line of the fault and its message, or line 0 when the source parses.
std::pair<int, std::string> FaultOf(std::string_view source) {
  try {
    ParseStringSource(source);
  } catch (const SourceError& e) {
    return {e.Line(), e.what()};
  }
  return {0, ""};
}

}  // namespace

TEST(StrSource, ReadsEntriesCommentsBlankLinesAndCrLf) {
  auto entries = ParseStringSource(
      "\xEF\xBB\xBF# colour names\r\n"
      "\r\n"
      "0 \"Black\"\r\n"
      "  15\t\"White\"   # trailing comment\n"
      "30 \"\"\n"
      "2147483647 \"last\"");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].id, 0);
  EXPECT_EQ(entries[0].text, u"Black");
  EXPECT_EQ(entries[1].id, 15);
  EXPECT_EQ(entries[1].text, u"White");
  EXPECT_EQ(entries[2].text, u"");
  EXPECT_EQ(entries[3].id, 2147483647);
}

TEST(StrSource, DecodesUtf8AndEscapes) {
  auto entries = ParseStringSource(
      "1 \"Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x98\x80\"\n"
      "2 \"a\\\"b\\\\c\\n\\r\\t\\u00e9 # not a comment\"\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, u"Gr\u00fc\u00dfe \u20ac \U0001F600");
  EXPECT_EQ(entries[1].text, u"a\"b\\c\n\r\t\u00e9 # not a comment");
}

TEST(StrSource, RejectsDuplicateAndUnsortedIdsNamingTheLine) {
  auto dup = FaultOf("1 \"a\"\n5 \"b\"\n# x\n5 \"c\"\n");
  EXPECT_EQ(dup.first, 4);
  EXPECT_EQ(dup.second, "duplicate id 5 (first on line 2)");

  auto unsorted = FaultOf("1 \"a\"\n5 \"b\"\n4 \"c\"\n");
  EXPECT_EQ(unsorted.first, 3);
  EXPECT_NE(unsorted.second.find("id 4 is out of order"), std::string::npos);
}

TEST(StrSource, RejectsMalformedLines) {
  const std::pair<const char*, int> cases[] = {
      {"1 \"a\"\nx \"b\"\n", 2},        // no id
      {"-1 \"a\"\n", 1},                // negative id
      {"2147483648 \"a\"\n", 1},        // id too large
      {"1\"a\"\n", 1},                  // no blank after the id
      {"1 a\n", 1},                     // unquoted text
      {"1 \"a\n", 1},                   // unterminated
      {"1 \"a\\\"\n", 1},               // escaped quote leaves it open
      {"1 \"a\" b\n", 1},               // junk after the text
      {"1 \"\\x41\"\n", 1},             // unknown escape
      {"1 \"\\u12\"\n", 1},             // short \u
      {"1 \"\\ud800\"\n", 1},           // surrogate by escape
      {"1 \"\xC3\"\n", 1},              // truncated UTF-8
      {"1 \"\xC0\xAF\"\n", 1},          // overlong
      {"1 \"\xED\xA0\x80\"\n", 1},      // encoded surrogate
      {"1 \"\xF4\x90\x80\x80\"\n", 1},  // above U+10FFFF
      {"1 \"\xFF\"\n", 1},              // invalid lead byte
      {"1 \"a\x01\"\n", 1},             // raw control character
  };
  for (const auto& [source, line] : cases) EXPECT_EQ(FaultOf(source).first, line) << source;
}
