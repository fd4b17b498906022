#include "platform/dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/datetime.h"
#include "platform/guards.h"
#include "platform/forms.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

const char* const SFieldNotFound = "Field '%s' not found";
const char* const SNotEditing = "Dataset not in edit or insert mode";
const char* const SDataSetClosed = "Cannot perform this operation on a closed dataset";
const char* const SDataSetOpen = "Cannot perform this operation on an open dataset";
const char* const SDataSetEmpty = "Cannot perform this operation on an empty dataset";
const char* const SDataSetReadOnly = "Cannot modify a read-only dataset";
const char* const SFieldReadOnly = "Field '%s' cannot be modified";
const char* const SFieldRequired = "Field '%s' must have a value";
const char* const SUnknownFieldType = "Field '%s' is of an unknown type";
const char* const SNoDataFound = "No data found";
const char* const SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
const char* const SFieldAccessError = "Cannot access field '%s' as type %s";
const char* const SDuplicateFieldName = "Duplicate field name '%s'";
const char* const SNotABlob = "Field '%s' is not a blob field";

void DatabaseError(const std::string& Message) { throw EDatabaseError(Message); }

void DatabaseErrorFmt(const std::string& Fmt, const std::string& Arg) { throw EDatabaseError(Format(Fmt, {Arg})); }

// ---------------------------------------------------------------------------------------------
// Variant

double Variant::AsFloat() const {
  switch (V.index()) {
    case 1:
      return std::get<bool>(V) ? -1.0 : 0.0;
    case 2:
      return static_cast<double>(std::get<int64_t>(V));
    case 3:
      return std::get<double>(V);
    case 4:
      return StrToFloat(std::get<std::string>(V));
    default:
      throw EConvertError("Could not convert variant of type (Null) into type (Double)");
  }
}

int64_t Variant::AsInteger() const {
  switch (V.index()) {
    case 1:
      return std::get<bool>(V) ? -1 : 0;
    case 2:
      return std::get<int64_t>(V);
    case 3:
      return Round(std::get<double>(V));
    case 4:
      return StrToInt64(std::get<std::string>(V));
    default:
      throw EConvertError("Could not convert variant of type (Null) into type (Integer)");
  }
}

std::string Variant::AsString() const {
  switch (V.index()) {
    case 1:
      return std::get<bool>(V) ? "True" : "False";
    case 2:
      return IntToStr(std::get<int64_t>(V));
    case 3:
      return FloatToStr(std::get<double>(V));
    case 4:
      return std::get<std::string>(V);
    default:
      return "";
  }
}

bool Variant::operator==(const Variant& Other) const {
  if (IsNull() || Other.IsNull()) return IsNull() && Other.IsNull();
  if (V.index() == 2 && Other.V.index() == 2) return std::get<int64_t>(V) == std::get<int64_t>(Other.V);
  if (IsString() && Other.IsString()) return std::get<std::string>(V) == std::get<std::string>(Other.V);
  if (IsString() || Other.IsString()) {
    // A text against a number compares as numbers when the text reads as one.
    double a, b;
    const Variant& s = IsString() ? *this : Other;
    const Variant& n = IsString() ? Other : *this;
    if (TryStrToFloat(s.AsString(), a)) {
      b = n.AsFloat();
      return a == b;
    }
    return s.AsString() == n.AsString();
  }
  return AsFloat() == Other.AsFloat();
}

bool IsBlobType(TFieldType T) {
  switch (T) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
      return true;
    default:
      return false;
  }
}

const char* FieldTypeName(TFieldType T) {
  static const char* const Names[] = {
      "Unknown",    "String",    "SmallInt",  "Integer",    "Word",      "Boolean",     "Float",   "Currency",
      "BCD",        "Date",      "Time",      "DateTime",   "Bytes",     "VarBytes",    "AutoInc", "Blob",
      "Memo",       "Graphic",   "FmtMemo",   "ParadoxOle", "dBaseOle",  "TypedBinary", "Cursor",  "FixedChar",
      "WideString", "Largeint",  "ADT",       "Array",      "Reference", "DataSet",     "OraBlob", "OraClob",
      "Variant",    "Interface", "IDispatch", "Guid",       "TimeStamp", "FMTBcd"};
  return Names[T];
}

// ---------------------------------------------------------------------------------------------
// Field definitions

TFieldDef::TFieldDef(TFieldDefs*, const std::string& AName, TFieldType ADataType, int ASize, bool ARequired,
                     int AFieldNo)
    : FName(AName), FDataType(ADataType), FSize(ASize), FRequired(ARequired), FFieldNo(AFieldNo) {}

VM_DEFINE_CLASS(TFieldDefs)

TFieldDefs::~TFieldDefs() = default;

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
  if (IndexOf(Name) >= 0) DatabaseErrorFmt(SDuplicateFieldName, Name);
  if (Size == 0 && (DataType == ftString || DataType == ftFixedChar || DataType == ftWideString)) Size = 20;
  FItems.push_back(std::make_unique<TFieldDef>(this, Name, DataType, Size, Required, Count() + 1));
  return FItems.back().get();
}

void TFieldDefs::Clear() { FItems.clear(); }

TFieldDef* TFieldDefs::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[static_cast<size_t>(Index)].get();
}

int TFieldDefs::IndexOf(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(FItems[static_cast<size_t>(i)]->Name(), Name)) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  int i = IndexOf(Name);
  if (i < 0) DatabaseErrorFmt(SFieldNotFound, Name);
  return FItems[static_cast<size_t>(i)].get();
}

// ---------------------------------------------------------------------------------------------
// Fields

