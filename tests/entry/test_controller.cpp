// The family base and its exceptions, the controller, and how controls bind to a controller.
#include <gtest/gtest.h>

#include "EntryTest.h"
#include "FormStreams.h"
#include "Forms.h"
#include "entry/EcBase.h"
#include "entry/EcControllerLink.h"
#include "entry/EcExcept.h"

using namespace ec;
using tsupport::FormText;
using tsupport::LoadFormText;

namespace {

// A control of the family as far as the controller is concerned: it binds at window creation
// and at the end of loading.
class TEntryProbe : public gui::TWinControl {
  RTL_CLASS(TEntryProbe, gui::TWinControl)
 public:
  explicit TEntryProbe(rtl::TComponent* owner) : TWinControl(owner), link_(*this) {}
  TEcController* Controller() const { return link_.Controller(); }
  void SetController(TEcController* c) { link_.SetController(c); }
  void Notification(rtl::TComponent* c, rtl::TOperation op) override {
    TWinControl::Notification(c, op);
    link_.Notification(c, op);
  }
  void Loaded() override {
    TWinControl::Loaded();
    link_.Bind();
  }
  static void DeclareProperties(rtl::TClassBuilder<TEntryProbe>& b) {
    b.Ref<TEcController>("Controller", &TEntryProbe::Controller, &TEntryProbe::SetController);
  }

 protected:
  void CreateWnd() override {
    TWinControl::CreateWnd();
    link_.Bind();
  }

 private:
  TEcControllerLink link_;
};
RTL_IMPLEMENT_CLASS(TEntryProbe);

// A form with a handler for each of the controller's events.
class TEventsForm : public gui::TForm {
  RTL_CLASS(TEventsForm, gui::TForm)
 public:
  using TForm::TForm;
  void DataError(rtl::TObject*, uint16_t, const std::string&) {}
  void GetEpoch(rtl::TObject* s, int& epoch) { sender = s, epoch = 1950; }
  void DelayNotify(rtl::TObject*, uint16_t) {}
  void IsSpecial(rtl::TObject* s, gui::TWinControl* control, bool& special) {
    sender = s;
    askedAbout = control;
    specialBefore = special;
    special = true;
  }
  void PostEdit(rtl::TObject*, gui::TWinControl*) {}
  void PreEdit(rtl::TObject*, gui::TWinControl*) {}
  void Trigger(rtl::TObject* sender, int handle, uint32_t interval, int elapsed) {
    triggers.push_back({sender, handle, interval, elapsed});
  }
  static void DeclareProperties(rtl::TClassBuilder<TEventsForm>& b) {
    b.Method("DataError", &TEventsForm::DataError);
    b.Method("GetEpoch", &TEventsForm::GetEpoch);
    b.Method("DelayNotify", &TEventsForm::DelayNotify);
    b.Method("IsSpecial", &TEventsForm::IsSpecial);
    b.Method("PostEdit", &TEventsForm::PostEdit);
    b.Method("PreEdit", &TEventsForm::PreEdit);
    b.Method("Trigger", &TEventsForm::Trigger);
  }
  struct TFired {
    rtl::TObject* sender;
    int handle;
    uint32_t interval;
    int elapsed;
  };
  std::vector<TFired> triggers;
  gui::TWinControl* askedAbout = nullptr;
  rtl::TObject* sender = nullptr;
  bool specialBefore = true;
};
RTL_IMPLEMENT_CLASS(TEventsForm);

struct Controller : ::testing::Test, tsupport::TTestForm {};

// An exception of the family whose string id the table lacks.
class EAbsentText : public EEcException {
 public:
  EAbsentText() : EEcException(uint16_t{1234}) {}
};

}  // namespace

TEST(FamilyExceptions, TakeTheirMessagesFromTheStringTable) {
  EXPECT_STREQ(ENoTimersAvailable().what(), "No Window's timers are available");
  EXPECT_STREQ(ENoControllerAssigned().what(), "No Controller assigned");
  EXPECT_STREQ(EDuplicateCommand().what(), "Duplicate command found while adding a new command to the table");
  EXPECT_STREQ(ETableNotFound().what(), "Command table not found or command table index out of range");
  EXPECT_STREQ(EAbsentText().what(), "Unknown");
  EXPECT_THROW(throw ENoControllerAssigned(), EControllerError);
  EXPECT_THROW(throw ETableNotFound(), ECmdProcessorError);
  EXPECT_THROW(throw ENoTimersAvailable(), EEcException);
  EXPECT_THROW(throw EDuplicateCommand(), rtl::Exception);
}

