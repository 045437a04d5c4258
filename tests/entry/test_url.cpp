// The link label on a real form: its underlined blue text by pixels, the URL shown when the caption
// is empty, the hover colour with its one timer and the return within about 100 ms as the mouse
// really moves, the visited colour after a real click, clNone, and the shell call observed
// through its seam (the 1023-character cut, an empty address, a failure's beep).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTest.h"
#include "FormStreams.h"
#include "MemorySurface.h"
#include "entry/EcURL.h"

using namespace ec;
using namespace entrytest;
using tsupport::FormText;
using tsupport::LoadFormText;

namespace {

struct ShellCall {
  HWND owner;
  std::string verb, file, params, dir;
  int show;
};

struct UrlTest : ShownForm {
  TEcURL* link = nullptr;
  std::vector<ShellCall> calls;
  INT_PTR shellResult = 42;  // above 32: success
  int clicks = 0;
  struct Clicks : rtl::TObject {
    int* n;
    void Click(rtl::TObject*) { ++*n; }
  } clickEvents;

  void SetUp() override {
    link = new TEcURL(form);
    link->SetParent(form);
    link->SetBounds(105, 122, 148, 16);
    link->Font().SetName("Arial");
    link->Font().SetHeight(-13);
    link->SetCaption("Brindlex UK Website");
    link->SetShellExecuteCall([this](HWND owner, const char* verb, const char* file, const char* params,
                                     const char* dir, int show) {
      calls.push_back(ShellCall{owner, verb, file, params, dir, show});
      return reinterpret_cast<HINSTANCE>(shellResult);
    });
    clickEvents.n = &clicks;
    link->OnClick.Bind(&clickEvents, &Clicks::Click);
  }
  POINT Inside() const { return link->ClientToScreen(POINT{link->Width() / 2, link->Height() / 2}); }
  POINT Away() const { return form->ClientToScreen(POINT{20, 20}); }
  int Timers() const {
    int n = 0;
    for (int i = 0; i < link->ComponentCount(); ++i) n += rtl::As<gui::TTimer>(link->Components(i)) != nullptr;
    return n;
  }
  // Pixels of the label's text colour on the form's window.
  int InkOf(COLORREF colour) {
    gui::TClientDC dc(form->Handle());
    int n = 0;
    for (int y = link->Top(); y < link->Top() + link->Height(); ++y)
      for (int x = link->Left(); x < link->Left() + link->Width(); ++x) n += GetPixel(dc, x, y) == colour;
    return n;
  }
};

}  // namespace

TEST_F(UrlTest, ShowsUnderlinedBlueTextUnderAHandOrTheURLWithoutACaption) {
  EXPECT_EQ(link->Cursor(), gui::crHandPoint);
  EXPECT_EQ(link->Font().Color(), gui::clBlue);
  EXPECT_TRUE(link->Font().Style() & gui::FontStyle(gui::fsUnderline));
  EXPECT_EQ(link->HighlightColor(), gui::clRed);
  EXPECT_EQ(link->VisitedColor(), gui::clBlack);
  EXPECT_FALSE(link->UseVisitedColor);
  EXPECT_EQ(link->About(), "v3.05");
  Show();
  // The label on the form as DrawText puts its text: at its top left, in blue, underlined.
  tsupport::Surface form_(form->ClientWidth(), form->ClientHeight());
  tsupport::PaintWindowInto(form->Handle(), form_);
  const int w = link->Width(), h = link->Height();
  tsupport::Surface want(w, h, GetSysColor(COLOR_BTNFACE));
  {
    gui::TSelectObject font(want.Dc(), link->Font().Handle());
    SetBkMode(want.Dc(), TRANSPARENT);
    SetTextColor(want.Dc(), RGB(0, 0, 255));
    TextOutA(want.Dc(), 0, 0, "Brindlex UK Website", 19);
  }
  int differ = 0, blue = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      differ += form_.At(link->Left() + x, link->Top() + y) != want.At(x, y);
      blue += want.At(x, y) == RGB(0, 0, 255);
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(blue, w / 2) << "the underline alone is a row of blue as wide as the text";

  link->SetURL("http://www.brindlex.co.uk/");
  EXPECT_EQ(link->Text(), "Brindlex UK Website") << "a caption hides the address";
  link->SetCaption("");
  EXPECT_EQ(link->Text(), "http://www.brindlex.co.uk/");
  link->SetURL("http://other.example/");
  EXPECT_EQ(link->Text(), "http://other.example/");
  link->SetCaption("Back");
  EXPECT_EQ(link->Text(), "Back");
}

