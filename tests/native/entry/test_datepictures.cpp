// The long date picture conversion and the short date separator.
#include <gtest/gtest.h>

#include "entry/portable/EcDatePictures.h"

using namespace ec;

namespace {

void ExpectLong(const std::string& in, const std::string& picture, const std::array<std::string, 3>& literals) {
  TLongDatePicture p = ConvertLongDatePicture(in);
  EXPECT_EQ(p.Picture, picture) << "from " << in;
  EXPECT_EQ(p.Literals, literals) << "from " << in;
}

}  // namespace

TEST(LongDatePicture, NameRunsBecomeWAndN) {
  ExpectLong("dddd, MMMM dd, yyyy", "wwww, nnnn dd, yyyy", {"", "", ""});
  ExpectLong("ddd d MMM M", "www d nnn M", {"", "", ""});
  // Only the run starting at the first "ddd"/"MMM" changes; shorter runs before it stay.
  ExpectLong("dd MM dddd MMMM dddd", "dd MM wwww nnnn dddd", {"", "", ""});
  ExpectLong("d/M/yy", "d/M/yy", {"", "", ""});
}

TEST(LongDatePicture, QuotedLiteralsBecomeMarkerRuns) {
  ExpectLong("d 'de' MMMM 'de' yyyy", "d ff nnnn gg yyyy", {"de", "de", ""});
  // A literal is taken before the name runs, so "ddd" inside quotes stays a literal.
  ExpectLong("'ddd' dddd", "fff wwww", {"ddd", "", ""});
  // Only three passes: a fourth literal keeps its quotes.
  ExpectLong("'a' 'b' 'c' 'd'", "f g h 'd'", {"a", "b", "c"});
  // An empty literal and an apostrophe that is never closed.
  ExpectLong("''d", "d", {"", "", ""});
  ExpectLong("d 'de MMMM", "d de nnnn", {"", "", ""});
}

TEST(LongDatePicture, ALiteralLongerThanSixKeepsSixMarkersAndLosesTheRest) {
  ExpectLong("'abcdefghij' d", "ffffff d", {"abcdef", "", ""});
  ExpectLong("d 'de' 'Sonntag' x 'mittwochs'", "d ff gggggg x hhhhhh", {"de", "Sonnta", "mittwo"});
}

TEST(LongDatePicture, CommaAndFullStopAreFollowedByABlank) {
  ExpectLong("dd.MM.yyyy", "dd. MM. yyyy", {"", "", ""});
  ExpectLong("yyyy.", "yyyy. ", {"", "", ""});
  ExpectLong("d,,M, y", "d, , M, y", {"", "", ""});
  // A full stop inside a literal was taken out with it.
  ExpectLong("d'.'M", "dfM", {".", "", ""});
}

TEST(ShortDatePicture, TheDateSeparatorIsWrittenAsSlash) {
  EXPECT_EQ(NormaliseShortDatePicture("dd.MM.yy", '.'), "dd/MM/yy");
  EXPECT_EQ(NormaliseShortDatePicture("yyyy-MM-dd", '-'), "yyyy/MM/dd");
  EXPECT_EQ(NormaliseShortDatePicture("MM/dd/yy", '/'), "MM/dd/yy");
}
