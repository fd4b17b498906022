#include "controls/mem_data.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "platform/guards.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {

constexpr int32_t NoID = INT32_MIN;

// Bytes after the presence byte in the data block; -1 for types the table cannot store, 0 for
// blob types (they live in the blob slots).
int TypeBytes(TFieldType T, int Size) {
  switch (T) {
    case ftString:
    case ftFixedChar:
      return Size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftDate:
    case ftTime:
    case ftAutoInc:
      return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
      return 8;
    case ftBCD:
      return 34;
    case ftBytes:
      return Size;
    case ftVarBytes:
      return Size + 2;
    case ftWideString:
      return 2 * Size + 2;
    case ftADT:
      return 0;
    case ftVariant:
      return 16;
    case ftGuid:
      return 39;
    default:
      return IsBlobType(T) ? 0 : -1;
  }
}

bool Supported(TFieldType T) { return TypeBytes(T, 0) >= 0; }

bool Sortable(TFieldType T) { return Supported(T) && !IsBlobType(T); }

bool IsTextType(TFieldType T) { return T == ftString || T == ftFixedChar || T == ftWideString || T == ftGuid; }

std::vector<std::string> SplitNames(const std::string& Names) {
  std::vector<std::string> out;
  size_t p = 0;
  while (p <= Names.size()) {
    size_t q = Names.find(';', p);
    if (q == std::string::npos) q = Names.size();
    std::string n = Trim(Names.substr(p, q - p));
    if (!n.empty()) out.push_back(n);
    p = q + 1;
  }
  return out;
}

// The first Count characters of a UTF-8 text.
std::string Utf8Left(const std::string& S, size_t Count) {
  size_t i = 0, n = 0;
  while (i < S.size() && n < Count) {
    unsigned char c = static_cast<unsigned char>(S[i]);
    i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    ++n;
  }
  return S.substr(0, std::min(i, S.size()));
}