VM_PUBLISH(TField) {
  P.String("FieldName", &TField::FieldName, &TField::SetFieldName);
  P.String("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
  P.Bool("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
  P.Bool("Required", &TField::Required, &TField::SetRequired).Default(false);
  P.Int("Size", &TField::Size, &TField::SetSize).Default(0);
  P.Event("OnGetText", &TField::OnGetText);
  P.Event("OnSetText", &TField::OnSetText);
  P.Event("OnChange", &TField::OnChange);
  P.Event("OnValidate", &TField::OnValidate);
}

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (FDataSet) FDataSet->RemoveField(this);
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    FDataSet->CheckInactive();
    FDataSet->RemoveField(this);
  }
  if (Value) {
    Value->CheckInactive();
    Value->AddField(this);
  }
}

bool TField::GetData(void* Buffer) {
  if (!FDataSet) DatabaseErrorFmt("Field '%s' has no dataset", DisplayName());
  if (!FDataSet->Active()) DatabaseError(SDataSetClosed);
  return FDataSet->GetFieldData(this, Buffer);
}

void TField::SetData(const void* Buffer) {
  if (!FDataSet) DatabaseErrorFmt("Field '%s' has no dataset", DisplayName());
  if (!FDataSet->Active()) DatabaseError(SDataSetClosed);
  FDataSet->SetFieldData(this, Buffer);
}

void TField::Validate(const void*) {
  if (OnValidate) OnValidate(this);
}

void TField::Change() {
  if (OnChange) OnChange(this);
}

bool TField::IsNull() {
  if (IsBlob()) return GetAsString().empty();
  std::vector<uint8_t> tmp(static_cast<size_t>(std::max(DataSize(), 1)) + 16);
  return !GetData(tmp.data());
}

void TField::Clear() {
  if (IsBlob()) {
    SetAsString("");
    return;
  }
  SetData(nullptr);
}

void TField::AccessError(const char* TypeName) {
  throw EDatabaseError(Format(SFieldAccessError, {DisplayName(), std::string(TypeName)}));
}

std::string TField::GetAsString() { AccessError("String"); }
void TField::SetAsString(const std::string&) { AccessError("String"); }
int32_t TField::GetAsInteger() { AccessError("Integer"); }
void TField::SetAsInteger(int32_t) { AccessError("Integer"); }
double TField::GetAsFloat() { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
bool TField::GetAsBoolean() { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
double TField::GetAsDateTime() { AccessError("DateTime"); }
void TField::SetAsDateTime(double) { AccessError("DateTime"); }
Variant TField::GetAsVariant() { return IsNull() ? Variant() : Variant(GetAsString()); }

void TField::SetAsVariant(const Variant& Value) {
  if (Value.IsNull()) {
    Clear();
    return;
  }
  switch (Value.V.index()) {
    case 1:
      SetAsBoolean(std::get<bool>(Value.V));
      break;
    case 2:
      SetAsFloat(static_cast<double>(std::get<int64_t>(Value.V)));
      break;
    case 3:
      SetAsFloat(std::get<double>(Value.V));
      break;
    default:
      SetAsString(Value.AsString());
      break;
  }
}

void TField::GetText(std::string& Text, bool) { Text = GetAsString(); }

std::string TField::Text() {
  std::string s;
  if (OnGetText)
    OnGetText(this, s, false);
  else
    GetText(s, false);
  return s;
}

int TField::DisplayWidth() const {
  if (FDisplayWidth > 0) return FDisplayWidth;
  return FDataType == ftString || FDataType == ftFixedChar || FDataType == ftWideString ? std::max(FSize, 1) : 10;
}

void TField::SetDisplayWidth(int Value) {
  if (Value == FDisplayWidth) return;
  FDisplayWidth = std::max(0, Value);
  if (FDataSet) FDataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FDataSet) FDataSet->DataEvent(deLayoutChange, 0);
}

int TField::Index() const { return FDataSet ? FDataSet->FFields.IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
  if (!FDataSet) return;
  auto& list = FDataSet->FFields.FList;
  const int from = Index();
  if (from < 0) return;
  Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
  if (Value == from) return;
  list.erase(list.begin() + from);
  list.insert(list.begin() + Value, this);
  FDataSet->DataEvent(deLayoutChange, 0);
}

bool TField::CanModify() {
  if (FReadOnly || (FFieldKind != fkData && FFieldKind != fkInternalCalc)) return false;
  return FDataSet && FDataSet->CanModify();
}

bool TField::IsValidChar(char Key) {
  const bool digit = Key >= '0' && Key <= '9';
  switch (FDataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
      return digit || Key == '+' || Key == '-';
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
      return digit || Key == '+' || Key == '-' || Key == '.' || Key == ',' || Key == 'e' || Key == 'E';
    default:
      return true;
  }
}

std::string TField::DisplayText() {
  std::string s;
  if (OnGetText)
    OnGetText(this, s, true);
  else
    GetText(s, true);
  return s;
}

void TField::SetText(const std::string& Value) {
  if (OnSetText)
    OnSetText(this, Value);
  else
    SetAsString(Value);
}

namespace {

template <class T>
bool ReadValue(TField* F, T& Out) {
  uint8_t buf[64] = {};
  if (!F->GetData(buf)) return false;
  std::memcpy(&Out, buf, sizeof(T));
  return true;
}

template <class T>
void WriteValue(TField* F, T V) {
  uint8_t buf[64] = {};
  std::memcpy(buf, &V, sizeof(T));
  F->SetData(buf);
}

}  // namespace

// TStringField

VM_DEFINE_CLASS(TStringField)

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  SetSize(20);
}

int TStringField::DataSize() const {
  switch (DataType()) {
    case ftWideString:
      return 2 * Size() + 2;
    case ftGuid:
      return 39;
    default:
      return Size() + 1;
  }
}

