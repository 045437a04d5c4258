// The base of the family's shell components: the version of the system's shell library, read
// once when the component is made.
#pragma once

#include "SuBase.h"

namespace sysinfo {

class TSuShellComponent : public TSuComponent {
  RTL_CLASS(TSuShellComponent, TSuComponent)
 public:
  // Reads the version resource of the system's shell32.dll; ESuVersionInfoError when it can't.
  explicit TSuShellComponent(rtl::TComponent* owner);

  double ShellVersion() const { return shellVersion_; }

 private:
  double shellVersion_ = 0;
};

}  // namespace sysinfo
