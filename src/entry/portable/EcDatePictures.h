// The date pictures of the international settings in the form the entry fields use.
// Portable: no <windows.h>.
#pragma once

#include <array>
#include <string>

namespace ec {

inline constexpr size_t kDateLiteralLength = 6;

struct TLongDatePicture {
  std::string Picture;
  // The quoted literals taken out of the picture, in order; at most kDateLiteralLength each.
  std::array<std::string, 3> Literals;
};

// The profile's long date picture converted: up to three quoted literals become runs of 'f',
// 'g' and 'h' (at most six letters each, the rest of a literal dropped), a run of 'd' that
// starts with "ddd" becomes 'w' (day name), one that starts with "MMM" becomes 'n' (month
// name), and every ',' or '.' is followed by a blank.
TLongDatePicture ConvertLongDatePicture(std::string picture);

// The short date picture with every dateSep written as '/'.
std::string NormaliseShortDatePicture(std::string picture, char dateSep);

}  // namespace ec