std::string TStringField::GetAsString() {
  std::vector<char> buf(static_cast<size_t>(DataSize()) + 1, 0);
  if (!GetData(buf.data())) return "";
  return std::string(buf.data());
}

void TStringField::SetAsString(const std::string& Value) {
  std::vector<char> buf(static_cast<size_t>(DataSize()) + 1, 0);
  size_t n = std::min(Value.size(), static_cast<size_t>(DataSize() - 1));
  // Cut on a character boundary, never inside a multi-byte character.
  while (n > 0 && n < Value.size() && (static_cast<unsigned char>(Value[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buf.data(), Value.data(), n);
  SetData(buf.data());
}

int32_t TStringField::GetAsInteger() { return StrToInt(GetAsString()); }
double TStringField::GetAsFloat() { return StrToFloat(GetAsString()); }
void TStringField::SetAsFloat(double Value) { SetAsString(FloatToStr(Value)); }
bool TStringField::GetAsBoolean() {
  std::string s = GetAsString();
  return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}
Variant TStringField::GetAsVariant() {
  std::string s = GetAsString();
  return s.empty() && IsNull() ? Variant() : Variant(s);
}

// TIntegerField

VM_DEFINE_CLASS(TIntegerField)

TIntegerField::TIntegerField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftInteger); }

int TIntegerField::DataSize() const { return DataType() == ftSmallint || DataType() == ftWord ? 2 : 4; }

int32_t TIntegerField::GetAsInteger() {
  if (DataType() == ftSmallint) {
    int16_t v = 0;
    return ReadValue(this, v) ? v : 0;
  }
  if (DataType() == ftWord) {
    uint16_t v = 0;
    return ReadValue(this, v) ? v : 0;
  }
  int32_t v = 0;
  return ReadValue(this, v) ? v : 0;
}

void TIntegerField::SetAsInteger(int32_t Value) {
  if (DataType() == ftSmallint || DataType() == ftWord) {
    int32_t lo = DataType() == ftSmallint ? -32768 : 0, hi = DataType() == ftSmallint ? 32767 : 65535;
    if (Value < lo || Value > hi)
      throw ERangeError(Format("%d is not a valid value for field '%s'. The allowed range is %d to %d",
                               {Value, DisplayName(), lo, hi}));
    if (DataType() == ftSmallint)
      WriteValue(this, static_cast<int16_t>(Value));
    else
      WriteValue(this, static_cast<uint16_t>(Value));
    return;
  }
  WriteValue(this, Value);
}

std::string TIntegerField::GetAsString() { return IsNull() ? "" : IntToStr(GetAsInteger()); }

void TIntegerField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  int32_t v;
  if (!TryStrToInt(Value, v)) throw EConvertError(Format("'%s' is not a valid integer value", {Value}));
  SetAsInteger(v);
}

void TIntegerField::SetAsFloat(double Value) { SetAsInteger(static_cast<int32_t>(Round(Value))); }

Variant TIntegerField::GetAsVariant() { return IsNull() ? Variant() : Variant(GetAsInteger()); }

VM_DEFINE_CLASS(TAutoIncField)

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftAutoInc); }

// TLargeintField

VM_DEFINE_CLASS(TLargeintField)

TLargeintField::TLargeintField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftLargeint); }

int64_t TLargeintField::GetAsLargeInt() {
  int64_t v = 0;
  return ReadValue(this, v) ? v : 0;
}
void TLargeintField::SetAsLargeInt(int64_t Value) { WriteValue(this, Value); }
std::string TLargeintField::GetAsString() { return IsNull() ? "" : IntToStr(GetAsLargeInt()); }
void TLargeintField::SetAsString(const std::string& Value) {
  if (Value.empty())
    Clear();
  else
    SetAsLargeInt(StrToInt64(Value));
}
Variant TLargeintField::GetAsVariant() { return IsNull() ? Variant() : Variant(GetAsLargeInt()); }

// TFloatField

VM_DEFINE_CLASS(TFloatField)

TFloatField::TFloatField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftFloat); }

double TFloatField::GetAsFloat() {
  double v = 0;
  return ReadValue(this, v) ? v : 0.0;
}
void TFloatField::SetAsFloat(double Value) { WriteValue(this, Value); }
int32_t TFloatField::GetAsInteger() { return static_cast<int32_t>(Round(GetAsFloat())); }
std::string TFloatField::GetAsString() { return IsNull() ? "" : FloatToStr(GetAsFloat()); }
void TFloatField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  double v;
  if (!TryStrToFloat(Value, v)) throw EConvertError(Format("'%s' is not a valid floating point value", {Value}));
  SetAsFloat(v);
}
Variant TFloatField::GetAsVariant() { return IsNull() ? Variant() : Variant(GetAsFloat()); }

// TBooleanField

VM_DEFINE_CLASS(TBooleanField)

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

bool TBooleanField::GetAsBoolean() {
  uint16_t v = 0;
  return ReadValue(this, v) && v != 0;
}
void TBooleanField::SetAsBoolean(bool Value) { WriteValue(this, static_cast<uint16_t>(Value ? 1 : 0)); }
std::string TBooleanField::GetAsString() { return IsNull() ? "" : (GetAsBoolean() ? "True" : "False"); }
void TBooleanField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  bool b;
  if (!TryStrToBool(Value, b))
    throw EDatabaseError(Format("'%s' is not a valid boolean value for field '%s'", {Value, DisplayName()}));
  SetAsBoolean(b);
}
Variant TBooleanField::GetAsVariant() { return IsNull() ? Variant() : Variant(GetAsBoolean()); }

// TDateTimeField

VM_DEFINE_CLASS(TDateTimeField)

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }

