// The label: its text where DrawText's rules put it, the accelerator letter underlined and
// focusing another control through a real Alt+key, its background, its size, the disabled look,
// and its properties read from a form resource.
#include <gtest/gtest.h>

#include "FormStreams.h"
#include "Forms.h"
#include "GdiCounter.h"
#include "Label.h"
#include "StdCtrls.h"
#include "TestWindows.h"
#include "TextInk.h"

using namespace gui;
using tsupport::Surface;

namespace {

constexpr COLORREF kSurface = RGB(1, 2, 3);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

struct LabelTest : ::testing::Test, tsupport::TTestForm {
  TLabel* label = new TLabel(form);
  LabelTest() {
    label->SetParent(form);
    label->Font().SetName("Arial");
    label->Font().SetHeight(-16);
    label->Font().SetColor(clBlack);
    label->SetColor(clWhite);
  }
  HFONT Font() { return label->Font().Handle(); }
  textink::Metrics Measure(const std::string& text) { return textink::Measure(Font(), text); }
  // A fixed box, so the text is laid out inside it.
  void Box(int w, int h) {
    label->SetAutoSize(false);
    label->SetBounds(0, 0, w, h);
  }
  // The label paints itself into a surface as its parent would (origin at its top left).
  void PaintInto(Surface& s) { label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0); }
  // TextOut's picture of text at (x, y) on a background.
  static void Expect(Surface& s, HFONT font, int x, int y, const std::string& text, COLORREF c = kBlack) {
    textink::Draw(s, font, x, y, text, c);
  }
};

}  // namespace

TEST_F(LabelTest, AlignmentAndLayoutPutTheTextWhereDrawTextsRulesDo) {
  const int w = 121, h = 50;
  Box(w, h);
  label->SetCaption("Dial");
  auto m = Measure("Dial");
  for (TAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
    for (TTextLayout l : {tlTop, tlCenter, tlBottom}) {
      label->SetAlignment(a);
      label->SetLayout(l);
      Surface got(w, h, kSurface);
      PaintInto(got);
      int x = a == taLeftJustify ? 0 : a == taRightJustify ? w - m.width : (w - m.width) / 2;
      int y = l == tlTop ? 0 : l == tlBottom ? h - m.lineHeight : (h - m.lineHeight) / 2;
      Surface want(w, h, kWhite);
      Expect(want, Font(), x, y, "Dial");
      EXPECT_TRUE(textink::SamePixels(got, want)) << "alignment " << a << ", layout " << l;
    }
  }
}

TEST_F(LabelTest, TheAcceleratorLetterIsUnderlinedAndADoubledAmpersandShowsOne) {
  const int w = 120, h = 30;
  Box(w, h);
  auto d = Measure("D");
  label->SetCaption("&Dial");
  Surface got(w, h, kSurface);
  PaintInto(got);
  Surface letters(w, h, kWhite);
  Expect(letters, Font(), 0, 0, "Dial");
  EXPECT_TRUE(textink::SamePixels(got, letters, RECT{0, 0, w, d.ascent})) << "the letters above the baseline";
  // "Dial" reaches no lower than its baseline: below it there is only the underline, under D.
  int widest = 0;
  for (int y = d.ascent; y < h; ++y) {
    EXPECT_EQ(textink::Count(got, kBlack, RECT{d.width, y, w, y + 1}), 0) << "nothing under the other letters, row " << y;
    widest = std::max(widest, textink::Count(got, kBlack, RECT{0, y, d.width, y + 1}));
  }
  EXPECT_GE(widest, d.width - 1) << "a line under the whole D";

  label->SetShowAccelChar(false);
  Surface plain(w, h, kSurface);
  PaintInto(plain);
  Surface asTyped(w, h, kWhite);
  Expect(asTyped, Font(), 0, 0, "&Dial");
  EXPECT_TRUE(textink::SamePixels(plain, asTyped)) << "ShowAccelChar off: shown as typed";

  label->SetShowAccelChar(true);
  label->SetCaption("&&x");
  Surface literal(w, h, kSurface);
  PaintInto(literal);
  Surface one(w, h, kWhite);
  Expect(one, Font(), 0, 0, "&x");
  EXPECT_TRUE(textink::SamePixels(literal, one)) << "\"&&\" is one ampersand and marks nothing";
}

