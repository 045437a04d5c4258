// The family's process-wide objects and its start-up and shutdown.
#include <windows.h>

#include <memory>

#include "entry/EcIntl.h"
#include "entry/EcLabel.h"
#include "strres/EcSrMgr.h"
#include "strres/StringResource.h"

namespace ec {

namespace {

int g_guard = 0;
bool g_started = false;
std::unique_ptr<TEcIntlSup> g_intl;
std::unique_ptr<TEcUserData> g_userData;

}  // namespace

TEcIntlSup* IntlSup() {
  // Read once, when first asked for: the profile costs the platform half a millisecond a key,
  // and the program's own window reads none of it.
  if (g_started && !g_intl) g_intl = std::make_unique<TEcIntlSup>();
  return g_intl.get();
}

TEcUserData* UserData() { return g_userData.get(); }

void InitializeIntlSettings() {
  if (g_started) return;
  g_started = true;
  g_userData = std::make_unique<TEcUserData>();
}

void FinalizeIntlSettings() {
  g_started = false;
  g_userData.reset();
  g_intl.reset();
}

void RegisterEntryClasses() {
  // Form resources find the attached label by name, unless another class has that name already.
  rtl::RegisterClassOnce(TEcAttachedLabel::StaticClass());
}

void InitializeEntryFamily() {
  if (g_guard-- != 0) return;
  // The string tables come first: the settings take their letters from them. The tables count
  // their own opening, so this works whichever start-up step runs first.
  strres::InitializeFamily(StringResourceFamily(), GetModuleHandleA(nullptr));
  InitializeIntlSettings();
  RegisterEntryClasses();
}

void FinalizeEntryFamily() {
  if (g_guard++ != -1) return;
  FinalizeIntlSettings();
  strres::FinalizeFamily(StringResourceFamily());
}

}  // namespace ec
