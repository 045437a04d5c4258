#include "entry/portable/EcDatePictures.h"

#include <algorithm>

namespace ec {

namespace {

// One literal pass: the first quoted text becomes marker letters (six at most).
std::string ExtractLiteral(std::string& picture, char marker) {
  std::string literal;
  size_t open = picture.find('\'');
  if (open == std::string::npos) return literal;
  picture.erase(open, 1);
  if (picture.find('\'', open) == std::string::npos) return literal;
  size_t pos = open;
  while (picture[pos] != '\'') {
    if (literal.size() < kDateLiteralLength) {
      literal += picture[pos];
      picture[pos++] = marker;
    } else {
      picture.erase(pos, 1);
    }
  }
  picture.erase(pos, 1);
  return literal;
}

// The run of `from` that starts at the first occurrence of three of them becomes `to`.
void ReplaceNameRun(std::string& picture, char from, char to) {
  size_t pos = picture.find(std::string(3, from));
  for (; pos != std::string::npos && pos < picture.size() && picture[pos] == from; ++pos) picture[pos] = to;
}

}  // namespace

TLongDatePicture ConvertLongDatePicture(std::string picture) {
  TLongDatePicture result;
  const char markers[3] = {'f', 'g', 'h'};
  for (size_t i = 0; i < 3; ++i) result.Literals[i] = ExtractLiteral(picture, markers[i]);
  ReplaceNameRun(picture, 'd', 'w');
  ReplaceNameRun(picture, 'M', 'n');
  for (size_t i = 0; i < picture.size(); ++i)
    if ((picture[i] == ',' || picture[i] == '.') && (i + 1 == picture.size() || picture[i + 1] != ' '))
      picture.insert(i + 1, 1, ' ');
  result.Picture = std::move(picture);
  return result;
}

std::string NormaliseShortDatePicture(std::string picture, char dateSep) {
  std::replace(picture.begin(), picture.end(), dateSep, '/');
  return picture;
}

}  // namespace ec
