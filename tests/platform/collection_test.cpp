// Collections: items, update brackets, notifications, ids, order, assignment and name paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "streaming_fixture.h"

using namespace fixture;

namespace {

// Logs what a collection tells its descendants.
class TLoggedCollection : public TCollection {
  VM_CLASS(TLoggedCollection, TCollection)
public:
  TLoggedCollection() : TCollection(TWidgetItem::StaticClass()) {}
  std::vector<std::string> Log;

protected:
  void Update(TCollectionItem* Item) override {
    // The item is whole when told about: its fields are set.
    Log.push_back(Item ? "update " + std::to_string(static_cast<TWidgetItem*>(Item)->Width) : "update all");
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* names[] = {"added", "extracting", "deleting"};
    Log.push_back(std::string(names[Action]) + " " + std::to_string(Item->ID()));
  }
};

VM_DEFINE_CLASS(TLoggedCollection)

class TOtherItem : public TCollectionItem {
  VM_CLASS(TOtherItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
};

VM_DEFINE_CLASS(TOtherItem)

// An item that needs its collection's owner while it is constructed.
class TOwnerAwareItem : public TCollectionItem {
  VM_CLASS(TOwnerAwareItem, TCollectionItem)
public:
  explicit TOwnerAwareItem(TCollection* Collection)
      : TCollectionItem(Collection), SeenOwner(Collection ? Collection->Owner() : nullptr) {}
  TPersistent* SeenOwner;
};

VM_DEFINE_CLASS(TOwnerAwareItem)

// Checks that every item it hears of is a finished TOwnerAwareItem.
class TCheckingCollection : public TOwnedCollection {
  VM_CLASS(TCheckingCollection, TOwnedCollection)
public:
  explicit TCheckingCollection(TPersistent* AOwner) : TOwnedCollection(AOwner, TOwnerAwareItem::StaticClass()) {}
  std::vector<std::string> Log;

protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    auto* item = dynamic_cast<TOwnerAwareItem*>(Item);
    Log.push_back(std::to_string(Action) + (item && item->SeenOwner == Owner() ? " whole" : " partial"));
  }
};

VM_DEFINE_CLASS(TCheckingCollection)

}  // namespace

TEST(CollectionTest, ItemsNotifyAndUpdateOutsideBrackets) {
  TLoggedCollection c;
  auto* a = static_cast<TWidgetItem*>(c.Add());
  EXPECT_EQ(c.Log, (std::vector<std::string>{"added 0", "update all"}));
  EXPECT_EQ(a->Collection(), &c);
  EXPECT_EQ(a->ClassType(), TWidgetItem::StaticClass());

  c.Log.clear();
  c.BeginUpdate();
  c.Add();
  c.Add();
  c.Delete(0);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"added 1", "added 2", "deleting 0", "extracting 0"}));
  c.EndUpdate();
  EXPECT_EQ(c.Log.back(), "update all");
  EXPECT_EQ(c.Count(), 2);

  // Ids are never reused; FindItemID finds by id.
  auto* d = c.Add();
  EXPECT_EQ(d->ID(), 3);
  EXPECT_EQ(c.FindItemID(2), c.Items(1));
  EXPECT_EQ(c.FindItemID(0), nullptr);

  // Freeing an item takes it out; Clear frees everything in one bracket.
  c.Log.clear();
  delete c.Items(0);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"extracting 1", "update all"}));
  c.Log.clear();
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"extracting 3", "extracting 2", "update all"}));
  EXPECT_THROW(c.Items(0), EListError);
  EXPECT_THROW(c.Delete(0), EListError);
}

TEST(CollectionTest, OrderMovesAndAssignment) {
  TLoggedCollection c;
  for (int i = 0; i < 3; ++i) static_cast<TWidgetItem*>(c.Add())->Width = i;
  auto* last = c.Items(2);
  last->SetIndex(0);
  EXPECT_EQ(c.Items(0), last);
  EXPECT_EQ(last->Index(), 0);
  last->SetIndex(10);  // clamped
  EXPECT_EQ(last->Index(), 2);
  auto* inserted = static_cast<TWidgetItem*>(c.Insert(1));
  EXPECT_EQ(inserted->Index(), 1);
  EXPECT_EQ(c.Count(), 4);

  // An item moves between collections.
  TLoggedCollection other;
  inserted->SetCollection(&other);
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(other.Items(0), inserted);

  // Assignment gives the same number of items with the same values.
  other.Assign(&c);
  ASSERT_EQ(other.Count(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(static_cast<TWidgetItem*>(other.Items(i))->Width, static_cast<TWidgetItem*>(c.Items(i))->Width);
  TFontLike font;
  EXPECT_THROW(other.Assign(&font), EConvertError);

  // Items of a class that is not the collection's item class are refused (checked once the item
  // is constructed: in its base constructor every item is still a plain TCollectionItem).
  TOtherItem stranger(nullptr);
  EXPECT_THROW(stranger.SetCollection(&c), EListError);
  EXPECT_EQ(stranger.Collection(), nullptr);
  EXPECT_EQ(c.Count(), 3);
  // An item of the right class made directly joins at once.
  auto* direct = new TWidgetItem(&c);
  EXPECT_EQ(direct->Index(), 3);
}

TEST(CollectionTest, OwnedCollectionNamePath) {
  TPanelForm form(nullptr);
  auto* w = new TWidget(&form);
  w->SetName("Widget1");
  w->Items()->Add();
  auto* second = w->Items()->Add();
  EXPECT_EQ(w->Items()->Owner(), w);
  EXPECT_EQ(w->Items()->PropName(), "Items");
  EXPECT_EQ(w->Items()->GetNamePath(), "Widget1.Items");
  EXPECT_EQ(second->GetNamePath(), "Widget1.Items[1]");
  EXPECT_EQ(second->DisplayName(), "TWidgetItem");
  TLoggedCollection loose;
  EXPECT_EQ(loose.GetNamePath(), "TLoggedCollection");
}

TEST(CollectionTest, ItemsMadeByAddSeeTheirCollectionAndJoinWhole) {
  TFontLike owner;
  TCheckingCollection c(&owner);
  auto* added = static_cast<TOwnerAwareItem*>(c.Add());
  auto* inserted = static_cast<TOwnerAwareItem*>(c.Insert(0));
  EXPECT_EQ(added->SeenOwner, &owner);
  EXPECT_EQ(inserted->SeenOwner, &owner);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Items(0), inserted);
  EXPECT_EQ(added->Collection(), &c);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"0 whole", "0 whole"}));
  // Made directly, an item joins in its base constructor, as before.
  auto* direct = new TOwnerAwareItem(&c);
  EXPECT_EQ(direct->SeenOwner, &owner);
  EXPECT_EQ(c.Count(), 3);
}
