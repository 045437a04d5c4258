#include "Program.h"

#include <optional>

#include "Main.h"
#include "bitmapbtn/GxObj.h"
#include "entry/EcIntl.h"
#include "label3d/FxBase.h"
#include "strres/EcSrMgr.h"
#include "strres/FxSrMgr.h"
#include "strres/StringResource.h"
#include "strres/SuSrMgr.h"

namespace tess {

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

// The entry family's settings take their letters from its string table, and the form resource
// read afterwards finds the attached labels by class name.
const rtl::TUnit kUnits[] = {
    {"FxSrMgr", [] { strres::InitializeFamily(fx::StringResourceFamily(), Self()); },
     [] { strres::FinalizeFamily(fx::StringResourceFamily()); }},
    {"EcSrMgr", [] { strres::InitializeFamily(ec::StringResourceFamily(), Self()); },
     [] { strres::FinalizeFamily(ec::StringResourceFamily()); }},
    {"SuSrMgr", [] { strres::InitializeFamily(su::StringResourceFamily(), Self()); },
     [] { strres::FinalizeFamily(su::StringResourceFamily()); }},
    {"GxObj", bitmapbtn::LoadFamilyCursors, nullptr},
    {"EcIntl", ec::InitializeIntlSettings, ec::FinalizeIntlSettings},
    {"EcBase", ec::RegisterEntryClasses, nullptr},
    {"FxBase", fx::InitializeLabelFamily, nullptr},
};

int RunApplication() {
  gui::TApplication app;
  try {
    app.Initialize();
    app.SetTitle("Tessaline");
    app.CreateForm(Form1);
    app.Run();
  } catch (...) {
    app.HandleException(std::current_exception());
    return 1;
  }
  return 0;
}

}  // namespace

std::span<const rtl::TUnit> ProgramUnits() { return kUnits; }

int RunProgram() {
  std::optional<rtl::TUnitSequence> units;
  try {
    units.emplace(ProgramUnits());
  } catch (const std::exception& e) {
    // A table that does not open is a broken build; there is no application yet to tell it.
    MessageBoxA(nullptr, e.what(), "Tessaline", MB_OK | MB_ICONERROR);
    return 1;
  }
  return RunApplication();
}

}  // namespace tess