TEST_F(Controller, AboutReadsTheFamilysVersionIgnoresWritesAndIsNeverStored) {
  auto* c = new TEcController(form);
  c->SetName("EcController1");
  c->SetAbout("v9.99");
  EXPECT_EQ(c->About(), "v3.05");
  EXPECT_EQ(c->TimerPool().About(), "v3.05");
  EXPECT_EQ(TEcComponent(nullptr).About(), "v3.05");
  std::string text = FormText(c);
  EXPECT_EQ(text.find("About"), std::string::npos) << text;
  // A resource that sets it still loads.
  TEcController back(nullptr);
  LoadFormText(&back, "object EcController1: TEcController\n  About = 'v1.00'\nend\n");
  EXPECT_EQ(back.About(), "v3.05");
}

TEST_F(Controller, IsConstructedWithTheDefaultOptionsEpochTablesAndPool) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  TEcController c(nullptr);
  EXPECT_EQ(c.EntryOptions, 56);
  EXPECT_EQ(c.EntryOptions, (1 << efoAutoSelect) | (1 << efoBeepOnError) | (1 << efoInsertPushes));
  EXPECT_EQ(c.Epoch(), now.wYear - now.wYear % 100);
  EXPECT_EQ(c.EntryCommands().TableCount(), 3);
  EXPECT_EQ(c.TimerPool().Owner(), &c);
  EXPECT_EQ(c.TimerPool().TriggerCount(), 0);

  // Options and epoch have no stream default: they are always written.
  c.SetName("EcController1");
  std::string text = FormText(&c);
  EXPECT_NE(text.find("EntryOptions = [efoAutoSelect, efoBeepOnError, efoInsertPushes]"), std::string::npos) << text;
  EXPECT_NE(text.find("Epoch = " + std::to_string(c.Epoch())), std::string::npos) << text;
  c.EntryOptions = 0;
  EXPECT_NE(FormText(&c).find("EntryOptions = []"), std::string::npos);
}

TEST_F(Controller, EpochTakesOnly1600To3999AndIsReadThroughOnGetEpoch) {
  TEcController c(nullptr);
  c.SetEpoch(1900);
  for (int rejected : {1599, 4000, -1, 0}) {
    c.SetEpoch(rejected);
    EXPECT_EQ(c.Epoch(), 1900) << rejected;
  }
  c.SetEpoch(1600);
  EXPECT_EQ(c.Epoch(), 1600);
  c.SetEpoch(3999);
  EXPECT_EQ(c.Epoch(), 3999);

  TEventsForm events(nullptr);
  c.OnGetEpoch.Bind(&events, &TEventsForm::GetEpoch);
  EXPECT_EQ(c.Epoch(), 1950);
  EXPECT_EQ(events.sender, &c);
  EXPECT_EQ(c.StoredEpoch(), 3999) << "the event does not change what is stored";
}

TEST_F(Controller, AResourceSetsEveryPublishedPropertyAndEvent) {
  auto* root = new TEventsForm(&app);
  LoadFormText(root, R"(object Form1: TEventsForm
  object EcController1: TEcController
    EntryCommands.TableList = ('Default' False () 'Grid' True ())
    EntryOptions = [efoAutoAdvanceChar, efoBeepOnError]
    Epoch = 1900
    OnError = DataError
    OnGetEpoch = GetEpoch
    OnDelayNotify = DelayNotify
    OnIsSpecialControl = IsSpecial
    OnPostEdit = PostEdit
    OnPreEdit = PreEdit
    OnTimerTrigger = Trigger
    Left = 136
    Top = 96
  end
end
)");
  auto* c = FindController(root);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->EntryOptions, (1 << efoAutoAdvanceChar) | (1 << efoBeepOnError));
  EXPECT_EQ(c->StoredEpoch(), 1900);
  EXPECT_EQ(c->EntryCommands().TableCount(), 2);
  EXPECT_FALSE(c->EntryCommands().Table(0)->IsActive);
  EXPECT_TRUE(c->OnError && c->OnGetEpoch && c->OnDelayNotify && c->OnIsSpecialControl && c->OnPostEdit &&
              c->OnPreEdit && c->OnTimerTrigger);
  EXPECT_EQ(c->DesignLeft(), 136);
  std::string text = FormText(root);  // written back in the published order
  size_t at = 0;
  for (const char* p : {"EntryCommands.TableList", "EntryOptions", "Epoch", "OnError", "OnGetEpoch", "OnDelayNotify",
                        "OnIsSpecialControl", "OnPostEdit", "OnPreEdit", "OnTimerTrigger"})
    EXPECT_NE(at = text.find("\n    " + std::string(p) + " = ", at), std::string::npos) << p << "\n" << text;
}

TEST_F(Controller, IsSpecialControlAsksAboutTheControlOwningTheWindow) {
  TEventsForm events(nullptr);
  auto* c = new TEcController(form);
  auto* edit = new gui::TWinControl(form);
  edit->SetParent(form);
  EXPECT_FALSE(c->IsSpecialControl(edit->Handle())) << "unassigned";
  c->OnIsSpecialControl.Bind(&events, &TEventsForm::IsSpecial);
  EXPECT_TRUE(c->IsSpecialControl(edit->Handle()));
  EXPECT_EQ(events.askedAbout, edit);
  EXPECT_EQ(events.sender, c);
  EXPECT_FALSE(events.specialBefore);
  EXPECT_TRUE(c->IsSpecialControl(GetDesktopWindow()));
  EXPECT_EQ(events.askedAbout, nullptr) << "not one of ours";
}

