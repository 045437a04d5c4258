// The string tables of the utility family: "SUSRMGR_STRINGS" (the loader's error texts) and
// "SYSUTIL_STRINGS_ENGLISH".
#pragma once

#include <cstdint>
#include <string>

#include "rtl/Exceptions.h"
#include "strres/StringResource.h"

namespace su {

class EStringResourceError : public rtl::Exception {
 public:
  using Exception::Exception;
};

class TSuStringResource final : public strres::TStringResource {
 public:
  TSuStringResource(HINSTANCE instance, const char* resourceName);
};

strres::StringFamily& StringResourceFamily();

// The family's open tables from strres::Initialize to strres::Finalize; null outside.
TSuStringResource* FamilyMessages();
TSuStringResource* FamilyStrings();

}  // namespace su
