// The attached 3-D label: what a new one holds and shows, the pair of messages its control's
// window receives after loading and after every bounds change (sent, then posted), and when
// none are sent; its registration for form resources.
#include <gtest/gtest.h>

#include <vector>

#include "FormStreams.h"
#include "LabelFixture.h"
#include "MessageRecorder.h"
#include "StdCtrls.h"
#include "TestWindows.h"
#include "label3d/FxBase.h"

using namespace fx;
using namespace fxtest;
using namespace tsupport;

namespace {

// A windowed control that logs the label messages its window receives, and whether the label
// that sent one was still loading.
class TLabelledBox : public gui::TWinControl {
  RTL_CLASS(TLabelledBox, gui::TWinControl)
 public:
  using TWinControl::TWinControl;
  struct Heard {
    UINT msg;
    LPARAM lParam;
    bool labelLoading;
  };
  std::vector<Heard> heard;
  void WndProc(gui::TMessage& m) override {
    if (m.Msg == AttachLabelMessage || m.Msg == LabelMovedMessage) {
      auto* label = m.Msg == AttachLabelMessage ? reinterpret_cast<TFxAttachedLabel*>(m.LParam) : lastLabel_;
      if (m.Msg == AttachLabelMessage) lastLabel_ = label;
      heard.push_back(Heard{m.Msg, m.LParam, label && label->IsLoading()});
    }
    TWinControl::WndProc(m);
  }

 private:
  TFxAttachedLabel* lastLabel_ = nullptr;
};
RTL_IMPLEMENT_CLASS(TLabelledBox);

struct AttachedTest : ::testing::Test, TTestForm {
  gui::TButton* box = new gui::TButton(form);
  AttachedTest() : TTestForm(50, 50, 300, 200) {
    box->SetParent(form);
    box->SetBounds(10, 60, 100, 25);
    form->HandleNeeded();
    Pump();
  }
};

}  // namespace

TEST(AttachedLabelCreation, ItIsAutoSizedOpaqueFlatInTheTextColoursAndFollowsItsParentsFont) {
  TTestForm host;
  gui::TForm* form = host.form;
  auto* label = new TFxAttachedLabel(form);
  EXPECT_TRUE(label->AutoSize());
  EXPECT_FALSE(label->Transparent());
  EXPECT_TRUE(label->ParentFont());
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->FxControl(), nullptr);
  // The appearance setter ran after the scheme setter, and its end of update made it custom.
  EXPECT_EQ(label->Appearance(), apNone);
  EXPECT_EQ(label->ColorScheme(), csCustom);
  const TFxSchemeColors& row = label->SchemeColors(csCustom);
  EXPECT_EQ(row.Highlight, gui::clWhite);
  EXPECT_EQ(row.Shadow, gui::clGray);
  EXPECT_EQ(row.Text, gui::clBlack);
  const TFxCustomSettings& s = label->CustomSettings();
  EXPECT_EQ(s.HighlightDirection(), sdNone);
  EXPECT_EQ(s.ShadowDirection(), sdNone);
  EXPECT_EQ(s.HighlightDepth(), 0);
  EXPECT_EQ(s.ShadowDepth(), 0);
  EXPECT_EQ(s.HighlightColor(), gui::clWhite);
  EXPECT_EQ(s.ShadowColor(), gui::clGray);
  // Its stream defaults: opaque, wrapped, apNone, csText (which it no longer reads, so stored).
  label->SetName("Lbl");
  std::string text = FormText(label);
  EXPECT_NE(text.find("ColorScheme = csCustom"), std::string::npos) << text;
  for (const char* absent : {"Transparent", "WordWrap", "Appearance"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;

  form->Font().SetName("Arial");
  form->Font().SetHeight(-20);
  form->Font().SetColor(RGB(0, 0, 200));
  form->SetColor(RGB(230, 230, 180));
  label->SetParent(form);
  EXPECT_EQ(label->Font().Name(), "Arial");
  EXPECT_EQ(label->Font().Color(), RGB(0, 0, 200)) << "the parent's font, colour included";
  label->SetCaption("Name");
  textink::Metrics m = textink::Measure(label->Font().Handle(), "Name");
  EXPECT_EQ(label->Height(), m.lineHeight) << "auto-sized";

  // Flat text: shadow and highlight at distance 0 under the face, on the parent's colour.
  tsupport::Surface got(label->Width(), label->Height(), kBack);
  label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(got.Dc()), 0);
  tsupport::Surface want(label->Width(), label->Height(), RGB(230, 230, 180));
  for (COLORREF c : {kGray, kWhite, RGB(0, 0, 200)}) textink::Draw(want, label->Font().Handle(), 0, 0, "Name", c);
  EXPECT_TRUE(textink::SamePixels(got, want));
}

