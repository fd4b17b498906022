#include "platform/typinfo.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/collection.h"
#include "platform/component.h"
#include "platform/exceptions.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// Tables

TEnumInfo::TEnumInfo(std::string AName, std::vector<std::string> ANames, int AMinValue)
    : FName(std::move(AName)), FNames(std::move(ANames)), FMinValue(AMinValue) {}

const std::string& TEnumInfo::ValueName(int64_t Value) const {
  static const std::string empty;
  if (Value < FMinValue || Value > MaxValue()) return empty;
  return FNames[static_cast<size_t>(Value - FMinValue)];
}

int TEnumInfo::Value(const std::string& Name) const {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (SameText(FNames[i], Name)) return FMinValue + static_cast<int>(i);
  return -1;
}

const TEnumInfo BooleanInfo("Boolean", {"False", "True"});

bool TPropInfo::IsWritable() const {
  switch (Kind) {
    case tkFloat:
      return static_cast<bool>(SetFloat);
    case tkString:
    case tkLString:
    case tkWString:
    case tkVariant:
      return static_cast<bool>(SetStr);
    case tkClass:
      return ObjectKind == okStrings || static_cast<bool>(SetObj);
    case tkMethod:
      return static_cast<bool>(SetEvent);
    default:
      return static_cast<bool>(SetOrd);
  }
}

const TPropInfo* TPropertyTable::Find(const std::string& Name) const {
  for (const auto& p : FProps)
    if (SameText(p.Name, Name)) return &p;
  return nullptr;
}

const TMethodInfo* TPropertyTable::FindMethod(const std::string& Name) const {
  // The latest declaration wins (a descendant's method hides its parent's).
  for (auto it = FMethods.rbegin(); it != FMethods.rend(); ++it)
    if (SameText(it->Name, Name)) return &*it;
  return nullptr;
}

TPropInfo& TPropertyTable::Add(TPropInfo Info) {
  for (auto& p : FProps)
    if (SameText(p.Name, Info.Name)) {
      p = std::move(Info);
      return p;
    }
  FProps.push_back(std::move(Info));
  return FProps.back();
}

void TPropertyTable::AddMethod(TMethodInfo Info) { FMethods.push_back(std::move(Info)); }

void RaiseInvalidPropertyValue() { throw EPropertyError("Invalid property value"); }

// ---------------------------------------------------------------------------------------------
// Lookup

namespace {

[[noreturn]] void NoProperty(const std::string& Name) {
  throw EPropertyError(Format("Property %s does not exist", {Name}));
}

[[noreturn]] void ReadOnly(const std::string& Name) {
  throw EPropertyError(Format("Property %s is read-only", {Name}));
}

// A property's access function, or the error for a property without one.
template <class F>
const F& Getter(const F& Fn) {
  if (!Fn) RaiseInvalidPropertyValue();
  return Fn;
}
template <class F>
const F& Setter(const F& Fn, const TPropInfo* Info) {
  if (!Fn) ReadOnly(Info->Name);
  return Fn;
}

const TPropInfo* Need(TObject* Instance, const std::string& PropName) {
  const TPropInfo* p = Instance ? GetPropInfo(Instance, PropName) : nullptr;
  if (!p) NoProperty(PropName);
  return p;
}

bool IsOrdinal(TTypeKind k) {
  return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet || k == tkInt64 || k == tkWChar;
}

bool IsString(TTypeKind k) { return k == tkString || k == tkLString || k == tkWString || k == tkVariant; }

}  // namespace

const TPropertyTable& GetPropTable(TClass AClass) { return AClass->PropTable(); }

