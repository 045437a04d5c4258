// The label's appearance settings: which notification each value sends, nothing for a value
// that stays, the update lock and its unconditional end, and a silent copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "label3d/FxSettings.h"
#include "rtl/Exceptions.h"

using namespace fx;

namespace {

struct Listener : rtl::TObject {
  std::vector<std::string> heard;
  const rtl::TObject* sender = nullptr;
  void Colour(rtl::TObject* s) {
    heard.push_back("colour");
    sender = s;
  }
  void Style(rtl::TObject* s) {
    heard.push_back("style");
    sender = s;
  }
};

struct SettingsTest : ::testing::Test {
  TFxCustomSettings s;
  Listener l;
  SettingsTest() {
    s.OnColorChange.Bind(&l, &Listener::Colour);
    s.OnStyleChange.Bind(&l, &Listener::Style);
  }
  using Heard = std::vector<std::string>;
};

}  // namespace

TEST_F(SettingsTest, ColoursSendTheColourNotificationEverythingElseTheStyleOne) {
  s.SetGraduateFromColor(1);
  s.SetHighlightColor(2);
  s.SetShadowColor(3);
  EXPECT_EQ(l.heard, Heard({"colour", "colour", "colour"}));
  EXPECT_EQ(l.sender, &s);
  l.heard.clear();
  s.SetGraduateStyle(gsVertical);
  s.SetHighlightDepth(4);
  s.SetHighlightDirection(sdLeft);
  s.SetHighlightStyle(ssExtrude);
  s.SetShadowDepth(5);
  s.SetShadowDirection(sdUp);
  s.SetShadowStyle(ssGraduated);
  EXPECT_EQ(l.heard, Heard(7, "style"));
  EXPECT_EQ(s.ShadowDepth(), 5);
  EXPECT_EQ(s.ShadowStyle(), ssGraduated);
}

TEST_F(SettingsTest, AValueSetToWhatItIsSendsNothing) {
  s.SetShadowDepth(s.ShadowDepth());
  s.SetShadowColor(s.ShadowColor());
  s.SetHighlightDirection(s.HighlightDirection());
  EXPECT_TRUE(l.heard.empty());
}

TEST_F(SettingsTest, TheUpdateLockHoldsEverythingBackAndItsEndSendsBothOnce) {
  s.BeginUpdate();
  EXPECT_TRUE(s.UpdateLock());
  s.SetShadowDepth(9);
  s.SetShadowColor(7);
  s.SetHighlightColor(8);
  EXPECT_TRUE(l.heard.empty());
  s.EndUpdate();
  EXPECT_FALSE(s.UpdateLock());
  EXPECT_EQ(l.heard, Heard({"colour", "style"}));
  l.heard.clear();
  s.BeginUpdate();
  s.EndUpdate();
  EXPECT_EQ(l.heard, Heard({"colour", "style"})) << "even when nothing changed";
}

TEST_F(SettingsTest, AssignCopiesTheTenValuesSilentlyAndRefusesOtherClasses) {
  TFxCustomSettings other;
  other.SetGraduateFromColor(11);
  other.SetGraduateStyle(gsHorizontal);
  other.SetHighlightColor(12);
  other.SetHighlightDepth(13);
  other.SetHighlightDirection(sdDown);
  other.SetHighlightStyle(ssGraduated);
  other.SetShadowColor(14);
  other.SetShadowDepth(15);
  other.SetShadowDirection(sdRight);
  other.SetShadowStyle(ssExtrude);
  s.Assign(&other);
  EXPECT_TRUE(l.heard.empty());
  EXPECT_EQ(s.GraduateFromColor(), 11);
  EXPECT_EQ(s.GraduateStyle(), gsHorizontal);
  EXPECT_EQ(s.HighlightColor(), 12);
  EXPECT_EQ(s.HighlightDepth(), 13);
  EXPECT_EQ(s.HighlightDirection(), sdDown);
  EXPECT_EQ(s.HighlightStyle(), ssGraduated);
  EXPECT_EQ(s.ShadowColor(), 14);
  EXPECT_EQ(s.ShadowDepth(), 15);
  EXPECT_EQ(s.ShadowDirection(), sdRight);
  EXPECT_EQ(s.ShadowStyle(), ssExtrude);

  rtl::TPersistent unrelated;
  try {
    s.Assign(&unrelated);
    FAIL();
  } catch (const rtl::EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TPersistent to a TFxCustomSettings");
  }
}
