#include "platform/streaming.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

#include "platform/collection.h"
#include "platform/guards.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

static_assert(std::numeric_limits<long double>::digits == 64, "80-bit extended expected");

namespace {

const char kSignature[4] = {'T', 'P', 'F', '0'};

// Damage to the stream's structure: never handed to the error hook.
class EReadFatal : public EReadError {
public:
  using EReadError::EReadError;
};

[[noreturn]] void ReadFault() { throw EReadFatal("Stream read error"); }
[[noreturn]] void InvalidFormat() { throw EReadFatal("Invalid stream format"); }
[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }

// Little-endian encoding of fixed-size values.
template <class T>
void PutLE(uint8_t* out, T v) {
  std::memcpy(out, &v, sizeof v);
}

// A value tag followed by the value's bytes.
template <class T>
void WriteTagged(TWriter& W, TValueType Tag, T v) {
  uint8_t buf[1 + sizeof v];
  buf[0] = Tag;
  PutLE(buf + 1, v);
  W.Write(buf, static_cast<int>(sizeof buf));
}

bool IsIntTag(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }
bool IsStringTag(TValueType t) { return t == vaString || t == vaLString || t == vaUTF8String; }

// Reads a float in the C locale; denormals that std::from_chars refuses are taken too.
template <class F>
bool ParseFloat(const std::string& s, F& value) {
  F v{};
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ptr != s.data() + s.size()) return false;
  if (r.ec == std::errc()) {
    value = v;
    return true;
  }
  if (r.ec != std::errc::result_out_of_range) return false;
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  char* end = nullptr;
  long double ld = strtold_l(s.c_str(), &end, c);
  if (end != s.c_str() + s.size() || !std::isfinite(ld)) return false;
  F f = static_cast<F>(ld);
  if (!std::isfinite(f)) return false;
  value = f;
  return true;
}