double TDateTimeField::GetAsDateTime() {
  double v = 0;
  return ReadValue(this, v) ? v : 0.0;
}
void TDateTimeField::SetAsDateTime(double Value) { WriteValue(this, Value); }
std::string TDateTimeField::GetAsString() {
  return IsNull() ? "" : FormatDateTime("yyyy-mm-dd hh:nn:ss", GetAsDateTime());
}
void TDateTimeField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  SetAsDateTime(StrToFloat(Value));
}
Variant TDateTimeField::GetAsVariant() { return IsNull() ? Variant() : Variant(GetAsDateTime()); }

// TBytesField

VM_DEFINE_CLASS(TBytesField)

TBytesField::TBytesField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBytes); }

int TBytesField::DataSize() const {
  switch (DataType()) {
    case ftBCD:
      return 34;
    case ftVarBytes:
      return Size() + 2;
    case ftADT:
      return 0;
    case ftVariant:
      return 16;
    default:
      return Size();
  }
}

std::string TBytesField::GetAsString() { return IsNull() ? "" : "(" + std::string(FieldTypeName(DataType())) + ")"; }

// TBlobField

VM_DEFINE_CLASS(TBlobField)

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

std::string TBlobField::GetAsString() {
  if (!DataSet()) DatabaseErrorFmt("Field '%s' has no dataset", DisplayName());
  std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(this, bmRead));
  return s ? s->ReadAll() : std::string();
}

void TBlobField::SetAsString(const std::string& Value) {
  if (!DataSet()) DatabaseErrorFmt("Field '%s' has no dataset", DisplayName());
  std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(this, bmWrite));
  if (s && !Value.empty()) s->Write(Value.data(), static_cast<int64_t>(Value.size()));
}

void TBlobField::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  SetAsString(Stream.ReadAll());
}

void TBlobField::SaveToStream(TStream& Stream) { Stream.WriteString(GetAsString()); }

void TBlobField::GetText(std::string& Text, bool DisplayText) {
  if (DisplayText)
    Text = IsNull() ? "(blob)" : "(BLOB)";
  else
    Text = GetAsString();
}

VM_DEFINE_CLASS(TMemoField)

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftMemo); }

void TMemoField::GetText(std::string& Text, bool DisplayText) {
  if (DisplayText)
    Text = IsNull() ? "(memo)" : "(MEMO)";
  else
    Text = GetAsString();
}

// TFields

TField* TFields::FindField(const std::string& Name) const {
  for (TField* f : FList)
    if (AnsiSameText(f->FieldName(), Name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const std::string& Name) const {
  TField* f = FindField(Name);
  if (!f) DatabaseErrorFmt(SFieldNotFound, Name);
  return f;
}

TField* TFields::FieldByNumber(int FieldNo) const {
  for (TField* f : FList)
    if (f->FieldNo() == FieldNo) return f;
  return nullptr;
}

int TFields::IndexOf(const TField* Field) const {
  auto it = std::find(FList.begin(), FList.end(), Field);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

// ---------------------------------------------------------------------------------------------
// Data links and sources

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) FDataSource->RemoveDataLink(this);
  if (Value) Value->AddDataLink(this);
  UpdateState();
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetBufferCount(int Value) {
  Value = std::max(1, Value);
  if (Value == FBufferCount) return;
  FBufferCount = Value;
  if (TDataSet* d = DataSet()) d->InvalidateRecordWindow();
}

namespace {
// The first window row of a link smaller than the dataset's window: the current record in view.
int LinkFirstRow(TDataSet* D, int BufferCount) {
  const int rows = D->WindowRecordCount();
  if (BufferCount >= rows) return 0;
  return std::clamp(D->ActiveRecord() - BufferCount + 1, 0, rows - BufferCount);
}
}  // namespace

int TDataLink::RecordCount() const {
  TDataSet* d = DataSet();
  if (!d || !FActive) return 0;
  return std::min(FBufferCount, d->WindowRecordCount());
}

int TDataLink::ActiveRecord() const {
  TDataSet* d = DataSet();
  if (!d || !FActive) return 0;
  return d->ActiveRecord() - LinkFirstRow(d, FBufferCount);
}

void TDataLink::SetActiveRecord(int Value) {
  TDataSet* d = DataSet();
  if (!d || !FActive) return;
  d->SetDisplayRecord(LinkFirstRow(d, FBufferCount) + Value);
}

bool TDataLink::Edit() {
  if (FDataSource && !FEditing) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  TScopeExit restore([&] { FUpdating = false; });
  UpdateData();
}

void TDataLink::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  ActiveChanged();
}

void TDataLink::UpdateState() {
  TDataSetState s = FDataSource ? FDataSource->State() : dsInactive;
  SetActive(s != dsInactive);
  bool editing = s == dsEdit || s == dsInsert || s == dsSetKey;
  if (editing != FEditing) {
    FEditing = editing;
    EditingChanged();
  }
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
  switch (Event) {
    case deUpdateState:
      UpdateState();
      break;
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating && FActive) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
      if (FActive) DataSetChanged();
      break;
    case deDataSetScroll:
      if (FActive) DataSetScrolled(static_cast<int>(Info));
      break;
    case deLayoutChange:
      if (FActive) LayoutChanged();
      break;
    case deUpdateRecord:
      if (FActive) UpdateRecord();
      break;
    case deCheckBrowseMode:
      if (FActive) CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(reinterpret_cast<TField*>(Info));
      break;
    default:
      break;
  }
}