size_t Utf8Length(const std::string& S) {
  size_t n = 0;
  for (unsigned char c : S)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

template <class T>
int Cmp(const uint8_t* A, const uint8_t* B) {
  T a, b;
  std::memcpy(&a, A, sizeof(T));
  std::memcpy(&b, B, sizeof(T));
  return a < b ? -1 : a > b ? 1 : 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMemoryRecord

TMemoryRecord::TMemoryRecord(TVxMemoryData* MemoryData) : TMemoryRecord(MemoryData, true) {}

TMemoryRecord::TMemoryRecord(TVxMemoryData* MemoryData, bool UpdateParent) {
  if (MemoryData && UpdateParent) {
    FMemoryData = MemoryData;
    MemoryData->FRecords.push_back(this);
    FID = ++MemoryData->FLastID;
    Data.assign(static_cast<size_t>(MemoryData->FRecordSize), 0);
    Blobs.resize(static_cast<size_t>(MemoryData->FBlobCount));
  }
}

TMemoryRecord::~TMemoryRecord() {
  if (FMemoryData) {
    auto& l = FMemoryData->FRecords;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
  }
}

int TMemoryRecord::Index() const {
  if (!FMemoryData) return -1;
  auto& l = FMemoryData->FRecords;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TMemoryRecord::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || cur == Value) return;
  auto& l = FMemoryData->FRecords;
  l.erase(l.begin() + cur);
  Value = std::clamp(Value, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + Value, this);
}

// ---------------------------------------------------------------------------------------------
// TVxMemoryData

VM_PUBLISH(TVxMemoryData) { P.Int("Capacity", &TVxMemoryData::Capacity, &TVxMemoryData::SetCapacity).Default(0); }

TVxMemoryData::TVxMemoryData(TComponent* AOwner) : TDataSet(AOwner), FLastID(NoID) {}

TVxMemoryData::~TVxMemoryData() {
  if (Active()) {
    try {
      Close();
    } catch (...) {}
  }
  if (FActive) InternalClose();
  ClearRecords();
}

int TVxMemoryData::Capacity() const { return static_cast<int>(FRecords.capacity()); }

void TVxMemoryData::SetCapacity(int Value) {
  if (Value > 0) FRecords.reserve(static_cast<size_t>(Value));
}

void TVxMemoryData::ClearRecords() {
  std::vector<TMemoryRecord*> list;
  list.swap(FRecords);
  for (TMemoryRecord* r : list) {
    r->FMemoryData = nullptr;
    delete r;
  }
  FLastID = NoID;
  FRecordPos = -1;
}

TMemoryRecord* TVxMemoryData::AddRecord() { return new TMemoryRecord(this); }

TMemoryRecord* TVxMemoryData::InsertRecord(int Index) {
  TMemoryRecord* r = AddRecord();
  r->SetIndex(std::max(Index, 0));
  return r;
}

int TVxMemoryData::IndexOfID(int32_t ID) const {
  for (size_t i = 0; i < FRecords.size(); ++i)
    if (FRecords[i]->FID == ID) return static_cast<int>(i);
  return -1;
}

int TVxMemoryData::DefIndexOf(TField* Field) const { return FieldDefs()->IndexOf(Field->FullName()); }

int TVxMemoryData::BlobIndexOf(TField* Field) const {
  int i = DefIndexOf(Field);
  if (i < 0 || i >= static_cast<int>(FBlobIndex.size()) || FBlobIndex[static_cast<size_t>(i)] < 0)
    DatabaseErrorFmt(SNotABlob, Field->DisplayName());
  return FBlobIndex[static_cast<size_t>(i)];
}

// Layout

void TVxMemoryData::ComputeLayout() {
  FOffsets.clear();
  FBlobIndex.clear();
  FRecordSize = 0;
  FBlobCount = 0;
  for (int i = 0; i < FieldDefs()->Count(); ++i) {
    TFieldDef* d = FieldDefs()->Items(i);
    FOffsets.push_back(static_cast<uint16_t>(FRecordSize));
    int bytes = TypeBytes(d->DataType(), d->Size());
    if (IsBlobType(d->DataType())) {
      FBlobIndex.push_back(FBlobCount++);
    } else {
      FBlobIndex.push_back(-1);
      if (bytes >= 0) FRecordSize += 1 + bytes;
    }
  }
}

void TVxMemoryData::InternalOpen() {
  if (HasPersistentFields()) {
    for (int i = 0; i < Fields().Count(); ++i) {
      TField* f = Fields()[i];
      if (f->FieldKind() == fkData && !Supported(f->DataType())) DatabaseErrorFmt(SUnknownFieldType, f->DisplayName());
    }
    FKeyFields.clear();
    InitFieldDefsFromFields();
  } else {
    for (int i = 0; i < FieldDefs()->Count(); ++i)
      if (!Supported(FieldDefs()->Items(i)->DataType()))
        DatabaseErrorFmt(SUnknownFieldType, FieldDefs()->Items(i)->Name());
    CreateFields();
  }
  ComputeLayout();
  BindFields(true);
  SetBookmarkSize(4);
  FBookmarkOfs = FRecordSize + CalcFieldsSize();
  int blobs = FBookmarkOfs + 5;
  int align = static_cast<int>(alignof(std::string));
  FBlobOfs = (blobs + align - 1) / align * align;
  FBufferSize = FBlobOfs + FBlobCount * static_cast<int>(sizeof(std::string));
  FRecordPos = -1;
  FActive = true;
}

void TVxMemoryData::InternalClose() {
  ClearRecords();
  FAutoInc = 1;
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  FKeyFields.clear();
  FActive = false;
}

// Buffers

TRecordBuffer TVxMemoryData::AllocRecordBuffer() {
  auto* b = new uint8_t[static_cast<size_t>(FBufferSize)]();
  for (int i = 0; i < FBlobCount; ++i) new (b + FBlobOfs + i * sizeof(std::string)) std::string();
  return b;
}

void TVxMemoryData::FreeRecordBuffer(TRecordBuffer& Buffer) {
  if (!Buffer) return;
  for (int i = 0; i < FBlobCount; ++i)
    reinterpret_cast<std::string*>(Buffer + FBlobOfs + i * sizeof(std::string))->~basic_string();
  delete[] Buffer;
  Buffer = nullptr;
}

std::string& TVxMemoryData::BlobSlot(TRecordBuffer Buffer, TField* Field) {
  int i = BlobIndexOf(Field);
  return *reinterpret_cast<std::string*>(Buffer + FBlobOfs + i * sizeof(std::string));
}

const std::string& TVxMemoryData::StoredBlob(int Index, TField* Field) const {
  int i = BlobIndexOf(Field);
  return FRecords.at(static_cast<size_t>(Index))->Blobs[static_cast<size_t>(i)];
}

void TVxMemoryData::InternalInitRecord(TRecordBuffer Buffer) {
  std::memset(Buffer, 0, static_cast<size_t>(FBookmarkOfs + 5));
  for (int i = 0; i < FBlobCount; ++i)
    reinterpret_cast<std::string*>(Buffer + FBlobOfs + i * sizeof(std::string))->clear();
}

void TVxMemoryData::InitRecord(TRecordBuffer Buffer) {
  TDataSet::InitRecord(Buffer);
  int32_t id = NoID;
  std::memcpy(Buffer + FBookmarkOfs, &id, 4);
  SetBookmarkFlag(Buffer, bfInserted);
}

void TVxMemoryData::ClearCalcFields(TRecordBuffer Buffer) {
  std::memset(Buffer + FRecordSize, 0, static_cast<size_t>(CalcFieldsSize()));
}

void TVxMemoryData::CopyRecordToBuffer(const TMemoryRecord& Rec, TRecordBuffer Buffer) {
  std::memcpy(Buffer, Rec.Data.data(), static_cast<size_t>(FRecordSize));
  std::memcpy(Buffer + FBookmarkOfs, &Rec.FID, 4);
  for (int i = 0; i < FBlobCount; ++i)
    *reinterpret_cast<std::string*>(Buffer + FBlobOfs + i * sizeof(std::string)) = Rec.Blobs[static_cast<size_t>(i)];
}

bool TVxMemoryData::CurrentRecordBuffer(TRecordBuffer& Buffer) {
  switch (State()) {
    case dsBrowse:
      Buffer = FRecords.empty() ? nullptr : ActiveBuffer();
      break;
    case dsEdit:
    case dsInsert:
      Buffer = ActiveBuffer();
      break;
    case dsCalcFields:
      Buffer = CalcBuffer();
      break;
    case dsFilter:
      Buffer = TempBuffer();
      break;
    default:
      Buffer = nullptr;
      break;
  }
  return Buffer != nullptr;
}

void TVxMemoryData::StoreRecordData(TRecordBuffer Buffer, int Index) {
  if (State() == dsFilter) DatabaseError(SNotEditing);
  TMemoryRecord* r = FRecords.at(static_cast<size_t>(Index));
  std::memcpy(r->Data.data(), Buffer, static_cast<size_t>(FRecordSize));
  for (int i = 0; i < FBlobCount; ++i)
    r->Blobs[static_cast<size_t>(i)] = *reinterpret_cast<std::string*>(Buffer + FBlobOfs + i * sizeof(std::string));
}

void TVxMemoryData::FillAutoIncFields(TRecordBuffer Buffer) {
  bool any = false;
  for (int i = 0; i < FieldDefs()->Count(); ++i) {
    if (FieldDefs()->Items(i)->DataType() != ftAutoInc) continue;
    uint8_t* p = Buffer + FOffsets[static_cast<size_t>(i)];
    p[0] = 1;
    std::memcpy(p + 1, &FAutoInc, 4);
    any = true;
  }
  if (any) ++FAutoInc;
}

// Fetching and the filter

bool TVxMemoryData::RecordFilter() {
  if (!Filtered() || !OnFilterRecord()) return true;
  if (FRecordPos < 0 || FRecordPos >= static_cast<int>(FRecords.size())) return false;
  bool accept = true;
  TDataSetState old = SetTempState(dsFilter);
  try {
    CopyRecordToBuffer(*FRecords[static_cast<size_t>(FRecordPos)], TempBuffer());
    OnFilterRecord()(this, accept);
  } catch (...) {
    InternalHandleException();
  }
  RestoreState(old);
  return accept;
}

TGetResult TVxMemoryData::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
  const int count = static_cast<int>(FRecords.size());
  TGetResult result = grOK;
  bool filtering = Filtered() && OnFilterRecord();
  switch (GetMode) {
    case gmNext:
      if (FRecordPos >= count - 1) {
        result = grEOF;
      } else {
        ++FRecordPos;
        while (filtering && FRecordPos < count && !RecordFilter()) ++FRecordPos;
        if (FRecordPos >= count) {
          result = grEOF;
          FRecordPos = count - 1;
        }
      }
      break;
    case gmPrior:
      if (FRecordPos <= 0) {
        result = grBOF;
        FRecordPos = -1;
      } else {
        --FRecordPos;
        while (filtering && FRecordPos >= 0 && !RecordFilter()) --FRecordPos;
        if (FRecordPos < 0) {
          result = grBOF;
          FRecordPos = -1;
        }
      }
      break;
    case gmCurrent:
      if (FRecordPos < 0 || FRecordPos >= count || (filtering && !RecordFilter())) result = grError;
      break;
  }
  if (result == grOK) {
    CopyRecordToBuffer(*FRecords[static_cast<size_t>(FRecordPos)], Buffer);
    SetBookmarkFlag(Buffer, bfCurrent);
    GetCalcFields(Buffer);
  } else if (result == grError && DoCheck) {
    DatabaseError(SNoDataFound);
  }
  return result;
}

