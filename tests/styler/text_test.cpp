// The caption's text segments: the window text composed from them, the caption segment derived
// back, their fonts and what a form resource stores of them.
#include <gtest/gtest.h>

#include <string>

#include "FormStreams.h"
#include "StylerTest.h"
#include "TestWindows.h"

using namespace styler;
using namespace stytest;

namespace {

struct Texts : ::testing::Test, tsupport::TTestForm {
  TGxFormStyler* styler = new TGxFormStyler(form);
  TGxCompanyText& company = *styler->CompanyText();
  TGxAppNameText& appName = *styler->AppNameText();
  TGxCaptionText& caption = *styler->CaptionText();

  void Set(const char* a, const char* b, const char* c) {
    company.SetCaption(a);
    appName.SetCaption(b);
    caption.SetCaption(c);
  }
  std::string FormText() { return tsupport::FormText(form); }
};

// The platform's caption font as the rules read it.
LOGFONTA PlatformCaptionFont() {
  NONCLIENTMETRICSA m{};
  m.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &m, 0);
  return m.lfCaptionFont;
}

// Cell height less internal leading.
int CharacterHeight(HFONT font) {
  gui::TScreenDC dc;
  gui::TSelectObject selected(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm.tmHeight - tm.tmInternalLeading;
}

}  // namespace

TEST_F(Texts, TheWindowTextIsTheVisibleSegmentsOneSpaceBetweenNonEmptyOnes) {
  Set("A", "B", "C");
  EXPECT_EQ(form->Caption(), "A B C");
  company.SetVisible(false);
  EXPECT_EQ(form->Caption(), "B C");
  company.SetVisible(true);
  company.SetCaption("");
  EXPECT_EQ(form->Caption(), "B C") << "no leading space";
  Set("A", "", "C");
  EXPECT_EQ(form->Caption(), "A C") << "one space, after the company";
  Set("A", "B", "C");
  caption.SetVisible(false);
  EXPECT_EQ(form->Caption(), "A B") << "no trailing space";
  caption.SetVisible(true);
  Set("Brindlex UK", "Tessaline - ", "v1.01");
  EXPECT_EQ(form->Caption(), "Brindlex UK Tessaline -  v1.01");
}

TEST_F(Texts, TheCaptionSegmentIsWhatFollowsTheCompanyAndTheApplicationName) {
  Set("A", "B", "C");
  form->SetText("X A B C");
  EXPECT_EQ(caption.GetCaption(), "C") << "what comes before the company goes too";
  form->SetText("C");
  EXPECT_EQ(caption.GetCaption(), "C") << "neither found";
  form->SetText(" C");
  EXPECT_EQ(caption.GetCaption(), "C") << "one leading space goes even so";
  form->SetText("A  B  C");
  EXPECT_EQ(caption.GetCaption(), " C") << "one space after each";
  company.SetVisible(false);
  form->SetText("A B C");
  EXPECT_EQ(caption.GetCaption(), "C") << "a hidden company is not looked for, the application name is";
  EXPECT_EQ(caption.Caption(), "C") << "what a form resource stores";
}

TEST_F(Texts, OnAHiddenFormTheCaptionSegmentIsWhatTheWindowTextHoldsNow) {
  Set("A", "B", "C");
  form->SetText("Dialling");  // other code; a hidden form paints nothing that would take it in
  EXPECT_EQ(caption.Caption(), "Dialling");
  caption.SetCaption("C");
  EXPECT_EQ(form->Caption(), "A B C") << "the old caption set again is composed again";
  form->SetText("Dialling");
  appName.SetCaption("Y");  // "Dialling" follows neither segment: it is the caption segment whole
  EXPECT_EQ(form->Caption(), "A Y Dialling");
  caption.SetVisible(false);
  EXPECT_EQ(caption.Caption(), "Dialling") << "hidden, the segment keeps its text";
  caption.SetVisible(true);
  EXPECT_EQ(form->Caption(), "A Y Dialling");
}