TEST_F(UrlTest, HoveringHighlightsWithOneTimerAndLeavingRestoresWithinAboutATick) {
  Show();
  MoveMouse(Away());
  const int blueInk = InkOf(RGB(0, 0, 255));
  ASSERT_GT(blueInk, 0);
  EXPECT_EQ(InkOf(RGB(255, 0, 0)), 0);
  EXPECT_EQ(link->HoverTimer(), nullptr);

  MoveMouse(Inside());
  EXPECT_EQ(link->Font().Color(), gui::clRed);
  ASSERT_NE(link->HoverTimer(), nullptr);
  EXPECT_EQ(link->HoverTimer()->Interval(), 100);
  EXPECT_EQ(link->SavedColor(), std::optional<gui::TColor>(gui::clBlue));
  gui::TTimer* timer = link->HoverTimer();
  POINT p = Inside();
  MoveMouse(POINT{p.x + 5, p.y});
  MoveMouse(POINT{p.x - 5, p.y + 1});
  PumpFor(150);
  EXPECT_EQ(link->HoverTimer(), timer) << "moving inside makes no second timer";
  EXPECT_EQ(Timers(), 1);
  EXPECT_EQ(InkOf(RGB(255, 0, 0)), blueInk) << "the same text, in red";

  MoveMouse(Away());
  DWORD left = GetTickCount();
  ASSERT_TRUE(PumpUntil([&] { return link->HoverTimer() == nullptr; }, 1000));
  EXPECT_LT(GetTickCount() - left, 250u) << "seen by the next 100 ms check";
  EXPECT_EQ(Timers(), 0);
  EXPECT_EQ(link->Font().Color(), gui::clBlue);
  PumpFor(50);
  EXPECT_EQ(InkOf(RGB(0, 0, 255)), blueInk);
  EXPECT_EQ(InkOf(RGB(255, 0, 0)), 0);

  // Colours set while highlighted leave the colour to go back to; no colour is that resting one.
  // The colour to go back to was taken at the first hover, whatever the font has had since.
  link->Font().SetColor(gui::clGreen);
  MoveMouse(Inside());
  link->SetHighlightColor(gui::clLime);
  link->SetVisitedColor(gui::clNone);
  EXPECT_EQ(link->VisitedColor(), gui::clBlue);
  MoveMouse(Away());
  ASSERT_TRUE(PumpUntil([&] { return link->HoverTimer() == nullptr; }, 1000));
  EXPECT_EQ(link->Font().Color(), gui::clBlue);
}

TEST_F(UrlTest, AClickOpensTheAddressAndTheVisitedColourShowsOnceTheMouseLeft) {
  link->SetURL("http://www.brindlex.co.uk/");
  link->UseVisitedColor = true;
  link->SetVisitedColor(gui::clBlack);
  TBeepCounter beeps;
  Show();
  ClickAt(Inside());
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].owner, nullptr);
  EXPECT_EQ(calls[0].verb, "open");
  EXPECT_EQ(calls[0].file, "http://www.brindlex.co.uk/");
  EXPECT_EQ(calls[0].params, "");
  EXPECT_EQ(calls[0].dir, "");
  EXPECT_EQ(calls[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(beeps.Count(), 0);
  EXPECT_EQ(link->Font().Color(), gui::clRed) << "still highlighted while the mouse is over it";
  MoveMouse(Away());
  ASSERT_TRUE(PumpUntil([&] { return link->HoverTimer() == nullptr; }, 1000));
  EXPECT_EQ(link->Font().Color(), gui::clBlack);
  PumpFor(50);
  EXPECT_GT(InkOf(RGB(0, 0, 0)), 0);
  EXPECT_EQ(InkOf(RGB(0, 0, 255)), 0);

  // Pressed on the label, released off it: no click.
  MoveMouse(Inside());
  INPUT down{}, up{};
  down.type = up.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &down, sizeof down);
  PumpFor(30);
  MoveMouse(Away());
  SendInput(1, &up, sizeof up);
  PumpFor(30);
  EXPECT_EQ(clicks, 1);
}

TEST_F(UrlTest, NoColourStandsForTheCurrentFontColour) {
  link->Font().SetColor(gui::clGreen);
  link->SetHighlightColor(gui::clNone);
  EXPECT_EQ(link->HighlightColor(), gui::clGreen);
  link->SetVisitedColor(gui::clNone);
  EXPECT_EQ(link->VisitedColor(), gui::clGreen);
  Show();
  MoveMouse(Inside());
  ASSERT_NE(link->HoverTimer(), nullptr);
  EXPECT_EQ(link->Font().Color(), gui::clGreen) << "highlighted in the colour it had";
}

TEST_F(UrlTest, TheShellGetsAtMost1023CharactersAndAFailureBeeps) {
  TBeepCounter beeps;
  std::string url = "http://example.invalid/";
  while (url.size() < 1500) url += static_cast<char>('a' + url.size() % 26);
  link->SetURL(url);
  shellResult = 32;  // 32 and below: failure
  link->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  link->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].file.size(), kMaxURLLength);
  EXPECT_EQ(calls[0].file, url.substr(0, 1023));
  EXPECT_EQ(beeps.Count(), 1);
  EXPECT_EQ(beeps.LastType(), 0u);
  EXPECT_EQ(clicks, 1) << "OnClick fires all the same";

  shellResult = 33;
  link->SetURL(std::string(1023, 'x'));
  link->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  link->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].file, std::string(1023, 'x')) << "exactly 1023: whole";
  EXPECT_EQ(beeps.Count(), 1) << "33 is success";

  link->SetURL("");
  link->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  link->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(calls.size(), 2u) << "no address, no shell call";
  EXPECT_EQ(beeps.Count(), 1) << "and no beep";
  EXPECT_EQ(clicks, 3);
}

TEST_F(UrlTest, TheFormResourceHoldsItsColoursAndAddressNotTheHandCursor) {
  link->SetName("EcURL1");
  link->SetURL("http://www.brindlex.co.uk/");
  std::string text = FormText(link);
  for (const char* line : {"Caption = 'Brindlex UK Website'", "HighlightColor = clRed", "URL = 'http://www.brindlex.co.uk/'",
                           "UseVisitedColor = False", "VisitedColor = clBlack"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_EQ(text.find("Cursor"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;

  auto* back = new TEcURL(form);
  LoadFormText(back, "object Back: TEcURL\n  Caption = ''\n  URL = 'http://x.example/'\n  HighlightColor = clLime\nend\n");
  EXPECT_EQ(back->Text(), "http://x.example/");
  EXPECT_EQ(back->HighlightColor(), gui::clLime);
  EXPECT_EQ(back->Cursor(), gui::crHandPoint);
}
