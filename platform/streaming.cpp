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
#include "platform/streaming_impl.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

static_assert(std::numeric_limits<long double>::digits == 64, "80-bit extended expected");

using namespace vmstream;

namespace {

const char kSignature[4] = {'T', 'P', 'F', '0'};

[[noreturn]] void ReadFault() { throw EReadFatal("Stream read error"); }
[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }

bool IsStringTag(TValueType t) { return t == vaString || t == vaLString || t == vaUTF8String; }

std::string ComponentDisplayName(TObject* Instance) {
  if (auto* c = dynamic_cast<TComponent*>(Instance); c && !c->Name().empty()) return c->Name();
  return Instance ? Instance->ClassName() : std::string();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFiler

TFiler::TFiler(TStream& Stream, int BufSize) : FStream(Stream), FBuffer(static_cast<size_t>(std::max(BufSize, 16))) {}

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

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
  if (HasData && WriteData) {
    WritePropName(Name);
    WriteData(this);
  }
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
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
  TScopeExit restore([&] {
    if (!wasWriting) Component->SetComponentState(csWriting, false);
  });
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
      (FAncestor->ClassType() == Instance->ClassType() || Instance->InheritsFrom(FAncestor->ClassType()) ||
       FAncestor->InheritsFrom(Instance->ClassType())))
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
      if (ancestor ? ancInfo->GetOrd && v == ancInfo->GetOrd(ancestor) : Info->HasDefault && v == Info->OrdDefault)
        return;
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
      if (ancestor ? ancInfo->GetFloat && v == ancInfo->GetFloat(ancestor)
                   : v == (Info->HasDefault ? Info->FloatDefault : 0.0L))
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
      if (ancestor ? ancInfo->GetStr && v == ancInfo->GetStr(ancestor)
                   : v == (Info->HasDefault ? Info->StrDefault : std::string()))
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
  } catch (...) {}
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

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (ReadData && !FPropName.empty() && SameText(Name, FPropName)) {
    FPropName.clear();
    ReadData(this);
  }
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
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
    if (Info->ObjectKind != okComponent &&
        !(Info->SetObj && Info->PropClass && Info->PropClass->InheritsFrom(TComponent::StaticClass())))
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
  FFixups.erase(
      std::remove_if(FFixups.begin(), FFixups.end(), [Holder](const TFixup& f) { return f.Holder == Holder; }),
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
  {
    TScopeFail undo([&] {
      if (created) {
        FLoaded.erase(std::remove(FLoaded.begin(), FLoaded.end(), result), FLoaded.end());
        DropFixups(result);
        delete result;
      }
    });
    if (FParent && FParent != result) {
      result->SetParentComponent(FParent);
      if (flags.Contains(ffChildPos)) FParent->SetChildOrder(result, childPos);
    }
    result->ReadState(this);
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
      std::string message =
          Format("Error reading %s.%s: %s", {ComponentDisplayName(f.Instance), f.Info->Name, std::string(e.what())});
      if (!Error(message) && !failure) failure = std::make_exception_ptr(EReadError(message));
    }
  }
  for (TComponent* c : loaded) c->SetComponentState(csReading, false);
  if (failure) {
    for (TComponent* c : loaded) c->SetComponentState(csLoading, false);
    std::rethrow_exception(failure);
  }
  for (size_t i = 0; i < loaded.size(); ++i) {
    TScopeFail undo([&] {
      for (size_t j = i; j < loaded.size(); ++j) loaded[j]->SetComponentState(csLoading, false);
    });
    loaded[i]->Loaded();
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
  {
    TScopeFail undo([&] {
      FDepth = 0;
      for (TComponent* c : FLoaded) {
        c->SetComponentState(csReading, false);
        c->SetComponentState(csLoading, false);
      }
      FLoaded.clear();
      FFixups.clear();
      if (created) delete result;
    });
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
  }
  return result;
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