// Shortest text that reads back to the same bits; always shows it is a float.
template <class F>
std::string FloatToText(F v) {
  if (std::isnan(v)) return "+NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : "+Inf";
  char buf[80];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string ComponentDisplayName(TObject* Instance) {
  if (auto* c = dynamic_cast<TComponent*>(Instance); c && !c->Name().empty()) return c->Name();
  return Instance ? Instance->ClassName() : std::string();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFiler

TFiler::TFiler(TStream& Stream, int BufSize)
    : FStream(Stream), FBuffer(static_cast<size_t>(std::max(BufSize, 16))) {}

TFiler::~TFiler() = default;

// ---------------------------------------------------------------------------------------------
// TWriter

TWriter::TWriter(TStream& Stream, int BufSize) : TFiler(Stream, BufSize) {}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {
    // A destructor may not throw; callers that care flush themselves.
  }
}

void TWriter::SetRoot(TComponent* Value) {
  TFiler::SetRoot(Value);
  FLookupRoot = Value;
}

void TWriter::FlushBuffer() {
  if (FBufPos > 0) {
    int n = FBufPos;
    FBufPos = 0;
    FStream.WriteBuffer(FBuffer.data(), n);
  }
}

int64_t TWriter::Position() { return FStream.Position() + FBufPos; }

void TWriter::Write(const void* Buf, int Count) {
  auto* p = static_cast<const uint8_t*>(Buf);
  while (Count > 0) {
    int room = static_cast<int>(FBuffer.size()) - FBufPos;
    if (room == 0) {
      FlushBuffer();
      room = static_cast<int>(FBuffer.size());
    }
    int n = std::min(room, Count);
    std::memcpy(FBuffer.data() + FBufPos, p, static_cast<size_t>(n));
    FBufPos += n;
    p += n;
    Count -= n;
  }
}

void TWriter::WriteValue(TValueType Value) {
  uint8_t b = Value;
  Write(&b, 1);
}

void TWriter::WriteStr(const std::string& Value) {
  if (Value.size() > 255) throw EWriteError(Format("Name too long: %s", {Value.substr(0, 64)}));
  uint8_t n = static_cast<uint8_t>(Value.size());
  Write(&n, 1);
  Write(Value.data(), n);
}

void TWriter::WriteSignature() {
  Write(kSignature, 4);
  uint8_t version = StreamFormatVersion;
  Write(&version, 1);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteInteger(int64_t Value) {
  if (Value >= INT8_MIN && Value <= INT8_MAX)
    WriteTagged(*this, vaInt8, static_cast<int8_t>(Value));
  else if (Value >= INT16_MIN && Value <= INT16_MAX)
    WriteTagged(*this, vaInt16, static_cast<int16_t>(Value));
  else if (Value >= INT32_MIN && Value <= INT32_MAX)
    WriteTagged(*this, vaInt32, static_cast<int32_t>(Value));
  else
    WriteTagged(*this, vaInt64, Value);
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char Value) { WriteString(std::string(1, Value)); }

void TWriter::WriteString(const std::string& Value) {
  if (Value.size() <= 255) {
    WriteValue(vaString);
    WriteStr(Value);
  } else {
    if (Value.size() > static_cast<size_t>(INT32_MAX)) throw EWriteError("Stream write error");
    WriteValue(vaLString);
    uint8_t len[4];
    PutLE(len, static_cast<int32_t>(Value.size()));
    Write(len, 4);
    Write(Value.data(), static_cast<int>(Value.size()));
  }
}

void TWriter::WriteIdent(const std::string& Ident) {
  if (SameText(Ident, "False"))
    WriteValue(vaFalse);
  else if (SameText(Ident, "True"))
    WriteValue(vaTrue);
  else if (SameText(Ident, "nil"))
    WriteValue(vaNil);
  else if (SameText(Ident, "Null"))
    WriteValue(vaNull);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteFloat(long double Value) {
  uint8_t buf[16] = {};
  buf[0] = vaExtended;
  std::memcpy(buf + 1, &Value, 10);
  Write(buf, 11);
}

void TWriter::WriteDouble(double Value) { WriteTagged(*this, vaDouble, Value); }

void TWriter::WriteSingle(float Value) { WriteTagged(*this, vaSingle, Value); }

void TWriter::WriteCurrency(long double Value) {
  long double scaled = std::nearbyint(Value * 10000.0L);
  WriteTagged(*this, vaCurrency,
              std::isfinite(scaled) && std::fabs(scaled) < 9.2e18L ? static_cast<int64_t>(scaled) : int64_t{0});
}

void TWriter::WriteDate(double Value) { WriteTagged(*this, vaDate, Value); }

void TWriter::WriteSet(const TEnumInfo* Elements, uint64_t Bits) {
  WriteValue(vaSet);
  for (int i = 0; i < 64; ++i)
    if (Bits & (uint64_t{1} << i)) {
      const std::string& name = GetEnumName(Elements, i);
      if (!name.empty()) WriteStr(name);
    }
  WriteStr(std::string());
}

void TWriter::WriteNil() { WriteValue(vaNil); }

void TWriter::WriteBinary(const TStreamProc& WriteData) {
  TMemoryStream data;
  if (WriteData) WriteData(data);
  int64_t size = data.Size();
  if (size > INT32_MAX) throw EWriteError("Stream write error");
  WriteValue(vaBinary);
  uint8_t len[4];
  PutLE(len, static_cast<int32_t>(size));
  Write(len, 4);
  Write(data.Memory(), static_cast<int>(size));
}

std::string TWriter::ComponentRefName(TComponent* Value) {
  if (!Value || Value->Name().empty()) return std::string();
  if (Value == FLookupRoot || Value->Owner() == FLookupRoot || !Value->Owner()) return Value->Name();
  if (Value->Owner()->Name().empty()) return Value->Name();
  return Value->Owner()->Name() + "." + Value->Name();
}

void TWriter::WriteComponentRef(TComponent* Value) {
  std::string name = ComponentRefName(Value);
  if (name.empty())
    WriteNil();
  else
    WriteIdent(name);
}

void TWriter::WritePrefix(TFilerFlags Flags, int ChildPos) {
  if (Flags.Empty()) return;
  uint8_t prefix = static_cast<uint8_t>(0xF0 | Flags.Bits());
  Write(&prefix, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(ChildPos);
}

void TWriter::WritePropName(const std::string& PropName) { WriteStr(FPropPath + PropName); }

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
  if (HasData && WriteData) {
    WritePropName(Name);
    WriteData(this);
  }
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&,
                                   const TStreamProc& WriteData, bool HasData) {
  if (HasData && WriteData) {
    WritePropName(Name);
    WriteBinary(WriteData);
  }
}

void TWriter::WriteDescendent(TComponent* ARoot, TComponent* AAncestor) {
  FRootAncestor = AAncestor;
  FAncestor = AAncestor;
  SetRoot(ARoot);
  WriteSignature();
  WriteComponent(ARoot);
  FlushBuffer();
}

void TWriter::WriteComponent(TComponent* Component) {
  bool wasWriting = Component->ComponentState().Contains(csWriting);
  Component->SetComponentState(csWriting, true);
  TScopeExit restore([&] { if (!wasWriting) Component->SetComponentState(csWriting, false); });
  Component->WriteState(this);
}

void TWriter::WriteData(TComponent* Instance) {
  if (++FDepth > MaxStreamDepth) {
    --FDepth;
    throw EWriteError("Components nested too deeply");
  }
  struct DepthGuard {
    int& d;
    ~DepthGuard() { --d; }
  } guard{FDepth};

  WriteStr(Instance->ClassName());
  WriteStr(Instance->Name());
  std::string savedPath = FPropPath;
  FPropPath.clear();
  WriteProperties(Instance);
  FPropPath = savedPath;
  WriteListEnd();
  if (!FIgnoreChildren) {
    TPersistent* savedAncestor = FAncestor;
    Instance->GetChildren(
        [this](TComponent* Child) {
          TComponent* ancestor = nullptr;
          if (FRootAncestor) ancestor = FRootAncestor->FindComponent(Child->Name());
          TComponent* rootAncestor = FRootAncestor;
          if (OnFindAncestor) OnFindAncestor(this, Child, Child->Name(), ancestor, rootAncestor);
          FAncestor = ancestor;
          WriteComponent(Child);
        },
        FRoot ? FRoot : Instance);
    FAncestor = savedAncestor;
  }
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
  for (const TPropInfo& p : Instance->ClassType()->PropTable().Props()) {
    if (p.Kind == tkUnknown || !p.IsStored(Instance)) continue;
    WriteProperty(Instance, &p);
  }
  Instance->DefineProperties(this);
}

bool TWriter::CollectionsEqual(TCollection* C1, TCollection* C2) {
  if (!C1 || !C2) return C1 == C2;
  if (C1->Count() != C2->Count()) return false;
  auto image = [this](TCollection* C) {
    TMemoryStream ms;
    {
      TWriter w(ms, 1024);
      w.SetRoot(FRoot);
      w.WriteCollection(C);
    }
    return std::string(static_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.Size()));
  };
  return image(C1) == image(C2);
}

void TWriter::WritePropPath(TPersistent* Instance, TPersistent* Ancestor, const std::string& Path) {
  if (++FDepth > MaxStreamDepth) {
    --FDepth;
    throw EWriteError("Properties nested too deeply");
  }
  std::string savedPath = FPropPath;
  TPersistent* savedAncestor = FAncestor;
  FPropPath = Path;
  FAncestor = Ancestor;
  TScopeExit restore([&] {
    FPropPath = savedPath;
    FAncestor = savedAncestor;
    --FDepth;
  });
  WriteProperties(Instance);
}

void TWriter::WriteCollection(TCollection* Value) {
  WriteValue(vaCollection);
  if (Value)
    for (int i = 0; i < Value->Count(); ++i) {
      WriteListBegin();
      WritePropPath(Value->Items(i), nullptr, std::string());
      WriteListEnd();
    }
  WriteListEnd();
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Info) {
  // The object compared with: the ancestor, when it has this property. Its value is read through
  // its own class's entry: a descendant's entry may belong to a class the ancestor is not.
  TObject* ancestor = nullptr;
  const TPropInfo* ancInfo = FAncestor ? FAncestor->ClassType()->PropTable().Find(Info->Name) : nullptr;
  if (ancInfo && ancInfo->Kind == Info->Kind && ancInfo->ObjectKind == Info->ObjectKind &&
      (FAncestor->ClassType() == Instance->ClassType() ||
       Instance->InheritsFrom(FAncestor->ClassType()) || FAncestor->InheritsFrom(Instance->ClassType())))
    ancestor = FAncestor;

  switch (Info->Kind) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
      if (!Info->GetOrd || !Info->SetOrd) return;
      int64_t v = Info->GetOrd(Instance);
      if (ancestor ? ancInfo->GetOrd && v == ancInfo->GetOrd(ancestor) : Info->HasDefault && v == Info->OrdDefault) return;
      WritePropName(Info->Name);
      if (Info->Kind == tkSet) {
        WriteSet(Info->EnumInfo, static_cast<uint64_t>(v));
      } else if (Info->Kind == tkChar || Info->Kind == tkWChar) {
        WriteChar(static_cast<char>(v));
      } else if (Info->Kind == tkEnumeration) {
        if (Info->EnumInfo == &BooleanInfo)
          WriteBoolean(v != 0);
        else if (const std::string& name = GetEnumName(Info->EnumInfo, v); !name.empty())
          WriteIdent(name);
        else
          WriteInteger(v);
      } else {
        std::string ident;
        if (Info->Idents && Info->Idents->ToIdent(v, ident))
          WriteIdent(ident);
        else
          WriteInteger(v);
      }
      return;
    }
    case tkFloat: {
      if (!Info->GetFloat || !Info->SetFloat) return;
      long double v = Info->GetFloat(Instance);
      if (ancestor ? ancInfo->GetFloat && v == ancInfo->GetFloat(ancestor) : v == (Info->HasDefault ? Info->FloatDefault : 0.0L))
        return;
      WritePropName(Info->Name);
      switch (Info->FloatType) {
        case ftSingle:
          WriteSingle(static_cast<float>(v));
          break;
        case ftDouble:
          WriteDouble(static_cast<double>(v));
          break;
        case ftCurr:
          WriteCurrency(v);
          break;
        default:
          WriteFloat(v);
          break;
      }
      return;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkVariant: {
      if (!Info->GetStr || !Info->SetStr) return;
      std::string v = Info->GetStr(Instance);
      if (ancestor ? ancInfo->GetStr && v == ancInfo->GetStr(ancestor) : v == (Info->HasDefault ? Info->StrDefault : std::string()))
        return;
      WritePropName(Info->Name);
      WriteString(v);
      return;
    }
    case tkMethod: {
      std::string name = GetMethodName(Instance, Info);
      if (name.empty() || !Info->SetEvent) return;
      if (ancestor && GetMethodName(ancestor, ancInfo) == name) return;
      WritePropName(Info->Name);
      WriteIdent(name);
      return;
    }
    case tkClass:
      break;
    default:
      return;
  }

  // Class kinds.
  if (Info->ObjectKind == okStrings) {
    TStrings* s = GetStringsProp(Instance, Info);
    if (!s) return;
    TStrings* a = ancestor ? GetStringsProp(ancestor, ancInfo) : nullptr;
    if (a ? a->Equals(*s) : s->Count() == 0) return;
    WritePropName(Info->Name + ".Strings");
    WriteListBegin();
    for (int i = 0; i < s->Count(); ++i) WriteString(s->Strings(i));
    WriteListEnd();
    return;
  }
  if (!Info->GetObj) return;
  TObject* obj = Info->GetObj(Instance);
  TObject* ancObj = ancestor && ancInfo->GetObj ? ancInfo->GetObj(ancestor) : nullptr;
  auto* comp = dynamic_cast<TComponent*>(obj);
  bool inlineComp = comp && comp->ComponentStyle().Contains(csSubComponent) && comp->Owner() == Instance;
  if (Info->ObjectKind == okComponent || (comp && !inlineComp)) {
    if (!comp || !Info->SetObj) {
      // A reference cleared against an ancestor that had one is written as nil.
      if (!comp && ancObj && Info->SetObj) {
        WritePropName(Info->Name);
        WriteNil();
      }
      return;
    }
    if (inlineComp) {
      WritePropPath(comp, dynamic_cast<TPersistent*>(ancObj), FPropPath + Info->Name + ".");
      return;
    }
    std::string name = ComponentRefName(comp);
    if (name.empty()) return;
    // The ancestor's reference is the same when it names the same component of its own root.
    if (auto* ac = dynamic_cast<TComponent*>(ancObj);
        ac && SameText(ac->Name(), comp->Name()) &&
        (ac->Owner() == FRootAncestor || ac == FRootAncestor) == (comp->Owner() == FLookupRoot || comp == FLookupRoot))
      return;
    WritePropName(Info->Name);
    WriteIdent(name);
    return;
  }
  if (auto* coll = dynamic_cast<TCollection*>(obj)) {
    auto* ac = dynamic_cast<TCollection*>(ancObj);
    if (ancestor ? CollectionsEqual(coll, ac) : coll->Count() == 0) return;
    WritePropName(Info->Name);
    std::string savedPath = FPropPath;
    FPropPath.clear();
    WriteCollection(coll);
    FPropPath = savedPath;
    return;
  }
  if (auto* pers = dynamic_cast<TPersistent*>(obj))
    WritePropPath(pers, dynamic_cast<TPersistent*>(ancObj), FPropPath + Info->Name + ".");
}

// ---------------------------------------------------------------------------------------------
// TReader

TReader::TReader(TStream& Stream, int BufSize) : TFiler(Stream, BufSize) {
  FBufStart = Stream.Position();
  FStreamEnd = std::max(Stream.Size(), FBufStart);
}

TReader::~TReader() {
  try {
    FlushBuffer();
  } catch (...) {
  }
}

void TReader::FlushBuffer() {
  FBufStart += FBufPos;
  FBufPos = FBufEnd = 0;
  FStream.SetPosition(FBufStart);
}

int64_t TReader::Position() { return FBufStart + FBufPos; }

int64_t TReader::Remaining() { return FStreamEnd - (FBufStart + FBufPos); }

void TReader::FillBuffer(int64_t) {
  // Called with the buffer used up: the next chunk follows it in the stream.
  FBufStart += FBufEnd;
  FBufPos = FBufEnd = 0;
  int64_t want = std::min<int64_t>(static_cast<int64_t>(FBuffer.size()), FStreamEnd - FBufStart);
  if (want <= 0) ReadFault();
  int64_t got = FStream.Read(FBuffer.data(), want);
  if (got <= 0) ReadFault();
  FBufEnd = static_cast<int>(got);
}

void TReader::Read(void* Buf, int64_t Count) {
  if (Count < 0 || Count > Remaining()) ReadFault();
  auto* out = static_cast<uint8_t*>(Buf);
  while (Count > 0) {
    if (FBufPos == FBufEnd) FillBuffer(Count);
    int64_t n = std::min<int64_t>(Count, FBufEnd - FBufPos);
    std::memcpy(out, FBuffer.data() + FBufPos, static_cast<size_t>(n));
    FBufPos += static_cast<int>(n);
    out += n;
    Count -= n;
  }
}

void TReader::SkipBytes(int64_t Count) {
  if (Count < 0 || Count > Remaining()) ReadFault();
  while (Count > 0) {
    if (FBufPos == FBufEnd) FillBuffer(Count);
    int64_t n = std::min<int64_t>(Count, FBufEnd - FBufPos);
    FBufPos += static_cast<int>(n);
    Count -= n;
  }
}

void TReader::FormatError() { InvalidFormat(); }

void TReader::Enter() {
  if (++FDepth > MaxStreamDepth) {
    --FDepth;
    throw EReadFatal("Stream nested too deeply");
  }
}

TValueType TReader::ReadValue() {
  uint8_t b;
  Read(&b, 1);
  if (b > vaDouble) InvalidFormat();
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  if (Remaining() < 1) ReadFault();
  if (FBufPos == FBufEnd) FillBuffer(1);
  uint8_t b = FBuffer[static_cast<size_t>(FBufPos)];
  if (b > vaDouble) InvalidFormat();
  return static_cast<TValueType>(b);
}

// Names (properties, classes) start with their length byte, which may be any value: only the end
// marker is tested here.
bool TReader::EndOfList() {
  if (Remaining() < 1) ReadFault();
  if (FBufPos == FBufEnd) FillBuffer(1);
  return FBuffer[static_cast<size_t>(FBufPos)] == vaNull;
}

void TReader::ReadListBegin() {
  if (ReadValue() != vaList) InvalidFormat();
}

void TReader::ReadListEnd() {
  if (ReadValue() != vaNull) InvalidFormat();
}

std::string TReader::ReadStr() {
  uint8_t n;
  Read(&n, 1);
  std::string s(n, '\0');
  Read(s.data(), n);
  return s;
}

int64_t TReader::ReadLength(int Size) {
  int32_t n;
  if (Size != 4) InvalidFormat();
  Read(&n, 4);
  if (n < 0 || n > Remaining()) ReadFault();
  return n;
}

void TReader::ReadSignature() {
  char sig[4];
  Read(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) InvalidFormat();
  uint8_t version;
  Read(&version, 1);
  if (version == 0 || version > StreamFormatVersion)
    throw EReadFatal(Format("Unsupported stream version %d", {static_cast<int>(version)}));
}

namespace {

// A value stored as its own bytes.
template <class T>
T ReadRaw(TReader& R) {
  T v;
  R.Read(&v, sizeof v);
  return v;
}

// What a component's entry starts with: the optional prefix, the class name and the name.
struct TComponentHeader {
  TFilerFlags Flags;
  int ChildPos = 0;
  std::string ClassName, Name;
};

TComponentHeader ReadComponentHeader(TReader& R) {
  TComponentHeader h;
  R.ReadPrefix(h.Flags, h.ChildPos);
  h.ClassName = R.ReadStr();
  h.Name = R.ReadStr();
  return h;
}

int64_t ReadIntBody(TReader& R, TValueType t) {
  switch (t) {
    case vaInt8:
      return ReadRaw<int8_t>(R);
    case vaInt16:
      return ReadRaw<int16_t>(R);
    case vaInt32:
      return ReadRaw<int32_t>(R);
    case vaInt64:
      return ReadRaw<int64_t>(R);
    default:
      InvalidFormat();
  }
}

long double ReadFloatBody(TReader& R, TValueType t) {
  switch (t) {
    case vaExtended: {
      long double v = 0;
      uint8_t raw[sizeof(long double)] = {};
      R.Read(raw, 10);
      std::memcpy(&v, raw, sizeof v);
      return v;
    }
    case vaDouble:
    case vaDate:
      return ReadRaw<double>(R);
    case vaSingle:
      return ReadRaw<float>(R);
    case vaCurrency:
      return static_cast<long double>(ReadRaw<int64_t>(R)) / 10000.0L;
    default:
      return static_cast<long double>(ReadIntBody(R, t));
  }
}

}  // namespace

int32_t TReader::ReadInteger() {
  int64_t v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) InvalidValue();
  return static_cast<int32_t>(v);
}

