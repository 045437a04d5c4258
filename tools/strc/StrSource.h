// The readable source of a packed string table: UTF-8 text, one entry per line.
//
//   # a comment line (blank lines are ignored too)
//   30172 "No Controller assigned"
//
// An id is a decimal number from 0 to 2147483647; ids must be unique and ascending. The text
// stands in double quotes and may use the escapes \" \\ \n \r \t and \uXXXX (a BMP character);
// anything else is taken literally. After the closing quote only blanks or a # comment follow.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "strres/Str0Table.h"

namespace strc {

class SourceError : public std::runtime_error {
 public:
  SourceError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
  int Line() const { return line_; }

 private:
  int line_;
};

// Parses a whole source; throws SourceError at the first fault.
std::vector<strres::Str0SourceEntry> ParseStringSource(std::string_view source);

}  // namespace strc
