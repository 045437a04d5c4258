// The attached label: created above the combo box when LabelInfo.Visible goes on, named after it,
// moving with it through the posted messages, recording its offsets when moved itself, freed with
// it or by hand; the offsets' notification; a label read from a form resource attaching itself;
// and the class's registration at start-up.
#include <gtest/gtest.h>

#include <string>

#include "ControlsTest.h"
#include "FormStreams.h"
#include "entry/EcCmbx.h"
#include "entry/EcIntl.h"
#include "entry/EcLabel.h"
#include "entry/EcMessages.h"

using namespace ec;
using namespace entrytest;
using tsupport::FormText;
using tsupport::LoadFormText;

namespace {

struct LabelTest : ShownForm {
  TEcComboBox* combo = nullptr;
  void SetUp() override {
    combo = new TEcComboBox(form);
    combo->SetName("cbConn");
    combo->SetParent(form);
    combo->SetBounds(8, 48, 353, 30);
    Show();
  }
  TEcAttachedLabel* Label() const { return combo->LabelInfo().Label(); }
};

struct Counter : rtl::TObject {
  int offsets = 0;
  std::vector<bool> visible;
  void Offsets(rtl::TObject*) { ++offsets; }
  void Visible(rtl::TObject*, bool v) { visible.push_back(v); }
};

}  // namespace

TEST(LabelInfo, TellsChangesOnceAndNothingForTheSameValues) {
  rtl::TComponent holder(nullptr);
  TEcLabelInfo info(holder);
  Counter n;
  info.OnOffsetsChange.Bind(&n, &Counter::Offsets);
  info.OnVisibleChange.Bind(&n, &Counter::Visible);
  info.SetOffsets(0, 0);
  EXPECT_EQ(n.offsets, 0);
  info.SetOffsets(3, 4);
  EXPECT_EQ(n.offsets, 1) << "both at once, one notification";
  info.SetOffsets(3, 4);
  info.SetOffsetX(3);
  info.SetOffsetY(4);
  EXPECT_EQ(n.offsets, 1);
  info.SetOffsetY(5);
  EXPECT_EQ(n.offsets, 2);
  info.SetVisible(false);
  info.SetVisible(true);
  info.SetVisible(true);
  EXPECT_EQ(n.visible, (std::vector<bool>{true}));
}

TEST_F(LabelTest, ShowingTheLabelPutsItDirectlyAboveTheControl) {
  try {
    combo->AttachedLabel();
    FAIL() << "a label while none is shown";
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Label not attached");
  }
  combo->LabelInfo().SetVisible(true);
  TEcAttachedLabel* label = Label();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(combo->AttachedLabel(), label);
  EXPECT_EQ(label->Name(), "cbConnLabel1");
  EXPECT_EQ(label->Caption(), "cbConnLabel1");
  EXPECT_EQ(label->Owner(), form);
  EXPECT_EQ(label->Parent(), form);
  EXPECT_EQ(label->Control(), combo);
  EXPECT_EQ(label->FocusControl(), combo) << "its accelerator focuses the control";
  EXPECT_FALSE(label->AutoSize()) << "sized to its name once, then kept";
  EXPECT_GT(label->Height(), 0);
  EXPECT_EQ(label->Left(), 8);
  EXPECT_EQ(label->Top() + label->Height(), 48) << "its bottom edge on the control's top edge";
  PumpFor(50);  // the label's own report of its place changes nothing
  EXPECT_EQ(combo->LabelInfo().OffsetX(), 0);
  EXPECT_EQ(combo->LabelInfo().OffsetY(), 0);
  EXPECT_EQ(label->Top() + label->Height(), 48);
}

TEST_F(LabelTest, TheLabelMovesWithTheControlAndRecordsItsOwnMoves) {
  combo->LabelInfo().SetVisible(true);
  TEcAttachedLabel* label = Label();
  PumpFor(50);
  int left = label->Left(), top = label->Top();
  combo->SetBounds(combo->Left() + 10, combo->Top() + 5, combo->Width(), combo->Height());
  PumpFor(50);  // the control put the label back through its posted message
  EXPECT_EQ(label->Left(), left + 10);
  EXPECT_EQ(label->Top(), top + 5);

  label->SetTop(label->Top() - 4);
  PumpFor(50);
  EXPECT_EQ(combo->LabelInfo().OffsetY(), -4);
  EXPECT_EQ(combo->LabelInfo().OffsetX(), 0);
  EXPECT_EQ(label->Top(), top + 5 - 4) << "it stays where it was put";
  combo->SetLeft(combo->Left() - 20);
  PumpFor(50);
  EXPECT_EQ(label->Left(), left - 10);
  EXPECT_EQ(label->Top() + label->Height(), combo->Top() - 4) << "at the new offsets";

  std::string text = FormText(combo);
  EXPECT_NE(text.find("LabelInfo.OffsetX = 0"), std::string::npos) << text;
  EXPECT_NE(text.find("LabelInfo.OffsetY = -4"), std::string::npos) << text;
  EXPECT_NE(text.find("LabelInfo.Visible = True"), std::string::npos) << text;
}

