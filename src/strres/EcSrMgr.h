// The string tables of the entry-control family: "ECSRMGR_STRINGS" (the loader's error texts) and
// "ENTRYCTL_STRINGS_ENGLISH".
#pragma once

#include <cstdint>
#include <string>

#include "rtl/Exceptions.h"
#include "strres/StringResource.h"

namespace ec {

class EStringResourceError : public rtl::Exception {
 public:
  using Exception::Exception;
};

class TEcStringResource final : public strres::TStringResource {
 public:
  TEcStringResource(HINSTANCE instance, const char* resourceName);
};

strres::StringFamily& StringResourceFamily();

// The family's open tables from strres::Initialize to strres::Finalize; null outside.
TEcStringResource* FamilyMessages();
TEcStringResource* FamilyStrings();

// The text of id in the family's string table, "Unknown" when it has none (or is not open).
std::string EcResourceString(uint16_t id);

}  // namespace ec
