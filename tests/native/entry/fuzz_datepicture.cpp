// Fuzzes the long date picture conversion with the profile's 39 characters and with longer
// text: no access outside the picture, literals of at most six characters, every ',' and '.'
// followed by a blank, and no more than twice the length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "entry/portable/EcDatePictures.h"

namespace {

void Check(const std::string& in) {
  ec::TLongDatePicture p = ec::ConvertLongDatePicture(in);
  for (const std::string& literal : p.Literals)
    if (literal.size() > ec::kDateLiteralLength) abort();
  const std::string& out = p.Picture;
  if (out.size() > 2 * in.size()) abort();
  for (size_t i = 0; i < out.size(); ++i)
    if ((out[i] == ',' || out[i] == '.') && (i + 1 == out.size() || out[i + 1] != ' ')) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Check(text.substr(0, 39));
  Check(text);
  return 0;
}