int64_t TReader::ReadInt64() {
  TValueType t = ReadValue();
  if (!IsIntTag(t)) {
    SkipValueBody(t);
    InvalidValue();
  }
  return ReadIntBody(*this, t);
}

bool TReader::ReadBoolean() {
  TValueType t = ReadValue();
  if (t == vaTrue) return true;
  if (t == vaFalse) return false;
  SkipValueBody(t);
  InvalidValue();
}

char TReader::ReadChar() {
  std::string s = ReadString();
  if (s.size() != 1) InvalidValue();
  return s[0];
}

std::string TReader::ReadString() {
  TValueType t = ReadValue();
  if (t == vaString) return ReadStr();
  if (t == vaLString || t == vaUTF8String) {
    int64_t n = ReadLength(4);
    std::string s(static_cast<size_t>(n), '\0');
    Read(s.data(), n);
    return s;
  }
  SkipValueBody(t);
  InvalidValue();
}

std::string TReader::ReadIdent() {
  TValueType t = ReadValue();
  switch (t) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    default:
      SkipValueBody(t);
      InvalidValue();
  }
}

long double TReader::ReadFloat() {
  TValueType t = ReadValue();
  if (t == vaExtended || t == vaDouble || t == vaSingle || t == vaCurrency || t == vaDate || IsIntTag(t))
    return ReadFloatBody(*this, t);
  SkipValueBody(t);
  InvalidValue();
}

