// The user's international conventions in the form the family's entry fields use, read once
// at start-up from the profile's "intl" section; and the family's user-definable mask data.
// Both live from the family's start-up to its shutdown.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

namespace ec {

class TEcIntlSup {
 public:
  // The defaults, then ReadSettings.
  TEcIntlSup();
  TEcIntlSup(const TEcIntlSup&) = delete;
  TEcIntlSup& operator=(const TEcIntlSup&) = delete;

  void ReadSettings();

  std::string CurrencySymbolLeft = "$";   // up to 5 characters, plus a blank for iCurrency 2
  std::string CurrencySymbolRight = "$";  // up to 5 characters, after a blank for iCurrency 3
  char DecimalSep = '.';
  char ThousandSep = ',';
  uint8_t CurrencyDecimals = 2;
  char ListSep = ',';
  char DateSep = '/';
  char TrueLetter = 'T', FalseLetter = 'F', YesLetter = 'Y', NoLetter = 'N';
  std::string AMText = "AM", PMText = "PM";  // up to 5 characters each
  char TimeSep = ':';
  std::string CountryName;  // up to 255 characters
  uint8_t CurrencyPlacement = 0;
  std::array<std::string, 3> DateLiterals;  // up to 6 characters each
  std::string LongDatePicture;
  uint8_t NegCurrencyPlacement = 0;
  std::string ShortDatePicture;  // up to 29 characters
  bool HourLeadingZero = false;
  bool TwelveHourClock = false;
};

// Eight 256-bit character sets, eight one-byte settings and eight one-byte characters for the
// family's user-definable masks. Nothing in this program reads or changes them.
struct TEcUserData {
  TEcUserData();
  std::array<std::bitset<256>, 8> CharSets;  // every character but code 0
  std::array<uint8_t, 8> Settings{};         // 0
  std::array<uint8_t, 8> Chars;              // codes 241 to 248
};

// The process-wide objects; null before the family's start-up and after its shutdown. The
// settings are read once, when first asked for after the start-up.
TEcIntlSup* IntlSup();
TEcUserData* UserData();

// The family's start-up steps, for a program that orders its units itself (src/app/Program.cpp):
// the international settings and the user data (the family's string tables must be open: the
// settings take their letters from them; a second call keeps the first reading), and the
// registration of the family's classes for form resources.
void InitializeIntlSettings();
void FinalizeIntlSettings();
void RegisterEntryClasses();

// The whole start-up in one: the family's string tables, then the steps above; the shutdown in
// reverse. EcStartup.cpp runs them around main for test programs of the family alone. Nested
// pairs are counted and only the outermost acts.
void InitializeEntryFamily();
void FinalizeEntryFamily();

}  // namespace ec
