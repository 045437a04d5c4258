// The 3-D text label: the caption drawn as a shadow layer and a highlight layer (one or more
// offset copies each) under the face, which may be filled with a 16-step colour gradient.
// Appearance presets and colour schemes fill in its CustomSettings; changing a setting by hand
// turns them into their custom values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Label.h"
#include "label3d/FxSettings.h"

namespace fx {

enum TFxAppearance : uint8_t { apNone, apCustom, apFlying, apRaised, apSunken, apShadow };
enum TFxColorScheme : uint8_t { csCustom, csText, csWindows, csEmbossed, csGold, csSteel };

const std::vector<std::string>& AppearanceNames();
const std::vector<std::string>& ColorSchemeNames();

struct TFxSchemeColors {
  gui::TColor Highlight, Shadow, Text;
};

class TFxCustomLabel : public gui::TCustomLabel {
  RTL_CLASS(TFxCustomLabel, gui::TCustomLabel)
 public:
  explicit TFxCustomLabel(rtl::TComponent* owner);
  ~TFxCustomLabel() override;

  TFxAppearance Appearance() const { return appearance_; }
  // Fills in the directions and depths of the preset (and the scheme's highlight colour).
  void SetAppearance(TFxAppearance v);
  TFxColorScheme ColorScheme() const { return colorScheme_; }
  // Fills in the scheme's highlight, shadow and font colours; a named scheme also becomes the
  // csCustom row.
  void SetColorScheme(TFxColorScheme v);
  // The values that are drawn.
  TFxCustomSettings& CustomSettings() { return *settings_; }
  TFxCustomSettings* CustomSettingsObject() const { return settings_.get(); }
  const TFxSchemeColors& SchemeColors(TFxColorScheme s) const { return schemeColors_[s]; }
  // True while the ColorScheme / Appearance setter runs.
  bool SchemeChanging() const { return schemeChanging_; }
  bool AppearanceChanging() const { return appearanceChanging_; }

  std::string Version() const { return "1.07"; }
  // Accepted and ignored, so a resource that names it still loads.
  void SetVersion(const std::string&) {}

  static void DeclareProperties(rtl::TClassBuilder<TFxCustomLabel>& b);

 protected:
  void Paint() override;
  // Draws the caption's layers and face into r of the label's canvas, composed off screen and
  // copied once; flags are DrawText's.
  void DrawEffectText(const RECT& r, UINT flags);

 private:
  void SettingsColorChanged(rtl::TObject* sender);
  void SettingsStyleChanged(rtl::TObject* sender);

  TFxAppearance appearance_ = apRaised;
  TFxColorScheme colorScheme_ = csWindows;
  std::unique_ptr<TFxCustomSettings> settings_;
  TFxSchemeColors schemeColors_[6];
  bool schemeChanging_ = false;
  bool appearanceChanging_ = false;
};

// The 3-D label forms place.
class TFxLabel : public TFxCustomLabel {
  RTL_CLASS(TFxLabel, TFxCustomLabel)
 public:
  explicit TFxLabel(rtl::TComponent* owner) : TFxCustomLabel(owner) {}
  static void DeclareProperties(rtl::TClassBuilder<TFxLabel>& b);
};

}  // namespace fx
