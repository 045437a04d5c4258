// Presets and schemes of the 3-D label: what a new label holds, what each preset and scheme
// writes, how a setting changed by hand turns them custom, the notifications each change sends
// the label, and that nothing of that happens while a form resource is read.
#include <gtest/gtest.h>

#include "FormStreams.h"
#include "LabelFixture.h"
#include "MessageRecorder.h"
#include "TestWindows.h"

using namespace fx;
using namespace fxtest;
using tsupport::optional;
using tsupport::sent;

namespace {

constexpr gui::TColor kYellow = 65535, kOlive = 32896, kAqua = 16776960, kNavy = 8388608, kTeal = 8421376,
                      kSilver = 12632256, kGrayValue = 8421504, kWhiteValue = 16777215;

void ExpectRow(const TFxSchemeColors& row, gui::TColor highlight, gui::TColor shadow, gui::TColor text,
               const char* what) {
  EXPECT_EQ(row.Highlight, highlight) << what;
  EXPECT_EQ(row.Shadow, shadow) << what;
  EXPECT_EQ(row.Text, text) << what;
}

}  // namespace

TEST(FxLabelCreation, ANewLabelIsRaisedInTheWindowsSchemeWithTheTableAndSizeOfItsKind) {
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  auto* label = new TFxLabel(form);
  EXPECT_EQ(label->Appearance(), apRaised);
  EXPECT_EQ(label->ColorScheme(), csWindows);
  ExpectRow(label->SchemeColors(csCustom), kWhiteValue, 0, kGrayValue, "csCustom");
  ExpectRow(label->SchemeColors(csText), kWhiteValue, kGrayValue, 0, "csText");
  ExpectRow(label->SchemeColors(csWindows), kWhiteValue, 0, kGrayValue, "csWindows");
  ExpectRow(label->SchemeColors(csEmbossed), kWhiteValue, 0, kSilver, "csEmbossed");
  ExpectRow(label->SchemeColors(csGold), kYellow, 0, kOlive, "csGold");
  ExpectRow(label->SchemeColors(csSteel), kAqua, kNavy, kTeal, "csSteel");
  const TFxCustomSettings& s = label->CustomSettings();
  EXPECT_EQ(s.GraduateFromColor(), kGrayValue);
  EXPECT_EQ(s.GraduateStyle(), gsNone);
  EXPECT_EQ(s.HighlightColor(), kWhiteValue);
  EXPECT_EQ(s.HighlightDepth(), 1);
  EXPECT_EQ(s.HighlightDirection(), sdUpLeft);
  EXPECT_EQ(s.HighlightStyle(), ssPlain);
  EXPECT_EQ(s.ShadowColor(), 0);
  EXPECT_EQ(s.ShadowDepth(), 1);
  EXPECT_EQ(s.ShadowDirection(), sdDownRight);
  EXPECT_EQ(s.ShadowStyle(), ssPlain);
  EXPECT_FALSE(label->AutoSize());
  EXPECT_EQ(label->Width(), 150);
  EXPECT_EQ(label->Height(), 35);
  EXPECT_TRUE(label->Transparent());
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->Font().Name(), "Times New Roman");
  EXPECT_EQ(label->Font().Height(), -MulDiv(20, GetDeviceCaps(tsupport::Surface(1, 1).Dc(), LOGPIXELSY), 72));
  EXPECT_EQ(label->Font().Color(), kGrayValue);
  EXPECT_FALSE(label->SchemeChanging());
  EXPECT_FALSE(label->AppearanceChanging());
  EXPECT_EQ(label->Version(), "1.07");
}

struct PresetTest : LabelTest {
  // Directions and depths: highlight then shadow.
  void ExpectShape(TFxShadeDirection hd, TFxShadeDirection sd, int hDepth, int sDepth, const char* what) {
    EXPECT_EQ(S().HighlightDirection(), hd) << what;
    EXPECT_EQ(S().ShadowDirection(), sd) << what;
    EXPECT_EQ(S().HighlightDepth(), hDepth) << what;
    EXPECT_EQ(S().ShadowDepth(), sDepth) << what;
  }
};