double TReader::ReadDouble() { return static_cast<double>(ReadFloat()); }
float TReader::ReadSingle() { return static_cast<float>(ReadFloat()); }
long double TReader::ReadCurrency() { return ReadFloat(); }
double TReader::ReadDate() { return static_cast<double>(ReadFloat()); }

void TReader::SkipSetBody() {
  while (true) {
    uint8_t n;
    Read(&n, 1);
    if (n == 0) return;
    SkipBytes(n);
  }
}

void TReader::SkipValue() { SkipValueBody(ReadValue()); }

void TReader::SkipValueBody(TValueType t) {
  switch (t) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      return;
    case vaInt8:
      SkipBytes(1);
      return;
    case vaInt16:
      SkipBytes(2);
      return;
    case vaInt32:
    case vaSingle:
      SkipBytes(4);
      return;
    case vaInt64:
    case vaDouble:
    case vaDate:
    case vaCurrency:
      SkipBytes(8);
      return;
    case vaExtended:
      SkipBytes(10);
      return;
    case vaString:
    case vaIdent: {
      uint8_t n;
      Read(&n, 1);
      SkipBytes(n);
      return;
    }
    case vaLString:
    case vaUTF8String:
    case vaBinary:
      SkipBytes(ReadLength(4));
      return;
    case vaSet:
      SkipSetBody();
      return;
    case vaList:
      Enter();
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      Leave();
      return;
    case vaCollection:
      Enter();
      while (!EndOfList()) {
        if (IsIntTag(NextValue())) SkipValue();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      Leave();
      return;
    default:
      InvalidFormat();
  }
}

bool TReader::Error(const std::string& Message) {
  bool handled = false;
  if (OnError) OnError(this, Message, handled);
  return handled;
}

TMethod TReader::FindMethod(TComponent* Root, const std::string& MethodName) {
  TMethod m = MethodAddress(Root, MethodName);
  bool error = !m.Assigned();
  if (OnFindMethod) OnFindMethod(this, MethodName, m, error);
  if (error) InvalidValue();
  if (m.Assigned() && m.Name.empty()) m.Name = MethodName;
  return m;
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&,
                             bool) {
  if (ReadData && !FPropName.empty() && SameText(Name, FPropName)) {
    FPropName.clear();
    ReadData(this);
  }
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                   const TStreamProc&, bool) {
  if (!ReadData || FPropName.empty() || !SameText(Name, FPropName)) return;
  FPropName.clear();
  TValueType t = ReadValue();
  if (t != vaBinary) {
    SkipValueBody(t);
    InvalidValue();
  }
  int64_t n = ReadLength(4);
  TMemoryStream data;
  data.SetSize(n);
  Read(data.Memory(), n);
  data.SetPosition(0);
  // The bytes are consumed: whatever the handler finds wrong, damage to a structure it reads
  // from them included, can be passed over.
  FCanHandleExcepts = true;
  try {
    ReadData(data);
  } catch (const EReadFatal& e) {
    throw EReadError(e.Message());
  }
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& ChildPos) {
  Flags = TFilerFlags();
  ChildPos = 0;
  if (Remaining() < 1) ReadFault();
  if (FBufPos == FBufEnd) FillBuffer(1);
  uint8_t b = FBuffer[static_cast<size_t>(FBufPos)];
  if ((b & 0xF0) != 0xF0) return;
  ++FBufPos;
  if (b & 0x08) InvalidFormat();
  Flags = TFilerFlags::FromBits(b & 0x07);
  if (Flags.Contains(ffChildPos)) {
    int64_t pos = ReadInt64();
    if (pos < INT32_MIN || pos > INT32_MAX) InvalidFormat();
    ChildPos = static_cast<int>(pos);
  }
}

TComponentClass TReader::FindComponentClass(const std::string& ClassName) {
  TComponentClass cls = ClassCast<TComponentMetaClass>(GetClass(ClassName));
  if (OnFindComponentClass) OnFindComponentClass(this, ClassName, cls);
  return cls;
}

void TReader::ReadPropValue(TObject* Instance, const TPropInfo* Info) {
  TValueType t = ReadValue();
  auto reject = [&]() {
    SkipValueBody(t);
    InvalidValue();
  };
  switch (Info->Kind) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar: {
      // Numbers, and besides them an integer's identifier or a one-character string.
      const bool isChar = Info->Kind == tkChar || Info->Kind == tkWChar;
      int64_t v;
      if (IsIntTag(t)) {
        v = ReadIntBody(*this, t);
      } else if (!isChar && t == vaIdent) {
        std::string ident = ReadStr();
        if (!Info->Idents || !Info->Idents->FromIdent(ident, v)) InvalidValue();
      } else if (isChar && t == vaString) {
        std::string c = ReadStr();
        if (c.size() != 1) InvalidValue();
        v = static_cast<unsigned char>(c[0]);
      } else {
        reject();
        return;
      }
      SetOrdProp(Instance, Info, v);
      return;
    }
    case tkEnumeration: {
      int64_t v;
      if (t == vaFalse || t == vaTrue) {
        v = t == vaTrue;
        if (Info->EnumInfo != &BooleanInfo) v = GetEnumValue(Info->EnumInfo, v ? "True" : "False");
      } else if (t == vaIdent) {
        v = GetEnumValue(Info->EnumInfo, ReadStr());
      } else if (IsIntTag(t)) {
        v = ReadIntBody(*this, t);
      } else {
        reject();
        return;
      }
      if (v < 0) InvalidValue();
      SetOrdProp(Instance, Info, v);
      return;
    }
    case tkSet: {
      if (t != vaSet) {
        reject();
        return;
      }
      uint64_t bits = 0;
      bool bad = false;
      while (true) {
        std::string name = ReadStr();
        if (name.empty()) break;
        int v = GetEnumValue(Info->EnumInfo, name);
        if (v < 0 || v > 63)
          bad = true;
        else
          bits |= uint64_t{1} << v;
      }
      if (bad) InvalidValue();
      SetOrdProp(Instance, Info, static_cast<int64_t>(bits));
      return;
    }
    case tkFloat:
      if (t == vaExtended || t == vaDouble || t == vaSingle || t == vaCurrency || t == vaDate || IsIntTag(t)) {
        long double v = ReadFloatBody(*this, t);
        SetFloatProp(Instance, Info, v);
      } else {
        reject();
      }
      return;
    case tkString:
    case tkLString:
    case tkWString:
    case tkVariant: {
      std::string s;
      if (t == vaString)
        s = ReadStr();
      else if (t == vaLString || t == vaUTF8String) {
        int64_t n = ReadLength(4);
        s.assign(static_cast<size_t>(n), '\0');
        Read(s.data(), n);
      } else {
        reject();
        return;
      }
      SetStrProp(Instance, Info, s);
      return;
    }
    case tkMethod: {
      if (t == vaNil) {
        SetMethodProp(Instance, Info, TMethod());
        return;
      }
      if (t != vaIdent) {
        reject();
        return;
      }
      std::string name = ReadStr();
      if (!Info->SetEvent) InvalidValue();
      TMethod m = FindMethod(FRoot, name);
      SetMethodProp(Instance, Info, m);
      return;
    }
    case tkClass:
      break;
    default:
      reject();
      return;
  }

  if (Info->ObjectKind == okStrings) {
    if (t != vaList) {
      reject();
      return;
    }
    ReadStrings(GetStringsProp(Instance, Info));
    return;
  }
  if (t == vaCollection) {
    auto* coll = Info->GetObj ? dynamic_cast<TCollection*>(Info->GetObj(Instance)) : nullptr;
    if (!coll) {
      reject();
      return;
    }
    ReadCollection(coll);
    return;
  }
  if (t == vaNil) {
    if (!Info->SetObj) InvalidValue();
    SetObjectProp(Instance, Info, nullptr);
    return;
  }
  if (t == vaIdent) {
    std::string name = ReadStr();
    if (Info->ObjectKind != okComponent && !(Info->SetObj && Info->PropClass &&
                                             Info->PropClass->InheritsFrom(TComponent::StaticClass())))
      InvalidValue();
    if (!Info->SetObj) InvalidValue();
    FFixups.push_back({Instance, Info, name, FCurrent});
    return;
  }
  reject();
}

