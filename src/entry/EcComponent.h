// The base of the family's non-visual components, and the read-only About text that every
// component of the family carries.
#pragma once

#include <string>

#include "rtl/Component.h"

namespace ec {

inline constexpr const char* kEcAboutText = "v3.05";

// Publishes "About" for a class with About() and SetAbout(): it reads as the family's version,
// ignores what is written to it and is never stored.
template <class C>
void PublishAbout(rtl::TClassBuilder<C>& b) {
  b.Str("About", &C::About, &C::SetAbout).Stored = [](const rtl::TObject*) { return false; };
}

class TEcComponent : public rtl::TComponent {
  RTL_CLASS(TEcComponent, rtl::TComponent)
 public:
  explicit TEcComponent(rtl::TComponent* owner) : TComponent(owner) {}
  std::string About() const { return kEcAboutText; }
  void SetAbout(const std::string&) {}
  static void DeclareProperties(rtl::TClassBuilder<TEcComponent>& b) { PublishAbout(b); }
};

}  // namespace ec