TEST_F(PresetTest, EachAppearanceWritesItsDirectionsAndDepthsAndLeavesStylesAndShadowColourAlone) {
  label->SetColorScheme(csSteel);  // aqua highlight, navy shadow
  S().SetShadowColor(RGB(1, 2, 3));
  S().SetHighlightColor(RGB(4, 5, 6));
  S().SetShadowStyle(ssExtrude);
  S().SetHighlightStyle(ssGraduated);
  // The hand-made colours turned the scheme custom; its row holds the steel colours still.
  ASSERT_EQ(label->ColorScheme(), csCustom);

  label->SetAppearance(apNone);
  ExpectShape(sdNone, sdNone, 0, 0, "apNone");
  EXPECT_EQ(S().HighlightColor(), kAqua) << "the current scheme's highlight";
  label->SetAppearance(apRaised);
  ExpectShape(sdUpLeft, sdDownRight, 1, 1, "apRaised");
  label->SetAppearance(apSunken);
  ExpectShape(sdDownRight, sdUpLeft, 1, 1, "apSunken");
  label->SetAppearance(apShadow);
  ExpectShape(sdNone, sdDownRight, 0, 2, "apShadow");
  label->SetAppearance(apFlying);
  ExpectShape(sdDownRight, sdDownRight, 1, 5, "apFlying");
  EXPECT_EQ(S().HighlightColor(), kNavy) << "flying: the scheme's shadow colour";
  S().SetHighlightDepth(3);  // by hand: custom
  ASSERT_EQ(label->Appearance(), apCustom);
  S().SetHighlightDirection(sdLeft);
  S().SetShadowDepth(7);
  label->SetAppearance(apRaised);
  label->SetAppearance(apCustom);
  ExpectShape(sdUpLeft, sdDownRight, 1, 1, "apCustom keeps what is there");
  EXPECT_EQ(S().HighlightColor(), kAqua);
  EXPECT_EQ(S().ShadowColor(), RGB(1, 2, 3));
  EXPECT_EQ(S().ShadowStyle(), ssExtrude);
  EXPECT_EQ(S().HighlightStyle(), ssGraduated);
}

TEST_F(PresetTest, ASchemeWritesItsColoursAndBecomesTheCustomRow) {
  label->SetColorScheme(csGold);
  EXPECT_EQ(S().HighlightColor(), kYellow);
  EXPECT_EQ(S().ShadowColor(), 0);
  EXPECT_EQ(label->Font().Color(), kOlive);
  ExpectRow(label->SchemeColors(csCustom), kYellow, 0, kOlive, "the custom row after gold");
  label->SetColorScheme(csCustom);
  EXPECT_EQ(S().HighlightColor(), kYellow) << "csCustom after csGold keeps gold";
  EXPECT_EQ(label->Font().Color(), kOlive);
  EXPECT_EQ(label->ColorScheme(), csCustom);
  label->SetColorScheme(csEmbossed);
  EXPECT_EQ(label->Font().Color(), kSilver);
  ExpectRow(label->SchemeColors(csGold), kYellow, 0, kOlive, "a named row stays");
}

TEST_F(PresetTest, ASettingChangedByHandTurnsOnlyItsOwnPresetCustom) {
  S().SetShadowDepth(4);
  EXPECT_EQ(label->Appearance(), apCustom);
  EXPECT_EQ(label->ColorScheme(), csWindows);

  auto* other = new TFxLabel(form);
  other->CustomSettings().SetShadowColor(RGB(9, 9, 9));
  EXPECT_EQ(other->ColorScheme(), csCustom);
  EXPECT_EQ(other->Appearance(), apRaised);
}

TEST_F(PresetTest, AtRunTimeEachPresetSetterTurnsTheOtherCustomAndWhatItWroteIsKept) {
  // The settings' end of update sends both notifications while only one setter runs.
  label->SetAppearance(apShadow);
  EXPECT_EQ(label->Appearance(), apShadow);
  EXPECT_EQ(label->ColorScheme(), csCustom);
  label->SetColorScheme(csSteel);
  EXPECT_EQ(label->ColorScheme(), csSteel);
  EXPECT_EQ(label->Appearance(), apCustom);
  ExpectShape(sdNone, sdDownRight, 0, 2, "the shadow preset's values stay");
  EXPECT_EQ(S().HighlightColor(), kAqua);
  EXPECT_EQ(S().ShadowColor(), kNavy);
}

TEST_F(PresetTest, EachChangeTellsTheLabelWhatARepaintAndAMeasureNeed) {
  tsupport::TMessageRecorder rec;
  rec.Watch(*label, "label");
  rec.Only({gui::CM_TEXTCHANGED, gui::CM_COLORCHANGED, gui::CM_FONTCHANGED});
  // An appearance: the settings' colour notification (no scheme change runs) makes the scheme
  // custom and says so, its style notification does nothing more, then the setter's own.
  label->SetAppearance(apSunken);
  EXPECT_TRUE(rec.Matches({{gui::CM_COLORCHANGED, sent}, {gui::CM_TEXTCHANGED, sent}}));
  EXPECT_EQ(label->ColorScheme(), csCustom);
  rec.Clear();
  // A scheme: the font's colour, the style notification's text change, then the setter's.
  label->SetColorScheme(csGold);
  EXPECT_TRUE(rec.Matches({{gui::CM_FONTCHANGED, sent}, {gui::CM_TEXTCHANGED, sent}, {gui::CM_TEXTCHANGED, sent}}));
  EXPECT_EQ(label->Appearance(), apCustom);
  rec.Clear();
  S().SetHighlightColor(RGB(1, 1, 1));
  S().SetShadowDepth(2);
  EXPECT_TRUE(rec.Matches({{gui::CM_COLORCHANGED, sent}, {gui::CM_TEXTCHANGED, sent}}));
  rec.Clear();
  label->SetAppearance(apCustom);
  label->SetColorScheme(csCustom);
  label->CustomSettings().SetShadowDepth(2);
  EXPECT_TRUE(rec.Matches({})) << "nothing changed";
}