void TReader::ReadStrings(TStrings* Strings) {
  // The list tag has been read.
  Enter();
  std::vector<std::string> lines;
  bool bad = false;
  while (!EndOfList()) {
    TValueType t = NextValue();
    if (IsStringTag(t))
      lines.push_back(ReadString());
    else {
      SkipValue();
      bad = true;
    }
  }
  ReadListEnd();
  Leave();
  if (bad || !Strings) InvalidValue();
  Strings->BeginUpdate();
  TScopeExit restore([&] { Strings->EndUpdate(); });
  Strings->Clear();
  for (const auto& s : lines) Strings->Add(s);
}

void TReader::ReadCollection(TCollection* Collection) {
  // The collection tag has been read.
  Enter();
  Collection->BeginUpdate();
  TScopeExit restore([&] {
    Collection->EndUpdate();
    Leave();
  });
  // The stream holds the whole collection: "<>" (written against an ancestor that had items)
  // empties it too.
  Collection->Clear();
  while (!EndOfList()) {
    if (IsIntTag(NextValue())) ReadInteger();  // an item order: not used
    TCollectionItem* item;
    try {
      item = Collection->Add();
    } catch (const EReadFatal&) {
      throw;
    } catch (const std::exception& e) {
      // Without the item its properties cannot be placed: stop.
      throw EReadFatal(e.what());
    }
    ReadListBegin();
    while (!EndOfList()) ReadProperty(item);
    ReadListEnd();
  }
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* AInstance) {
  std::string fullName = ReadStr();
  if (fullName.empty()) InvalidFormat();
  try {
    try {
      FCanHandleExcepts = true;
      TObject* instance = AInstance;
      std::string name = fullName;
      size_t dot;
      while ((dot = name.find('.')) != std::string::npos) {
        std::string part = name.substr(0, dot);
        name.erase(0, dot + 1);
        const TPropInfo* p = GetPropInfo(instance, part);
        if (p && p->Kind == tkClass && p->ObjectKind == okStrings && SameText(name, "Strings")) {
          TValueType t = ReadValue();
          if (t != vaList) {
            SkipValueBody(t);
            InvalidValue();
          }
          ReadStrings(GetStringsProp(instance, p));
          return;
        }
        TObject* next = (p && p->Kind == tkClass && p->GetObj) ? p->GetObj(instance) : nullptr;
        if (!next) {
          SkipValue();
          throw EReadError(Format("Property %s does not exist", {fullName}));
        }
        instance = next;
      }
      FPropName = name;
      const TPropInfo* info = GetPropInfo(instance, name);
      if (info) {
        ReadPropValue(instance, info);
      } else {
        FCanHandleExcepts = false;
        if (auto* pers = dynamic_cast<TPersistent*>(instance)) pers->DefineProperties(this);
        FCanHandleExcepts = true;
        if (!FPropName.empty()) {
          SkipValue();
          throw EReadError(Format("Property %s does not exist", {fullName}));
        }
      }
    } catch (const EReadFatal&) {
      throw;
    } catch (const std::exception& e) {
      std::string message = e.what();
      throw EReadError(Format("Error reading %s.%s: %s", {ComponentDisplayName(AInstance), fullName, message}));
    }
  } catch (const EReadFatal&) {
    throw;
  } catch (const EReadError& e) {
    if (!FCanHandleExcepts || !Error(e.Message())) throw;
  }
  FPropName.clear();
}

void TReader::ReadData(TComponent* Instance) {
  bool top = FLoaded.empty() && FFixups.empty() && FDepth == 0 && !FRoot;
  if (top) {
    // Reading one component alone: its references are resolved at its end.
    FRoot = Instance;
    FLookupRoot = Instance;
  }
  ReadDataInner(Instance);
  if (top) FixupReferences();
}