VM_PUBLISH(TDataSource) {
  P.Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
  P.Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
  P.Event("OnStateChange", &TDataSource::OnStateChange);
  P.Event("OnDataChange", &TDataSource::OnDataChange);
  P.Event("OnUpdateData", &TDataSource::OnUpdateData);
}

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    FDataSet->RemoveDataSource(this);
    FDataSet->RemoveFreeNotification(this);
  }
  FDataSet = Value;
  if (Value) {
    Value->AddDataSource(this);
    Value->FreeNotification(this);
  }
  SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

void TDataSource::SetState(TDataSetState Value) {
  if (Value == FState) return;
  FState = Value;
  NotifyDataLinks(deUpdateState, 0);
  if (OnStateChange) OnStateChange(this);
}

void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info) {
  std::vector<TDataLink*> links = FDataLinks;
  for (TDataLink* l : links)
    if (std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end()) l->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
    return;
  }
  if (FState == dsInactive) return;
  NotifyDataLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::AddDataLink(TDataLink* L) {
  FDataLinks.push_back(L);
  L->FDataSource = this;
}

void TDataSource::RemoveDataLink(TDataLink* L) {
  FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), L), FDataLinks.end());
  L->FDataSource = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TDataSet

VM_PUBLISH(TDataSet) {
  P.Bool("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
  P.Bool("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
  P.Bool("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
  P.Object("FieldDefs", &TDataSet::FieldDefs, &TDataSet::SetFieldDefs);
  P.Bool("ObjectView", &TDataSet::ObjectView, &TDataSet::SetObjectView).Default(false);
  P.Event("BeforeOpen", &TDataSet::BeforeOpen);
  P.Event("AfterOpen", &TDataSet::AfterOpen);
  P.Event("BeforeClose", &TDataSet::BeforeClose);
  P.Event("AfterClose", &TDataSet::AfterClose);
  P.Event("BeforeInsert", &TDataSet::BeforeInsert);
  P.Event("AfterInsert", &TDataSet::AfterInsert);
  P.Event("BeforeEdit", &TDataSet::BeforeEdit);
  P.Event("AfterEdit", &TDataSet::AfterEdit);
  P.Event("BeforePost", &TDataSet::BeforePost);
  P.Event("AfterPost", &TDataSet::AfterPost);
  P.Event("BeforeCancel", &TDataSet::BeforeCancel);
  P.Event("AfterCancel", &TDataSet::AfterCancel);
  P.Event("BeforeDelete", &TDataSet::BeforeDelete);
  P.Event("AfterDelete", &TDataSet::AfterDelete);
  P.Event("BeforeScroll", &TDataSet::BeforeScroll);
  P.Event("AfterScroll", &TDataSet::AfterScroll);
  P.Event("OnCalcFields", &TDataSet::OnCalcFields);
  P.Event("OnDeleteError", &TDataSet::OnDeleteError);
  P.Event("OnEditError", &TDataSet::OnEditError);
  P.Event("OnFilterRecord", &TDataSet::OnFilterRecord, &TDataSet::SetOnFilterRecord);
  P.Event("OnNewRecord", &TDataSet::OnNewRecord);
  P.Event("OnPostError", &TDataSet::OnPostError);
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner), FFieldDefs(std::make_unique<TFieldDefs>(this)) {}

TDataSet::~TDataSet() {
  // A concrete dataset closes itself in its own destructor; here only links and fields go.
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  for (TField* f : FFields.FList) f->FDataSet = nullptr;
  FFields.FList.clear();
}

void TDataSet::SetFieldDefs(TFieldDefs* Value) {
  if (Value == FFieldDefs.get()) return;
  FFieldDefs->Clear();
  if (!Value) return;
  for (int i = 0; i < Value->Count(); ++i) {
    TFieldDef* d = Value->Items(i);
    FFieldDefs->Add(d->Name(), d->DataType(), d->Size(), d->Required());
  }
}

void TDataSet::CheckActive() const {
  if (FState == dsInactive) DatabaseError(SDataSetClosed);
}

void TDataSet::CheckInactive() const {
  if (FState != dsInactive && FState != dsOpening) DatabaseError(SDataSetOpen);
}

void TDataSet::SetActive(bool Value) {
  if (Value == Active()) return;
  if (ComponentState().Contains(csLoading)) return;
  if (Value) {
    if (BeforeOpen) BeforeOpen(this);
    {
      TScopeFail undo([&] {
        CloseCursor();
        FState = dsInactive;
      });
      OpenCursor();
    }
    SetState(dsBrowse);
    FBof = FEof = true;
    FHasRecord = false;
    InternalFirst();
    if (FetchInto(gmNext)) {
      FHasRecord = true;
      FEof = false;
    }
    DataEvent(deDataSetChange, 0);
    if (AfterOpen) AfterOpen(this);
  } else {
    if (BeforeClose) BeforeClose(this);
    if (FState == dsEdit || FState == dsInsert) {
      InternalCancel();
      FreeFieldBuffers();
    }
    SetState(dsInactive);
    CloseCursor();
    if (AfterClose) AfterClose(this);
  }
}

void TDataSet::OpenCursor() {
  FState = dsOpening;
  InternalOpen();
  AllocateBuffers();
}

void TDataSet::CloseCursor() {
  FreeBuffers();
  FHasRecord = false;
  FBof = FEof = true;
  if (IsCursorOpen() || FState == dsOpening) InternalClose();
}

void TDataSet::AllocateBuffers() {
  FreeBuffers();
  FBuffer = AllocRecordBuffer();
  FTempBuffer = AllocRecordBuffer();
  FBufferCount = 1;
}

void TDataSet::FreeBuffers() {
  FreeWindowBuffers();
  if (FBuffer) FreeRecordBuffer(FBuffer);
  if (FTempBuffer) FreeRecordBuffer(FTempBuffer);
  FBuffer = FTempBuffer = nullptr;
  FCalcBuffer = nullptr;
  FBufferCount = 0;
}

void TDataSet::SetBufferCount(int Value) {
  (void)Value;  // one active buffer: the window is rebuilt
  AllocateBuffers();
  FHasRecord = false;
}

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  TDataSetState old = FState;
  FState = Value;
  ++FDisableCount;
  return old;
}

void TDataSet::RestoreState(TDataSetState Value) {
  --FDisableCount;
  FState = Value;
}

TField* TDataSet::CreateFieldForType(TFieldType Type) {
  switch (Type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid: {
      auto* f = new TStringField(this);
      f->SetStringType(Type);
      return f;
    }
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftDate:
    case ftTime: {
      auto* f = new TIntegerField(this);
      f->SetIntegerType(Type);
      return f;
    }
    case ftAutoInc:
      return new TAutoIncField(this);
    case ftLargeint:
      return new TLargeintField(this);
    case ftFloat:
    case ftCurrency: {
      auto* f = new TFloatField(this);
      f->SetFloatType(Type);
      return f;
    }
    case ftBoolean:
      return new TBooleanField(this);
    case ftDateTime:
      return new TDateTimeField(this);
    case ftBCD:
    case ftBytes:
    case ftVarBytes:
    case ftADT:
    case ftVariant: {
      auto* f = new TBytesField(this);
      f->SetBytesType(Type);
      return f;
    }
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob: {
      auto* f = new TMemoField(this);
      f->SetBlobType(Type);
      return f;
    }
    case ftBlob:
    case ftGraphic:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob: {
      auto* f = new TBlobField(this);
      f->SetBlobType(Type);
      return f;
    }
    default:
      return nullptr;
  }
}

void TDataSet::CreateFields() {
  for (int i = 0; i < FFieldDefs->Count(); ++i) {
    TFieldDef* d = FFieldDefs->Items(i);
    TField* f = CreateFieldForType(d->DataType());
    if (!f) DatabaseErrorFmt(SUnknownFieldType, d->Name());
    f->FFieldName = d->Name();
    f->FSize = d->Size();
    f->FRequired = d->Required();
    f->FFieldNo = d->FieldNo();
    f->FDataSet = this;
    FFields.FList.push_back(f);
  }
  FDefaultFields = true;
}

void TDataSet::DestroyFields() {
  std::vector<TField*> list;
  list.swap(FFields.FList);
  for (TField* f : list) {
    f->FDataSet = nullptr;
    delete f;
  }
  FDefaultFields = false;
}

void TDataSet::InitFieldDefsFromFields() {
  FFieldDefs->Clear();
  for (TField* f : FFields.FList)
    if (f->FieldKind() == fkData) FFieldDefs->Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
}

void TDataSet::BindFields(bool Binding) {
  FCalcFieldsSize = 0;
  for (TField* f : FFields.FList) {
    if (f->FieldKind() == fkData) {
      int i = FFieldDefs->IndexOf(f->FieldName());
      if (Binding && i < 0) DatabaseErrorFmt(SFieldNotFound, f->FieldName());
      f->FFieldNo = Binding ? FFieldDefs->Items(i)->FieldNo() : 0;
    } else {
      f->FFieldNo = -1;
      if (Binding) {
        f->FOffset = FCalcFieldsSize;
        FCalcFieldsSize += f->DataSize() + 1;
      }
    }
  }
}

void TDataSet::AddField(TField* Field) {
  FFields.FList.push_back(Field);
  Field->FDataSet = this;
}

void TDataSet::RemoveField(TField* Field) {
  auto& l = FFields.FList;
  l.erase(std::remove(l.begin(), l.end(), Field), l.end());
  Field->FDataSet = nullptr;
}

void TDataSet::AddDataSource(TDataSource* S) { FDataSources.push_back(S); }

void TDataSet::RemoveDataSource(TDataSource* S) {
  FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), S), FDataSources.end());
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event != deFieldChange && Event != deFocusControl && Event != deCheckBrowseMode && Event != deUpdateRecord)
    InvalidateRecordWindow();
  if (Event == deFieldChange) {
    auto* f = reinterpret_cast<TField*>(Info);
    if (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc) FModified = true;
    if (FState != dsCalcFields && FAutoCalcFields && FCalcFieldsSize > 0 && FBuffer) GetCalcFields(FBuffer);
    f->Change();
  }
  if (FDisableCount != 0) return;
  std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* s : sources) s->DataEvent(Event, Info);
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) FDisableState = FState;
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount == 0) {
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(deDataSetChange, 0);
  }
}

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
  if (FCalcFieldsSize == 0 && !OnCalcFields) return;
  TDataSetState old = SetTempState(dsCalcFields);
  TRecordBuffer oldCalc = FCalcBuffer;
  FCalcBuffer = Buffer;
  TScopeExit restore([&] {
    FCalcBuffer = oldCalc;
    RestoreState(old);
  });
  ClearCalcFields(Buffer);
  for (TField* f : FFields.FList) {
    TDataSet* source = f->LookupDataSet();
    if (!f->Lookup() || !source || source == this || f->KeyFields().empty()) continue;
    TField* key = FindField(f->KeyFields());
    if (!key) continue;
    Variant v = source->Lookup(f->LookupKeyFields(), key->Value(), f->LookupResultField());
    if (!v.IsNull()) f->SetValue(v);
  }
  if (OnCalcFields) OnCalcFields(this);
}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
  InternalInitRecord(Buffer);
  ClearCalcFields(Buffer);
  SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::DoOnNewRecord() {
  if (OnNewRecord) OnNewRecord(this);
}