TEST_F(Controller, PassesEveryFiringOfItsPoolToOnTimerTrigger) {
  entrytest::TFakeTicks ticks(1000);
  TEventsForm events(nullptr);
  TEcController c(nullptr);
  c.OnTimerTrigger.Bind(&events, &TEventsForm::Trigger);
  int h = c.TimerPool().AddTrigger(100, {});
  ticks.Advance(150);
  c.TimerPool().DoTimer();
  ASSERT_EQ(events.triggers.size(), 1u);
  EXPECT_EQ(events.triggers[0].sender, &c.TimerPool());
  EXPECT_EQ(events.triggers[0].handle, h);
  EXPECT_EQ(events.triggers[0].interval, 100u);
  EXPECT_EQ(events.triggers[0].elapsed, 150);
}

TEST_F(Controller, DestructionFreesThePoolAndItsWindow) {
  auto* c = new TEcController(form);
  c->TimerPool().AddTrigger(100, {});
  HWND wnd = c->TimerPool().WindowHandle();
  ASSERT_TRUE(IsWindow(wnd));
  delete c;
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(form->ComponentCount(), 0);
}

TEST_F(Controller, FindControllerTakesTheFirstInTheFormsComponentOrder) {
  EXPECT_EQ(FindController(form), nullptr);
  new gui::TWinControl(form);
  auto* first = new TEcController(form);
  auto* second = new TEcController(form);
  EXPECT_EQ(FindController(form), first);
  delete first;
  EXPECT_EQ(FindController(form), second);
}

TEST_F(Controller, AControlBindsAtWindowCreationToItsFormsController) {
  auto* panel = new gui::TWinControl(form);
  panel->SetParent(form);
  auto* probe = new TEntryProbe(form);
  probe->SetParent(panel);  // the form is found through the parent chain
  try {
    probe->HandleNeeded();
    FAIL() << "no controller, no error";
  } catch (const ENoControllerAssigned& e) {
    EXPECT_STREQ(e.what(), "No Controller assigned");
  }
  EXPECT_EQ(probe->Controller(), nullptr);

  auto* late = new TEntryProbe(form);  // no window yet
  auto* c = new TEcController(form);
  EXPECT_EQ(probe->Controller(), c) << "adopted when it was inserted";
  EXPECT_EQ(late->Controller(), c);

  auto* third = new TEntryProbe(form);
  third->SetParent(panel);  // the panel has its window, so this one gets its own now
  ASSERT_TRUE(third->HandleAllocated());
  EXPECT_EQ(third->Controller(), c);
}

TEST_F(Controller, LoadingBindsUnassignedControlsToTheFirstControllerAndKeepsStoredOnes) {
  LoadFormText(form, R"(object Form1: TForm
  object Early: TEntryProbe
  end
  object EcController1: TEcController
  end
  object EcController2: TEcController
  end
  object Stored: TEntryProbe
    Controller = EcController2
  end
  object Unassigned: TEntryProbe
  end
end
)");
  auto* c1 = rtl::As<TEcController>(form->FindComponent("EcController1"));
  auto* c2 = rtl::As<TEcController>(form->FindComponent("EcController2"));
  EXPECT_EQ(static_cast<TEntryProbe*>(form->FindComponent("Early"))->Controller(), c1);
  EXPECT_EQ(static_cast<TEntryProbe*>(form->FindComponent("Stored"))->Controller(), c2);
  EXPECT_EQ(static_cast<TEntryProbe*>(form->FindComponent("Unassigned"))->Controller(), c1);
}

TEST_F(Controller, LoadingAControlWithNoControllerOnTheFormRaises) {
  EXPECT_THROW(LoadFormText(form, "object Form1: TForm\n  object Lonely: TEntryProbe\n  end\nend\n"),
               ENoControllerAssigned);
  EXPECT_EQ(static_cast<TEntryProbe*>(form->FindComponent("Lonely"))->Controller(), nullptr);
}

TEST_F(Controller, FreeingTheControllerFirstLeavesItsControlsUnbound) {
  auto* c = new TEcController(form);
  auto* a = new TEntryProbe(form);
  auto* b = new TEntryProbe(nullptr);  // owned elsewhere: only the free notification tells it
  a->SetParent(form);
  b->SetController(c);
  a->HandleNeeded();
  ASSERT_EQ(a->Controller(), c);
  delete c;
  EXPECT_EQ(a->Controller(), nullptr);
  EXPECT_EQ(b->Controller(), nullptr);
  delete b;
  delete form;  // the control goes after its controller without error
}
