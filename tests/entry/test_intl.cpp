// The international settings through the real profile functions. Each test writes its own
// "intl" values and puts the section back as it was afterwards (under Wine the section is the
// user's regional settings, so the locale functions see the same values).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "entry/EcIntl.h"

using namespace ec;

namespace {

struct IntlSettings : ::testing::Test {
  std::vector<std::pair<std::string, std::string>> saved;

  void SetUp() override {
    std::vector<char> keys(32768);
    DWORD n = GetProfileStringA("intl", nullptr, "", keys.data(), static_cast<DWORD>(keys.size()));
    for (const char* k = keys.data(); k < keys.data() + n && *k; k += std::strlen(k) + 1) {
      char value[1024] = {};
      GetProfileStringA("intl", k, "", value, sizeof value);
      saved.emplace_back(k, value);
    }
    ASSERT_FALSE(saved.empty()) << "the prefix has regional settings to restore";
  }
  void TearDown() override {
    WriteProfileStringA("intl", nullptr, nullptr);
    for (auto& [key, value] : saved) WriteProfileStringA("intl", key.c_str(), value.c_str());
  }

  static void RemoveSection() { ASSERT_TRUE(WriteProfileStringA("intl", nullptr, nullptr)); }
  static void Set(const char* key, const char* value) { ASSERT_TRUE(WriteProfileStringA("intl", key, value)); }
};

}  // namespace

TEST_F(IntlSettings, WithNoSectionEveryMemberHasItsDefault) {
  RemoveSection();
  TEcIntlSup s;
  EXPECT_EQ(s.CurrencySymbolLeft, "$");
  EXPECT_EQ(s.CurrencySymbolRight, "$");
  EXPECT_EQ(s.DecimalSep, '.');
  EXPECT_EQ(s.ThousandSep, ',');
  EXPECT_EQ(s.CurrencyDecimals, 2);
  EXPECT_EQ(s.ListSep, ',');
  EXPECT_EQ(s.DateSep, '/');
  EXPECT_EQ(s.TrueLetter, 'T');
  EXPECT_EQ(s.FalseLetter, 'F');
  EXPECT_EQ(s.YesLetter, 'Y');
  EXPECT_EQ(s.NoLetter, 'N');
  EXPECT_EQ(s.AMText, "AM");
  EXPECT_EQ(s.PMText, "PM");
  EXPECT_EQ(s.TimeSep, ':');
  EXPECT_EQ(s.CountryName, "");
  EXPECT_EQ(s.CurrencyPlacement, 0);
  EXPECT_EQ(s.DateLiterals, (std::array<std::string, 3>{}));
  EXPECT_EQ(s.LongDatePicture, "wwww, nnnn dd, yyyy");
  EXPECT_EQ(s.NegCurrencyPlacement, 0);
  EXPECT_EQ(s.ShortDatePicture, "MM/dd/yy");
  EXPECT_FALSE(s.HourLeadingZero);
}

TEST_F(IntlSettings, ValuesOfTheSectionAreTakenWithinTheirLengths) {
  RemoveSection();
  Set("sDecimal", ",");
  Set("sThousand", ".");
  Set("iCurrDigits", "3");
  Set("iNegCurr", "5");
  Set("sList", ";");
  Set("sCountry", std::string(300, 'c').c_str());
  Set("sCurrency", "ABCDEFG");
  Set("iTLZero", "1");
  Set("sTime", ".");
  Set("sDate", "-");
  Set("s1159", "vorm.x");
  Set("s2359", "nachm");
  Set("sShortDate", "yyyy-MM-dd ddd, MMMM dd, yyyy (d)");  // 33 characters
  Set("sLongDate", "dddd d MMMM yyyy ---------------------------------");  // 51 characters
  TEcIntlSup s;
  EXPECT_EQ(s.DecimalSep, ',');
  EXPECT_EQ(s.ThousandSep, '.');
  EXPECT_EQ(s.CurrencyDecimals, 3);
  EXPECT_EQ(s.NegCurrencyPlacement, 5);
  EXPECT_EQ(s.ListSep, ';');
  EXPECT_EQ(s.CountryName, std::string(255, 'c'));
  EXPECT_EQ(s.CurrencySymbolLeft, "ABCDE");
  EXPECT_EQ(s.CurrencySymbolRight, "ABCDE");
  EXPECT_TRUE(s.HourLeadingZero);
  EXPECT_EQ(s.TimeSep, '.');
  EXPECT_EQ(s.DateSep, '-');
  EXPECT_EQ(s.AMText, "vorm.");
  EXPECT_EQ(s.PMText, "nachm");
  EXPECT_EQ(s.ShortDatePicture, "yyyy/MM/dd ddd, MMMM dd, yyyy") << "29 characters read";
  EXPECT_EQ(s.LongDatePicture, "wwww d nnnn yyyy " + std::string(22, '-')) << "39 characters read";
}