TEST_F(LabelTest, TheLabelFollowsTheControlsVisibilityAndGoesWithIt) {
  combo->LabelInfo().SetVisible(true);
  TEcAttachedLabel* label = Label();
  combo->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  combo->SetVisible(true);
  EXPECT_TRUE(label->Visible());

  // Hidden through LabelInfo: freed.
  combo->LabelInfo().SetOffsets(7, -4);
  int before = form->ComponentCount();
  combo->LabelInfo().SetVisible(false);
  EXPECT_EQ(Label(), nullptr);
  EXPECT_EQ(form->ComponentCount(), before - 1);
  EXPECT_EQ(form->FindComponent("cbConnLabel1"), nullptr);

  // Shown again: a new one, under the first free name.
  auto* squatter = new gui::TLabel(form);
  squatter->SetName("cbConnLabel1");
  combo->LabelInfo().SetVisible(true);
  EXPECT_EQ(Label()->Name(), "cbConnLabel2");
  EXPECT_EQ(Label()->Left(), 8) << "directly above the control again, the offsets reset";
  EXPECT_EQ(Label()->Top() + Label()->Height(), 48);

  // Freed by hand: the control lets it go.
  Label()->Free();
  EXPECT_FALSE(combo->LabelInfo().Visible());
  EXPECT_EQ(Label(), nullptr);

  // Freed with the control.
  combo->LabelInfo().SetVisible(true);
  before = form->ComponentCount();
  combo->Free();
  EXPECT_EQ(form->ComponentCount(), before - 2);
  EXPECT_EQ(form->FindComponent("cbConnLabel2"), nullptr);
}

TEST_F(LabelTest, ALabelReadFromAFormResourceAttachesItself) {
  combo->Free();
  LoadFormText(form,
               "object Form: TForm\n"
               "  object cb: TEcComboBox\n"
               "    Left = 20\n    Top = 60\n    Width = 200\n    Height = 30\n"
               "    LabelInfo.Visible = False\n"
               "  end\n"
               "  object cbLabel1: TEcAttachedLabel\n"
               "    Left = 30\n    Top = 30\n    Width = 60\n    Height = 20\n    Caption = 'Entry'\n    AutoSize = False\n"
               "    Control = cb\n"
               "  end\n"
               "end\n");
  auto* cb = rtl::As<TEcComboBox>(form->FindComponent("cb"));
  auto* label = rtl::As<TEcAttachedLabel>(form->FindComponent("cbLabel1"));
  ASSERT_NE(cb, nullptr);
  ASSERT_NE(label, nullptr);
  cb->HandleNeeded();
  PumpFor(50);
  EXPECT_EQ(cb->LabelInfo().Label(), label);
  EXPECT_EQ(cb->AttachedLabel(), label) << "attached, it is shown";
  // The label's place counts: its offsets from the control.
  EXPECT_EQ(cb->LabelInfo().OffsetX(), 10);
  EXPECT_EQ(cb->LabelInfo().OffsetY(), -10);
  EXPECT_EQ(label->Left(), 30);
  EXPECT_EQ(label->Top(), 30);
}

TEST_F(LabelTest, ALabelKeptForLackOfAFormStaysOffWhenTheControlGetsAWindowAgain) {
  combo->LabelInfo().SetVisible(true);
  PumpFor(50);
  combo->SetParent(nullptr);  // no form: hiding the label cannot free it
  combo->LabelInfo().SetVisible(false);
  ASSERT_NE(Label(), nullptr);
  combo->SetParent(form);
  combo->HandleNeeded();
  PumpFor(50);
  EXPECT_FALSE(combo->LabelInfo().Visible());
}

TEST_F(LabelTest, AnAttachMessageTakesOnlyALiveLabelOfThisControl) {
  // Any program can send the number with any lParam, to the box or to its edit and list windows.
  auto* other = new TEcComboBox(form);
  other->SetName("other");
  other->SetParent(form);
  other->LabelInfo().SetVisible(true);
  auto* foreign = new TEcAttachedLabel(form);  // a label of no control at all
  for (HWND wnd : {combo->Handle(), combo->EditHandle(), combo->ListHandle()})
    for (LPARAM junk : {LPARAM(0x10), LPARAM(-8), reinterpret_cast<LPARAM>(other->LabelInfo().Label()),
                        reinterpret_cast<LPARAM>(foreign), reinterpret_cast<LPARAM>(combo)}) {
      PostMessageA(wnd, EntryLabelAttachMessage, 0, junk);
      SendMessageA(wnd, EntryLabelAttachMessage, 0, junk);
      PostMessageA(wnd, EntryLabelMovedMessage, 0, junk);
    }
  PumpFor(50);
  EXPECT_EQ(Label(), nullptr);
  EXPECT_FALSE(combo->LabelInfo().Visible());
  EXPECT_NE(other->LabelInfo().Label(), nullptr) << "the other box keeps its own";
}

TEST(EntryFamily, StartUpRegistersTheAttachedLabelUnlessItsNameIsTaken) {
  EXPECT_EQ(rtl::FindClassInfo("TEcAttachedLabel"), &TEcAttachedLabel::StaticClass());
  static rtl::TClassInfo other;  // another family's class of that name, registered first
  other.Name = "TEcAttachedLabel";
  FinalizeEntryFamily();
  rtl::RegisterClassInfo(other);
  InitializeEntryFamily();
  EXPECT_EQ(rtl::FindClassInfo("TEcAttachedLabel"), &other) << "the name stays the other's";
  rtl::RegisterClassInfo(TEcAttachedLabel::StaticClass());
}