TEST_F(AttachedTest, EveryBoundsChangeSendsTheAttachMessageThenPostsTheMovedOne) {
  auto* label = TFxAttachedLabel::CreateAttached(form, box);
  EXPECT_EQ(label->FxControl(), box);
  tsupport::TMessageRecorder rec;
  rec.Watch(box->Handle(), "box");
  rec.Only({AttachLabelMessage, LabelMovedMessage});
  const LPARAM self = reinterpret_cast<LPARAM>(label);

  // Each arrives at the control, which passes it on to its window's default procedure.
  // By their numbers, 0x466 and 0x465, wParam 0.
  const std::vector<tsupport::TExpectedMsg> attach = {{0x466, sent | wparam | lparam, 0, self}, {0x466, defwinproc}};
  std::vector<tsupport::TExpectedMsg> pair = attach;
  pair.push_back({0x465, posted | wparam | lparam, 0, 0});
  pair.push_back({0x465, defwinproc});

  label->SetParent(form);  // placed: takes the form's font and so its size
  Pump();
  EXPECT_TRUE(rec.Matches(pair));
  for (auto move : {+[](TFxAttachedLabel* l) { l->SetLeft(20); }, +[](TFxAttachedLabel* l) { l->SetWidth(80); },
                    +[](TFxAttachedLabel* l) { l->SetBounds(5, 6, 70, 20); }}) {
    rec.Clear();
    move(label);
    EXPECT_TRUE(rec.Matches(attach)) << "sent at once; the move is posted, so not yet there";
    Pump();
    EXPECT_TRUE(rec.Matches(pair));
  }
}

TEST_F(AttachedTest, NothingIsSentWithoutAControlForAControlTheFormDoesNotOwnOrWithoutAForm) {
  tsupport::TMessageRecorder rec;
  rec.Only({AttachLabelMessage, LabelMovedMessage});
  auto* stranger = new gui::TButton(&app);  // on the form, owned by the application
  stranger->SetParent(form);
  rec.Watch(box->Handle(), "box");
  rec.Watch(stranger->Handle(), "stranger");

  auto* loose = new TFxAttachedLabel(form);
  loose->SetParent(form);
  loose->SetLeft(30);
  auto* foreign = TFxAttachedLabel::CreateAttached(form, stranger);
  foreign->SetParent(form);
  foreign->SetLeft(30);
  auto* unplaced = TFxAttachedLabel::CreateAttached(form, box);
  unplaced->SetLeft(30);  // no parent, so no form
  Pump();
  EXPECT_TRUE(rec.Matches({}));

  delete box;  // the label lets its control go
  EXPECT_EQ(unplaced->FxControl(), nullptr);
  delete stranger;
}

TEST(AttachedLabelResource, AfterTheFormIsReadTheLabelTellsItsControlAndNotBefore) {
  TTestForm host;
  gui::TForm* form = host.form;
  LoadFormText(form,
               "object F: TForm\n"
               "  object Box: TLabelledBox\n"
               "    Left = 10\n"
               "    Top = 60\n"
               "    Width = 100\n"
               "    Height = 25\n"
               "  end\n"
               "  object Lbl: TFxAttachedLabel\n"
               "    Left = 10\n"
               "    Top = 40\n"
               "    Width = 100\n"
               "    Height = 17\n"
               "    Caption = 'Name'\n"
               "    FxControl = Box\n"
               "  end\n"
               "end\n");
  auto* box = static_cast<TLabelledBox*>(form->FindComponent("Box"));
  auto* label = static_cast<TFxAttachedLabel*>(form->FindComponent("Lbl"));
  ASSERT_TRUE(box && label);
  EXPECT_EQ(label->FxControl(), box);
  Pump();
  ASSERT_FALSE(box->heard.empty());
  for (auto& h : box->heard) EXPECT_FALSE(h.labelLoading) << "nothing while the form is read";
  // Sized once loaded (a bounds change), then told once more by Loaded: each an attach sent
  // at once with the label, and a move posted behind it.
  EXPECT_EQ(box->heard.front().msg, AttachLabelMessage);
  EXPECT_EQ(box->heard.back().msg, LabelMovedMessage);
  int attached = 0, moved = 0;
  for (auto& h : box->heard) {
    if (h.msg == AttachLabelMessage) {
      ++attached;
      EXPECT_EQ(h.lParam, reinterpret_cast<LPARAM>(label));
    } else {
      ++moved;
    }
  }
  EXPECT_EQ(attached, moved);
  EXPECT_GE(attached, 1);
}

TEST(AttachedLabelRegistration, TheStartUpRegisteredTheClassOnceForFormResources) {
  EXPECT_EQ(rtl::FindClassInfo("TFxAttachedLabel"), &TFxAttachedLabel::StaticClass());
  InitializeLabelFamily();  // a second start-up changes nothing
  EXPECT_EQ(rtl::FindClassInfo("TFxAttachedLabel"), &TFxAttachedLabel::StaticClass());
  EXPECT_EQ(rtl::FindClassInfo("TFxLabel"), &TFxLabel::StaticClass());
}