void TReader::ReadDataInner(TComponent* Instance) {
  TComponent* savedCurrent = FCurrent;
  FCurrent = Instance;
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  TComponent* savedParent = FParent;
  TComponent* savedOwner = FOwner;
  FParent = Instance;
  if (!FOwner) FOwner = FRoot;
  TScopeExit restore([&] {
    FParent = savedParent;
    FOwner = savedOwner;
    FCurrent = savedCurrent;
  });
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

void TReader::SkipComponent(bool SkipHeader) {
  Enter();
  if (SkipHeader) ReadComponentHeader(*this);
  while (!EndOfList()) {
    if (ReadStr().empty()) InvalidFormat();
    SkipValue();
  }
  ReadListEnd();
  while (!EndOfList()) SkipComponent(true);
  ReadListEnd();
  Leave();
}

void TReader::DropFixups(TComponent* Holder) {
  FFixups.erase(std::remove_if(FFixups.begin(), FFixups.end(),
                               [Holder](const TFixup& f) { return f.Holder == Holder; }),
                FFixups.end());
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  auto [flags, childPos, className, name] = ReadComponentHeader(*this);
  if (className.empty()) InvalidFormat();
  Enter();
  struct DepthGuard {
    TReader* r;
    ~DepthGuard() { r->Leave(); }
  } guard{this};

  TComponent* result = Component;
  bool created = false;
  if (!result) {
    TComponent* existing = FOwner && !name.empty() ? FOwner->FindComponent(name) : nullptr;
    if (existing && existing != FRoot && existing->ClassNameIs(className)) {
      result = existing;
    } else if (flags.Contains(ffInherited)) {
      std::string message = Format("Ancestor for '%s' not found", {name});
      if (!Error(message)) throw EReadError(message);
      SkipComponent(false);
      return nullptr;
    } else {
      TComponentClass cls = FindComponentClass(className);
      if (!cls) {
        std::string message = Format("Class %s not found", {className});
        if (!Error(message)) throw EClassNotFound(message);
        SkipComponent(false);
        return nullptr;
      }
      try {
        result = cls->Create(FOwner);
        created = true;
        result->SetComponentState(csLoading, true);
        result->SetComponentState(csReading, true);
        std::string newName = name;
        if (OnSetName) OnSetName(this, result, newName);
        result->SetName(newName);
      } catch (const std::exception& e) {
        delete result;
        std::string message = Format("Error reading %s: %s", {name.empty() ? className : name, std::string(e.what())});
        if (!Error(message)) throw EReadError(message);
        SkipComponent(false);
        return nullptr;
      }
    }
  }
  result->SetComponentState(csLoading, true);
  result->SetComponentState(csReading, true);
  if (std::find(FLoaded.begin(), FLoaded.end(), result) == FLoaded.end()) FLoaded.push_back(result);
  try {
    if (FParent && FParent != result) {
      result->SetParentComponent(FParent);
      if (flags.Contains(ffChildPos)) FParent->SetChildOrder(result, childPos);
    }
    result->ReadState(this);
  } catch (...) {
    if (created) {
      FLoaded.erase(std::remove(FLoaded.begin(), FLoaded.end(), result), FLoaded.end());
      DropFixups(result);
      delete result;
    }
    throw;
  }
  return result;
}

TComponent* TReader::ResolveName(const std::string& Name) {
  std::string first = Name, rest;
  if (size_t dot = Name.find('.'); dot != std::string::npos) {
    first = Name.substr(0, dot);
    rest = Name.substr(dot + 1);
  }
  TComponent* found = nullptr;
  if (FRoot) {
    if ((!FRoot->Name().empty() && SameText(FRoot->Name(), first)) ||
        (!FRootStreamName.empty() && SameText(FRootStreamName, first)))
      found = FRoot;
    else
      found = FRoot->FindComponent(first);
    // Then the root's owners and what they own.
    for (TComponent* o = FRoot->Owner(); !found && o; o = o->Owner()) {
      if (!o->Name().empty() && SameText(o->Name(), first))
        found = o;
      else
        found = o->FindComponent(first);
    }
  }
  while (found && !rest.empty()) {
    std::string part = rest;
    if (size_t dot = rest.find('.'); dot != std::string::npos) {
      part = rest.substr(0, dot);
      rest.erase(0, dot + 1);
    } else {
      rest.clear();
    }
    found = found->FindComponent(part);
  }
  return found;
}

void TReader::FixupReferences() {
  std::vector<TFixup> fixups;
  fixups.swap(FFixups);
  std::vector<TComponent*> loaded;
  loaded.swap(FLoaded);
  std::exception_ptr failure;
  for (TFixup& f : fixups) {
    std::string name = f.Name;
    if (OnReferenceName) OnReferenceName(this, name);
    TComponent* target = ResolveName(name);
    if (!target) continue;  // left empty: the stream names something not here
    try {
      SetObjectProp(f.Instance, f.Info, target);
    } catch (const std::exception& e) {
      std::string message = Format("Error reading %s.%s: %s", {ComponentDisplayName(f.Instance), f.Info->Name,
                                                               std::string(e.what())});
      if (!Error(message) && !failure) failure = std::make_exception_ptr(EReadError(message));
    }
  }
  for (TComponent* c : loaded) c->SetComponentState(csReading, false);
  if (failure) {
    for (TComponent* c : loaded) c->SetComponentState(csLoading, false);
    std::rethrow_exception(failure);
  }
  for (size_t i = 0; i < loaded.size(); ++i) {
    try {
      loaded[i]->Loaded();
    } catch (...) {
      for (size_t j = i; j < loaded.size(); ++j) loaded[j]->SetComponentState(csLoading, false);
      throw;
    }
  }
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  ReadSignature();
  auto [flags, childPos, className, name] = ReadComponentHeader(*this);
  if (className.empty()) InvalidFormat();
  FRootStreamName = name;
  TComponent* result = Root;
  bool created = false;
  if (!result) {
    TComponentClass cls = FindComponentClass(className);
    if (!cls) throw EClassNotFound(Format("Class %s not found", {className}));
    try {
      result = cls->Create(nullptr);
    } catch (const EComponentError& e) {
      // An abstract class named by the stream.
      throw EReadError(Format("Error reading %s: %s", {className, e.Message()}));
    }
    created = true;
  }
  try {
    result->SetComponentState(csLoading, true);
    result->SetComponentState(csReading, true);
    if ((created || result->Name().empty()) && !name.empty()) {
      std::string newName = name;
      if (OnSetName) OnSetName(this, result, newName);
      // Another component of the owner may have the name: add a number.
      if (TComponent* owner = result->Owner()) {
        std::string base = newName;
        for (int i = 1; owner->FindComponent(newName) && owner->FindComponent(newName) != result; ++i)
          newName = base + "_" + IntToStr(i);
      }
      try {
        result->SetName(newName);
      } catch (const EComponentError& e) {
        throw EReadError(Format("Error reading %s: %s", {className, e.Message()}));
      }
    }
    FRoot = result;
    FLookupRoot = result;
    FOwner = result;
    FLoaded.push_back(result);
    Enter();
    result->ReadState(this);
    Leave();
    FixupReferences();
  } catch (...) {
    FDepth = 0;
    for (TComponent* c : FLoaded) {
      c->SetComponentState(csReading, false);
      c->SetComponentState(csLoading, false);
    }
    FLoaded.clear();
    FFixups.clear();
    if (created) delete result;
    throw;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// Text form

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// Length of a valid UTF-8 multi-byte sequence at s[i], or 0.
size_t Utf8Seq(const std::string& s, size_t i) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  auto b1 = static_cast<unsigned char>(s[i + 1]);
  if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 > 0x9F) || (b == 0xF0 && b1 < 0x90) ||
      (b == 0xF4 && b1 > 0x8F))
    return 0;
  return n;
}

class TBinaryToText {
public:
  TBinaryToText(TReader& R, std::string& Out) : r(R), out(Out) {}

  void Object(int indent) {
    auto [flags, pos, cls, name] = ReadComponentHeader(r);
    CheckIdent(cls, false);
    if (!name.empty()) CheckIdent(name, false);
    Indent(indent);
    out += flags.Contains(ffInherited) ? "inherited " : flags.Contains(ffInline) ? "inline " : "object ";
    if (!name.empty()) out += name + ": ";
    out += cls;
    if (flags.Contains(ffChildPos)) out += " [" + IntToStr(pos) + "]";
    out += "\r\n";
    Enter();
    while (!r.EndOfList()) Property(indent + 2);
    r.ReadListEnd();
    while (!r.EndOfList()) Object(indent + 2);
    r.ReadListEnd();
    Leave();
    Indent(indent);
    out += "end\r\n";
  }

  TReader& r;
  std::string& out;
  int depth = 0;

private:
  void Enter() {
    if (++depth > MaxStreamDepth) throw EReadFatal("Stream nested too deeply");
  }
  void Leave() { --depth; }
  void Indent(int n) { out.append(static_cast<size_t>(n), ' '); }

  static void CheckIdent(const std::string& s, bool dots) {
    if (s.empty() || !IsIdentStart(s[0])) InvalidFormat();
    for (char c : s)
      if (!IsIdentChar(c) && !(dots && c == '.')) InvalidFormat();
  }

  void Property(int indent) {
    std::string name = r.ReadStr();
    CheckIdent(name, true);
    Indent(indent);
    out += name + " = ";
    Value(indent + 2);
    out += "\r\n";
  }

  void Str(const std::string& s, int indent) {
    if (s.empty()) {
      out += "''";
      return;
    }
    size_t lineStart = out.size();
    bool quoted = false;
    size_t i = 0;
    while (i < s.size()) {
      if (out.size() - lineStart >= 64 && i > 0) {
        if (quoted) out += '\'';
        quoted = false;
        out += " +\r\n";
        Indent(indent);
        lineStart = out.size();
      }
      auto c = static_cast<unsigned char>(s[i]);
      size_t seq = c >= 0x80 ? Utf8Seq(s, i) : 0;
      if ((c >= 32 && c < 127) || seq > 0) {
        if (!quoted) out += '\'';
        quoted = true;
        size_t n = seq > 0 ? seq : 1;
        if (c == '\'') out += '\'';
        out.append(s, i, n);
        i += n;
      } else {
        if (quoted) out += '\'';
        quoted = false;
        out += '#' + IntToStr(c);
        ++i;
      }
    }
    if (quoted) out += '\'';
  }

