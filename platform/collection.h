// TCollection, TOwnedCollection and TCollectionItem: lists of items of one class, streamed with
// their owner.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "platform/component.h"

class TCollection;
class TCollectionItem;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// The metaclass of the item family: a virtual constructor taking the collection.
class TCollectionItemMetaClass : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TCollectionItem* Create(TCollection* Collection) const;
};
using TCollectionItemClass = const TCollectionItemMetaClass*;

template <class T, class Base = TCollectionItemMetaClass>
class TCollectionItemMetaImpl : public Base {
public:
  using Base::Base;
  TCollectionItem* Create(TCollection* Collection) const override {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, TCollection*>)
      return new T(Collection);
    else
      return Base::Create(Collection);
  }
};
template <class T>
using TCollectionItemMeta = TCollectionItemMetaImpl<T, TCollectionItemMetaClass>;

class TCollectionItem : public TPersistent {
  VM_CLASS_FAMILY(TCollectionItem, TPersistent, TCollectionItemMetaClass, TCollectionItemMeta)
public:
  // Joins Collection (when given) at its end; an item made by TCollection::Add joins when its
  // constructors have all run, and only then is its class checked against the item class.
  explicit TCollectionItem(TCollection* Collection);
  // Leaves its collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (or none).
  virtual void SetCollection(TCollection* Value);
  // A number unique within the collection, never reused.
  int ID() const { return FID; }
  int Index() const;
  // Moves the item within its collection (the index is clamped).
  virtual void SetIndex(int Value);
  virtual std::string GetDisplayName();
  virtual void SetDisplayName(const std::string& Value);
  std::string DisplayName() { return GetDisplayName(); }

  TPersistent* GetOwner() override;
  // "<collection path>[<index>]".
  std::string GetNamePath() override;

protected:
  // Tells the collection that this item (or, with AllItems, every item) changed.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  VM_CLASS(TCollection, TPersistent)
public:
  explicit TCollection(TCollectionItemClass ItemClass);
  // Frees the items.
  ~TCollection() override;

  // A new item of ItemClass at the end. Its constructor is given this collection; it joins
  // once constructed (an item that joined another collection meanwhile stays there).
  TCollectionItem* Add();
  // A new item at Index.
  TCollectionItem* Insert(int Index);
  // Frees the item at Index.
  void Delete(int Index);
  // Frees every item (in one update bracket).
  virtual void Clear();
  // Update brackets: changes inside them call Update once at the last EndUpdate.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  TCollectionItem* FindItemID(int ID) const;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (%d)".
  TCollectionItem* Items(int Index) const;
  // Assigns Value into the item at Index.
  void SetItem(int Index, TCollectionItem* Value);
  TCollectionItemClass ItemClass() const { return FItemClass; }

  // From another collection: the same number of items, each assigned from its counterpart.
  void Assign(TPersistent* Source) override;
  std::string GetNamePath() override;
  // The name of the owner's published property that holds this collection.
  std::string PropName();
  void SetPropName(const std::string& Value) { FPropName = Value; }
  TPersistent* Owner() { return GetOwner(); }

protected:
  // Called after changes outside update brackets; Item is nullptr when all items may have changed.
  virtual void Update(TCollectionItem* /*Item*/) {}
  virtual void Notify(TCollectionItem* /*Item*/, TCollectionNotification /*Action*/) {}
  virtual void SetItemName(TCollectionItem* /*Item*/) {}
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item, bool CheckClass = true);
  void RemoveItem(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  std::string FPropName;
  bool FJoinAfterCreate = false;  // Add is creating an item
};

// A collection whose name path and owner are those of the object holding it.
class TOwnedCollection : public TCollection {
  VM_CLASS(TOwnedCollection, TCollection)
public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass);
  TPersistent* GetOwner() override { return FOwner; }

private:
  TPersistent* FOwner;
};
