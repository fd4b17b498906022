// Objects, class references, the class registry and the component tree.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/exceptions.h"

namespace {

std::vector<std::string>* gLog = nullptr;

// Records what it hears, and its own destruction.
class TProbe : public TComponent {
  VM_CLASS(TProbe, TComponent)
public:
  explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}
  ~TProbe() override {
    if (gLog) gLog->push_back("free " + Name());
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (gLog && Operation == opRemove) {
      // The removed component is still whole when a free notification arrives.
      std::string kind = dynamic_cast<TProbe*>(AComponent) ? "probe" : "part";
      gLog->push_back(Name() + " hears " + AComponent->Name() + " (" + kind + ")");
    }
    if (Operation == opRemove && AComponent == Buddy) Buddy = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCount;
  }
  TComponent* Buddy = nullptr;
  int LoadedCount = 0;
};

class TAbstractThing : public TComponent {
  VM_CLASS(TAbstractThing, TComponent)
public:
  using TComponent::TComponent;
  virtual void Pure() = 0;
};

class TPlainThing : public TPersistent {
  VM_CLASS(TPlainThing, TPersistent)
public:
  int Value = 0;
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TPlainThing*>(Source)) {
      Value = s->Value;
      return;
    }
    TPersistent::Assign(Source);
  }
};

VM_DEFINE_CLASS(TProbe)
VM_DEFINE_CLASS(TAbstractThing)
VM_DEFINE_CLASS(TPlainThing)

struct LogScope {
  std::vector<std::string> log;
  LogScope() { gLog = &log; }
  ~LogScope() { gLog = nullptr; }
};

}  // namespace

TEST(ObjectTest, ClassInformationAndVirtualConstructors) {
  TProbe probe(nullptr);
  EXPECT_EQ(probe.ClassName(), "TProbe");
  EXPECT_TRUE(probe.ClassNameIs("tprobe"));
  EXPECT_EQ(probe.ClassParent(), TComponent::StaticClass());
  EXPECT_TRUE(probe.InheritsFrom(TPersistent::StaticClass()));
  EXPECT_TRUE(probe.InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(TComponent::StaticClass()->InheritsFrom(TProbe::StaticClass()));
  EXPECT_FALSE(probe.InheritsFrom(nullptr));

  // A class reference makes an instance of the class it stands for.
  TComponent owner(nullptr);
  TComponentClass cls = TProbe::StaticClass();
  TComponent* made = cls->Create(&owner);
  EXPECT_EQ(made->ClassType(), TProbe::StaticClass());
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_NE(dynamic_cast<TProbe*>(made), nullptr);

  std::unique_ptr<TObject> plain(TPlainThing::StaticClass()->NewInstance());
  EXPECT_EQ(plain->ClassName(), "TPlainThing");
  std::unique_ptr<TObject> persistent(TPersistent::StaticClass()->NewInstance());
  EXPECT_NE(persistent, nullptr);

  EXPECT_THROW(TAbstractThing::StaticClass()->Create(nullptr), EComponentError);
}

TEST(ObjectTest, RegistryFindsByNameAndRefusesClashes) {
  RegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass("TPROBE"), TProbe::StaticClass());
  EXPECT_EQ(FindClass("TProbe"), TProbe::StaticClass());
  // Ancestors come along.
  EXPECT_EQ(GetClass("TComponent"), TComponent::StaticClass());
  RegisterClass(TProbe::StaticClass());  // twice is harmless

  try {
    RegisterClassAlias(TPlainThing::StaticClass(), "TProbe");
    FAIL() << "a clash must raise";
  } catch (const EFilerError& e) {
    EXPECT_STREQ(e.what(), "A class named TProbe already exists");
  }

  UnRegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass("TProbe"), nullptr);
  try {
    FindClass("TProbe");
    FAIL() << "an unknown class must raise";
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TProbe not found");
  }
}

TEST(PersistentTest, AssignErrorNamesBothClasses) {
  TPlainThing a, b;
  a.Value = 7;
  b.Assign(&a);
  EXPECT_EQ(b.Value, 7);

  TComponent comp(nullptr);
  try {
    b.Assign(&comp);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TComponent to a TPlainThing");
  }
  try {
    b.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a nil to a TPlainThing");
  }
}

