// Ownership, names, free notification, destruction order; lists and streams.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "TestClasses.h"
#include "rtl/Lists.h"

using namespace rtl;
using namespace testing_rtl;

TEST(Component, OwnerFreesOwnedLastCreatedFirst) {
  TThing::destroyed.clear();
  TThing::beforeDestruction.clear();
  int before = TThing::alive;
  {
    TRoot root(nullptr);
    auto* a = new TThing(&root);
    a->SetName("A");
    auto* b = new TThing(&root);
    b->SetName("B");
    auto* c = new TThing(a);  // owned by A
    c->SetName("C");
    EXPECT_EQ(TThing::alive, before + 3);
    EXPECT_EQ(root.ComponentCount(), 2);
    EXPECT_EQ(a->ComponentCount(), 1);
    EXPECT_EQ(c->Owner(), a);
  }
  EXPECT_EQ(TThing::alive, before);
  EXPECT_EQ(TThing::destroyed, (std::vector<std::string>{"B", "A", "C"}));
  // Each heard of it first while still whole (its own class's override ran).
  EXPECT_EQ(TThing::beforeDestruction, (std::vector<std::string>{"B:TThing", "A:TThing", "C:TThing"}));
}

TEST(Component, FreeingAReferencedComponentClearsTheReference) {
  TRoot root(nullptr);
  auto* a = new TThing(&root);
  auto* b = new TThing(&root);
  auto* other = new TThing(nullptr);  // unowned, linked only by free notification
  a->SetBuddy(b);
  b->SetBuddy(other);
  delete b;
  EXPECT_EQ(a->Buddy(), nullptr);
  EXPECT_EQ(root.ComponentCount(), 1);
  delete other;  // b's link to other went with b: nothing dangles
  a->SetBuddy(nullptr);
}

TEST(Component, RemovalFromTheOwnerIsHeardBySiblings) {
  TRoot root(nullptr);
  auto* a = new TThing(&root);
  auto* b = new TThing(&root);
  a->SetBuddy(b);
  a->RemoveFreeNotification(b);  // even without a link, the owner tells its components
  delete b;
  EXPECT_EQ(a->Buddy(), nullptr);
}

namespace {
// Frees a sibling when it hears of an insertion into their owner.
class TSiblingKiller : public TComponent {
 public:
  TSiblingKiller(TComponent* owner, std::vector<std::string>& log) : TComponent(owner), log_(log) {}
  TComponent* victim = nullptr;
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    log_.push_back(Name());
    if (op == TOperation::opInsert && victim) delete std::exchange(victim, nullptr);
  }

 private:
  std::vector<std::string>& log_;
};
}  // namespace

TEST(Component, ABroadcastSkipsAComponentThatAnEarlierHandlerFreed) {
  std::vector<std::string> log;
  TRoot root(nullptr);
  auto* first = new TSiblingKiller(&root, log);
  first->SetName("First");
  auto* killer = new TSiblingKiller(&root, log);
  killer->SetName("Killer");
  auto* last = new TSiblingKiller(&root, log);
  last->SetName("Last");
  // Owned components hear it last created first: Last, then Killer, which frees First.
  killer->victim = first;
  log.clear();
  auto* newcomer = new TThing(&root);
  // Freeing First is itself told to the others (the nested "Last", "Killer"); First, gone, is
  // never called.
  EXPECT_EQ(log, (std::vector<std::string>{"Last", "Killer", "Last", "Killer"}));
  EXPECT_EQ(root.ComponentCount(), 3);
  EXPECT_EQ(root.Components(2), newcomer);
}

TEST(Component, ATokenSaysGoneOnceTheComponentIsFreedAndNotBefore) {
  auto* owner = new TRoot(nullptr);
  auto* a = new TThing(owner);
  TAliveToken early = a->AliveToken(), owned = a->AliveToken();
  EXPECT_TRUE(early);
  delete owner;  // frees a with it
  EXPECT_FALSE(early);
  EXPECT_FALSE(owned);
  EXPECT_FALSE(TAliveToken());
}