TEST_F(IntlSettings, EqualSeparatorsGoBackToTheDefaults) {
  RemoveSection();
  Set("sDecimal", ",");
  Set("sThousand", ",");
  TEcIntlSup s;
  EXPECT_EQ(s.DecimalSep, '.');
  EXPECT_EQ(s.ThousandSep, ',');
}

TEST_F(IntlSettings, AnEmptyCharacterValueGivesTheDefaultCharacter) {
  RemoveSection();
  for (const char* key : {"sDecimal", "sThousand", "sList", "sTime", "sDate", "sCurrency", "s1159"}) Set(key, "");
  TEcIntlSup s;
  EXPECT_EQ(s.DecimalSep, '.');
  EXPECT_EQ(s.ThousandSep, ',');
  EXPECT_EQ(s.ListSep, ',');
  EXPECT_EQ(s.TimeSep, ':');
  EXPECT_EQ(s.DateSep, '/');
  // Texts are taken as they are, empty included.
  EXPECT_EQ(s.CurrencySymbolLeft, "");
  EXPECT_EQ(s.AMText, "");
}

TEST_F(IntlSettings, CurrencyPlacementPutsABlankBesideTheSymbol) {
  RemoveSection();
  Set("iCurrency", "2");
  {
    TEcIntlSup s;
    EXPECT_EQ(s.CurrencyPlacement, 2);
    EXPECT_EQ(s.CurrencySymbolLeft, "$ ");
    EXPECT_EQ(s.CurrencySymbolRight, "$");
  }
  Set("iCurrency", "3");
  Set("sCurrency", "EUR");
  {
    TEcIntlSup s;
    EXPECT_EQ(s.CurrencySymbolLeft, "EUR");
    EXPECT_EQ(s.CurrencySymbolRight, " EUR");
  }
  Set("iCurrency", "1");
  {
    TEcIntlSup s;
    EXPECT_EQ(s.CurrencySymbolLeft, "EUR");
    EXPECT_EQ(s.CurrencySymbolRight, "EUR");
  }
}

TEST_F(IntlSettings, DatePicturesAreConverted) {
  RemoveSection();
  Set("sLongDate", "d 'de' MMMM 'de' yyyy");
  Set("sShortDate", "dd.MM.yy");
  Set("sDate", ".");
  {
    TEcIntlSup s;
    EXPECT_EQ(s.LongDatePicture, "d ff nnnn gg yyyy");
    EXPECT_EQ(s.DateLiterals, (std::array<std::string, 3>{"de", "de", ""}));
    EXPECT_EQ(s.ShortDatePicture, "dd/MM/yy");
  }
  Set("sLongDate", "dddd 'abcdefghij' yyyy");
  {
    TEcIntlSup s;
    EXPECT_EQ(s.LongDatePicture, "wwww ffffff yyyy");
    EXPECT_EQ(s.DateLiterals[0], "abcdef");
  }
}

TEST_F(IntlSettings, TheTwelveHourClockFollowsTheUsersTimeFormat) {
  char saved[80] = {};
  ASSERT_NE(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, saved, sizeof saved), 0);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, "HH:mm:ss"));
  EXPECT_FALSE(TEcIntlSup().TwelveHourClock);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, "h:mm:ss tt"));
  EXPECT_TRUE(TEcIntlSup().TwelveHourClock);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, saved));
}

TEST(FamilyObjects, LiveFromStartUpWithTheirInitialValues) {
  ASSERT_NE(IntlSup(), nullptr);
  ASSERT_NE(UserData(), nullptr);
  const TEcUserData& d = *UserData();
  for (const auto& set : d.CharSets) {
    EXPECT_FALSE(set[0]);
    EXPECT_EQ(set.count(), 255u);
  }
  for (uint8_t v : d.Settings) EXPECT_EQ(v, 0);
  for (size_t i = 0; i < d.Chars.size(); ++i) EXPECT_EQ(d.Chars[i], 241 + i);
  // Nested start-up and shutdown pairs leave them alone.
  TEcIntlSup* before = IntlSup();
  InitializeEntryFamily();
  FinalizeEntryFamily();
  EXPECT_EQ(IntlSup(), before);
}