TEST_F(Texts, FontsFollowTheCaptionFontByTheirKind) {
  LOGFONTA lf = PlatformCaptionFont();
  gui::TFontStyles base = (lf.lfWeight > FW_MEDIUM ? gui::FontStyle(gui::fsBold) : 0) |
                          (lf.lfItalic ? gui::FontStyle(gui::fsItalic) : 0);
  EXPECT_EQ(styler->CaptionFont().Name(), lf.lfFaceName);
  EXPECT_EQ(styler->CaptionFont().Height(), lf.lfHeight);
  EXPECT_EQ(styler->CaptionFont().Style(), base);
  EXPECT_EQ(company.FontKind(), fkSystem);
  EXPECT_EQ(company.Font().Name(), lf.lfFaceName) << "a copy of the caption font from the start";
  struct {
    TGxFontKind kind;
    gui::TFontStyles added;
  } kinds[] = {{fkSystem, 0},
               {fkSystemI, gui::FontStyle(gui::fsItalic)},
               {fkSystemB, gui::FontStyle(gui::fsBold)},
               {fkSystemBI, gui::FontStyle(gui::fsBold) | gui::FontStyle(gui::fsItalic)}};
  for (auto& k : kinds) {
    company.Font().SetName("Courier New");
    company.ApplyFontKind(k.kind);
    EXPECT_EQ(company.FontKind(), k.kind);
    EXPECT_EQ(company.Font().Name(), lf.lfFaceName);
    EXPECT_EQ(company.Font().Height(), lf.lfHeight);
    EXPECT_EQ(company.Font().Style(), base | k.added);
  }
  company.Font().SetName("Courier New");
  company.ApplyFontKind(fkCustom);
  EXPECT_EQ(company.Font().Name(), "Courier New") << "a font of its own stays";
}

TEST_F(Texts, SettingAFontMakesItTheSegmentsOwnAndStoredInTheFormResource) {
  appName.ApplyFontKind(fkSystemB);
  EXPECT_EQ(FormText().find("AppNameText.Font."), std::string::npos) << FormText();
  gui::TFont arial;
  arial.SetName("Arial");
  arial.SetHeight(-15);
  appName.SetFont(arial);
  EXPECT_EQ(appName.FontKind(), fkCustom);
  EXPECT_EQ(appName.Font().Name(), "Arial");
  std::string text = FormText();
  EXPECT_NE(text.find("AppNameText.Font.Name = 'Arial'"), std::string::npos) << text;
  EXPECT_NE(text.find("AppNameText.Font.Height = -15"), std::string::npos) << text;
  EXPECT_NE(text.find("AppNameText.FontKind = fkCustom"), std::string::npos) << text;
}

TEST_F(Texts, AutoHeightKeepsTheFaceAndTakesTheCaptionFontsCharacterHeight) {
  gui::TFontHandle platform(CaptionFont(false, false));
  int wanted = CharacterHeight(platform);
  auto characterHeight = [](const char* face, int height) {
    gui::TFont f;
    f.SetName(face);
    f.SetHeight(height);
    f.SetStyle(gui::FontStyle(gui::fsBold));
    return CharacterHeight(f.Handle());
  };
  // The rule: the height moves by the difference in character height (a negative height is a
  // character height, a positive one a cell height, 0 the default size), then once more if the
  // result is still too large.
  auto fitted = [&](const char* face, int height) {
    int e = characterHeight(face, height);
    auto move = [&](int by) { height = (height == 0 ? -e : height) + (height > 0 ? by : -by); };
    move(wanted - e);
    e = characterHeight(face, height);
    if (e > wanted) move(wanted - e);
    return height;
  };
  for (int height : {-40, 40, 0}) {
    gui::TFont arial;
    arial.SetName("Arial");
    arial.SetHeight(height);
    arial.SetStyle(gui::FontStyle(gui::fsBold));
    company.ApplyFontKind(fkCustom);
    company.SetFont(arial);
    company.ApplyFontKind(fkAutoHeight);
    EXPECT_EQ(company.Font().Name(), "Arial");
    EXPECT_EQ(company.Font().Style(), gui::FontStyle(gui::fsBold));
    EXPECT_EQ(company.Font().Height(), fitted("Arial", height)) << "from height " << height;
    EXPECT_LE(CharacterHeight(company.Font().Handle()), wanted);
    EXPECT_GE(CharacterHeight(company.Font().Handle()), wanted - 1) << "a pixel of rounding at most";
    // A font set on an automatic-height segment is fitted too, and stored.
    arial.SetName("Times New Roman");
    company.SetFont(arial);
    EXPECT_EQ(company.FontKind(), fkAutoHeight);
    EXPECT_EQ(company.Font().Name(), "Times New Roman");
    EXPECT_EQ(company.Font().Height(), fitted("Times New Roman", height));
    EXPECT_NE(FormText().find("CompanyText.Font.Name = 'Times New Roman'"), std::string::npos);
  }
}