void TDataSet::InternalHandleException() {
  if (Application) Application->HandleException(this);
}

void TDataSet::CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent) {
  for (;;) {
    try {
      Operation();
      return;
    } catch (EDatabaseError& E) {
      TDataAction action = daFail;
      if (ErrorEvent) ErrorEvent(this, E, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The record window

void TDataSet::FreeWindowBuffers() {
  for (TRecordBuffer& b : FWindowBuffers) FreeRecordBuffer(b);
  FWindowBuffers.clear();
  FRows.clear();
  FDisplayBuffer = nullptr;
  FWindowValid = false;
}

int TDataSet::WindowSize() {
  int n = 1;
  for (TDataSource* s : FDataSources)
    for (TDataLink* l : s->FDataLinks) n = std::max(n, l->BufferCount());
  return n;
}

int TDataSet::WindowRecordCount() {
  if (!FWindowValid) RefreshRecordWindow();
  return static_cast<int>(FRows.size());
}

int TDataSet::ActiveRecord() {
  if (!FWindowValid) RefreshRecordWindow();
  return FActiveRow;
}

void TDataSet::SetDisplayRecord(int Index) {
  if (!FWindowValid) RefreshRecordWindow();
  FDisplayBuffer =
      Index >= 0 && Index < static_cast<int>(FRows.size()) && FRows[Index] != FBuffer ? FRows[Index] : nullptr;
}

void TDataSet::RefreshRecordWindow() {
  FDisplayBuffer = nullptr;
  FRows.clear();
  FWindowValid = true;
  if (FState == dsInactive || FState == dsOpening || !FBuffer) {
    FActiveRow = 0;
    return;
  }
  const int n = WindowSize();
  if (static_cast<int>(FWindowBuffers.size()) != n) {
    for (TRecordBuffer& b : FWindowBuffers) FreeRecordBuffer(b);
    FWindowBuffers.clear();
    for (int i = 0; i < n; ++i) FWindowBuffers.push_back(AllocRecordBuffer());
  }
  const bool inserting = FState == dsInsert;
  const bool appending = inserting && GetBookmarkFlag(FBuffer) == bfEOF;
  if (!FHasRecord && !inserting) {
    FActiveRow = 0;
    FLastRecNo = 0;
    return;
  }
  // The row the current record should take: where it was, moved as far as the record moved.
  int want = FActiveRow;
  if (!inserting && FState != dsSetKey && IsSequenced()) {
    const int recNo = RecNo();
    if (FLastRecNo > 0 && recNo > 0) want += recNo - FLastRecNo;
    FLastRecNo = recNo;
  }
  if (appending) want = n - 1;
  want = std::clamp(want, 0, n - 1);

  std::vector<TRecordBuffer> before, after;
  size_t used = 0;
  auto fetch = [&](TGetMode Mode, std::vector<TRecordBuffer>& Into) {
    if (used >= FWindowBuffers.size()) return false;
    TRecordBuffer b = FWindowBuffers[used];
    if (GetRecord(b, Mode, false) != grOK) return false;
    ++used;
    Into.push_back(b);
    return true;
  };
  // Where the cursor goes to read the rows before and after the current one.
  auto toPivot = [&] {
    if (!inserting)
      InternalSetToRecord(FBuffer);
    else if (appending)
      InternalLast();
    else if (!after.empty())
      InternalSetToRecord(after.front());
  };
  if (inserting && !appending) fetch(gmCurrent, after);  // the record the new one goes before
  toPivot();
  bool atBof = false;
  while (static_cast<int>(before.size()) < want)
    if (!fetch(gmPrior, before)) {
      atBof = true;
      break;
    }
  const TRecordBuffer nextFrom = inserting ? (after.empty() ? nullptr : after.front()) : FBuffer;
  if (nextFrom) {
    InternalSetToRecord(nextFrom);
    while (static_cast<int>(before.size() + after.size()) + 1 < n)
      if (!fetch(gmNext, after)) break;
  }
  // Near the end the rows before fill the window.
  if (!atBof && static_cast<int>(before.size() + after.size()) + 1 < n) {
    if (before.empty())
      toPivot();
    else
      InternalSetToRecord(before.back());
    while (static_cast<int>(before.size() + after.size()) + 1 < n)
      if (!fetch(gmPrior, before)) break;
  }
  toPivot();
  FRows.assign(before.rbegin(), before.rend());
  FActiveRow = static_cast<int>(FRows.size());
  FRows.push_back(FBuffer);
  FRows.insert(FRows.end(), after.begin(), after.end());
}

bool TDataSet::FetchInto(TGetMode Mode) { return GetRecord(FBuffer, Mode, false) == grOK; }

void TDataSet::ClearBuffers() {
  FHasRecord = false;
  FBof = FEof = true;
}

void TDataSet::UpdateCursorPos() {
  if (FHasRecord) InternalSetToRecord(FBuffer);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  InternalRefresh();
  Resync();
}

void TDataSet::Resync() {
  if (FetchInto(gmCurrent) || FetchInto(gmNext) || FetchInto(gmPrior)) {
    FHasRecord = true;
  } else {
    FHasRecord = false;
    FBof = FEof = true;
  }
  DataEvent(deDataSetChange, 0);
}

void TDataSet::FreeFieldBuffers() {
  for (TField* f : FFields.FList)
    if (f->IsBlob() && f->Modified()) {
      CloseBlob(f);
      f->SetModified(false);
    }
}

// Navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  InternalFirst();
  FHasRecord = FetchInto(gmNext);
  FBof = true;
  FEof = !FHasRecord;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  InternalLast();
  FHasRecord = FetchInto(gmPrior);
  FEof = true;
  FBof = !FHasRecord;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int moved = 0;
  if ((Distance > 0 && !FEof) || (Distance < 0 && !FBof)) {
    DoBeforeScroll();
    FBof = FEof = false;
    UpdateCursorPos();
    while (Distance > 0) {
      if (!FetchInto(gmNext)) {
        FEof = true;
        break;
      }
      --Distance;
      ++moved;
    }
    while (Distance < 0) {
      if (!FetchInto(gmPrior)) {
        FBof = true;
        break;
      }
      ++Distance;
      --moved;
    }
    if (moved != 0) DataEvent(deDataSetScroll, moved);
    DoAfterScroll();
  }
  return moved;
}

int TDataSet::RecordCount() { return -1; }
int TDataSet::RecNo() { return -1; }
void TDataSet::SetRecNo(int) {}

// Editing

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (FState == dsEdit || FState == dsInsert) {
    UpdateRecord();
    if (FModified)
      Post();
    else
      Cancel();
  }
}

void TDataSet::UpdateRecord() {
  if (FState != dsEdit && FState != dsInsert && FState != dsSetKey) DatabaseError(SNotEditing);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  if (!CanModify()) DatabaseError(SDataSetReadOnly);
  if (BeforeInsert) BeforeInsert(this);
  DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  {
    TScopeFail undo([&] {
      UpdateCursorPos();
      FreeFieldBuffers();
      SetState(dsBrowse);
      Resync();
    });
    DoOnNewRecord();
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  if (AfterInsert) AfterInsert(this);
  DoAfterScroll();
}

void TDataSet::Append() {
  BeginInsertAppend();
  InternalLast();
  InitRecord(FBuffer);
  SetBookmarkFlag(FBuffer, bfEOF);
  FBof = false;
  FEof = true;
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Insert() {
  BeginInsertAppend();
  if (FHasRecord)
    UpdateCursorPos();
  else
    InternalFirst();
  InitRecord(FBuffer);
  SetBookmarkFlag(FBuffer, bfInserted);
  FBof = FEof = false;
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  if (!FHasRecord) {
    Insert();
    return;
  }
  if (!CanModify()) DatabaseError(SDataSetReadOnly);
  if (BeforeEdit) BeforeEdit(this);
  UpdateCursorPos();
  CheckOperation([this] { InternalEdit(); }, OnEditError);
  GetCalcFields(FBuffer);
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  if (AfterEdit) AfterEdit(this);
}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  if (BeforePost) BeforePost(this);
  for (TField* f : FFields.FList)
    if (f->FieldKind() == fkData && f->Required() && !f->ReadOnly() && f->IsNull())
      DatabaseErrorFmt(SFieldRequired, f->DisplayName());
  CheckOperation([this] { InternalPost(); }, OnPostError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync();
  if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  if (BeforeCancel) BeforeCancel(this);
  bool wasInsert = FState == dsInsert;
  InternalCancel();
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync();
  if (wasInsert && FHasRecord) FBof = FEof = false;
  if (AfterCancel) AfterCancel(this);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (!FHasRecord) DatabaseError(SDataSetEmpty);
  if (!CanModify()) DatabaseError(SDataSetReadOnly);
  DataEvent(deCheckBrowseMode, 0);
  if (BeforeDelete) BeforeDelete(this);
  DoBeforeScroll();
  UpdateCursorPos();
  CheckOperation([this] { InternalDelete(); }, OnDeleteError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  FBof = FEof = false;
  Resync();
  if (AfterDelete) AfterDelete(this);
  DoAfterScroll();
}

// Bookmarks

TBookmark TDataSet::GetBookmark() {
  // The record the fields read: a row of the record window while a control shows one.
  TRecordBuffer buffer = FDisplayBuffer ? FDisplayBuffer : FBuffer;
  if (!Active() || !FHasRecord || FBookmarkSize == 0 || GetBookmarkFlag(buffer) != bfCurrent) return {};
  std::string b(static_cast<size_t>(FBookmarkSize), '\0');
  GetBookmarkData(buffer, b.data());
  return b;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
  if (Bookmark.empty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(Bookmark.data());
  FBof = FEof = false;
  Resync();
  DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark&) { return false; }

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.empty() && Bookmark2.empty()) return 0;
  if (Bookmark1.empty()) return -1;
  if (Bookmark2.empty()) return 1;
  return Bookmark1 < Bookmark2 ? -1 : Bookmark1 == Bookmark2 ? 0 : 1;
}

bool TDataSet::Locate(const std::string&, const Variant&, TLocateOptions) { return false; }

bool TDataSet::Locate(const std::string& KeyFields, const TVariantArray& KeyValues, TLocateOptions Options) {
  if (KeyValues.size() == 1) return Locate(KeyFields, KeyValues[0], Options);
  return false;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultField) {
  if (!Active() || KeyValues.IsNull() || FState != dsBrowse) return Variant();
  TField* result = FindField(ResultField);
  if (!result) return Variant();
  // The walk moves the cursor and comes back; the controls see none of it.
  TBookmark mark = GetBookmark();
  ++FDisableCount;
  TScopeExit back([&] {
    if (!mark.empty() && BookmarkValid(mark)) GotoBookmark(mark);
    --FDisableCount;
  });
  try {
    if (!Locate(KeyFields, KeyValues, TLocateOptions())) return Variant();
  } catch (const EDatabaseError&) {
    return Variant();
  }
  return result->Value();
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
  size_t p = 0;
  while (p <= FieldNames.size()) {
    size_t e = FieldNames.find(';', p);
    if (e == std::string::npos) e = FieldNames.size();
    std::string name = Trim(FieldNames.substr(p, e - p));
    if (!name.empty()) List.push_back(FieldByName(name));
    p = e + 1;
  }
}

TStream* TDataSet::CreateBlobStream(TField*, TBlobStreamMode) { return nullptr; }
