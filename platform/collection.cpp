#include "platform/collection.h"

#include <algorithm>

#include "platform/guards.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

TCollectionItem* TCollectionItemMetaClass::Create(TCollection*) const {
  throw EComponentError(Format("Cannot create an instance of abstract class %s", {ClassName()}));
}

// ---------------------------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) {
  // Made by Add: the item joins once its constructors have all run.
  if (Collection && Collection->FJoinAfterCreate) {
    Collection->FJoinAfterCreate = false;
    return;
  }
  // Made directly: it joins now. Its class cannot be checked yet (it is a TCollectionItem until
  // its own constructor runs), and Notify and Update see it unfinished.
  if (Collection) Collection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0) return;
  auto& items = FCollection->FItems;
  Value = std::clamp(Value, 0, static_cast<int>(items.size()) - 1);
  if (Value == cur) return;
  items.erase(items.begin() + cur);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

std::string TCollectionItem::GetDisplayName() { return ClassName(); }

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

std::string TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no Update calls while tearing down
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  // The constructors see the collection (an item may need its owner), but the item joins only
  // when it is whole, so Notify and Update see a finished object.
  FJoinAfterCreate = true;
  TCollectionItem* item;
  {
    TScopeExit restore([&] { FJoinAfterCreate = false; });
    item = FItemClass->Create(this);
  }
  if (!item->FCollection) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  BeginUpdate();
  TCollectionItem* item;
  TScopeExit endUpdate([&] { EndUpdate(); });
  item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  for (TCollectionItem* item : source->FItems) Add()->Assign(item);
}

std::string TCollection::PropName() {
  if (!FPropName.empty()) return FPropName;
  TPersistent* owner = GetOwner();
  if (!owner) return std::string();
  for (const TPropInfo* p : GetPropList(owner->ClassType(), {tkClass}))
    if (p->GetObj && p->GetObj(owner) == this) {
      FPropName = p->Name;
      break;
    }
  return FPropName;
}

std::string TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  std::string s = owner->GetNamePath();
  if (s.empty()) return ClassName();
  std::string prop = PropName();
  if (prop.empty()) return ClassName();
  return s + "." + prop;
}

void TCollection::InsertItem(TCollectionItem* Item, bool CheckClass) {
  if (CheckClass && !Item->InheritsFrom(FItemClass)) throw EListError("Invalid property value");
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  SetItemName(Item);
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
  Item->FCollection = nullptr;
  Changed();
}

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {}

VM_DEFINE_CLASS(TCollectionItem)
VM_DEFINE_CLASS(TCollection)
VM_DEFINE_CLASS(TOwnedCollection)
