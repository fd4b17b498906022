#include "platform/object.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/exceptions.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

TMetaClass::TMetaClass(const char* AClassName, TClass AParent, TPublishProc APublish)
    : FClassName(AClassName), FParent(AParent), FPublish(APublish) {}

TMetaClass::~TMetaClass() = default;

const TPropertyTable& TMetaClass::PropTable() const {
  if (!FTable) {
    auto table = std::make_unique<TPropertyTable>();
    if (FParent) *table = FParent->PropTable();
    if (FPublish) FPublish(*table);
    FTable = std::move(table);
  }
  return *FTable;
}

bool TMetaClass::ClassNameIs(const std::string& Name) const { return SameText(FClassName, Name); }

bool TMetaClass::InheritsFrom(TClass AClass) const {
  if (!AClass) return false;
  for (TClass c = this; c; c = c->FParent)
    if (c == AClass) return true;
  return false;
}

TObject::~TObject() = default;

std::string TObject::EventHandlerName(const std::string& EventName) const {
  if (FHandlerNames)
    for (const auto& [event, handler] : *FHandlerNames)
      if (SameText(event, EventName)) return handler;
  return std::string();
}

void TObject::SetEventHandlerName(const std::string& EventName, const std::string& HandlerName) {
  if (!FHandlerNames) {
    if (HandlerName.empty()) return;
    FHandlerNames = std::make_unique<std::vector<std::pair<std::string, std::string>>>();
  }
  auto& list = *FHandlerNames;
  for (auto it = list.begin(); it != list.end(); ++it)
    if (SameText(it->first, EventName)) {
      if (HandlerName.empty())
        list.erase(it);
      else
        it->second = HandlerName;
      return;
    }
  if (!HandlerName.empty()) list.emplace_back(EventName, HandlerName);
}

TClass TObject::StaticClass() {
  static const TObjectMeta<TObject> meta("TObject", nullptr, nullptr);
  return &meta;
}

void* TObject::operator new(std::size_t Size) { return ::operator new(Size); }

void TObject::operator delete(void* Block) noexcept { ::operator delete(Block); }

void TObject::operator delete(TObject* Obj, std::destroying_delete_t) {
  void* block = dynamic_cast<void*>(Obj);
  Obj->BeforeDestruction();
  Obj->~TObject();
  ::operator delete(block);
}

namespace {

struct TClassEntry {
  std::string Name;
  TClass Class;
};

std::vector<TClassEntry>& Registry() {
  static std::vector<TClassEntry> list;
  return list;
}

TClassEntry* FindEntry(const std::string& Name) {
  for (auto& e : Registry())
    if (SameText(e.Name, Name)) return &e;
  return nullptr;
}

void AddEntry(const std::string& Name, TClass AClass) {
  if (TClassEntry* e = FindEntry(Name)) {
    if (e->Class == AClass) return;
    throw EFilerError(Format("A class named %s already exists", {Name}));
  }
  Registry().push_back({Name, AClass});
}

}  // namespace

void RegisterClass(TClass AClass) {
  // The class and its ancestors, up to the first one already registered.
  for (TClass c = AClass; c; c = c->ClassParent()) {
    TClassEntry* e = FindEntry(c->ClassName());
    if (e && e->Class == c) break;
    AddEntry(c->ClassName(), c);
  }
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass c : Classes) RegisterClass(c);
}

void RegisterClassAlias(TClass AClass, const std::string& Alias) { AddEntry(Alias, AClass); }

void UnRegisterClass(TClass AClass) {
  auto& list = Registry();
  list.erase(std::remove_if(list.begin(), list.end(), [AClass](const TClassEntry& e) { return e.Class == AClass; }),
             list.end());
}

void UnRegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass c : Classes) UnRegisterClass(c);
}

TClass GetClass(const std::string& ClassName) {
  TClassEntry* e = FindEntry(ClassName);
  return e ? e->Class : nullptr;
}

TClass FindClass(const std::string& ClassName) {
  TClass c = GetClass(ClassName);
  if (!c) throw EClassNotFound(Format("Class %s not found", {ClassName}));
  return c;
}

TClass ActivateClassGroup(TClass AClass) { return AClass; }
