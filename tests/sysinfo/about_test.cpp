// The About box: what it hands the platform's dialog, observed through its call seam, and the
// shell version it reads when it is made.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "Controls.h"
#include "FormStreams.h"
#include "Forms.h"
#include "Guards.h"
#include "TestWindows.h"
#include "rtl/Streams.h"
#include "sysinfo/SuAbout.h"
#include "sysinfo/SuFiles.h"
#include "sysinfo/SuVInfo.h"

using namespace sysinfo;

namespace {

struct Call {
  int count = 0;
  HWND parent = reinterpret_cast<HWND>(-1);
  std::string text, additional;
  HICON icon = nullptr;
};

// Replaces the platform's dialog by a recorder that answers result.
void Watch(TSuShellAbout& about, Call& call, int result = 1) {
  about.SetShellAboutCall([&call, result](HWND parent, const char* text, const char* additional, HICON icon) {
    ++call.count;
    call.parent = parent;
    call.text = text;
    call.additional = additional;
    call.icon = icon;
    return result;
  });
}

std::string TestIconFile() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, "TESS_ICON", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL data = res ? LoadResource(self, res) : nullptr;
  const char* p = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  return p ? std::string(p, SizeofResource(self, res)) : std::string();
}

class TTestWindowless : public gui::TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
};

}  // namespace

TEST(ShellAbout, TextIsCaptionAloneUnlessThereIsATitleText) {
  TSuShellAbout about(nullptr);
  Call call;
  Watch(about, call);
  struct Case {
    const char *caption, *title, *passed;
  } cases[] = {{"", "", ""}, {"A", "", "A"}, {"A", "B", "A#B"}, {"", "B", "#B"}, {"Tessaline", "v1.01", "Tessaline#v1.01"}};
  for (const Case& c : cases) {
    about.SetCaption(c.caption);
    about.SetTitleText(c.title);
    about.Execute();
    EXPECT_EQ(call.text, c.passed) << "Caption '" << c.caption << "', TitleText '" << c.title << "'";
  }
  EXPECT_EQ(call.count, 5);
}

TEST(ShellAbout, PassesTheAdditionalTextTheIconAndReturnsThePlatformsResult) {
  TSuShellAbout about(nullptr);
  Call call;
  Watch(about, call, 1234);
  about.SetAdditionalText("Tessaline v1.01");
  EXPECT_EQ(about.Execute(), 1234);
  EXPECT_EQ(call.additional, "Tessaline v1.01");
  EXPECT_EQ(call.icon, nullptr) << "no image: the platform's own icon";

  std::string file = TestIconFile();
  rtl::TReadOnlyMemoryStream stream(file.data(), static_cast<long long>(file.size()));
  gui::TIcon icon;
  icon.LoadFromStream(stream);
  about.SetIcon(&icon);
  ASSERT_FALSE(about.Icon()->Empty());
  EXPECT_NE(about.Icon(), &icon) << "a copy in the component's own icon";
  about.Execute();
  EXPECT_EQ(call.icon, about.Icon()->Handle());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(call.icon, &info));
  gui::TBitmapHandle colourBits(info.hbmColor), maskBits(info.hbmMask);
  BITMAP colour{};
  GetObjectA(colourBits, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, 32);

  about.SetIcon(nullptr);
  about.Execute();
  EXPECT_EQ(call.icon, nullptr);
}

TEST(ShellAbout, TheParentIsTheOwnersWindowOrTheApplicationsOrNone) {
  tsupport::TTestForm host;
  gui::TForm* form = host.form;
  Call call;

  TSuShellAbout* onForm = new TSuShellAbout(form);
  Watch(*onForm, call);
  onForm->Execute();
  EXPECT_EQ(call.parent, form->Handle()) << "a windowed owner";

  TTestWindowless* windowless = new TTestWindowless(form);
  TSuShellAbout* onGraphic = new TSuShellAbout(windowless);
  Watch(*onGraphic, call);
  onGraphic->Execute();
  EXPECT_EQ(call.parent, nullptr) << "a control without a window";

  TSuShellAbout* onApp = new TSuShellAbout(&host.app);
  Watch(*onApp, call);
  onApp->Execute();
  EXPECT_EQ(call.parent, nullptr) << "the application, with no main form";
  gui::TForm* mainForm = nullptr;
  host.app.CreateForm(mainForm);
  HWND mainWindow = mainForm->Handle();
  onApp->Execute();
  EXPECT_EQ(call.parent, mainWindow) << "the application's main form stands for its window";

  rtl::TComponent plain(nullptr);
  TSuShellAbout* onPlain = new TSuShellAbout(&plain);
  Watch(*onPlain, call);
  onPlain->Execute();
  EXPECT_EQ(call.parent, nullptr) << "neither a windowed control nor the application";

  TSuShellAbout alone(nullptr);
  Watch(alone, call);
  alone.Execute();
  EXPECT_EQ(call.parent, nullptr) << "no owner";
}

TEST(ShellAbout, ReadsTheShellVersionWhenMadeAndLeavesNoReaderBehind) {
  rtl::TComponent owner(nullptr);
  TSuShellAbout* about = new TSuShellAbout(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1) << "the temporary reader is gone";
  TSuVersionInfo shell(nullptr);
  shell.SetFileName(SystemDirectory() + "\\shell32.dll");
  EXPECT_DOUBLE_EQ(about->ShellVersion(), shell.FileVersionNumber());
  EXPECT_GT(about->ShellVersion(), 0.0);
}

TEST(ShellAbout, LoadsItsPublishedPropertiesFromAFormResource) {
  std::string file = TestIconFile();
  TSuShellAbout about(nullptr);
  tsupport::LoadFormText(&about,
                         "object About: TSuShellAbout\n"
                         "  AdditionalText = 'Tessaline v1.01'\n"
                         "  Caption = 'Cap'\n"
                         "  Icon.Data = @'icon'\n"
                         "  TitleText = 'Title'\n"
                         "  Version = '9.99'\n"
                         "end\n",
                         [&file](const std::string& name, std::string& bytes) {
                           bytes = file;
                           return name == "icon";
                         });
  EXPECT_EQ(about.AdditionalText(), "Tessaline v1.01");
  EXPECT_EQ(about.Caption(), "Cap");
  EXPECT_EQ(about.TitleText(), "Title");
  EXPECT_EQ(about.Icon()->Data().size(), file.size());
  EXPECT_FALSE(about.Icon()->Empty());
  EXPECT_EQ(about.Version(), "2.04");
}
