// A component written as form-resource text, and form-resource text read into a component.
#pragma once

#include <string>

#include "rtl/Component.h"
#include "rtl/Filer.h"
#include "rtl/FormText.h"

namespace tsupport {

inline std::string FormText(rtl::TComponent* root) {
  rtl::TMemoryStream binary;
  rtl::WriteComponentToStream(binary, root);
  binary.SetPosition(0);
  return rtl::ObjectBinaryToText(binary);
}

// "@'name'" values come from includes.
inline void LoadFormText(rtl::TComponent* root, const std::string& text, const rtl::TIncludeReader& includes = nullptr) {
  rtl::TMemoryStream binary;
  rtl::ObjectTextToBinary(text, binary, includes);
  binary.SetPosition(0);
  rtl::ReadComponentFromStream(binary, root);
}

}  // namespace tsupport
