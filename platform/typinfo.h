// Published properties and methods: per-class tables, access by name and by dotted path.
//
// A class declares its published properties next to its metaclass, in its .cpp file:
//
//   VM_PUBLISH(TFoo) {
//     P.Int("Width", &TFoo::Width, &TFoo::SetWidth).Default(100);
//     P.Enum("Align", &TFoo::Align, &TFoo::SetAlign, AlignInfo).Default(alNone);
//     P.Object("Font", &TFoo::Font, &TFoo::SetFont);
//     P.Event("OnClick", &TFoo::OnClick);
//     P.Method("Button1Click", &TFoo::Button1Click);
//   }
//
// VM_PUBLISH replaces VM_DEFINE_CLASS. Getters and setters are member functions or data members;
// a setter may be nullptr (read-only). Properties keep their declaration order, inherited ones
// first; a class that declares a property of its parent's again replaces it in place (a new
// default, say). The order is the stream order.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/object.h"
#include "platform/set.h"

class TCollection;
class TComponent;
class TPersistent;
class TStrings;

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray
};
using TTypeKinds = TSet<TTypeKind>;
// Every kind with a value (tkUnknown and tkMethod left out).
inline constexpr TTypeKinds tkProperties = TTypeKinds::FromBits(
    ((uint64_t{1} << (tkDynArray + 1)) - 1) & ~(uint64_t{1} << tkUnknown) & ~(uint64_t{1} << tkMethod));
inline constexpr TTypeKinds tkAny = TTypeKinds::FromBits((uint64_t{1} << (tkDynArray + 1)) - 1);

enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// What a tkClass property holds.
enum TObjectKind {
  okPersistent,  // an owned sub-object, streamed by its own properties
  okComponent,   // a reference to a component, streamed by name
  okStrings,     // a TStrings, streamed as its lines
  okCollection   // a TCollection, streamed as its items
};

// The names of an enumeration's values, from MinValue on.
class TEnumInfo {
public:
  TEnumInfo(std::string AName, std::vector<std::string> ANames, int AMinValue = 0);
  const std::string& Name() const { return FName; }
  int MinValue() const { return FMinValue; }
  int MaxValue() const { return FMinValue + static_cast<int>(FNames.size()) - 1; }
  // The empty string for an ordinal out of range.
  const std::string& ValueName(int64_t Value) const;
  // -1 when no value has that name (letter case ignored).
  int Value(const std::string& Name) const;

private:
  std::string FName;
  std::vector<std::string> FNames;
  int FMinValue;
};

// False and True.
extern const TEnumInfo BooleanInfo;

// Integers that stream as identifiers when they have one (colours, cursors).
struct TIdentMap {
  bool (*ToIdent)(int64_t Value, std::string& Ident);
  bool (*FromIdent)(const std::string& Ident, int64_t& Value);
};

// A bound handler for an event: a std::function of the event's type held in Code.
struct TMethod {
  std::any Code;
  TObject* Data = nullptr;
  std::string Name;
  bool Assigned() const { return Code.has_value(); }
};

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkUnknown;
  TFloatType FloatType = ftDouble;
  TObjectKind ObjectKind = okPersistent;
  const TEnumInfo* EnumInfo = nullptr;  // enumeration values, or the elements of a set
  const TIdentMap* Idents = nullptr;
  TClass PropClass = nullptr;          // declared class of a sub-object, collection or component
  int64_t MinValue = 0, MaxValue = 0;  // range of an ordinal

  // Default (values equal to it are not streamed). Without one, ordinals are always streamed,
  // floats when not 0 and strings when not empty.
  bool HasDefault = false;
  int64_t OrdDefault = 0;
  long double FloatDefault = 0;
  std::string StrDefault;

  std::function<int64_t(TObject*)> GetOrd;  // integer, char, enumeration, set (bits), int64
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<long double(TObject*)> GetFloat;
  std::function<void(TObject*, long double)> SetFloat;
  std::function<std::string(TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  std::function<TObject*(TObject*)> GetObj;  // sub-object, collection, component
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<TStrings*(TObject*)> GetStrings;
  std::function<bool(TObject*)> EventAssigned;
  std::function<void(TObject*, const std::any&)> SetEvent;  // empty std::any clears
  std::function<bool(TObject*)> StoredProc;                 // none: stored

  bool IsWritable() const;
  bool IsStored(TObject* Instance) const { return !StoredProc || StoredProc(Instance); }
};