  void Value(int indent) {
    TValueType t = r.ReadValue();
    switch (t) {
      case vaList:
        out += '(';
        Enter();
        while (!r.EndOfList()) {
          out += "\r\n";
          Indent(indent);
          Value(indent + 2);
        }
        r.ReadListEnd();
        Leave();
        out += ')';
        return;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64:
        out += IntToStr(ReadIntBody(r, t));
        return;
      case vaExtended:
        out += FloatToText(ReadFloatBody(r, t));
        return;
      case vaDouble:
        out += FloatToText(static_cast<double>(ReadFloatBody(r, t))) + "d";
        return;
      case vaDate:
        out += FloatToText(static_cast<double>(ReadFloatBody(r, t))) + "t";
        return;
      case vaSingle:
        out += FloatToText(static_cast<float>(ReadFloatBody(r, t))) + "s";
        return;
      case vaCurrency: {
        int64_t v = ReadRaw<int64_t>(r);
        uint64_t a = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        std::string frac = std::to_string(a % 10000);
        out += (v < 0 ? "-" : "") + std::to_string(a / 10000) + "." + std::string(4 - frac.size(), '0') + frac + "c";
        return;
      }
      case vaString:
        Str(r.ReadStr(), indent);
        return;
      case vaLString:
      case vaUTF8String: {
        if (t == vaUTF8String) InvalidFormat();  // never written; would not come back the same
        int64_t n = r.ReadLength(4);
        std::string s(static_cast<size_t>(n), '\0');
        r.Read(s.data(), n);
        if (n <= 255) InvalidFormat();  // a short string is always written as vaString
        Str(s, indent);
        return;
      }
      case vaIdent: {
        std::string id = r.ReadStr();
        CheckIdent(id, true);
        if (SameText(id, "False") || SameText(id, "True") || SameText(id, "nil") || SameText(id, "Null"))
          InvalidFormat();
        out += id;
        return;
      }
      case vaFalse:
        out += "False";
        return;
      case vaTrue:
        out += "True";
        return;
      case vaNil:
        out += "nil";
        return;
      case vaNull:
        out += "Null";
        return;
      case vaBinary: {
        int64_t n = r.ReadLength(4);
        out += '{';
        static const char hex[] = "0123456789ABCDEF";
        uint8_t chunk[32];
        while (n > 0) {
          int k = static_cast<int>(std::min<int64_t>(n, 32));
          r.Read(chunk, k);
          out += "\r\n";
          Indent(indent);
          for (int j = 0; j < k; ++j) {
            out += hex[chunk[j] >> 4];
            out += hex[chunk[j] & 15];
          }
          n -= k;
        }
        out += '}';
        return;
      }
      case vaSet: {
        out += '[';
        bool first = true;
        while (true) {
          std::string name = r.ReadStr();
          if (name.empty()) break;
          CheckIdent(name, false);
          if (!first) out += ", ";
          out += name;
          first = false;
        }
        out += ']';
        return;
      }
      case vaCollection:
        out += '<';
        Enter();
        while (!r.EndOfList()) {
          if (IsIntTag(r.NextValue())) InvalidFormat();  // item orders are never written
          out += "\r\n";
          Indent(indent);
          out += "item\r\n";
          r.ReadListBegin();
          while (!r.EndOfList()) Property(indent + 2);
          r.ReadListEnd();
          Indent(indent);
          out += "end";
        }
        r.ReadListEnd();
        Leave();
        out += '>';
        return;
      default:
        InvalidFormat();
    }
  }
};

// The text form's tokens.
enum class Tok { End, Ident, Int, Float, String, Symbol };

class TTextToBinary {
public:
  TTextToBinary(const std::string& Src, TWriter& W) : s(Src), w(W) { Next(); }

  void Object() {
    TFilerFlags flags;
    if (IsWord("inherited"))
      flags.Include(ffInherited);
    else if (IsWord("inline"))
      flags.Include(ffInline);
    else if (!IsWord("object"))
      Fail("Object expected");
    Next();
    std::string name, cls = ExpectIdent(false);
    if (IsSym(':')) {
      Next();
      name = cls;
      cls = ExpectIdent(false);
    }
    int64_t pos = 0;
    if (IsSym('[')) {
      Next();
      if (tok != Tok::Int) Fail("Integer expected");
      pos = intValue;
      if (pos < INT32_MIN || pos > INT32_MAX) Fail("Integer out of range");
      flags.Include(ffChildPos);
      Next();
      ExpectSym(']');
    }
    if (!flags.Empty()) {
      uint8_t prefix = static_cast<uint8_t>(0xF0 | flags.Bits());
      w.Write(&prefix, 1);
      if (flags.Contains(ffChildPos)) w.WriteInteger(pos);
    }
    w.WriteStr(cls);
    w.WriteStr(name);
    Enter();
    while (!IsWord("end") && !IsWord("object") && !IsWord("inherited") && !IsWord("inline")) Property();
    w.WriteListEnd();
    while (!IsWord("end")) Object();
    w.WriteListEnd();
    Leave();
    Next();  // end
  }

  size_t Offset() const { return tokStart; }
  Tok tok = Tok::End;

private:
  const std::string& s;
  TWriter& w;
  size_t p = 0;
  int line = 1;
  int depth = 0;
  size_t tokStart = 0;
  std::string text;
  int64_t intValue = 0;
  char suffix = 0;

  [[noreturn]] void Fail(const std::string& what) {
    throw EParserError(Format("Line %d: %s", {line, what}));
  }
  void Enter() {
    if (++depth > MaxStreamDepth) Fail("Nested too deeply");
  }
  void Leave() { --depth; }

  bool IsWord(const char* word) const { return tok == Tok::Ident && SameText(text, word); }
  bool IsSym(char c) const { return tok == Tok::Symbol && text[0] == c; }
  void ExpectSym(char c) {
    if (!IsSym(c)) Fail(std::string("'") + c + "' expected");
    Next();
  }
  std::string ExpectIdent(bool dots) {
    if (tok != Tok::Ident) Fail("Identifier expected");
    if (!dots && text.find('.') != std::string::npos) Fail("Identifier expected");
    if (text.size() > 255) Fail("Identifier too long");
    std::string id = text;
    Next();
    return id;
  }

  void SkipBlanks() {
    while (p < s.size()) {
      char c = s[p];
      if (c == '\n') {
        ++line;
        ++p;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++p;
      } else {
        break;
      }
    }
  }

  void Next() {
    SkipBlanks();
    tokStart = p;
    text.clear();
    suffix = 0;
    if (p >= s.size()) {
      tok = Tok::End;
      return;
    }
    char c = s[p];
    if (IsIdentStart(c)) {
      while (p < s.size() && (IsIdentChar(s[p]) || s[p] == '.')) text += s[p++];
      tok = Tok::Ident;
      return;
    }
    if ((c >= '0' && c <= '9') || c == '-' || c == '+') {
      Number();
      return;
    }
    if (c == '\'' || c == '#') {
      StringLit();
      return;
    }
    if (std::strchr("=()[]<>{}:,", c)) {
      text = std::string(1, c);
      ++p;
      tok = Tok::Symbol;
      return;
    }
    Fail(Format("Invalid character $%s", {IntToHex(static_cast<unsigned char>(c), 2)}));
  }

