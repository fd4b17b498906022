// TObject, run-time class information (metaclass objects) and the class registry.
//
// Every class with run-time class information names its parent in its body and defines its
// metaclass in its .cpp file:
//
//   class TFoo : public TPersistent {
//     VM_CLASS(TFoo, TPersistent)
//   public:
//     ...
//   };
//   VM_DEFINE_CLASS(TFoo)                 // in foo.cpp
//
// VM_CLASS leaves the access at private. A class reference (`TClass`, `TComponentClass`, ...) is a
// pointer to the class's metaclass object: it knows the class name and parent, creates instances
// (virtual constructors) and may carry class-level virtual methods. A family of classes with its
// own class methods derives a metaclass type and names it with VM_CLASS_FAMILY (see component.h).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/types.h"

class TObject;
class TMetaClass;
class TPropertyTable;

// A class reference.
using TClass = const TMetaClass*;
using TPersistentClass = TClass;

// Fills the published-property table of one class (see typinfo.h).
using TPublishProc = void (*)(TPropertyTable& Table);

// The metaclass object of one class.
class TMetaClass {
public:
  TMetaClass(const char* AClassName, TClass AParent, TPublishProc APublish = nullptr);
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;
  virtual ~TMetaClass();

  const std::string& ClassName() const { return FClassName; }
  TClass ClassParent() const { return FParent; }
  // Letter case ignored.
  bool ClassNameIs(const std::string& Name) const;
  // True for the class itself and every descendant.
  bool InheritsFrom(TClass AClass) const;

  // A new instance made by the class's default constructor; nullptr when the class is abstract
  // or has no constructor without arguments. Families override it (TComponentClass: Create(nullptr)).
  virtual TObject* NewInstance() const { return nullptr; }

  // The published properties and methods of the class, inherited ones first (built on first use).
  const TPropertyTable& PropTable() const;

private:
  std::string FClassName;
  TClass FParent;
  TPublishProc FPublish;
  mutable std::unique_ptr<TPropertyTable> FTable;
};

// The metaclass implementation of a plain class: NewInstance uses the default constructor.
template <class T, class Base = TMetaClass>
class TObjectMetaImpl : public Base {
public:
  using Base::Base;
  TObject* NewInstance() const override {
    if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>)
      return new T();
    else
      return nullptr;
  }
};
template <class T>
using TObjectMeta = TObjectMetaImpl<T, TMetaClass>;

// The root of every class with run-time class information. Objects are not copied.
class TObject {
public:
  using TMetaClassType = TMetaClass;
  template <class T>
  using TMetaFor = TObjectMeta<T>;
  using inherited = void;

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType()->ClassName(); }
  bool ClassNameIs(const std::string& Name) const { return ClassType()->ClassNameIs(Name); }
  TClass ClassParent() const { return ClassType()->ClassParent(); }
  bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }

  // Runs on `delete` while the object is still whole, before any destructor.
  virtual void BeforeDestruction() {}

  // `delete` calls BeforeDestruction first, then the destructors.
  static void operator delete(TObject* Obj, std::destroying_delete_t);
  // The matching allocation (and the release used when a constructor throws).
  static void* operator new(std::size_t Size);
  static void* operator new(std::size_t, void* Place) noexcept { return Place; }
  static void operator delete(void* Block) noexcept;

  // The names of the handlers bound to event properties by a stream (kept for writing).
  std::string EventHandlerName(const std::string& EventName) const;
  void SetEventHandlerName(const std::string& EventName, const std::string& HandlerName);

private:
  std::unique_ptr<std::vector<std::pair<std::string, std::string>>> FHandlerNames;
};

// Frees the object and clears the pointer.
template <class T>
void FreeAndNil(T*& Obj) {
  T* tmp = Obj;
  Obj = nullptr;
  delete tmp;
}

#define VM_CLASS(Self, Parent)                                \
public:                                                       \
  using inherited = Parent;                                   \
  static const TMetaClassType* StaticClass();                 \
  TClass ClassType() const override { return StaticClass(); } \
                                                              \
private:

// Starts a family with its own metaclass type (MetaType) and its implementation template
// (MetaTemplate<T> derived from MetaType).
#define VM_CLASS_FAMILY(Self, Parent, MetaType, MetaTemplate) \
public:                                                       \
  using TMetaClassType = MetaType;                            \
  template <class T_>                                         \
  using TMetaFor = MetaTemplate<T_>;                          \
  VM_CLASS(Self, Parent)

#define VM_DEFINE_CLASS_EX(Self, NameText, PublishProc)                                                \
  const Self::TMetaClassType* Self::StaticClass() {                                                    \
    static const Self::TMetaFor<Self> vm_meta_(NameText, Self::inherited::StaticClass(), PublishProc); \
    return &vm_meta_;                                                                                  \
  }

// Defines the metaclass of a class without published properties of its own.
#define VM_DEFINE_CLASS(Self) VM_DEFINE_CLASS_EX(Self, #Self, nullptr)
// The same for a class declared in a namespace: NameText is its plain name ("TFoo").
#define VM_DEFINE_CLASS_AS(Self, NameText) VM_DEFINE_CLASS_EX(Self, NameText, nullptr)

// The class registry: classes that streams and editors find by name (letter case ignored).
// Registering a class registers its ancestors too; registering a different class under a name
// already taken raises EFilerError "A class named %s already exists".
void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> Classes);
void RegisterClassAlias(TClass AClass, const std::string& Alias);
void UnRegisterClass(TClass AClass);
void UnRegisterClasses(std::initializer_list<TClass> Classes);
// nullptr when no class of that name is registered.
TClass GetClass(const std::string& ClassName);
// Raises EClassNotFound "Class %s not found" when no class of that name is registered.
TClass FindClass(const std::string& ClassName);
// One class group only: kept so that start-up code can say which group streams use.
TClass ActivateClassGroup(TClass AClass);

// Casts a class reference to a family's class reference; nullptr when it is not one.
template <class MetaType>
const MetaType* ClassCast(TClass AClass) {
  return dynamic_cast<const MetaType*>(AClass);
}
