#include "SuBase.h"

#include "strres/SuSrMgr.h"

namespace sysinfo {

RTL_IMPLEMENT_CLASS(TSuComponent);

void TSuComponent::DeclareProperties(rtl::TClassBuilder<TSuComponent>& b) {
  b.Str("Version", &TSuComponent::Version, &TSuComponent::SetVersion).Stored = [](const rtl::TObject*) {
    return false;
  };
}

std::string SuResourceString(int32_t id) {
  su::TSuStringResource* strings = su::FamilyStrings();
  return strings ? strings->GetString(id) : std::string();
}

}  // namespace sysinfo