const TPropInfo* GetPropInfo(TClass AClass, const std::string& PropName) {
  return AClass ? AClass->PropTable().Find(PropName) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName) {
  return Instance ? GetPropInfo(Instance->ClassType(), PropName) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(TClass AClass, TTypeKinds Kinds) {
  std::vector<const TPropInfo*> list;
  if (!AClass) return list;
  for (const auto& p : AClass->PropTable().Props())
    if (Kinds.Contains(p.Kind)) list.push_back(&p);
  return list;
}

bool IsPublishedProp(const TObject* Instance, const std::string& PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

bool PropIsType(const TObject* Instance, const std::string& PropName, TTypeKind Kind) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  if (!p) NoProperty(PropName);
  return p->Kind == Kind;
}

TMethod MethodAddress(TObject* Instance, const std::string& MethodName) {
  TMethod m;
  if (!Instance || MethodName.empty()) return m;
  if (const TMethodInfo* info = Instance->ClassType()->PropTable().FindMethod(MethodName)) {
    m.Code = info->Bind(Instance);
    m.Data = Instance;
    m.Name = info->Name;
  }
  return m;
}

// ---------------------------------------------------------------------------------------------
// Typed access

int64_t GetOrdProp(TObject* Instance, const TPropInfo* Info) { return Getter(Info->GetOrd)(Instance); }

void SetOrdProp(TObject* Instance, const TPropInfo* Info, int64_t Value) {
  const auto& set = Setter(Info->SetOrd, Info);
  if (Info->Kind == tkSet) {
    int count = Info->EnumInfo ? Info->EnumInfo->MaxValue() + 1 : 64;
    if (count < 64 && (static_cast<uint64_t>(Value) >> count) != 0) RaiseInvalidPropertyValue();
  } else if (Value < Info->MinValue || Value > Info->MaxValue) {
    RaiseInvalidPropertyValue();
  }
  set(Instance, Value);
}

int64_t GetOrdProp(TObject* Instance, const std::string& PropName) {
  return GetOrdProp(Instance, Need(Instance, PropName));
}

void SetOrdProp(TObject* Instance, const std::string& PropName, int64_t Value) {
  SetOrdProp(Instance, Need(Instance, PropName), Value);
}

long double GetFloatProp(TObject* Instance, const TPropInfo* Info) { return Getter(Info->GetFloat)(Instance); }

void SetFloatProp(TObject* Instance, const TPropInfo* Info, long double Value) {
  Setter(Info->SetFloat, Info)(Instance, Value);
}

long double GetFloatProp(TObject* Instance, const std::string& PropName) {
  return GetFloatProp(Instance, Need(Instance, PropName));
}

void SetFloatProp(TObject* Instance, const std::string& PropName, long double Value) {
  SetFloatProp(Instance, Need(Instance, PropName), Value);
}

std::string GetStrProp(TObject* Instance, const TPropInfo* Info) { return Getter(Info->GetStr)(Instance); }

void SetStrProp(TObject* Instance, const TPropInfo* Info, const std::string& Value) {
  Setter(Info->SetStr, Info)(Instance, Value);
}

std::string GetStrProp(TObject* Instance, const std::string& PropName) {
  return GetStrProp(Instance, Need(Instance, PropName));
}

void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
  SetStrProp(Instance, Need(Instance, PropName), Value);
}

TObject* GetObjectProp(TObject* Instance, const TPropInfo* Info) { return Getter(Info->GetObj)(Instance); }

void SetObjectProp(TObject* Instance, const TPropInfo* Info, TObject* Value) {
  Setter(Info->SetObj, Info)(Instance, Value);
}

TObject* GetObjectProp(TObject* Instance, const std::string& PropName) {
  return GetObjectProp(Instance, Need(Instance, PropName));
}

void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value) {
  SetObjectProp(Instance, Need(Instance, PropName), Value);
}

TStrings* GetStringsProp(TObject* Instance, const TPropInfo* Info) {
  return Info->GetStrings ? Info->GetStrings(Instance) : nullptr;
}

bool IsEventAssigned(TObject* Instance, const TPropInfo* Info) {
  return Info->EventAssigned && Info->EventAssigned(Instance);
}

void SetMethodProp(TObject* Instance, const TPropInfo* Info, const TMethod& Method) {
  if (!Info->SetEvent) ReadOnly(Info->Name);
  Info->SetEvent(Instance, Method.Code);
  Instance->SetEventHandlerName(Info->Name, Method.Assigned() ? Method.Name : std::string());
}

std::string GetMethodName(TObject* Instance, const TPropInfo* Info) {
  if (!IsEventAssigned(Instance, Info)) return std::string();
  return Instance->EventHandlerName(Info->Name);
}

// ---------------------------------------------------------------------------------------------
// Enumerations and sets

const std::string& GetEnumName(const TEnumInfo* Info, int64_t Value) {
  static const std::string empty;
  return Info ? Info->ValueName(Value) : empty;
}

int GetEnumValue(const TEnumInfo* Info, const std::string& Name) { return Info ? Info->Value(Name) : -1; }

std::string GetEnumProp(TObject* Instance, const std::string& PropName) {
  const TPropInfo* p = Need(Instance, PropName);
  int64_t v = GetOrdProp(Instance, p);
  if (p->EnumInfo) return p->EnumInfo->ValueName(v);
  return IntToStr(v);
}

void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
  const TPropInfo* p = Need(Instance, PropName);
  int v = GetEnumValue(p->EnumInfo, Value);
  if (v < 0) RaiseInvalidPropertyValue();
  SetOrdProp(Instance, p, v);
}

