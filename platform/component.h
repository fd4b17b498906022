// TPersistent and TComponent: assignable objects and the owned component tree.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/exceptions.h"
#include "platform/object.h"
#include "platform/set.h"

class TComponent;
class TFiler;
class TReader;
class TWriter;

// An object that can be assigned from another and streamed through its published properties.
class TPersistent : public TObject {
  VM_CLASS(TPersistent, TObject)
public:
  TPersistent() = default;
  ~TPersistent() override;

  // Copies Source into this object. The base hands the work to Source->AssignTo(this); a
  // nullptr or an unknown source raises EConvertError "Cannot assign a %s to a %s".
  virtual void Assign(TPersistent* Source);
  // Copies this object into Dest; the base raises the cannot-assign error.
  virtual void AssignTo(TPersistent* Dest);
  // Extra stream properties beyond the published ones (TFiler::DefineProperty...).
  virtual void DefineProperties(TFiler* Filer);
  // The object that owns this one in the name path (a component, a collection...).
  virtual TPersistent* GetOwner();
  // "Owner.Path.ClassName" by default; components answer their name.
  virtual std::string GetNamePath();

  // Raises EConvertError "Cannot assign a <Source class or nil> to a <this class>".
  [[noreturn]] void AssignError(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

using TGetChildProc = std::function<void(TComponent* Child)>;

// The metaclass of the component family: a virtual constructor taking the owner.
class TComponentMetaClass : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  // Raises EComponentError "Cannot create an instance of abstract class %s" for a class that
  // cannot be made.
  virtual TComponent* Create(TComponent* AOwner) const;
  TObject* NewInstance() const override;
};
using TComponentClass = const TComponentMetaClass*;

// Tells a whole component that its class keeps TComponent::Notification.
void MarkBaseNotification(TComponent* AComponent);

// Implements Create for class T (constructor T(TComponent* AOwner)); Base is the family's
// metaclass type, so families with class-level virtual methods derive from this.
template <class T, class Base = TComponentMetaClass>
class TComponentMetaImpl : public Base {
public:
  using Base::Base;
  TComponent* Create(TComponent* AOwner) const override {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, TComponent*>) {
      T* result = new T(AOwner);
      // Whole now: a class that keeps the base Notification needs news only for what it owns
      // or watches, so its owner may pass it by.
      if constexpr (requires { &T::Notification; }) {
        if constexpr (std::is_same_v<decltype(&T::Notification), void (TComponent::*)(TComponent*, TOperation)>)
          MarkBaseNotification(result);
      }
      return result;
    } else {
      return Base::Create(AOwner);
    }
  }
};
template <class T>
using TComponentMeta = TComponentMetaImpl<T, TComponentMetaClass>;

// A named component in an ownership tree. The owner frees what it owns, last created first.
class TComponent : public TPersistent {
  VM_CLASS_FAMILY(TComponent, TPersistent, TComponentMetaClass, TComponentMeta)
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // Raises EComponentError "'%s' is not a valid component name" for a name that is not an
  // identifier, and "A component named %s already exists" when the owner has another one of
  // that name (letter case ignored). The empty name is always allowed.
  virtual void SetName(const std::string& NewName);
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t Value) { FTag = Value; }

  // The owned components, in creation (insertion) order.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TComponent* Components(int Index) const;
  // Position in the owner's list; -1 without owner.
  int ComponentIndex() const;
  // Moves this component within its owner's list (the index is clamped).
  void SetComponentIndex(int Value);
  // The owned component of that name, letter case ignored; nullptr when none or Name is empty.
  TComponent* FindComponent(const std::string& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last first; the others hear of each (Notification opRemove).
  void DestroyComponents();
  // Sets csDestroying on this component and everything it owns.
  void Destroying();

  TComponentState ComponentState() const { return FComponentState; }
  // For the streaming system and for code that builds components: switch one state on or off.
  void SetComponentState(TComponentStateItem Item, bool On);
  TComponentStyle ComponentStyle() const { return FComponentStyle; }
  // A sub-component is streamed as part of its owner's property, not as a child.
  void SetSubComponent(bool Value);
  // Sets or clears csDesigning, and on every owned component when SetChildren.
  void SetDesigning(bool Value, bool SetChildren = true);

  // Asks to be told (Notification with opRemove) when AComponent is freed, and tells it in turn.
  // Components of the same owner hear of each other through the owner anyway.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Tells this component that AComponent was inserted or is being removed. The base forgets a
  // removed component's free notification and passes the call to every owned component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Called once a stream has been read completely; the base clears csLoading.
  virtual void Loaded();
  virtual void Updating();
  virtual void Updated();

  // The parent relation used by streams (series of a chart, controls of a panel...).
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* /*Value*/) {}
  // The components written as children of this one. The base, when this is Root, lists the
  // owned components that have no parent.
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  virtual void SetChildOrder(TComponent* /*Child*/, int /*Order*/) {}

  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  virtual void ValidateInsert(TComponent* /*AComponent*/) {}
  virtual void ValidateContainer(TComponent* AComponent);

  // Streaming of this component's own properties and children (see streaming.h).
  virtual void ReadState(TReader* Reader);
  virtual void WriteState(TWriter* Writer);

  std::string GetNamePath() override;
  TPersistent* GetOwner() override { return FOwner; }
  void BeforeDestruction() override;

  // The class reference of this object.
  TComponentClass ComponentClass() const { return static_cast<TComponentClass>(ClassType()); }

protected:
  // Stores the new name without validation.
  void ChangeName(const std::string& NewName);

private:
  friend void MarkBaseNotification(TComponent* AComponent);
  void Insert(TComponent* AComponent);
  // Joins or leaves the owner's listeners as this component's needs change.
  void UpdateListening();
  void IndexName(TComponent* AComponent);
  void UnindexName(TComponent* AComponent);
  void RenumberComponents();
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  void SendFreeNotifications();

  TComponent* FOwner = nullptr;
  std::string FName;
  intptr_t FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle = {csInheritable};
  bool FOwnerTold = false;  // the owner has heard of this component's removal already
  // Owned components by upper-case name (names are ASCII identifiers).
  std::unordered_multimap<std::string, TComponent*> FNameIndex;
  // The owned components that must hear insert and remove news, by list position key: those
  // whose class overrides Notification (or is not known not to), that own components or watch
  // others. The rest would do nothing with the news.
  std::map<uint64_t, TComponent*> FListeners;
  uint64_t FNextOrder = 0;
  uint64_t FOrder = 0;             // position key in the owner's list (grows with the index)
  bool FListening = false;         // in the owner's FListeners
  bool FBaseNotification = false;  // the class keeps TComponent::Notification
};