  void Number() {
    size_t start = p;
    if (s[p] == '-' || s[p] == '+') ++p;
    bool isFloat = false;
    if (p + 3 <= s.size() && (s.compare(p, 3, "NaN") == 0 || s.compare(p, 3, "Inf") == 0)) {
      p += 3;
      isFloat = true;
    } else {
      size_t digits = p;
      while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
      if (p == digits) Fail("Number expected");
      if (p < s.size() && s[p] == '.') {
        isFloat = true;
        ++p;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
      }
      if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        isFloat = true;
        ++p;
        if (p < s.size() && (s[p] == '-' || s[p] == '+')) ++p;
        size_t exp = p;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
        if (p == exp) Fail("Invalid number");
      }
    }
    text = s.substr(start, p - start);
    if (p < s.size() && std::strchr("sdtc", s[p])) {
      suffix = s[p++];
      isFloat = true;
    }
    if (p < s.size() && IsIdentChar(s[p])) Fail("Invalid number");
    if (isFloat) {
      tok = Tok::Float;
      return;
    }
    tok = Tok::Int;
    const char* b = text.data() + (text[0] == '+' ? 1 : 0);
    auto r = std::from_chars(b, text.data() + text.size(), intValue);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) Fail("Integer out of range");
  }

  void StringLit() {
    // Quoted parts and #nnn characters, joined directly or by '+' across lines.
    while (true) {
      if (p < s.size() && s[p] == '\'') {
        ++p;
        while (true) {
          if (p >= s.size() || s[p] == '\n' || s[p] == '\r') Fail("Unterminated string");
          if (s[p] == '\'') {
            if (p + 1 < s.size() && s[p + 1] == '\'') {
              text += '\'';
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          text += s[p++];
        }
      } else if (p < s.size() && s[p] == '#') {
        ++p;
        int v = 0;
        size_t start = p;
        if (p < s.size() && s[p] == '$') {
          ++p;
          start = p;
          while (p < s.size() && std::isxdigit(static_cast<unsigned char>(s[p])) && v <= 255)
            v = v * 16 + (std::isdigit(static_cast<unsigned char>(s[p])) ? s[p] - '0' : (s[p] | 0x20) - 'a' + 10), ++p;
        } else {
          while (p < s.size() && s[p] >= '0' && s[p] <= '9' && v <= 255) v = v * 10 + (s[p++] - '0');
        }
        if (p == start || v > 255) Fail("Invalid character code");
        text += static_cast<char>(v);
      } else {
        break;
      }
      // A '+' continues the string on the next line.
      size_t save = p;
      int saveLine = line;
      SkipBlanks();
      if (p < s.size() && s[p] == '+') {
        ++p;
        SkipBlanks();
        if (p < s.size() && (s[p] == '\'' || s[p] == '#')) continue;
        Fail("String expected");
      }
      p = save;
      line = saveLine;
    }
    tok = Tok::String;
  }

  void Property() {
    std::string name = ExpectIdent(true);
    w.WriteStr(name);
    ExpectSym('=');
    Value();
  }

  void FloatValue() {
    std::string t = text;
    bool neg = t[0] == '-';
    std::string body = t[0] == '-' || t[0] == '+' ? t.substr(1) : t;
    auto special = [&](long double& v) {
      if (body == "NaN") {
        v = neg ? -NAN : NAN;
        return true;
      }
      if (body == "Inf") {
        v = neg ? -INFINITY : INFINITY;
        return true;
      }
      return false;
    };
    long double ld = 0;
    bool isSpecial = special(ld);
    std::string num = t[0] == '+' ? t.substr(1) : t;
    switch (suffix) {
      case 's': {
        float f = static_cast<float>(ld);
        if (!isSpecial && !ParseFloat(num, f)) Fail("Invalid floating point number");
        w.WriteSingle(f);
        break;
      }
      case 'd':
      case 't': {
        double d = static_cast<double>(ld);
        if (!isSpecial && !ParseFloat(num, d)) Fail("Invalid floating point number");
        if (suffix == 'd')
          w.WriteDouble(d);
        else
          w.WriteDate(d);
        break;
      }
      case 'c': {
        // Exact decimal with at most four places.
        if (isSpecial) Fail("Invalid currency value");
        size_t dot = num.find('.');
        std::string ip = num.substr(0, dot), fp = dot == std::string::npos ? "" : num.substr(dot + 1);
        if (fp.size() > 4 || num.find_first_of("eE") != std::string::npos) Fail("Invalid currency value");
        fp.append(4 - fp.size(), '0');
        int64_t v;
        std::string all = ip + fp;
        auto r = std::from_chars(all.data(), all.data() + all.size(), v);
        if (r.ec != std::errc() || r.ptr != all.data() + all.size()) Fail("Invalid currency value");
        WriteTagged(w, vaCurrency, v);
        break;
      }
      default:
        if (!isSpecial && !ParseFloat(num, ld)) Fail("Invalid floating point number");
        w.WriteFloat(ld);
    }
  }

  void Value() {
    switch (tok) {
      case Tok::Int:
        w.WriteInteger(intValue);
        Next();
        return;
      case Tok::Float:
        FloatValue();
        Next();
        return;
      case Tok::String:
        if (text.size() > static_cast<size_t>(INT32_MAX)) Fail("String too long");
        w.WriteString(text);
        Next();
        return;
      case Tok::Ident: {
        std::string id = ExpectIdent(true);
        w.WriteIdent(id);
        return;
      }
      case Tok::Symbol:
        break;
      case Tok::End:
        Fail("Value expected");
    }
    char c = text[0];
    if (!std::strchr("([<{", c)) Fail("Value expected");
    if (c != '{') Next();
    switch (c) {
      case '(':
        Enter();
        w.WriteListBegin();
        while (!IsSym(')')) {
          if (tok == Tok::End) Fail("')' expected");
          Value();
        }
        w.WriteListEnd();
        Leave();
        Next();
        return;
      case '[':
        w.WriteValue(vaSet);
        while (!IsSym(']')) {
          w.WriteStr(ExpectIdent(false));
          if (IsSym(',')) {
            Next();
            if (IsSym(']')) Fail("Identifier expected");
          } else if (!IsSym(']')) {
            Fail("']' expected");
          }
        }
        w.WriteStr(std::string());
        Next();
        return;
      case '<':
        Enter();
        w.WriteValue(vaCollection);
        while (!IsSym('>')) {
          if (!IsWord("item")) Fail("'item' expected");
          Next();
          w.WriteListBegin();
          while (!IsWord("end")) Property();
          w.WriteListEnd();
          Next();
        }
        w.WriteListEnd();
        Leave();
        Next();
        return;
      case '{': {
        // Hex digits up to '}' (the tokenizer is bypassed).
        std::vector<uint8_t> bytes;
        p = tokStart + 1;
        int half = -1;
        while (true) {
          if (p >= s.size()) Fail("'}' expected");
          char h = s[p++];
          if (h == '}') break;
          if (h == '\n') {
            ++line;
            continue;
          }
          if (h == ' ' || h == '\r' || h == '\t') continue;
          int v = std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                  : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                  : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                                           : -1;
          if (v < 0) Fail("Invalid binary value");
          if (half < 0)
            half = v;
          else {
            bytes.push_back(static_cast<uint8_t>(half * 16 + v));
            half = -1;
          }
        }
        if (half >= 0) Fail("Invalid binary value");
        if (bytes.size() > static_cast<size_t>(INT32_MAX)) Fail("Binary value too long");
        w.WriteValue(vaBinary);
        uint8_t len[4];
        PutLE(len, static_cast<int32_t>(bytes.size()));
        w.Write(len, 4);
        if (!bytes.empty()) w.Write(bytes.data(), static_cast<int>(bytes.size()));
        Next();
        return;
      }
      default:
        Fail("Value expected");
    }
  }
};

}  // namespace

void ObjectBinaryToText(TStream& Input, TStream& Output) {
  std::string out;
  {
    TReader r(Input, 4096);
    r.ReadSignature();
    TBinaryToText conv(r, out);
    conv.Object(0);
  }
  Output.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void ObjectTextToBinary(TStream& Input, TStream& Output) {
  int64_t start = Input.Position();
  std::string src = Input.ReadAll();
  TWriter w(Output, 4096);
  TTextToBinary conv(src, w);
  w.WriteSignature();
  conv.Object();
  w.FlushBuffer();
  // The input is left just after the object.
  Input.SetPosition(start + static_cast<int64_t>(conv.tok == Tok::End ? src.size() : conv.Offset()));
}

bool IsTextFormStream(TStream& Stream) {
  int64_t pos = Stream.Position();
  char buf[32] = {};
  int64_t n = Stream.Read(buf, sizeof buf);
  Stream.SetPosition(pos);
  std::string s(buf, static_cast<size_t>(std::max<int64_t>(n, 0)));
  size_t i = s.find_first_not_of(" \t\r\n");
  if (i == std::string::npos) return false;
  for (const char* word : {"object", "inherited", "inline"}) {
    size_t len = std::strlen(word);
    if (s.size() >= i + len && SameText(s.substr(i, len), word) &&
        (s.size() == i + len || !IsIdentChar(s[i + len])))
      return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Helpers

void WriteComponentToStream(TStream& Stream, TComponent* Instance) {
  TWriter w(Stream, 4096);
  w.WriteDescendent(Instance, nullptr);
}

TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Instance,
                                    const std::function<void(TReader*, const std::string&, bool&)>& OnError) {
  TReader r(Stream, 4096);
  if (OnError) r.OnError = OnError;
  return r.ReadRootComponent(Instance);
}

std::string ComponentToText(TComponent* Instance) {
  TMemoryStream bin;
  WriteComponentToStream(bin, Instance);
  bin.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(bin, text);
  return text.DataString();
}

TComponent* TextToComponent(const std::string& Text, TComponent* Instance) {
  TStringStream text(Text);
  TMemoryStream bin;
  ObjectTextToBinary(text, bin);
  bin.SetPosition(0);
  return ReadComponentFromStream(bin, Instance);
}