// Bookmarks

void TVxMemoryData::GetBookmarkData(TRecordBuffer Buffer, void* Data) { std::memcpy(Data, Buffer + FBookmarkOfs, 4); }

void TVxMemoryData::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
  std::memcpy(Buffer + FBookmarkOfs, Data, 4);
}

TBookmarkFlag TVxMemoryData::GetBookmarkFlag(TRecordBuffer Buffer) {
  return static_cast<TBookmarkFlag>(Buffer[FBookmarkOfs + 4]);
}

void TVxMemoryData::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  Buffer[FBookmarkOfs + 4] = static_cast<uint8_t>(Value);
}

bool TVxMemoryData::BookmarkValid(const TBookmark& Bookmark) {
  if (!FActive || Bookmark.size() != 4) return false;
  int32_t id;
  std::memcpy(&id, Bookmark.data(), 4);
  return id != NoID && id <= FLastID;
}

bool TVxMemoryData::BookmarkExists(const TBookmark& Bookmark) {
  if (!BookmarkValid(Bookmark)) return false;
  int32_t id;
  std::memcpy(&id, Bookmark.data(), 4);
  return IndexOfID(id) >= 0;
}

int TVxMemoryData::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.empty() && Bookmark2.empty()) return 0;
  if (Bookmark1.empty()) return -1;
  if (Bookmark2.empty()) return 1;
  int32_t a, b;
  std::memcpy(&a, Bookmark1.data(), 4);
  std::memcpy(&b, Bookmark2.data(), 4);
  return a < b ? -1 : a > b ? 1 : 0;
}