TEST(Component, AReferenceIsClearedAndToldBeforeTheHolderHearsOfIt) {
  TRoot root(nullptr);
  auto* target = new TThing(nullptr);
  std::vector<std::string> log;
  class THolder : public TComponent {
   public:
    THolder(TComponent* owner, std::vector<std::string>& log)
        : TComponent(owner), log_(log), ref(*this, [this] { log_.push_back(ref ? "set" : "cleared"); }), second(*this) {}
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == TOperation::opRemove) log_.push_back(ref ? "notified while set" : "notified");
    }
    std::vector<std::string>& log_;
    TComponentRef<TThing> ref, second;
  };
  auto* holder = new THolder(&root, log);
  holder->ref.Set(target);
  holder->second.Set(target);
  holder->second.Set(nullptr);  // the other reference keeps the link
  delete target;
  EXPECT_EQ(holder->ref.Get(), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"cleared", "notified"}));
}

TEST(Component, AHandlerThatFreesTheOwnerEndsTheBroadcast) {
  std::vector<std::string> log;
  auto* root = new TRoot(nullptr);
  class TOwnerKiller : public TComponent {
   public:
    using TComponent::TComponent;
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == TOperation::opInsert && c->Name() == "Trigger") delete Owner();
    }
  };
  auto* watcher = new TThing(root);
  TAliveToken watcherAlive = watcher->AliveToken();
  new TOwnerKiller(root);
  auto* trigger = new TThing(nullptr);
  trigger->SetName("Trigger");
  root->InsertComponent(trigger);  // the killer hears first (last created) and frees the root
  EXPECT_FALSE(watcherAlive);
}

TEST(Component, NamesAreValidatedAndUniqueWithinTheOwner) {
  TRoot root(nullptr);
  auto* a = new TThing(&root);
  a->SetName("Edit1");
  auto* b = new TThing(&root);
  try {
    b->SetName("edit1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "A component named edit1 already exists");
  }
  try {
    b->SetName("1st");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "''1st'' is not a valid component name");
  }
  b->SetName("Edit2");
  EXPECT_EQ(root.FindComponent("EDIT2"), b);
  a->SetName("Edit1");  // renaming to its own name is fine
  EXPECT_EQ(b->ComponentIndex(), 1);
}

// Two classes of one name whose information is registered by hand, not before main.
namespace first {
class TLateThing : public TComponent {
  RTL_CLASS(TLateThing, TComponent)
 public:
  using TComponent::TComponent;
};
RTL_IMPLEMENT_CLASS_UNREGISTERED(TLateThing);
}  // namespace first
namespace second {
class TLateThing : public TComponent {
  RTL_CLASS(TLateThing, TComponent)
 public:
  using TComponent::TComponent;
};
RTL_IMPLEMENT_CLASS_UNREGISTERED(TLateThing);
}  // namespace second

TEST(ClassRegistry, ALateRegistrationKeepsAClassOfTheSameNameThatCameFirst) {
  EXPECT_EQ(FindClassInfo("TLateThing"), nullptr) << "not registered before main";
  EXPECT_TRUE(RegisterClassOnce(first::TLateThing::StaticClass()));
  EXPECT_FALSE(RegisterClassOnce(second::TLateThing::StaticClass()));
  EXPECT_FALSE(RegisterClassOnce(first::TLateThing::StaticClass()));
  EXPECT_EQ(FindClassInfo("tlatething"), &first::TLateThing::StaticClass());
  std::unique_ptr<TComponent> made(FindClassInfo("TLateThing")->Create(nullptr));
  EXPECT_TRUE(made->Is<first::TLateThing>());
}

TEST(Persistent, AssignFromAnUnrelatedClassRaisesTheAssignError) {
  TLabelText text;
  TThing thing(nullptr);
  try {
    text.Assign(&thing);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TThing to a TLabelText");
  }
}