// A published method: Bind makes a std::function of the method's own signature bound to an
// instance, wrapped in std::any.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TObject*)> Bind;
};

class TPropertyTable {
public:
  const std::vector<TPropInfo>& Props() const { return FProps; }
  const std::vector<TMethodInfo>& Methods() const { return FMethods; }
  // Letter case ignored; nullptr when absent.
  const TPropInfo* Find(const std::string& Name) const;
  const TMethodInfo* FindMethod(const std::string& Name) const;

  // Adds or replaces (in place) a property of that name.
  TPropInfo& Add(TPropInfo Info);
  void AddMethod(TMethodInfo Info);

private:
  std::vector<TPropInfo> FProps;
  std::vector<TMethodInfo> FMethods;
};

// ---------------------------------------------------------------------------------------------
// Declaring properties

namespace typinfo_detail {

template <class C, class G>
decltype(auto) Get(const G& g, C* o) {
  return std::invoke(g, o);
}

template <class C, class S, class V>
void Set(const S& s, C* o, V&& v) {
  if constexpr (std::is_member_object_pointer_v<S>)
    std::invoke(s, o) = std::forward<V>(v);
  else
    std::invoke(s, o, std::forward<V>(v));
}

template <class C, class G>
using ValueOf = std::remove_cv_t<std::remove_reference_t<std::invoke_result_t<const G&, C*>>>;

template <class C>
C* Self(TObject* o) {
  return dynamic_cast<C*>(o);
}

template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};

template <class F>
struct FunctionOf;
template <class R, class... A>
struct FunctionOf<std::function<R(A...)>> {
  using Type = std::function<R(A...)>;
};

}  // namespace typinfo_detail

// Chained settings of the property just declared.
class TPropBuilder {
public:
  explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}

  template <class V>
  TPropBuilder& Default(V Value) {
    FInfo.HasDefault = true;
    if constexpr (std::is_convertible_v<V, std::string>) {
      FInfo.StrDefault = std::string(Value);
    } else if constexpr (std::is_floating_point_v<V>) {
      if (FInfo.Kind == tkFloat)
        FInfo.FloatDefault = Value;
      else
        FInfo.OrdDefault = static_cast<int64_t>(Value);
    } else if constexpr (typinfo_detail::IsTSet<V>::value) {
      FInfo.OrdDefault = static_cast<int64_t>(Value.Bits());
    } else {
      if (FInfo.Kind == tkFloat)
        FInfo.FloatDefault = static_cast<long double>(Value);
      else
        FInfo.OrdDefault = static_cast<int64_t>(Value);
    }
    return *this;
  }
  // Always streamed (the toolkit's "nodefault").
  TPropBuilder& NoDefault() {
    FInfo.HasDefault = false;
    return *this;
  }
  TPropBuilder& Stored(bool Value) {
    if (Value)
      FInfo.StoredProc = nullptr;
    else
      FInfo.StoredProc = [](TObject*) { return false; };
    return *this;
  }
  // A predicate of the instance: bool (TFoo::*)() const, or any callable taking TObject*.
  template <class K>
  TPropBuilder& Stored(bool (K::*Pred)() const) {
    FInfo.StoredProc = [Pred](TObject* o) { return (dynamic_cast<K*>(o)->*Pred)(); };
    return *this;
  }
  template <class K>
  TPropBuilder& Stored(bool (K::*Pred)()) {
    FInfo.StoredProc = [Pred](TObject* o) { return (dynamic_cast<K*>(o)->*Pred)(); };
    return *this;
  }
  template <class F, std::enable_if_t<!std::is_same_v<F, bool> && !std::is_member_function_pointer_v<F>, int> = 0>
  TPropBuilder& Stored(F Pred) {
    FInfo.StoredProc = std::function<bool(TObject*)>(Pred);
    return *this;
  }
  TPropBuilder& Idents(const TIdentMap& Map) {
    FInfo.Idents = &Map;
    return *this;
  }
  TPropBuilder& Float(TFloatType Type) {
    FInfo.FloatType = Type;
    return *this;
  }
  TPropInfo& Info() { return FInfo; }

