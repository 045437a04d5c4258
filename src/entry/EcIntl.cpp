#include "entry/EcIntl.h"

#include <windows.h>

#include "entry/EcStrIds.h"
#include "entry/portable/EcDatePictures.h"
#include "strres/EcSrMgr.h"

namespace ec {

namespace {

constexpr const char* kSection = "intl";

// At most maxLength characters of the key's text, or of def when the key is absent.
std::string ProfileText(const char* key, const char* def, DWORD maxLength) {
  std::string text(maxLength + 1, '\0');
  DWORD n = GetProfileStringA(kSection, key, def, text.data(), maxLength + 1);
  text.resize(n);
  return text;
}

// The first character of the key's text; the default's when the text is empty.
char ProfileChar(const char* key, const char* def) {
  std::string text = ProfileText(key, def, 5);
  return text.empty() ? def[0] : text[0];
}

int ProfileInt(const char* key, int def) { return static_cast<int>(GetProfileIntA(kSection, key, def)); }

// The user's time format ends in the AM/PM designator ("tt" in the platform's pictures).
bool TimeFormatHasDesignatorLast() {
  char format[80] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, sizeof format) == 0) return false;
  std::string f = format;
  while (!f.empty() && f.back() == ' ') f.pop_back();
  return !f.empty() && (f.back() == 't' || f.back() == 'T');
}

}  // namespace

TEcIntlSup::TEcIntlSup() { ReadSettings(); }

void TEcIntlSup::ReadSettings() {
  DecimalSep = ProfileChar("sDecimal", ".");
  ThousandSep = ProfileChar("sThousand", ",");
  CurrencyDecimals = static_cast<uint8_t>(ProfileInt("iCurrDigits", 2));
  // Numbers could not be read back with one character for both.
  if (DecimalSep == ThousandSep) {
    DecimalSep = '.';
    ThousandSep = ',';
  }
  NegCurrencyPlacement = static_cast<uint8_t>(ProfileInt("iNegCurr", 0));
  ListSep = ProfileChar("sList", ",");
  CountryName = ProfileText("sCountry", "", 255);

  CurrencySymbolLeft = ProfileText("sCurrency", "$", 5);
  CurrencySymbolRight = CurrencySymbolLeft;
  CurrencyPlacement = static_cast<uint8_t>(ProfileInt("iCurrency", 0));
  if (CurrencyPlacement == 2) CurrencySymbolLeft += ' ';        // "$ 1.00"
  if (CurrencyPlacement == 3) CurrencySymbolRight = " " + CurrencySymbolRight;  // "1.00 $"

  HourLeadingZero = ProfileInt("iTLZero", 0) != 0;
  TwelveHourClock = TimeFormatHasDesignatorLast();
  TimeSep = ProfileChar("sTime", ":");
  DateSep = ProfileChar("sDate", "/");
  AMText = ProfileText("s1159", "AM", 5);
  PMText = ProfileText("s2359", "PM", 5);

  ShortDatePicture = NormaliseShortDatePicture(ProfileText("sShortDate", "MM/dd/yy", 29), DateSep);
  TLongDatePicture longDate = ConvertLongDatePicture(ProfileText("sLongDate", "dddd, MMMM dd, yyyy", 39));
  LongDatePicture = std::move(longDate.Picture);
  DateLiterals = std::move(longDate.Literals);

  // The table's letters, where it has exactly one for each.
  const std::pair<uint16_t, char*> letters[] = {
      {kStrYesLetter, &YesLetter}, {kStrNoLetter, &NoLetter}, {kStrTrueLetter, &TrueLetter}, {kStrFalseLetter, &FalseLetter}};
  for (auto [id, letter] : letters) {
    std::string text = EcResourceString(id);
    if (text.size() == 1) *letter = text[0];
  }
}

TEcUserData::TEcUserData() {
  for (auto& set : CharSets) set.set().reset(0);
  for (size_t i = 0; i < Chars.size(); ++i) Chars[i] = static_cast<uint8_t>(241 + i);
}

}  // namespace ec
