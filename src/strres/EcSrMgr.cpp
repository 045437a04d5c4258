#include "strres/EcSrMgr.h"

namespace ec {

namespace {

std::exception_ptr MakeError(const std::string& message) {
  return std::make_exception_ptr(EStringResourceError(message));
}

strres::TStringResource* Create(HINSTANCE instance, const char* resourceName) {
  return new TEcStringResource(instance, resourceName);
}

constinit strres::StringFamily family{"ECSRMGR_STRINGS", "ENTRYCTL_STRINGS_ENGLISH", MakeError,
                                      Create, "Invalid packed string resource"};

}  // namespace

TEcStringResource::TEcStringResource(HINSTANCE instance, const char* resourceName)
    : strres::TStringResource(family, instance, resourceName) {}

strres::StringFamily& StringResourceFamily() { return family; }

TEcStringResource* FamilyMessages() { return static_cast<TEcStringResource*>(family.messages); }
TEcStringResource* FamilyStrings() { return static_cast<TEcStringResource*>(family.strings); }

std::string EcResourceString(uint16_t id) {
  std::string text = FamilyStrings() != nullptr ? FamilyStrings()->GetString(id) : std::string();
  return text.empty() ? "Unknown" : text;
}

}  // namespace ec