TEST_F(LabelTest, OpaqueFillsWithItsColourTransparentTouchesNothingBehindTheText) {
  Box(60, 30);
  label->SetCaption("Dial");
  label->SetColor(clRed);
  Surface opaque(60, 30, kSurface);
  PaintInto(opaque);
  Surface red(60, 30, RGB(255, 0, 0));
  Expect(red, Font(), 0, 0, "Dial");
  EXPECT_TRUE(textink::SamePixels(opaque, red));

  label->SetTransparent(true);
  Surface clear(60, 30, kSurface);
  PaintInto(clear);
  Surface untouched(60, 30, kSurface);
  Expect(untouched, Font(), 0, 0, "Dial");
  EXPECT_TRUE(textink::SamePixels(clear, untouched));
}

TEST_F(LabelTest, DisabledTextIsEmbossedAsThePlatformShowsDisabledStaticText) {
  Box(60, 30);
  label->SetCaption("Dial");
  label->SetColor(clBlue);
  label->SetEnabled(false);
  Surface got(60, 30, kSurface);
  PaintInto(got);
  Surface want(60, 30, RGB(0, 0, 255));
  Expect(want, Font(), 1, 1, "Dial", GetSysColor(COLOR_BTNHIGHLIGHT));
  Expect(want, Font(), 0, 0, "Dial", GetSysColor(COLOR_BTNSHADOW));
  EXPECT_TRUE(textink::SamePixels(got, want));
}

TEST_F(LabelTest, AutoSizeFitsTheTextAndWithWordWrapKeepsTheWidth) {
  label->SetCaption("Dial");
  auto m = Measure("Dial");
  EXPECT_EQ(label->Width(), m.width);
  EXPECT_EQ(label->Height(), m.lineHeight);

  label->SetCaption("");
  EXPECT_EQ(label->Height(), m.lineHeight) << "an empty label keeps one line's height";
  label->SetCaption("&");
  EXPECT_EQ(label->Height(), m.lineHeight) << "so does a lone accelerator mark";

  label->Font().SetHeight(-24);
  label->SetCaption("Dial");
  EXPECT_EQ(label->Width(), Measure("Dial").width) << "a new font measures again";
  EXPECT_EQ(label->Height(), Measure("Dial").lineHeight);

  // Right-justified, the right edge stays where it was.
  label->SetAlignment(taRightJustify);
  label->SetBounds(100, 10, label->Width(), label->Height());
  int right = label->Left() + label->Width();
  label->SetCaption("Dial up");
  EXPECT_EQ(label->Width(), Measure("Dial up").width);
  EXPECT_EQ(label->Left() + label->Width(), right);
  EXPECT_EQ(label->Top(), 10);

  label->SetAlignment(taLeftJustify);
  label->SetAutoSize(false);
  int width = Measure("Dial").width + 4;
  label->SetBounds(0, 0, width, 5);
  label->SetWordWrap(true);
  label->SetCaption("Dial Dial Dial");
  EXPECT_EQ(label->Height(), 5) << "AutoSize off: the bounds stay";
  label->SetAutoSize(true);
  EXPECT_EQ(label->Width(), width);
  EXPECT_EQ(label->Height(), 3 * Measure("Dial").lineHeight) << "one word a line";
}