std::string SetToString(const TEnumInfo* Elements, uint64_t Bits, bool Brackets) {
  std::string result;
  for (int i = 0; i < 64; ++i)
    if (Bits & (uint64_t{1} << i)) {
      if (!result.empty()) result += ',';
      const std::string& name = GetEnumName(Elements, i);
      result += name.empty() ? IntToStr(i) : name;
    }
  return Brackets ? "[" + result + "]" : result;
}

uint64_t StringToSet(const TEnumInfo* Elements, const std::string& Value) {
  uint64_t bits = 0;
  size_t i = 0;
  auto isDelim = [](char c) { return c == ' ' || c == ',' || c == '[' || c == ']' || c == '\t'; };
  while (i < Value.size()) {
    while (i < Value.size() && isDelim(Value[i])) ++i;
    size_t start = i;
    while (i < Value.size() && !isDelim(Value[i])) ++i;
    if (i > start) {
      int v = GetEnumValue(Elements, Value.substr(start, i - start));
      if (v < 0 || v > 63) RaiseInvalidPropertyValue();
      bits |= uint64_t{1} << v;
    }
  }
  return bits;
}

std::string GetSetProp(TObject* Instance, const std::string& PropName, bool Brackets) {
  const TPropInfo* p = Need(Instance, PropName);
  return SetToString(p->EnumInfo, static_cast<uint64_t>(GetOrdProp(Instance, p)), Brackets);
}

void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
  const TPropInfo* p = Need(Instance, PropName);
  SetOrdProp(Instance, p, static_cast<int64_t>(StringToSet(p->EnumInfo, Value)));
}

// ---------------------------------------------------------------------------------------------
// Defaults and text

bool IsDefaultPropValue(TObject* Instance, const TPropInfo* Info) {
  if (IsOrdinal(Info->Kind)) {
    if (!Info->HasDefault || !Info->GetOrd) return false;
    return Info->GetOrd(Instance) == Info->OrdDefault;
  }
  if (Info->Kind == tkFloat) {
    if (!Info->GetFloat) return false;
    long double v = Info->GetFloat(Instance);
    return v == (Info->HasDefault ? Info->FloatDefault : 0.0L);
  }
  if (IsString(Info->Kind)) {
    if (!Info->GetStr) return false;
    return Info->GetStr(Instance) == (Info->HasDefault ? Info->StrDefault : std::string());
  }
  if (Info->Kind == tkMethod) return !IsEventAssigned(Instance, Info);
  if (Info->Kind == tkClass) {
    switch (Info->ObjectKind) {
      case okComponent:
        return Info->GetObj(Instance) == nullptr;
      case okStrings: {
        TStrings* s = GetStringsProp(Instance, Info);
        return !s || s->Count() == 0;
      }
      case okCollection: {
        auto* c = dynamic_cast<TCollection*>(Info->GetObj(Instance));
        return !c || c->Count() == 0;
      }
      case okPersistent:
        return false;
    }
  }
  return false;
}