TEST(ComponentTest, NamesAreValidatedAndUniqueWithinTheOwner) {
  TComponent owner(nullptr);
  auto* a = new TProbe(&owner);
  auto* b = new TProbe(&owner);
  a->SetName("Button1");
  EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);

  struct Case {
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      {"1abc", "'1abc' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"a.b", "'a.b' is not a valid component name"},
      {"button1", "A component named button1 already exists"},
  };
  for (const Case& c : cases) {
    try {
      b->SetName(c.name);
      ADD_FAILURE() << c.name;
    } catch (const EComponentError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(b->Name(), "");
  }
  // Renaming in a different letter case is allowed; the empty name always is.
  a->SetName("BUTTON1");
  EXPECT_EQ(a->Name(), "BUTTON1");
  b->SetName("_x9");
  b->SetName("");
  a->SetName("");
  b->SetName("Button1");
  EXPECT_EQ(owner.FindComponent("button1"), b);

  // Inserting a component whose name the new owner already has is refused.
  TComponent other(nullptr);
  auto* c = new TProbe(&other);
  c->SetName("Button1");
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
}

TEST(ComponentTest, OwnedListOrderAndIndex) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  auto* c = new TComponent(&owner);
  EXPECT_EQ(owner.ComponentCount(), 3);
  EXPECT_EQ(owner.Components(1), b);
  EXPECT_EQ(c->ComponentIndex(), 2);
  c->SetComponentIndex(0);
  EXPECT_EQ(owner.Components(0), c);
  EXPECT_EQ(owner.Components(1), a);
  a->SetComponentIndex(99);  // clamped
  EXPECT_EQ(owner.Components(2), a);
  EXPECT_THROW(owner.Components(3), EListError);
  EXPECT_THROW(owner.Components(-1), EListError);

  // Moving a component to another owner takes it out of the first list.
  TComponent other(nullptr);
  other.InsertComponent(b);
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(b->Owner(), &other);
  EXPECT_EQ(TComponent(nullptr).ComponentIndex(), -1);
}

TEST(ComponentTest, OwnerFreesLastCreatedFirstAndNotifiesWatchers) {
  LogScope scope;
  auto* watcher = new TProbe(nullptr);
  watcher->SetName("Watcher");
  auto* owner = new TProbe(nullptr);
  owner->SetName("Owner");
  auto* first = new TProbe(owner);
  first->SetName("First");
  auto* second = new TProbe(owner);
  second->SetName("Second");
  watcher->Buddy = second;
  second->FreeNotification(watcher);
  EXPECT_TRUE(second->ComponentState().Contains(csFreeNotification));
  delete owner;
  // The owner's own destructor body runs first, then what it owns goes, last created first.
  // Those still there hear of each before it goes (so First may drop a reference to Second);
  // the watcher hears while Second is still whole.
  const std::vector<std::string> expected = {
      "free Owner",
      "Second hears Second (probe)",
      "First hears Second (probe)",
      "Watcher hears Second (probe)",
      "free Second",
      "First hears First (probe)",
      "free First",
  };
  EXPECT_EQ(scope.log, expected);
  EXPECT_EQ(watcher->Buddy, nullptr);
  delete watcher;
}

TEST(ComponentTest, OwnedComponentFreedAloneIsWholeWhenTheOthersHear) {
  LogScope scope;
  TProbe owner(nullptr);
  owner.SetName("O");
  auto* a = new TProbe(&owner);
  a->SetName("A");
  auto* b = new TProbe(&owner);
  b->SetName("B");
  b->Buddy = a;
  delete a;
  // Siblings and the owner hear once, before A's own destructor runs, while it is still a TProbe.
  EXPECT_EQ(scope.log,
            (std::vector<std::string>{"B hears A (probe)", "A hears A (probe)", "O hears A (probe)", "free A"}));
  EXPECT_EQ(b->Buddy, nullptr);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.FindComponent("A"), nullptr);
}

TEST(ComponentTest, DestroyingStateAndRemovedFreeNotification) {
  LogScope scope;
  auto* owner = new TProbe(nullptr);
  auto* child = new TProbe(owner);
  auto* watcher = new TProbe(nullptr);
  watcher->SetName("W");
  child->SetName("C");
  child->FreeNotification(watcher);
  child->RemoveFreeNotification(watcher);

  owner->Destroying();
  EXPECT_TRUE(owner->ComponentState().Contains(csDestroying));
  EXPECT_TRUE(child->ComponentState().Contains(csDestroying));
  delete owner;
  EXPECT_EQ(std::count(scope.log.begin(), scope.log.end(), "W hears C (probe)"), 0);

  // A watcher freed first leaves nothing dangling behind.
  auto* target = new TProbe(nullptr);
  target->SetName("T");
  target->FreeNotification(watcher);
  delete watcher;
  scope.log.clear();
  delete target;
  EXPECT_EQ(scope.log, std::vector<std::string>{"free T"});
}

TEST(ComponentTest, InsertAndRemoveReachEverySibling) {
  LogScope scope;
  TProbe owner(nullptr);
  owner.SetName("O");
  auto* a = new TProbe(&owner);
  a->SetName("A");
  auto* b = new TProbe(&owner);
  b->SetName("B");
  owner.RemoveComponent(b);
  EXPECT_EQ(b->Owner(), nullptr);
  // The owner and every owned component (the leaving one too) hear of the removal.
  EXPECT_EQ(scope.log, (std::vector<std::string>{"B hears B (probe)", "A hears B (probe)", "O hears B (probe)"}));
  delete b;
}

TEST(ComponentTest, DesigningAndNamePath) {
  TComponent owner(nullptr);
  owner.SetDesigning(true);
  auto* c = new TComponent(&owner);
  EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
  c->SetName("Edit1");
  EXPECT_EQ(c->GetNamePath(), "Edit1");
  TPlainThing plain;
  EXPECT_EQ(plain.GetNamePath(), "TPlainThing");
}

