// Published properties of components stored as text values of a settings file, by property kind.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/object.h"
#include "platform/typinfo.h"

class TComponent;
class TStrings;

// "Component.Property": split at the first "." with both parts trimmed; false unless both parts
// are non-empty.
bool SplitStoredItem(const std::string& Item, std::string& CompName, std::string& PropName);
std::string MakeStoredItem(const std::string& CompName, const std::string& PropName);
// The item with its component part replaced (the item unchanged when it does not split).
std::string RenameStoredItem(const std::string& Item, const std::string& NewCompName);

// Every kind with a text form or sub-values: all but unknown and events.
inline constexpr TTypeKinds tkStoredProps = tkProperties;

// The published properties of an object's class restricted to some kinds, sorted by name.
class TPropInfoList : public TObject {
  VM_CLASS(TPropInfoList, TObject)
public:
  TPropInfoList(TObject* AObject, TTypeKinds Filter);
  int Count() const { return static_cast<int>(FList.size()); }
  const TPropInfo* Items(int Index) const { return FList.at(static_cast<size_t>(Index)); }
  // Letter case ignored; nullptr when absent.
  const TPropInfo* Find(const std::string& AName) const;

private:
  std::vector<const TPropInfo*> FList;
};

using TReadStrEvent =
    std::function<std::string(const std::string& ASection, const std::string& Item, const std::string& Default)>;
using TWriteStrEvent =
    std::function<void(const std::string& ASection, const std::string& Item, const std::string& Value)>;
using TEraseSectEvent = std::function<void(const std::string& ASection)>;

class TPropsStorage : public TObject {
  VM_CLASS(TPropsStorage, TObject)
public:
  TPropsStorage() = default;

  // The object whose properties are read or written.
  TObject* AObject() const { return FObject; }
  void SetAObject(TObject* Value) { FObject = Value; }
  // The form during WriteComponentProps / ReadComponentProps (component references resolve in it).
  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  const std::string& Prefix() const { return FPrefix; }
  void SetPrefix(const std::string& Value) { FPrefix = Value; }
  const std::string& Section() const { return FSection; }
  void SetSection(const std::string& Value) { FSection = Value; }

  TReadStrEvent OnReadString;
  TWriteStrEvent OnWriteString;
  TEraseSectEvent OnEraseSection;

  virtual std::string ReadValueText(const std::string& ASection, const std::string& Item, const std::string& Default);
  virtual void WriteValueText(const std::string& ASection, const std::string& Item, const std::string& Value);
  virtual void ClearSection(const std::string& ASection);
  virtual std::string KeyFor(const std::string& PropName);
  virtual std::unique_ptr<TPropsStorage> NewStorage();

  // Every listed "Component.Property" of Owner's components, under "Component_Property" keys
  // of Section.
  void WriteComponentProps(TComponent* AOwner, TStrings* List);
  void ReadComponentProps(TComponent* AOwner, TStrings* List);
  // One property of AObject; nothing without a record. Reading ignores every failure.
  void WriteProperty(const TPropInfo* PropInfo);
  void ReadProperty(const TPropInfo* PropInfo);
  // All stored properties of AObject.
  void StoreObjectProps();
  void LoadObjectProps();

private:
  // Runs Action on each listed property of Owner's components, with the object and the key
  // prefix set for it.
  void ForEachListedProp(TComponent* AOwner, TStrings* List, const std::function<void(const TPropInfo*)>& Action);
  std::string PropText(const TPropInfo* PropInfo);
  void ApplyText(const TPropInfo* PropInfo, const std::string& Text);
  std::string StoreObjectProp(const TPropInfo* PropInfo);
  void LoadObjectProp(const TPropInfo* PropInfo, const std::string& Text);
  std::unique_ptr<TPropsStorage> Nested(TObject* AObject, const std::string& ASection, const std::string& APrefix);

  // Whether Obj is being stored by this storage or one it is nested in (an object that holds
  // itself, directly or through its sub-objects, is stored once).
  bool InNestingPath(const TObject* Obj) const;

  TObject* FObject = nullptr;
  const TPropsStorage* FParent = nullptr;
  TComponent* FOwner = nullptr;
  std::string FPrefix;
  std::string FSection;
};

// Binds (FromForm) or renames the items of List to the components of Owner, from the last item
// to the first; items that do not split, or whose component is gone, are deleted.
void SyncStoredList(TComponent* Owner, TStrings* List, bool FromForm);
// The form of that name among the screen's forms (letter case ignored), or nullptr.
TComponent* FindNamedFormOrModule(const std::string& AName);