TEST(CaptionFontRules, BoldAboveMediumItalicWhenSetTheHeightAsItIs) {
  gui::TFont font;
  font.SetStyle(gui::FontStyle(gui::fsUnderline));
  LOGFONTA lf{};
  lstrcpyA(lf.lfFaceName, "Tahoma");
  lf.lfHeight = -13;
  lf.lfWeight = FW_MEDIUM;
  TGxFormStyler::AssignCaptionLogFont(font, lf);
  EXPECT_EQ(font.Name(), "Tahoma");
  EXPECT_EQ(font.Height(), -13);
  EXPECT_EQ(font.Style(), 0u) << "500 is not bold; no style of before stays";
  lf.lfWeight = FW_MEDIUM + 1;
  lf.lfItalic = 1;
  lf.lfHeight = 16;  // a cell height
  TGxFormStyler::AssignCaptionLogFont(font, lf);
  EXPECT_EQ(font.Style(), gui::FontStyle(gui::fsBold) | gui::FontStyle(gui::fsItalic));
  EXPECT_EQ(font.Height(), 16);
  EXPECT_EQ(font.Pitch(), gui::fpDefault);
}

TEST(StylerResource, TheMainWindowsSegmentsReadAndWrittenBack) {
  const char* text = R"(object Form1: TForm
  Caption = 'Brindlex UK Tessaline -  v1.01'
  object GxFormStyler1: TGxFormStyler
    AppNameText.Caption = 'Tessaline - '
    AppNameText.FontKind = fkSystemB
    AppNameText.Visible = True
    CaptionText.Caption = 'v1.01'
    CaptionText.FontKind = fkSystem
    CaptionText.Visible = True
    CompanyText.Caption = 'Brindlex UK'
    CompanyText.FontKind = fkSystemBI
    CompanyText.Visible = True
  end
end
)";
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  tsupport::LoadFormText(form, text);
  auto* s = static_cast<TGxFormStyler*>(form->FindComponent("GxFormStyler1"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(form->Caption(), "Brindlex UK Tessaline -  v1.01");
  EXPECT_EQ(s->CompanyText()->FontKind(), fkSystemBI);
  EXPECT_TRUE(s->CompanyText()->Font().Style() & gui::FontStyle(gui::fsItalic));
  EXPECT_EQ(s->NumColors(), 64);
  EXPECT_EQ(s->Options(), goSmart);
  EXPECT_EQ(s->ClrRightActive(), gui::clActiveCaption);
  EXPECT_TRUE(s->Hooked());
  EXPECT_EQ(s->HookedHandle(), form->WindowHandle());

  std::string written = tsupport::FormText(form);
  for (const char* line : {"AppNameText.Caption = 'Tessaline - '", "CaptionText.Caption = 'v1.01'",
                           "CompanyText.Caption = 'Brindlex UK'", "CompanyText.FontKind = fkSystemBI",
                           "CaptionText.FontKind = fkSystem", "CaptionText.Visible = True"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
  for (const char* absent : {"Text.Font.", "NumColors", "ClrLeft", "ClrRight", "Alignment", "Options", "ColorActive",
                             "ColorInactive"})
    EXPECT_EQ(written.find(absent), std::string::npos) << absent << "\n" << written;
}
