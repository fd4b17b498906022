#include "controls/props_storage.h"

#include <algorithm>
#include <map>

#include "controls/vx_utils.h"
#include "platform/collection.h"
#include "platform/component.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TPropInfoList)
VM_DEFINE_CLASS(TPropsStorage)

namespace {

constexpr const char* sNull = "(null)";
constexpr const char* sCount = "Count";
constexpr const char* sItem = "Item%d";

int FloatPrecision(TFloatType Type) {
  switch (Type) {
    case ftSingle:
      return 7;
    case ftDouble:
      return 15;
    case ftCurr:
      return 19;
    default:
      return 18;
  }
}

bool IsTextKind(TTypeKind Kind) { return Kind == tkString || Kind == tkLString || Kind == tkWChar; }

struct TextLess {
  bool operator()(const std::string& A, const std::string& B) const { return CompareText(A, B) < 0; }
};

}  // namespace

bool SplitStoredItem(const std::string& Item, std::string& CompName, std::string& PropName) {
  size_t dot = Item.find('.');
  if (dot == std::string::npos) {
    CompName.clear();
    PropName.clear();
    return false;
  }
  CompName = Trim(std::string_view(Item).substr(0, dot));
  PropName = Trim(std::string_view(Item).substr(dot + 1));
  return !CompName.empty() && !PropName.empty();
}

std::string MakeStoredItem(const std::string& CompName, const std::string& PropName) {
  return CompName + "." + PropName;
}

std::string RenameStoredItem(const std::string& Item, const std::string& NewCompName) {
  std::string comp, prop;
  if (!SplitStoredItem(Item, comp, prop)) return Item;
  return MakeStoredItem(NewCompName, prop);
}

// ---------------------------------------------------------------------------------------------
// TPropInfoList

TPropInfoList::TPropInfoList(TObject* AObject, TTypeKinds Filter) {
  if (!AObject) return;
  FList = GetPropList(AObject->ClassType(), Filter);
  std::stable_sort(FList.begin(), FList.end(),
                   [](const TPropInfo* A, const TPropInfo* B) { return CompareText(A->Name, B->Name) < 0; });
}

