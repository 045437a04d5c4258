// String helpers: printf-style formatting, trimming, case-insensitive comparison.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace rtl {

// printf-style formatting into a std::string; never truncates.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args);

std::string Trim(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
std::string IntToStr(long long value);
// Parses a whole decimal (or $hex / 0x hex) integer; false when the text is not one.
bool TryStrToInt(std::string_view s, long long& value);
// A valid identifier: a letter or underscore, then letters, digits and underscores.
bool IsValidIdent(std::string_view s);

}  // namespace rtl
