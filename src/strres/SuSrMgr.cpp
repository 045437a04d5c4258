#include "strres/SuSrMgr.h"

namespace su {

namespace {

std::exception_ptr MakeError(const std::string& message) {
  return std::make_exception_ptr(EStringResourceError(message));
}

strres::TStringResource* Create(HINSTANCE instance, const char* resourceName) {
  return new TSuStringResource(instance, resourceName);
}

constinit strres::StringFamily family{"SUSRMGR_STRINGS", "SYSUTIL_STRINGS_ENGLISH", MakeError,
                                      Create, "Invalid string resource"};

}  // namespace

TSuStringResource::TSuStringResource(HINSTANCE instance, const char* resourceName)
    : strres::TStringResource(family, instance, resourceName) {}

strres::StringFamily& StringResourceFamily() { return family; }

TSuStringResource* FamilyMessages() { return static_cast<TSuStringResource*>(family.messages); }
TSuStringResource* FamilyStrings() { return static_cast<TSuStringResource*>(family.strings); }

}  // namespace su
