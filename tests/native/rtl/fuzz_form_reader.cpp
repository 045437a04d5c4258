// Fuzzes the form-resource reader and the text printer with arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "TestClasses.h"
#include "rtl/FormText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace rtl;
  try {
    TReadOnlyMemoryStream s(data, static_cast<long long>(size));
    testing_rtl::TRoot root(nullptr);
    ReadComponentFromStream(s, &root);
  } catch (const Exception&) {
  }
  try {
    TReadOnlyMemoryStream s(data, static_cast<long long>(size));
    ObjectBinaryToText(s);
  } catch (const Exception&) {
  }
  try {
    TMemoryStream out;
    ObjectTextToBinary(std::string(reinterpret_cast<const char*>(data), size), out);
  } catch (const Exception&) {
  }
  return 0;
}