TEST_F(PresetTest, TheSettersRepaintTheLabelInItsParentsWindow) {
  form->SetClientSize(300, 100);
  label->SetBounds(10, 10, W, H);
  Show();  // a hidden window keeps no update region
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  ValidateRect(form->Handle(), nullptr);
  auto invalid = [&] {
    RECT r{};
    bool any = GetUpdateRect(form->Handle(), &r, FALSE);
    ValidateRect(form->Handle(), nullptr);
    return any && r.left <= 10 && r.top <= 10 && r.right >= 10 + W && r.bottom >= 10 + H;
  };
  S().SetShadowColor(RGB(1, 1, 1));
  EXPECT_TRUE(invalid()) << "a colour";
  S().SetShadowStyle(ssExtrude);
  EXPECT_TRUE(invalid()) << "a style";
  label->SetAppearance(apFlying);
  EXPECT_TRUE(invalid()) << "an appearance";
}

namespace {

std::string Written(gui::TForm* form, const std::string& name) {
  std::string text = tsupport::FormText(form);
  size_t at = text.find("object " + name);
  return text.substr(at, text.find("\n  end", at) - at);
}

}  // namespace

TEST(FxLabelResource, WhileLoadingPresetsAndSchemesStayAsReadAndTheReadSettingsAreDrawn) {
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  tsupport::LoadFormText(form,
       "object F: TForm\n"
       "  object Fx: TFxLabel\n"
       "    Left = 8\n"
       "    Top = 8\n"
       "    Width = 497\n"
       "    Height = 33\n"
       "    Caption = 'Select'\n"
       "    Font.Charset = ANSI_CHARSET\n"
       "    Font.Color = clRed\n"
       "    Font.Height = -27\n"
       "    Font.Name = 'Arial'\n"
       "    Font.Style = [fsBold]\n"
       "    Appearance = apFlying\n"
       "    ColorScheme = csGold\n"
       "    CustomSettings.HighlightDirection = sdUp\n"
       "    CustomSettings.ShadowDepth = 7\n"
       "    CustomSettings.ShadowColor = clBlue\n"
       "  end\n"
       "end\n");
  auto* fx = static_cast<TFxLabel*>(form->FindComponent("Fx"));
  ASSERT_TRUE(fx);
  EXPECT_EQ(fx->Appearance(), apFlying) << "the settings read later did not make it custom";
  EXPECT_EQ(fx->ColorScheme(), csGold);
  EXPECT_EQ(fx->CustomSettings().HighlightDirection(), sdUp);
  EXPECT_EQ(fx->CustomSettings().ShadowDepth(), 7);
  EXPECT_EQ(fx->CustomSettings().ShadowColor(), gui::clBlue);
  EXPECT_EQ(fx->CustomSettings().HighlightColor(), kYellow) << "from the scheme";
  EXPECT_EQ(fx->CustomSettings().ShadowDirection(), sdDownRight) << "from the preset";
  EXPECT_EQ(fx->Font().Color(), gui::clRed) << "the font read before the scheme is the one drawn";
  EXPECT_EQ(fx->Width(), 497);

  // Written back: the same values, and nothing the label's construction sets by itself.
  std::string own = Written(form, "Fx");
  for (const char* stored : {"Appearance = apFlying", "ColorScheme = csGold", "CustomSettings.ShadowDepth = 7",
                             "CustomSettings.HighlightDirection = sdUp", "Font.Color = clRed"})
    EXPECT_NE(own.find(stored), std::string::npos) << stored << " in\n" << own;
  for (const char* unstored : {"Version", "AutoSize", "Transparent", "WordWrap", "ParentFont", "ShadowDirection"})
    EXPECT_EQ(own.find(unstored), std::string::npos) << unstored << " in\n" << own;
}

TEST(FxLabelResource, ANewLabelStoresNoneOfItsOwnDefaultsAndAReadVersionIsIgnored) {
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  tsupport::LoadFormText(form,
       "object F: TForm\n"
       "  object Fx: TFxLabel\n"
       "    Width = 150\n"
       "    Height = 35\n"
       "    Version = '9.99'\n"
       "  end\n"
       "end\n");
  auto* fx = static_cast<TFxLabel*>(form->FindComponent("Fx"));
  ASSERT_TRUE(fx);
  EXPECT_EQ(fx->Version(), "1.07");
  std::string own = Written(form, "Fx");
  for (const char* unstored : {"Version", "Appearance", "ColorScheme", "CustomSettings", "AutoSize", "Transparent",
                               "WordWrap", "ParentFont"})
    EXPECT_EQ(own.find(unstored), std::string::npos) << unstored << " in\n" << own;
}