private:
  TPropInfo& FInfo;
};

template <class C>
class TPublisher {
public:
  explicit TPublisher(TPropertyTable& Table) : FTable(Table) {}

  // Any integral type; 64-bit types are tkInt64.
  template <class G, class S>
  TPropBuilder Int(const char* Name, G Get, S Set) {
    using V = typinfo_detail::ValueOf<C, G>;
    static_assert(std::is_integral_v<V>, "integer property");
    TPropInfo p = NewProp(Name, sizeof(V) == 8 ? tkInt64 : tkInteger);
    p.MinValue = static_cast<int64_t>(std::numeric_limits<V>::min());
    p.MaxValue =
        sizeof(V) == 8 && std::is_unsigned_v<V> ? INT64_MAX : static_cast<int64_t>(std::numeric_limits<V>::max());
    OrdAccess<V>(p, Get, Set);
    return Add(std::move(p));
  }
  template <class G, class S>
  TPropBuilder Int64(const char* Name, G Get, S Set) {
    return Int(Name, Get, Set);
  }
  template <class G, class S>
  TPropBuilder Char(const char* Name, G Get, S Set) {
    using V = typinfo_detail::ValueOf<C, G>;
    TPropInfo p = NewProp(Name, tkChar);
    p.MinValue = 0;
    p.MaxValue = 255;
    OrdAccess<V>(
        p, Get, Set, [](int64_t v) { return static_cast<V>(static_cast<unsigned char>(v)); },
        [](const V& v) { return static_cast<int64_t>(static_cast<unsigned char>(v)); });
    return Add(std::move(p));
  }
  template <class G, class S>
  TPropBuilder Bool(const char* Name, G Get, S Set) {
    TPropInfo p = NewProp(Name, tkEnumeration);
    p.EnumInfo = &BooleanInfo;
    p.MinValue = 0;
    p.MaxValue = 1;
    OrdAccess<bool>(
        p, Get, Set, [](int64_t v) { return v != 0; }, [](const bool& v) { return static_cast<int64_t>(v ? 1 : 0); });
    return Add(std::move(p));
  }
  template <class G, class S>
  TPropBuilder Enum(const char* Name, G Get, S Set, const TEnumInfo& Values) {
    using V = typinfo_detail::ValueOf<C, G>;
    TPropInfo p = NewProp(Name, tkEnumeration);
    p.EnumInfo = &Values;
    p.MinValue = Values.MinValue();
    p.MaxValue = Values.MaxValue();
    OrdAccess<V>(p, Get, Set);
    return Add(std::move(p));
  }
  // A TSet<E> (or an unsigned bit mask) of the enumeration Elements.
  template <class G, class S>
  TPropBuilder Set(const char* Name, G Get, S Set, const TEnumInfo& Elements) {
    using V = typinfo_detail::ValueOf<C, G>;
    TPropInfo p = NewProp(Name, tkSet);
    p.EnumInfo = &Elements;
    if constexpr (typinfo_detail::IsTSet<V>::value)
      OrdAccess<V>(
          p, Get, Set, [](int64_t v) { return V::FromBits(static_cast<uint64_t>(v)); },
          [](const V& v) { return static_cast<int64_t>(v.Bits()); });
    else
      OrdAccess<V>(p, Get, Set);
    return Add(std::move(p));
  }
  // float, double or long double; the precision follows the type.
  template <class G, class S>
  TPropBuilder Float(const char* Name, G Get, S Set) {
    using V = typinfo_detail::ValueOf<C, G>;
    static_assert(std::is_floating_point_v<V>, "float property");
    TPropInfo p = NewProp(Name, tkFloat);
    p.FloatType = std::is_same_v<V, float> ? ftSingle : std::is_same_v<V, double> ? ftDouble : ftExtended;
    p.GetFloat = [Get](TObject* o) {
      return static_cast<long double>(typinfo_detail::Get(Get, typinfo_detail::Self<C>(o)));
    };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetFloat = [Set](TObject* o, long double v) {
        typinfo_detail::Set(Set, typinfo_detail::Self<C>(o), static_cast<V>(v));
      };
    return Add(std::move(p));
  }
  template <class G, class S>
  TPropBuilder String(const char* Name, G Get, S Set) {
    TPropInfo p = NewProp(Name, tkString);
    p.GetStr = [Get](TObject* o) { return std::string(typinfo_detail::Get(Get, typinfo_detail::Self<C>(o))); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetStr = [Set](TObject* o, const std::string& v) { typinfo_detail::Set(Set, typinfo_detail::Self<C>(o), v); };
    return Add(std::move(p));
  }
  // A value kept as text (the toolkit's variant).
  template <class G, class S>
  TPropBuilder Variant(const char* Name, G Get, S Set) {
    TPropBuilder b = String(Name, Get, Set);
    b.Info().Kind = tkVariant;
    return b;
  }
  // An owned sub-object (a TPersistent); the setter, when given, usually assigns.
  template <class G, class S>
  TPropBuilder Object(const char* Name, G Get, S Set) {
    return ObjectProp(Name, Get, Set, okPersistent);
  }
  template <class G, class S>
  TPropBuilder Collection(const char* Name, G Get, S Set) {
    return ObjectProp(Name, Get, Set, okCollection);
  }
  // A reference to a component, streamed by name and resolved after loading.
  template <class G, class S>
  TPropBuilder Component(const char* Name, G Get, S Set) {
    return ObjectProp(Name, Get, Set, okComponent);
  }
  // An owned string list; the stream reads into the list the getter returns.
  template <class G>
  TPropBuilder Strings(const char* Name, G Get, std::nullptr_t = nullptr) {
    TPropInfo p = NewProp(Name, tkClass);
    p.ObjectKind = okStrings;
    p.GetStrings = [Get](TObject* o) -> TStrings* { return typinfo_detail::Get(Get, typinfo_detail::Self<C>(o)); };
    return Add(std::move(p));
  }
  // An event: a std::function held in a data member, or a getter and a setter.
  template <class G, class S = std::nullptr_t>
  TPropBuilder Event(const char* Name, G Get, S Set = nullptr) {
    using V = typinfo_detail::ValueOf<C, G>;
    using F = typename typinfo_detail::FunctionOf<V>::Type;
    TPropInfo p = NewProp(Name, tkMethod);
    p.EventAssigned = [Get](TObject* o) {
      return static_cast<bool>(typinfo_detail::Get(Get, typinfo_detail::Self<C>(o)));
    };
    auto assign = [Get, Set](TObject* o, F f) {
      (void)Set;  // unused when the event is a data member
      C* self = typinfo_detail::Self<C>(o);
      if constexpr (!std::is_null_pointer_v<S>)
        typinfo_detail::Set(Set, self, std::move(f));
      else
        typinfo_detail::Set(Get, self, std::move(f));
    };
    p.SetEvent = [assign](TObject* o, const std::any& h) {
      if (!h.has_value()) {
        assign(o, F());
        return;
      }
      const F* f = std::any_cast<F>(&h);
      if (!f) ThrowEventMismatch();
      assign(o, *f);
    };
    return Add(std::move(p));
  }
  // A published method, bound to event properties of the same signature by name. It may be a
  // method of C or of one of its bases.
  template <class R, class K, class... A>
  void Method(const char* Name, R (K::*M)(A...)) {
    static_assert(std::is_base_of_v<K, C>, "a method of the class or of one of its bases");
    TMethodInfo m;
    m.Name = Name;
    m.Bind = [M](TObject* o) -> std::any {
      C* self = typinfo_detail::Self<C>(o);
      if (!self) return std::any();
      return std::function<R(A...)>([self, M](A... a) { return (self->*M)(std::forward<A>(a)...); });
    };
    FTable.AddMethod(std::move(m));
  }

private:
  static TPropInfo NewProp(const char* Name, TTypeKind Kind) {
    TPropInfo p;
    p.Name = Name;
    p.Kind = Kind;
    return p;
  }
  // Plain casts between the value and its ordinal.
  template <class V, class G, class S>
  void OrdAccess(TPropInfo& p, G Get, S Set) {
    OrdAccess<V>(
        p, Get, Set, [](int64_t v) { return static_cast<V>(v); }, [](const V& v) { return static_cast<int64_t>(v); });
  }
  template <class V, class G, class S, class FromOrd, class ToOrd>
  void OrdAccess(TPropInfo& p, G Get, S Set, FromOrd from, ToOrd to) {
    p.GetOrd = [Get, to](TObject* o) -> int64_t {
      return to(static_cast<V>(typinfo_detail::Get(Get, typinfo_detail::Self<C>(o))));
    };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetOrd = [Set, from](TObject* o, int64_t v) { typinfo_detail::Set(Set, typinfo_detail::Self<C>(o), from(v)); };
  }
  template <class G, class S>
  TPropBuilder ObjectProp(const char* Name, G Get, S Set, TObjectKind Kind) {
    using V = typinfo_detail::ValueOf<C, G>;
    static_assert(std::is_pointer_v<V>, "object property getter returns a pointer");
    using T = std::remove_cv_t<std::remove_pointer_t<V>>;
    TPropInfo p = NewProp(Name, tkClass);
    p.ObjectKind = Kind;
    p.PropClass = T::StaticClass();
    p.GetObj = [Get](TObject* o) -> TObject* { return typinfo_detail::Get(Get, typinfo_detail::Self<C>(o)); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetObj = [Set](TObject* o, TObject* v) {
        T* value = v ? dynamic_cast<T*>(v) : nullptr;
        if (v && !value) ThrowClassMismatch();
        typinfo_detail::Set(Set, typinfo_detail::Self<C>(o), value);
      };
    return Add(std::move(p));
  }
  TPropBuilder Add(TPropInfo p) { return TPropBuilder(FTable.Add(std::move(p))); }
  [[noreturn]] static void ThrowEventMismatch();
  [[noreturn]] static void ThrowClassMismatch();

  TPropertyTable& FTable;
};

[[noreturn]] void RaiseInvalidPropertyValue();

template <class C>
void TPublisher<C>::ThrowEventMismatch() {
  RaiseInvalidPropertyValue();
}
template <class C>
void TPublisher<C>::ThrowClassMismatch() {
  RaiseInvalidPropertyValue();
}

// Defines the metaclass of Self together with its table of published properties and methods;
// the block that follows fills it through `P`. VM_PUBLISH_AS names a class declared in a
// namespace: VM_PUBLISH_AS(ns::TFoo, "TFoo").
#define VM_PP_CAT2(a, b) a##b
#define VM_PP_CAT(a, b) VM_PP_CAT2(a, b)
#define VM_PUBLISH_IMPL(Self, NameText, Fn)                  \
  static void Fn(TPublisher<Self>& P);                       \
  VM_DEFINE_CLASS_EX(Self, NameText, [](TPropertyTable& t) { \
    TPublisher<Self> p(t);                                   \
    Fn(p);                                                   \
  })                                                         \
  static void Fn([[maybe_unused]] TPublisher<Self>& P)
#define VM_PUBLISH_AS(Self, NameText) VM_PUBLISH_IMPL(Self, NameText, VM_PP_CAT(vm_publish_, __LINE__))
#define VM_PUBLISH(Self) VM_PUBLISH_AS(Self, #Self)

// ---------------------------------------------------------------------------------------------
// Using properties

const TPropertyTable& GetPropTable(TClass AClass);
// Letter case ignored; nullptr when the class does not publish the name.
const TPropInfo* GetPropInfo(TClass AClass, const std::string& PropName);
const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName);
// The class's properties of the given kinds, in declaration (stream) order.
std::vector<const TPropInfo*> GetPropList(TClass AClass, TTypeKinds Kinds = tkAny);
bool IsPublishedProp(const TObject* Instance, const std::string& PropName);
bool PropIsType(const TObject* Instance, const std::string& PropName, TTypeKind Kind);
// The published method of that name bound to Instance, or an empty TMethod.
TMethod MethodAddress(TObject* Instance, const std::string& MethodName);

// Typed access. A name the class does not publish raises EPropertyError
// "Property %s does not exist"; writing a read-only one raises EPropertyError
// "Property %s is read-only"; an ordinal out of the property's range raises EPropertyError
// "Invalid property value".
int64_t GetOrdProp(TObject* Instance, const TPropInfo* Info);
void SetOrdProp(TObject* Instance, const TPropInfo* Info, int64_t Value);
int64_t GetOrdProp(TObject* Instance, const std::string& PropName);
void SetOrdProp(TObject* Instance, const std::string& PropName, int64_t Value);
long double GetFloatProp(TObject* Instance, const TPropInfo* Info);
void SetFloatProp(TObject* Instance, const TPropInfo* Info, long double Value);
long double GetFloatProp(TObject* Instance, const std::string& PropName);
void SetFloatProp(TObject* Instance, const std::string& PropName, long double Value);
std::string GetStrProp(TObject* Instance, const TPropInfo* Info);
void SetStrProp(TObject* Instance, const TPropInfo* Info, const std::string& Value);
std::string GetStrProp(TObject* Instance, const std::string& PropName);
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value);
TObject* GetObjectProp(TObject* Instance, const TPropInfo* Info);
void SetObjectProp(TObject* Instance, const TPropInfo* Info, TObject* Value);
TObject* GetObjectProp(TObject* Instance, const std::string& PropName);
void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value);
TStrings* GetStringsProp(TObject* Instance, const TPropInfo* Info);
// Events: the handler name is kept with the instance for streaming.
bool IsEventAssigned(TObject* Instance, const TPropInfo* Info);
void SetMethodProp(TObject* Instance, const TPropInfo* Info, const TMethod& Method);
std::string GetMethodName(TObject* Instance, const TPropInfo* Info);