namespace {

// Shortest text that reads back to the same value, with '.' always.
template <class F>
std::string FloatText(F v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : "Inf";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

std::string GetPropText(TObject* Instance, const TPropInfo* Info) {
  switch (Info->Kind) {
    case tkInteger:
    case tkInt64: {
      int64_t v = GetOrdProp(Instance, Info);
      std::string ident;
      if (Info->Idents && Info->Idents->ToIdent(v, ident)) return ident;
      return IntToStr(v);
    }
    case tkChar:
    case tkWChar:
      return std::string(1, static_cast<char>(GetOrdProp(Instance, Info)));
    case tkEnumeration: {
      int64_t v = GetOrdProp(Instance, Info);
      const std::string& name = GetEnumName(Info->EnumInfo, v);
      return name.empty() ? IntToStr(v) : name;
    }
    case tkSet:
      return SetToString(Info->EnumInfo, static_cast<uint64_t>(GetOrdProp(Instance, Info)));
    case tkFloat: {
      long double v = GetFloatProp(Instance, Info);
      switch (Info->FloatType) {
        case ftSingle:
          return FloatText(static_cast<float>(v));
        case ftDouble:
          return FloatText(static_cast<double>(v));
        default:
          return FloatText(v);
      }
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkVariant:
      return GetStrProp(Instance, Info);
    case tkMethod:
      return GetMethodName(Instance, Info);
    case tkClass:
      if (Info->ObjectKind == okComponent) {
        auto* c = dynamic_cast<TComponent*>(GetObjectProp(Instance, Info));
        return c ? c->Name() : std::string();
      }
      if (Info->ObjectKind == okStrings) {
        TStrings* s = GetStringsProp(Instance, Info);
        return s ? s->Text() : std::string();
      }
      return std::string();
    default:
      return std::string();
  }
}

void SetPropText(TObject* Instance, const TPropInfo* Info, const std::string& Text, TComponent* Lookup) {
  switch (Info->Kind) {
    case tkInteger:
    case tkInt64: {
      int64_t v;
      if (Info->Idents && Info->Idents->FromIdent(Text, v)) {
      } else if (!TryStrToInt64(Text, v)) {
        RaiseInvalidPropertyValue();
      }
      SetOrdProp(Instance, Info, v);
      return;
    }
    case tkChar:
    case tkWChar:
      if (Text.size() != 1) RaiseInvalidPropertyValue();
      SetOrdProp(Instance, Info, static_cast<unsigned char>(Text[0]));
      return;
    case tkEnumeration: {
      int v = GetEnumValue(Info->EnumInfo, Trim(Text));
      if (v < 0) RaiseInvalidPropertyValue();
      SetOrdProp(Instance, Info, v);
      return;
    }
    case tkSet:
      SetOrdProp(Instance, Info, static_cast<int64_t>(StringToSet(Info->EnumInfo, Text)));
      return;
    case tkFloat: {
      std::string t = Trim(Text);
      long double v;
      if (t == "NaN")
        v = NAN;
      else if (t == "Inf")
        v = INFINITY;
      else if (t == "-Inf")
        v = -INFINITY;
      else if (!TryStrToFloat(t, v))
        RaiseInvalidPropertyValue();
      SetFloatProp(Instance, Info, v);
      return;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkVariant:
      SetStrProp(Instance, Info, Text);
      return;
    case tkMethod: {
      if (Text.empty()) {
        SetMethodProp(Instance, Info, TMethod());
        return;
      }
      TMethod m = MethodAddress(Lookup, Text);
      if (!m.Assigned()) RaiseInvalidPropertyValue();
      SetMethodProp(Instance, Info, m);
      return;
    }
    case tkClass:
      if (Info->ObjectKind == okComponent) {
        TComponent* c = nullptr;
        std::string name = Trim(Text);
        if (!name.empty()) {
          if (Lookup) c = SameText(Lookup->Name(), name) ? Lookup : Lookup->FindComponent(name);
          if (!c) RaiseInvalidPropertyValue();
        }
        SetObjectProp(Instance, Info, c);
        return;
      }
      if (Info->ObjectKind == okStrings) {
        TStrings* s = GetStringsProp(Instance, Info);
        if (!s) RaiseInvalidPropertyValue();
        s->SetText(Text);
        return;
      }
      RaiseInvalidPropertyValue();
    default:
      RaiseInvalidPropertyValue();
  }
}

// ---------------------------------------------------------------------------------------------
// Paths

bool ResolvePropPath(TObject* Root, const std::string& Path, TObject*& Instance, const TPropInfo*& Info) {
  Instance = nullptr;
  Info = nullptr;
  if (!Root || Path.empty()) return false;
  TObject* current = Root;
  size_t start = 0;
  while (true) {
    size_t dot = Path.find('.', start);
    std::string part = Path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (part.empty()) return false;
    const TPropInfo* p = GetPropInfo(current, part);
    if (dot == std::string::npos) {
      if (!p) return false;
      Instance = current;
      Info = p;
      return true;
    }
    TObject* next = nullptr;
    if (p && p->Kind == tkClass && p->GetObj)
      next = p->GetObj(current);
    else if (!p)
      if (auto* comp = dynamic_cast<TComponent*>(current)) next = comp->FindComponent(part);
    if (!next) return false;
    current = next;
    start = dot + 1;
  }
}

std::string GetPropPathText(TObject* Root, const std::string& Path) {
  TObject* instance;
  const TPropInfo* info;
  if (!ResolvePropPath(Root, Path, instance, info)) NoProperty(Path);
  return GetPropText(instance, info);
}

void SetPropPathText(TObject* Root, const std::string& Path, const std::string& Text) {
  TObject* instance;
  const TPropInfo* info;
  if (!ResolvePropPath(Root, Path, instance, info)) NoProperty(Path);
  auto* lookup = dynamic_cast<TComponent*>(Root);
  if (auto* comp = dynamic_cast<TComponent*>(instance); comp && comp->Owner()) lookup = comp->Owner();
  SetPropText(instance, info, Text, lookup);
}
