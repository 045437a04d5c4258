#include "SuShBase.h"

#include <memory>

#include "SuFiles.h"
#include "SuVInfo.h"

namespace sysinfo {

RTL_IMPLEMENT_CLASS(TSuShellComponent);

TSuShellComponent::TSuShellComponent(rtl::TComponent* owner) : TSuComponent(owner) {
  auto freeReader = [](TSuVersionInfo* r) { r->Free(); };
  std::unique_ptr<TSuVersionInfo, decltype(freeReader)> reader(new TSuVersionInfo(owner), freeReader);
  reader->SetFileName(SystemDirectory() + "\\shell32.dll");
  shellVersion_ = reader->FileVersionNumber();
}

}  // namespace sysinfo