// Enumerations and sets by name.
const std::string& GetEnumName(const TEnumInfo* Info, int64_t Value);
int GetEnumValue(const TEnumInfo* Info, const std::string& Name);
std::string GetEnumProp(TObject* Instance, const std::string& PropName);
// An unknown name raises EPropertyError "Invalid property value".
void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value);
// "[a,b]" (Brackets) or "a,b"; members in ordinal order.
std::string SetToString(const TEnumInfo* Elements, uint64_t Bits, bool Brackets = true);
// Words separated by blanks, ',' and brackets; an unknown name raises EPropertyError
// "Invalid property value".
uint64_t StringToSet(const TEnumInfo* Elements, const std::string& Value);
std::string GetSetProp(TObject* Instance, const std::string& PropName, bool Brackets = true);
void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value);

// Whether the property holds its default (the value a stream leaves out).
bool IsDefaultPropValue(TObject* Instance, const TPropInfo* Info);

// Text of any property kind: integers in decimal (or their identifier), enumerations and
// Booleans by value name, sets as "[a,b]", floats with '.' and round-trip precision, strings
// as they are, characters as one character, components by name ("" for none), string lists
// as their text, events by handler name. Sub-objects and collections have no text ("").
std::string GetPropText(TObject* Instance, const TPropInfo* Info);
// The reverse; raises EPropertyError "Invalid property value" for a text that does not fit.
// Components are looked up by name from Lookup (its owned components, or Lookup itself).
void SetPropText(TObject* Instance, const TPropInfo* Info, const std::string& Text, TComponent* Lookup = nullptr);

// Dotted paths from a root: "OpenDialog1.InitialDir", "Font.Color", "Chart1.Title.Text".
// Each step is a published sub-object (or component) property of the current object, or, on a
// component, one of its owned components. Returns false when the path does not resolve.
bool ResolvePropPath(TObject* Root, const std::string& Path, TObject*& Instance, const TPropInfo*& Info);
// Raise EPropertyError "Property %s does not exist" for a path that does not resolve.
std::string GetPropPathText(TObject* Root, const std::string& Path);
void SetPropPathText(TObject* Root, const std::string& Path, const std::string& Text);
