#include "strres/FxSrMgr.h"

namespace fx {

namespace {

std::exception_ptr MakeError(const std::string& message) {
  return std::make_exception_ptr(EStringResourceError(message));
}

strres::TStringResource* Create(HINSTANCE instance, const char* resourceName) {
  return new TFxStringResource(instance, resourceName);
}

constinit strres::StringFamily family{"FXSRMGR_STRINGS", "TEXTFX_STRINGS_ENGLISH", MakeError,
                                      Create, "Invalid string resource"};

}  // namespace

TFxStringResource::TFxStringResource(HINSTANCE instance, const char* resourceName)
    : strres::TStringResource(family, instance, resourceName) {}

strres::StringFamily& StringResourceFamily() { return family; }

TFxStringResource* FamilyMessages() { return static_cast<TFxStringResource*>(family.messages); }
TFxStringResource* FamilyStrings() { return static_cast<TFxStringResource*>(family.strings); }

}  // namespace fx