const TPropInfo* TPropInfoList::Find(const std::string& AName) const {
  for (const TPropInfo* p : FList)
    if (SameText(p->Name, AName)) return p;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TPropsStorage: hooks

std::string TPropsStorage::ReadValueText(const std::string& ASection, const std::string& Item,
                                         const std::string& Default) {
  return OnReadString ? OnReadString(ASection, Item, Default) : std::string();
}

void TPropsStorage::WriteValueText(const std::string& ASection, const std::string& Item, const std::string& Value) {
  if (OnWriteString) OnWriteString(ASection, Item, Value);
}

void TPropsStorage::ClearSection(const std::string& ASection) {
  if (OnEraseSection) OnEraseSection(ASection);
}

std::string TPropsStorage::KeyFor(const std::string& PropName) { return FPrefix + PropName; }

std::unique_ptr<TPropsStorage> TPropsStorage::NewStorage() { return std::make_unique<TPropsStorage>(); }

bool TPropsStorage::InNestingPath(const TObject* Obj) const {
  for (const TPropsStorage* s = this; s; s = s->FParent)
    if (s->FObject == Obj) return true;
  return false;
}

std::unique_ptr<TPropsStorage> TPropsStorage::Nested(TObject* AObject, const std::string& ASection,
                                                     const std::string& APrefix) {
  auto s = NewStorage();
  s->OnReadString = OnReadString;
  s->OnWriteString = OnWriteString;
  s->OnEraseSection = OnEraseSection;
  s->FOwner = FOwner;
  s->FParent = this;
  s->FObject = AObject;
  s->FSection = ASection;
  s->FPrefix = APrefix;
  return s;
}

// ---------------------------------------------------------------------------------------------
// Component lists

void TPropsStorage::ForEachListedProp(TComponent* AOwner, TStrings* List,
                                      const std::function<void(const TPropInfo*)>& Action) {
  if (!AOwner || !List) return;
  SyncStoredList(AOwner, List, false);
  std::map<std::string, std::unique_ptr<TPropInfoList>, TextLess> infos;
  for (int i = 0; i < List->Count(); ++i) {
    auto* c = dynamic_cast<TComponent*>(List->Objects(i));
    if (c && !infos.count(c->Name())) infos[c->Name()] = std::make_unique<TPropInfoList>(c, tkStoredProps);
  }
  struct ClearOwner {
    TPropsStorage* S;
    ~ClearOwner() { S->FOwner = nullptr; }
  } clear{this};
  FOwner = AOwner;
  for (int i = 0; i < List->Count(); ++i) {
    std::string comp, prop;
    if (!SplitStoredItem(List->Strings(i), comp, prop)) continue;
    auto* c = dynamic_cast<TComponent*>(List->Objects(i));
    if (!c) continue;
    FObject = c;
    FPrefix = c->Name();
    auto it = infos.find(FPrefix);
    if (it == infos.end()) continue;
    FPrefix += "_";
    Action(it->second->Find(prop));
  }
}

void TPropsStorage::WriteComponentProps(TComponent* AOwner, TStrings* List) {
  ForEachListedProp(AOwner, List, [this](const TPropInfo* Info) { WriteProperty(Info); });
}

void TPropsStorage::ReadComponentProps(TComponent* AOwner, TStrings* List) {
  ForEachListedProp(AOwner, List, [this](const TPropInfo* Info) { ReadProperty(Info); });
}

void TPropsStorage::StoreObjectProps() {
  TPropInfoList list(FObject, tkStoredProps);
  for (int i = 0; i < list.Count(); ++i) WriteProperty(list.Items(i));
}

void TPropsStorage::LoadObjectProps() {
  TPropInfoList list(FObject, tkStoredProps);
  for (int i = 0; i < list.Count(); ++i) ReadProperty(list.Items(i));
}

// ---------------------------------------------------------------------------------------------
// One property

std::string TPropsStorage::PropText(const TPropInfo* P) {
  switch (P->Kind) {
    case tkInteger:
    case tkInt64:
      return IntToStr(GetOrdProp(FObject, P));
    case tkChar:
      return std::string(1, static_cast<char>(GetOrdProp(FObject, P)));
    case tkWChar:
      return std::string(1, static_cast<char>(GetOrdProp(FObject, P) & 0xFF));
    case tkEnumeration:
      return GetEnumName(P->EnumInfo, GetOrdProp(FObject, P));
    case tkFloat:
      return FloatToStrF(GetFloatProp(FObject, P), ffGeneral, FloatPrecision(P->FloatType), 0);
    case tkString:
    case tkLString:
    case tkVariant:
      return GetStrProp(FObject, P);
    case tkSet: {
      const uint64_t bits = static_cast<uint64_t>(GetOrdProp(FObject, P));
      std::string s;
      for (int i = 0; i < 32; ++i) {
        if (!(bits & (uint64_t{1} << i))) continue;
        const std::string& name = P->EnumInfo ? P->EnumInfo->ValueName(i) : std::string();
        if (name.empty()) continue;
        if (!s.empty()) s += ",";
        s += name;
      }
      return "[" + s + "]";
    }
    default:
      return {};
  }
}

void TPropsStorage::WriteProperty(const TPropInfo* P) {
  if (!P || !FObject) return;
  std::string text = P->Kind == tkClass ? StoreObjectProp(P) : PropText(P);
  if (text.empty() && !IsTextKind(P->Kind)) return;
  WriteValueText(FSection, KeyFor(P->Name), Trim(text));
}

void TPropsStorage::ReadProperty(const TPropInfo* P) {
  if (!P || !FObject) return;
  try {
    std::string def = P->Kind == tkClass ? std::string() : PropText(P);
    std::string text;
    if (!def.empty() || IsTextKind(P->Kind) || P->Kind == tkClass)
      text = Trim(ReadValueText(FSection, KeyFor(P->Name), def));
    if (P->Kind == tkClass)
      LoadObjectProp(P, text);
    else
      ApplyText(P, text);
  } catch (...) {
    // a bad value or a failing setter leaves the property as it was
  }
}

void TPropsStorage::ApplyText(const TPropInfo* P, const std::string& Text) {
  switch (P->Kind) {
    case tkInteger:
    case tkInt64: {
      int64_t v = 0;
      if (!TryStrToInt64(Text, v)) v = 0;
      SetOrdProp(FObject, P, v);
      break;
    }
    case tkChar:
      if (Text.size() == 1) SetOrdProp(FObject, P, static_cast<unsigned char>(Text[0]));
      break;
    case tkWChar:
      if (!Text.empty()) SetOrdProp(FObject, P, static_cast<unsigned char>(Text[0]));
      break;
    case tkEnumeration: {
      if (!P->EnumInfo) break;
      for (int v = P->EnumInfo->MinValue(); v <= P->EnumInfo->MaxValue(); ++v)
        if (SameText(P->EnumInfo->ValueName(v), Text)) {
          SetOrdProp(FObject, P, v);
          break;
        }
      break;
    }
    case tkFloat: {
      long double v = 0;
      if (TryStrToFloat(Text, v)) SetFloatProp(FObject, P, v);
      break;
    }
    case tkString:
    case tkLString:
    case tkVariant:
      SetStrProp(FObject, P, Text);
      break;
    case tkSet: {
      static const TCharSet delims = CharSetOf(" ,[]");
      uint64_t bits = 0;
      const int n = CountWords(Text, delims);
      for (int i = 1; i <= n; ++i) {
        int v = P->EnumInfo ? P->EnumInfo->Value(WordAt(i, Text, delims)) : -1;
        if (v >= 0 && v <= 31) bits |= uint64_t{1} << v;
      }
      SetOrdProp(FObject, P, static_cast<int64_t>(bits));
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Object properties

std::string TPropsStorage::StoreObjectProp(const TPropInfo* P) {
  const std::string key = KeyFor(P->Name);
  if (P->ObjectKind == okStrings) {
    TStrings* list = GetStringsProp(FObject, P);
    if (!list) return {};
    const std::string sect = Format("%s.%s", {FSection, key});
    ClearSection(sect);
    if (list->Count() > 0) {
      WriteValueText(sect, sCount, IntToStr(list->Count()));
      for (int i = 0; i < list->Count(); ++i) WriteValueText(sect, Format(sItem, {i}), list->Strings(i));
    }
    return {};
  }
  TObject* obj = GetObjectProp(FObject, P);
  if (P->ObjectKind == okComponent) {
    auto* c = dynamic_cast<TComponent*>(obj);
    if (!c) return sNull;
    TComponent* owner = c->Owner();
    if (!owner || owner == FOwner) return c->Name();
    std::string ownerName = owner->Name();
    if (ownerName.empty()) {
      ownerName = owner->ClassName();
      if (!ownerName.empty() && (ownerName[0] == 'T' || ownerName[0] == 't')) ownerName.erase(0, 1);
    }
    return Format("%s.%s", {ownerName, c->Name()});
  }
  if (!obj || InNestingPath(obj)) return {};
  if (auto* coll = dynamic_cast<TCollection*>(obj); coll && P->ObjectKind == okCollection) {
    const std::string sect = Format("%s.%s", {FSection, key});
    ClearSection(sect);
    WriteValueText(FSection, Format("%s.%s", {key, sCount}), IntToStr(coll->Count()));
    for (int i = 0; i < coll->Count(); ++i) Nested(coll->Items(i), sect, Format(sItem, {i}) + "_")->StoreObjectProps();
  }
  Nested(obj, FSection, key)->StoreObjectProps();
  return {};
}

void TPropsStorage::LoadObjectProp(const TPropInfo* P, const std::string& Text) {
  const std::string key = KeyFor(P->Name);
  if (P->ObjectKind == okStrings) {
    TStrings* list = GetStringsProp(FObject, P);
    if (!list) return;
    const std::string sect = Format("%s.%s", {FSection, key});
    const int count = StrToIntDef(Trim(ReadValueText(sect, sCount, "0")), 0);
    if (count > 0) {
      TStringList lines;
      for (int i = 0; i < count; ++i) lines.Add(ReadValueText(sect, Format(sItem, {i}), ""));
      list->Assign(lines);
    }
    return;
  }
  if (P->ObjectKind == okComponent) {
    if (Text.empty()) return;
    if (SameText(Text, sNull)) {
      SetObjectProp(FObject, P, nullptr);
      return;
    }
    std::string ownerName, compName;
    size_t dot = Text.find('.');
    if (dot == std::string::npos) {
      compName = Trim(Text);
    } else {
      ownerName = Trim(std::string_view(Text).substr(0, dot));
      compName = Trim(std::string_view(Text).substr(dot + 1));
    }
    TComponent* owner = ownerName.empty() ? FOwner : FindNamedFormOrModule(ownerName);
    if (owner) SetObjectProp(FObject, P, owner->FindComponent(compName));
    return;
  }
  TObject* obj = GetObjectProp(FObject, P);
  if (!obj || InNestingPath(obj)) return;
  if (auto* coll = dynamic_cast<TCollection*>(obj); coll && P->ObjectKind == okCollection) {
    const std::string sect = Format("%s.%s", {FSection, key});
    int count = StrToIntDef(Trim(ReadValueText(FSection, Format("%s.%s", {key, sCount}), IntToStr(coll->Count()))),
                            coll->Count());
    if (count < 0) count = coll->Count();  // a damaged count does not empty the collection
    TUpdateLock lock(coll);
    if (count != coll->Count()) {
      coll->Clear();
      for (int i = 0; i < count; ++i) coll->Add();
    }
    for (int i = 0; i < coll->Count(); ++i) Nested(coll->Items(i), sect, Format(sItem, {i}) + "_")->LoadObjectProps();
  }
  Nested(obj, FSection, key)->LoadObjectProps();
}

// ---------------------------------------------------------------------------------------------

void SyncStoredList(TComponent* Owner, TStrings* List, bool FromForm) {
  if (!List) return;
  for (int i = List->Count() - 1; i >= 0; --i) {
    std::string comp, prop;
    if (!SplitStoredItem(List->Strings(i), comp, prop)) {
      List->Delete(i);
      continue;
    }
    if (FromForm) {
      TComponent* c = Owner ? Owner->FindComponent(comp) : nullptr;
      if (c)
        List->SetObjects(i, c);
      else
        List->Delete(i);
    } else if (auto* c = dynamic_cast<TComponent*>(List->Objects(i))) {
      List->SetStrings(i, MakeStoredItem(c->Name(), prop));
    } else {
      List->Delete(i);
    }
  }
}

TComponent* FindNamedFormOrModule(const std::string& AName) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f && !f->Name().empty() && SameText(f->Name(), AName)) return f;
  }
  return nullptr;
}