void TVxMemoryData::InternalGotoBookmark(const void* Bookmark) {
  int32_t id;
  std::memcpy(&id, Bookmark, 4);
  // Walking the records goes back to the record the cursor is on: no search for it.
  const bool here =
      FRecordPos >= 0 && FRecordPos < static_cast<int>(FRecords.size()) && FRecords[FRecordPos]->FID == id;
  int i = here ? FRecordPos : IndexOfID(id);
  if (i < 0) return;
  int old = FRecordPos;
  FRecordPos = i;
  if (Filtered() && !RecordFilter()) FRecordPos = old;
}

void TVxMemoryData::InternalSetToRecord(TRecordBuffer Buffer) { InternalGotoBookmark(Buffer + FBookmarkOfs); }

// Changes

void TVxMemoryData::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
  if (Append) {
    AddRecord();
    FRecordPos = static_cast<int>(FRecords.size()) - 1;
  } else {
    InsertRecord(FRecordPos < 0 ? 0 : FRecordPos);
    if (FRecordPos < 0) FRecordPos = 0;
  }
  FillAutoIncFields(Buffer);
  StoreRecordData(Buffer, FRecordPos);
}

void TVxMemoryData::InternalPost() {
  if (State() == dsEdit) {
    StoreRecordData(ActiveBuffer(), FRecordPos);
    return;
  }
  if (State() == dsInsert) FillAutoIncFields(ActiveBuffer());
  const int count = static_cast<int>(FRecords.size());
  if (FRecordPos < count) {
    int at = FRecordPos < 0 ? 0 : FRecordPos;
    InsertRecord(at);
    FRecordPos = at;
  } else {
    AddRecord();
    FRecordPos = static_cast<int>(FRecords.size()) - 1;
  }
  StoreRecordData(ActiveBuffer(), FRecordPos);
}