TEST(Lists, IndexErrorsNameTheIndexAndChangeNothing) {
  TList<int> list;
  list.Add(1);
  try {
    list.Delete(5);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (5)");
  }
  EXPECT_THROW(list.Insert(2, 0), EListError);
  EXPECT_NO_THROW(list.Insert(1, 0));
  EXPECT_EQ(list.Count(), 2);

  TStringList sl;
  try {
    sl.Strings(-1);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
}

TEST(Lists, StringListKeepsObjectsSortsAndReportsChangesOnce) {
  TStringList sl;
  int changes = 0;
  sl.OnChange = [&](TStringList&) { ++changes; };
  TThing obj(nullptr);
  sl.BeginUpdate();
  sl.Add("beta");
  sl.AddObject("Alpha", &obj);
  sl.Add("gamma");
  sl.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(sl.IndexOf("ALPHA"), 1);
  EXPECT_EQ(sl.Objects(1), &obj);
  sl.SetSorted(true);
  EXPECT_EQ(sl.Strings(0), "Alpha");
  EXPECT_EQ(sl.Objects(0), &obj);
  EXPECT_EQ(sl.Add("alpha"), 0) << "duplicates are ignored by default";
  EXPECT_EQ(sl.Count(), 3);
  EXPECT_EQ(sl.Text(), "Alpha\r\nbeta\r\ngamma\r\n");
  TStringList lines;
  lines.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines.CommaText(), "a,b,c,d");
}

TEST(Streams, ReadBufferFailsOnShortDataAndSeekingClamps) {
  TMemoryStream s;
  s.WriteValue<int32_t>(7);
  s.WriteValue<int16_t>(-2);
  EXPECT_EQ(s.Size(), 6);
  s.SetPosition(0);
  EXPECT_EQ(s.ReadValue<int32_t>(), 7);
  try {
    s.ReadValue<int32_t>();
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_EQ(s.Seek(-100, SeekOrigin::Current), 0);
  EXPECT_EQ(s.Seek(-2, SeekOrigin::End), 4);
  EXPECT_EQ(s.ReadValue<int16_t>(), -2);
  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);

  TReadOnlyMemoryStream ro("abc", 3);
  char buf[3];
  EXPECT_EQ(ro.Read(buf, 10), 3);
  EXPECT_EQ(ro.Write("x", 1), 0);
  EXPECT_THROW(ro.WriteBuffer("x", 1), EWriteError);
}

TEST(Streams, FileStreamRoundTripAndOpenErrors) {
  std::string path = ::testing::TempDir() + "tess_stream_test.bin";
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  m.SaveToFile(path);
  TMemoryStream back;
  back.LoadFromFile(path);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(back.Memory()), 5), "hello");
  std::remove(path.c_str());
  EXPECT_THROW(TFileStream("/nonexistent/dir/x", TFileStream::Mode::Open), EFOpenError);
}

TEST(StrUtils, FormatTrimAndConversions) {
  EXPECT_EQ(Format("%s-%d", std::string(1000, 'a').c_str(), 5).size(), 1002u);
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  long long v;
  EXPECT_TRUE(TryStrToInt("$1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(TryStrToInt("-42", v));
  EXPECT_EQ(v, -42);
  EXPECT_FALSE(TryStrToInt("4x", v));
  EXPECT_FALSE(TryStrToInt("99999999999999999999999", v));
  EXPECT_TRUE(IsValidIdent("_a1"));
  EXPECT_FALSE(IsValidIdent("a.b"));
}

namespace {

// A class whose start-up decides whether it takes its name in the registry.
class TQuietThing : public TComponent {
  RTL_CLASS(TQuietThing, TComponent)
 public:
  using TComponent::TComponent;
};
RTL_IMPLEMENT_CLASS_UNREGISTERED(TQuietThing);

}  // namespace

TEST(ClassRegistry, AnUnregisteredClassIsFoundByNameOnlyOnceRegistered) {
  EXPECT_EQ(TQuietThing::StaticClass().Name, "TQuietThing");
  EXPECT_TRUE(TQuietThing::StaticClass().InheritsFrom(TComponent::StaticClass()));
  EXPECT_EQ(FindClassInfo("TQuietThing"), nullptr);
  RegisterClassInfo(TQuietThing::StaticClass());
  EXPECT_EQ(FindClassInfo("tquietthing"), &TQuietThing::StaticClass());
}