namespace {

// Overrides Notification without run-time class information of its own.
class TBareListener : public TComponent {
public:
  using TComponent::TComponent;
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (gLog && AComponent) gLog->push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
  }
};

// A derived class that inherits its parent's Notification.
class TProbeChild : public TProbe {
  VM_CLASS(TProbeChild, TProbe)
public:
  using TProbe::TProbe;
};
VM_DEFINE_CLASS(TProbeChild)

}  // namespace

TEST(ComponentTest, NameIndexFollowsRenameRemovalAndFree) {
  TComponent owner(nullptr);
  std::vector<TComponent*> made;
  for (int i = 0; i < 300; ++i) {
    TComponent* c = TComponent::StaticClass()->Create(&owner);
    c->SetName("Item" + std::to_string(i));
    made.push_back(c);
  }
  EXPECT_EQ(owner.FindComponent("ITEM299"), made[299]);
  EXPECT_EQ(owner.FindComponent("item0"), made[0]);
  // Unique whatever the letter case, also for a component coming from another owner.
  EXPECT_THROW(made[5]->SetName("iTeM7"), EComponentError);
  EXPECT_EQ(made[5]->Name(), "Item5");
  TComponent other(nullptr);
  auto* stranger = new TComponent(&other);
  stranger->SetName("ITEM12");
  EXPECT_THROW(owner.InsertComponent(stranger), EComponentError);
  EXPECT_EQ(stranger->Owner(), &other);

  // A rename frees the old name and takes the new one.
  made[5]->SetName("Renamed");
  EXPECT_EQ(owner.FindComponent("item5"), nullptr);
  EXPECT_EQ(owner.FindComponent("RENAMED"), made[5]);
  made[6]->SetName("Item5");
  EXPECT_EQ(owner.FindComponent("ITEM5"), made[6]);
  made[6]->SetName("");
  EXPECT_EQ(owner.FindComponent("Item5"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);

  // A removed component's name is free in the old owner and taken in the new one.
  owner.RemoveComponent(made[7]);
  EXPECT_EQ(owner.FindComponent("Item7"), nullptr);
  other.InsertComponent(made[7]);
  EXPECT_EQ(other.FindComponent("item7"), made[7]);
  stranger->SetName("Item7x");
  other.InsertComponent(made[9]);
  EXPECT_THROW(made[9]->SetName("ITEM7"), EComponentError);

  // Freed components leave the index.
  delete made[10];
  EXPECT_EQ(owner.FindComponent("Item10"), nullptr);
  auto* again = new TComponent(&owner);
  again->SetName("item10");
  EXPECT_EQ(owner.FindComponent("ITEM10"), again);
  made[11]->SetComponentIndex(0);
  EXPECT_EQ(owner.FindComponent("Item11"), made[11]);
  owner.DestroyComponents();
  EXPECT_EQ(owner.FindComponent("Item11"), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(ComponentTest, ListenersHearEveryInsertAndRemovalInListOrder) {
  LogScope scope;
  TComponent owner(nullptr);
  // Plain components made through their class reference, listeners made either way.
  TComponent* plain1 = TComponent::StaticClass()->Create(&owner);
  auto* l1 = new TBareListener(&owner);
  l1->SetName("L1");
  TComponent* plain2 = TComponent::StaticClass()->Create(&owner);
  auto* p2 = static_cast<TProbe*>(TProbeChild::StaticClass()->Create(&owner));
  p2->SetName("P2");
  // A plain component whose own child listens still passes the news on.
  TComponent* holder = TComponent::StaticClass()->Create(&owner);
  auto* inner = new TBareListener(holder);
  inner->SetName("In");
  auto* l3 = new TBareListener(&owner);
  l3->SetName("L3");
  plain1->SetName("Plain1");
  plain2->SetName("Plain2");
  scope.log.clear();

  auto* x = new TComponent(&owner);
  x->SetName("X");
  // The newcomer heard through the owner's list from its end, then the removal.
  EXPECT_EQ(scope.log, (std::vector<std::string>{"L3 +", "In +", "L1 +"}));
  scope.log.clear();
  delete x;
  EXPECT_EQ(scope.log, (std::vector<std::string>{"L3 -X", "In -X", "P2 hears X (part)", "L1 -X"}));

  // Reordering the list reorders who hears first.
  scope.log.clear();
  l1->SetComponentIndex(owner.ComponentCount() - 1);
  auto* y = new TComponent(&owner);
  y->SetName("Y");
  owner.RemoveComponent(y);
  EXPECT_EQ(scope.log,
            (std::vector<std::string>{"L1 +", "L3 +", "In +", "L1 -Y", "L3 -Y", "In -Y", "P2 hears Y (part)"}));
  delete y;

  // Once its only child is gone the plain holder has nothing to pass on.
  delete inner;
  scope.log.clear();
  auto* z = new TComponent(&owner);
  z->SetName("Z");
  delete z;
  EXPECT_EQ(scope.log, (std::vector<std::string>{"L1 +", "L3 +", "L1 -Z", "L3 -Z", "P2 hears Z (part)"}));
}