void TVxMemoryData::InternalDelete() {
  if (FRecordPos < 0 || FRecordPos >= static_cast<int>(FRecords.size())) return;
  TMemoryRecord* r = FRecords[static_cast<size_t>(FRecordPos)];
  delete r;
  if (FRecordPos >= static_cast<int>(FRecords.size())) --FRecordPos;
  if (Filtered())
    while (FRecordPos >= 0 && !RecordFilter()) --FRecordPos;
  if (FRecords.empty()) FLastID = NoID;
}

void TVxMemoryData::RemoveAllRecords() {
  if (!Active()) return;
  CheckBrowseMode();
  ClearRecords();
  ClearBuffers();
  DataEvent(deDataSetChange, 0);
}

int TVxMemoryData::RecordCount() { return static_cast<int>(FRecords.size()); }

int TVxMemoryData::RecNo() {
  CheckActive();
  UpdateCursorPos();
  if (FRecordPos == -1 && !FRecords.empty()) return 1;
  return FRecordPos + 1;
}

void TVxMemoryData::SetRecNo(int Value) {
  if (Value < 1 || Value > static_cast<int>(FRecords.size())) return;
  CheckBrowseMode();
  FRecordPos = Value - 1;
  SetBofEof(false, false);
  Resync();
}

// Field data

bool TVxMemoryData::GetFieldData(TField* Field, void* Buffer) {
  TRecordBuffer rec;
  if (!CurrentRecordBuffer(rec)) return false;
  if (Field->FieldNo() < 1) {
    TDataSetState s = State();
    if (s != dsBrowse && s != dsEdit && s != dsInsert && s != dsCalcFields) return false;
    const uint8_t* p = rec + FRecordSize + Field->Offset();
    if (!p[0]) return false;
    if (Buffer) std::memcpy(Buffer, p + 1, static_cast<size_t>(Field->DataSize()));
    return true;
  }
  int i = DefIndexOf(Field);
  if (i < 0) return false;
  TFieldDef* d = FieldDefs()->Items(i);
  int bytes = TypeBytes(d->DataType(), d->Size());
  if (IsBlobType(d->DataType()) || bytes < 0) return false;
  const uint8_t* p = rec + FOffsets[static_cast<size_t>(i)];
  if (!p[0]) return false;
  if (IsTextType(d->DataType()) && p[1] == 0) return false;
  if (Buffer) std::memcpy(Buffer, p + 1, static_cast<size_t>(bytes));
  return true;
}