TEST_F(LabelTest, AFormResourceSetsEveryPropertyAndTheSizeFollowsOnceLoaded) {
  const char* text =
      "object F: TForm\n"
      "  object lblName: TLabel\n"
      "    Width = 5\n"
      "    Height = 5\n"
      "    Caption = '&Name'\n"
      "    Alignment = taCenter\n"
      "    Layout = tlBottom\n"
      "    FocusControl = btnGo\n"
      "    ShowAccelChar = False\n"
      "    Transparent = True\n"
      "    WordWrap = True\n"
      "  end\n"
      "  object lblFixed: TLabel\n"
      "    Width = 40\n"
      "    Height = 40\n"
      "    AutoSize = False\n"
      "    Caption = 'Dial'\n"
      "    Color = clRed\n"
      "    ParentColor = False\n"
      "  end\n"
      "  object btnGo: TButton\n"
      "  end\n"
      "end\n";
  tsupport::LoadFormText(form, text);
  auto* name = static_cast<TLabel*>(form->FindComponent("lblName"));
  auto* fixed = static_cast<TLabel*>(form->FindComponent("lblFixed"));
  ASSERT_TRUE(name && fixed);
  EXPECT_EQ(name->Alignment(), taCenter);
  EXPECT_EQ(name->Layout(), tlBottom);
  EXPECT_EQ(name->FocusControl(), form->FindComponent("btnGo"));
  EXPECT_FALSE(name->ShowAccelChar());
  EXPECT_TRUE(name->Transparent());
  EXPECT_TRUE(name->WordWrap());
  EXPECT_TRUE(name->ParentColor());
  EXPECT_EQ(name->Color(), form->Color());
  EXPECT_EQ(name->Width(), 5) << "word-wrapped: the width stays";
  // Sized once loaded, by the platform's own measure of the wrapped text.
  RECT wrapped{0, 0, 5, 0};
  {
    TScreenDC screen;
    TSelectObject font(screen, name->Font().Handle());
    DrawTextA(screen, "&Name", -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER | DT_NOPREFIX);
  }
  EXPECT_EQ(name->Height(), wrapped.bottom);
  EXPECT_EQ(fixed->Width(), 40);
  EXPECT_EQ(fixed->Color(), clRed);

  // Written back, a label on its parent's colour stores no colour of its own.
  std::string written = tsupport::FormText(form);
  size_t at = written.find("object lblName");
  std::string own = written.substr(at, written.find("end", at) - at);
  EXPECT_EQ(own.find(" Color = "), std::string::npos) << own;
}

namespace {

// Alt+letter as a person types it, with the form in front; the application handles the messages.
void AltKey(TApplication& app, TForm* form, char letter) {
  SetForegroundWindow(form->Handle());
  app.ProcessMessages();
  INPUT keys[4] = {};
  WORD vks[4] = {VK_MENU, static_cast<WORD>(letter), static_cast<WORD>(letter), VK_MENU};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = vks[i];
    keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, keys, sizeof(INPUT));
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 300) {
    app.ProcessMessages();
    Sleep(5);
  }
}

}  // namespace

TEST_F(LabelTest, ItsAcceleratorTypedWithAltFocusesTheFocusControl) {
  form->SetBounds(100, 100, 300, 120);
  auto* first = new TButton(form);
  first->SetParent(form);
  first->SetBounds(10, 40, 80, 25);
  auto* target = new TButton(form);
  target->SetParent(form);
  target->SetBounds(100, 40, 80, 25);
  label->SetCaption("&Name");
  label->SetFocusControl(target);
  form->HandleNeeded();
  form->Show();
  first->SetFocus();
  ASSERT_TRUE(first->Focused());

  AltKey(app, form, 'X');
  EXPECT_TRUE(first->Focused()) << "another letter does nothing";
  AltKey(app, form, 'N');
  EXPECT_TRUE(target->Focused()) << "Alt+N focuses the label's control";

  first->SetFocus();
  label->SetShowAccelChar(false);
  AltKey(app, form, 'N');
  EXPECT_TRUE(first->Focused()) << "no accelerator while it is shown as typed";

  label->SetShowAccelChar(true);
  delete target;
  EXPECT_EQ(label->FocusControl(), nullptr) << "the reference goes with the control";
  AltKey(app, form, 'N');
  EXPECT_TRUE(first->Focused());
}

TEST(Label, MeasuringAndPaintingReleaseEveryGdiObject) {
  tsupport::GdiDelta delta;
  {
    tsupport::TTestForm host;
    TForm* form = host.form;
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("&Dial");  // measured on a screen DC
    label->SetLayout(tlCenter);   // measured again while painting
    Surface s(80, 30);
    label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0);
    label->SetEnabled(false);
    label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0);
    label->Font().SetHeight(-20);
  }
  EXPECT_EQ(delta.Delta(), 0);
}
