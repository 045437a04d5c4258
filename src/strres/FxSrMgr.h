// The string tables of the 3-D label family: "FXSRMGR_STRINGS" (the loader's error texts) and
// "TEXTFX_STRINGS_ENGLISH".
#pragma once

#include <cstdint>
#include <string>

#include "rtl/Exceptions.h"
#include "strres/StringResource.h"

namespace fx {

class EStringResourceError : public rtl::Exception {
 public:
  using Exception::Exception;
};

class TFxStringResource final : public strres::TStringResource {
 public:
  TFxStringResource(HINSTANCE instance, const char* resourceName);
};

strres::StringFamily& StringResourceFamily();

// The family's open tables from strres::Initialize to strres::Finalize; null outside.
TFxStringResource* FamilyMessages();
TFxStringResource* FamilyStrings();

}  // namespace fx