void TVxMemoryData::SetFieldData(TField* Field, const void* Buffer) {
  TDataSetState s = State();
  if (s != dsEdit && s != dsInsert && s != dsSetKey && s != dsCalcFields && s != dsFilter && s != dsNewValue &&
      s != dsInternalCalc)
    DatabaseError(SNotEditing);
  TRecordBuffer rec;
  if (!CurrentRecordBuffer(rec)) DatabaseError(SNotEditing);
  if (Field->FieldNo() < 1) {
    uint8_t* p = rec + FRecordSize + Field->Offset();
    p[0] = Buffer != nullptr;
    if (Buffer) std::memcpy(p + 1, Buffer, static_cast<size_t>(Field->DataSize()));
  } else {
    if (s == dsCalcFields || s == dsFilter) DatabaseError(SNotEditing);
    if (Field->ReadOnly() && s != dsSetKey && s != dsFilter) DatabaseErrorFmt(SFieldReadOnly, Field->DisplayName());
    Field->Validate(Buffer);
    if (Field->FieldKind() == fkInternalCalc) return;
    int i = DefIndexOf(Field);
    if (i < 0) DatabaseErrorFmt(SFieldNotFound, Field->FieldName());
    TFieldDef* d = FieldDefs()->Items(i);
    int bytes = TypeBytes(d->DataType(), d->Size());
    if (bytes <= 0) return;
    uint8_t* p = rec + FOffsets[static_cast<size_t>(i)];
    p[0] = Buffer != nullptr;
    if (Buffer)
      std::memcpy(p + 1, Buffer, static_cast<size_t>(bytes));
    else
      std::memset(p + 1, 0, static_cast<size_t>(bytes));
  }
  if (s != dsCalcFields && s != dsFilter && s != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

// Blobs

void TVxMemoryData::CloseBlob(TField* Field) {
  TRecordBuffer b = ActiveBuffer();
  if (!b) return;
  std::string& slot = BlobSlot(b, Field);
  if (FRecordPos >= 0 && FRecordPos < static_cast<int>(FRecords.size()) && State() == dsEdit)
    slot = StoredBlob(FRecordPos, Field);
  else
    slot.clear();
}

TStream* TVxMemoryData::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
  return new TMemBlobStream(Field, Mode);
}

// Filter

void TVxMemoryData::SetFilteredImpl(bool Value) {
  if (Active()) {
    CheckBrowseMode();
    if (Filtered() != Value) {
      TDataSet::SetFilteredImpl(Value);
      First();
    }
  } else {
    TDataSet::SetFilteredImpl(Value);
  }
}

void TVxMemoryData::SetOnFilterRecordImpl(const TFilterRecordEvent& Value) {
  if (Active()) {
    CheckBrowseMode();
    TDataSet::SetOnFilterRecordImpl(Value);
    if (Filtered()) First();
  } else {
    TDataSet::SetOnFilterRecordImpl(Value);
  }
}

// Locate

bool TVxMemoryData::FieldMatches(TField* Field, const Variant& Value, TLocateOptions Options) {
  if (Field->DataType() == ftString) {
    std::string text = Field->AsString();
    std::string key = Value.AsString();
    if (Options.Contains(loPartialKey)) text = Utf8Left(text, Utf8Length(key));
    if (Options.Contains(loCaseInsensitive)) return AnsiCompareText(text, key) == 0;
    return AnsiCompareStr(text, key) == 0;
  }
  return Field->Value() == Value;
}

bool TVxMemoryData::RecordMatches(int Index, const std::vector<TField*>& Fields, const TVariantArray& Values,
                                  TLocateOptions Options) {
  // The record is read through the temporary buffer, as the filter reads it.
  TDataSetState old = SetTempState(dsFilter);
  bool match = true;
  {
    TScopeExit restoreState([&] { RestoreState(old); });
    CopyRecordToBuffer(*FRecords[static_cast<size_t>(Index)], TempBuffer());
    for (size_t k = 0; k < Fields.size() && match; ++k)
      match = FieldMatches(Fields[k], k < Values.size() ? Values[k] : Variant(), Options);
  }
  return match;
}

bool TVxMemoryData::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  return Locate(KeyFields, TVariantArray{KeyValues}, Options);
}

bool TVxMemoryData::Locate(const std::string& KeyFields, const TVariantArray& KeyValues, TLocateOptions Options) {
  DoBeforeScroll();
  CheckBrowseMode();
  if (FRecords.empty()) return false;
  std::vector<TField*> fields;
  for (const std::string& n : SplitNames(KeyFields)) fields.push_back(FieldByName(n));
  bool found = false;
  if (HasActiveRecord()) {
    UpdateCursorPos();
    if (FRecordPos >= 0 && FRecordPos < static_cast<int>(FRecords.size()))
      found = RecordMatches(FRecordPos, fields, KeyValues, Options);
  }
  if (!found) {
    // The walk reads records through the temporary buffer: the active record and the links
    // see nothing until a match is taken.
    int old = FRecordPos;
    {
      TScopeFail recordPos([&] { FRecordPos = old; });
      for (int i = 0; i < static_cast<int>(FRecords.size()) && !found; ++i) {
        FRecordPos = i;
        if (RecordFilter() && RecordMatches(i, fields, KeyValues, Options)) found = true;
      }
    }
    if (!found) FRecordPos = old;
  }
  if (found) {
    SetBofEof(false, false);
    Resync();
    DoAfterScroll();
  }
  return found;
}

// Sorting

bool TVxMemoryData::IsIndexField(TField* Field) {
  return std::find(FKeyFields.begin(), FKeyFields.end(), Field) != FKeyFields.end();
}

int TVxMemoryData::CompareRecordsByKey(TMemoryRecord* Item1, TMemoryRecord* Item2) {
  for (TField* f : FKeyFields) {
    int i = DefIndexOf(f);
    if (i < 0) continue;
    TFieldDef* d = FieldDefs()->Items(i);
    const uint8_t* p1 = Item1->Data.data() + FOffsets[static_cast<size_t>(i)];
    const uint8_t* p2 = Item2->Data.data() + FOffsets[static_cast<size_t>(i)];
    int r = 0;
    if (p1[0] && p2[0]) {
      const uint8_t* a = p1 + 1;
      const uint8_t* b = p2 + 1;
      switch (d->DataType()) {
        case ftString:
        case ftFixedChar:
        case ftWideString: {
          auto sa = reinterpret_cast<const char*>(a);
          auto sb = reinterpret_cast<const char*>(b);
          r = FCaseInsensitiveSort ? AnsiCompareText(sa, sb) : AnsiCompareStr(sa, sb);
          break;
        }
        case ftGuid:
          r = AnsiCompareText(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
          break;
        case ftSmallint:
          r = Cmp<int16_t>(a, b);
          break;
        case ftInteger:
        case ftDate:
        case ftTime:
        case ftAutoInc:
          r = Cmp<int32_t>(a, b);
          break;
        case ftWord:
          r = Cmp<uint16_t>(a, b);
          break;
        case ftBoolean: {
          uint16_t x, y;
          std::memcpy(&x, a, 2);
          std::memcpy(&y, b, 2);
          r = (x != 0) == (y != 0) ? 0 : (x != 0 ? 1 : -1);
          break;
        }
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
          r = Cmp<double>(a, b);
          break;
        case ftLargeint:
          r = Cmp<int64_t>(a, b);
          break;
        default:
          r = 0;
          break;
      }
      r = r < 0 ? -1 : r > 0 ? 1 : 0;
    } else if (p1[0]) {
      r = 1;
    } else if (p2[0]) {
      r = -1;
    }
    if (FDescendingSort) r = -r;
    if (r != 0) return r;
  }
  int r = Item1->FID < Item2->FID ? -1 : Item1->FID > Item2->FID ? 1 : 0;
  return FDescendingSort ? -r : r;
}

void TVxMemoryData::QuickSort(int L, int R) {
  do {
    int i = L, j = R;
    TMemoryRecord* pivot = FRecords[static_cast<size_t>((L + R) / 2)];
    do {
      while (CompareRecordsByKey(FRecords[static_cast<size_t>(i)], pivot) < 0) ++i;
      while (CompareRecordsByKey(FRecords[static_cast<size_t>(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(FRecords[static_cast<size_t>(i)], FRecords[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (L < j) QuickSort(L, j);
    L = i;
  } while (L < R);
}

void TVxMemoryData::SortByFields(const std::string& FieldNames, bool CaseInsensitive, bool Descending) {
  FKeyFields.clear();
  for (const std::string& n : SplitNames(FieldNames)) {
    TField* f = FieldByName(n);
    if (f->FieldKind() != fkData || !Sortable(f->DataType()))
      throw EDatabaseError(Format(SFieldTypeMismatch, {f->DisplayName(), std::string("a sortable type"),
                                                       std::string(FieldTypeName(f->DataType()))}));
    FKeyFields.push_back(f);
  }
  FCaseInsensitiveSort = CaseInsensitive;
  FDescendingSort = Descending;
  if (!Active() || FRecords.empty()) return;
  TBookmark bm = GetBookmark();
  {
    TScopeFail undo([&] {
      FKeyFields.clear();
      if (!bm.empty()) InternalGotoBookmark(bm.data());
    });
    QuickSort(0, static_cast<int>(FRecords.size()) - 1);
  }
  {
    TScopeFail undo([&] {
      FKeyFields.clear();
      Close();
    });
    SetBufferCount(BufferCount() + 1);
  }
  if (!bm.empty()) InternalGotoBookmark(bm.data());
  Resync();
}

// ---------------------------------------------------------------------------------------------
// TMemBlobStream

TMemBlobStream::TMemBlobStream(TField* Field, TBlobStreamMode Mode)
    : FField(Field), FDataSet(dynamic_cast<TVxMemoryData*>(Field->DataSet())), FMode(Mode) {
  if (!FDataSet) DatabaseErrorFmt(SNotABlob, Field->DisplayName());
  FDataSet->BlobIndexOf(Field);  // must be a blob field
  if (!FDataSet->CurrentRecordBuffer(FBuffer)) return;
  if (!Field->Modified() && Mode != bmRead) {
    if (Field->ReadOnly()) DatabaseErrorFmt(SFieldReadOnly, Field->DisplayName());
    if (FDataSet->State() != dsEdit && FDataSet->State() != dsInsert) DatabaseError(SNotEditing);
    FCached = true;
  } else {
    FCached = FBuffer == FDataSet->ActiveBuffer();
  }
  FOpened = true;
  if (Mode == bmWrite) Truncate();
}

TMemBlobStream::~TMemBlobStream() {
  if (FOpened && FModified) FField->SetModified(true);
  if (FModified) {
    try {
      FDataSet->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(FField));
    } catch (...) {
      FDataSet->InternalHandleException();
    }
  }
}

const std::string* TMemBlobStream::Source() {
  if (!FOpened) return nullptr;
  if (FCached) return &FDataSet->BlobSlot(FBuffer, FField);
  int count = static_cast<int>(FDataSet->FRecords.size());
  if (count == 0) return nullptr;
  int pos = std::clamp(FDataSet->FRecordPos, 0, count - 1);
  return &FDataSet->StoredBlob(pos, FField);
}

int64_t TMemBlobStream::Size() {
  const std::string* s = Source();
  return s ? static_cast<int64_t>(s->size()) : 0;
}

int64_t TMemBlobStream::Read(void* Buffer, int64_t Count) {
  const std::string* s = Source();
  if (!s || Count <= 0) return 0;
  int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(s->size()) - FPosition);
  if (n <= 0) return 0;
  std::memcpy(Buffer, s->data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemBlobStream::Write(const void* Buffer, int64_t Count) {
  if (!FOpened || !FCached || FMode == bmRead || Count <= 0) return 0;
  if (FDataSet->State() == dsFilter) DatabaseError(SNotEditing);
  std::string blob = FDataSet->BlobSlot(FBuffer, FField);
  if (static_cast<int64_t>(blob.size()) < FPosition + Count) blob.resize(static_cast<size_t>(FPosition + Count));
  std::memcpy(blob.data() + FPosition, Buffer, static_cast<size_t>(Count));
  if (FBuffer == FDataSet->ActiveBuffer()) FDataSet->BlobSlot(FBuffer, FField) = std::move(blob);
  FPosition += Count;
  FModified = true;
  return Count;
}

int64_t TMemBlobStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning:
      FPosition = Offset;
      break;
    case soCurrent:
      FPosition += Offset;
      break;
    case soEnd:
      FPosition = Size() + Offset;
      break;
  }
  if (FPosition < 0) FPosition = 0;
  return FPosition;
}

void TMemBlobStream::SetSize(int64_t NewSize) {
  if (NewSize == 0) Truncate();
}

void TMemBlobStream::Truncate() {
  if (!FOpened || !FCached || FMode == bmRead) return;
  FDataSet->BlobSlot(FBuffer, FField).clear();
  FModified = true;
}
