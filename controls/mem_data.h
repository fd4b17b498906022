// TVxMemoryData: a dataset whose records live only in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dataset.h"
#include "platform/streams.h"

class TVxMemoryData;

// One record of the table: its identifier (the bookmark), a block of field data and one byte
// string per blob field.
class TMemoryRecord {
public:
  // Joins the owner's record list at its end.
  explicit TMemoryRecord(TVxMemoryData* MemoryData);
  // Joins the list only when UpdateParent.
  TMemoryRecord(TVxMemoryData* MemoryData, bool UpdateParent);
  virtual ~TMemoryRecord();

  // Moves the record to a new position in the owner's list.
  virtual void SetIndex(int Value);
  int Index() const;
  TVxMemoryData* MemoryData() const { return FMemoryData; }
  int32_t ID() const { return FID; }

  std::vector<uint8_t> Data;
  std::vector<std::string> Blobs;

private:
  friend class TVxMemoryData;
  TVxMemoryData* FMemoryData = nullptr;
  int32_t FID = 0;
};

class TVxMemoryData : public TDataSet {
  VM_CLASS(TVxMemoryData, TDataSet)
public:
  explicit TVxMemoryData(TComponent* AOwner);
  ~TVxMemoryData() override;

  int Capacity() const;
  void SetCapacity(int Value);

  // Frees every record of an open table; the auto-increment counter keeps counting.
  void RemoveAllRecords();
  // Sorts the records by the fields named in FieldNames (separated by ";").
  void SortByFields(const std::string& FieldNames, bool CaseInsensitive = false, bool Descending = false);

  bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
  bool Locate(const std::string& KeyFields, const TVariantArray& KeyValues, TLocateOptions Options) override;
  int RecordCount() override;
  int RecNo() override;
  void SetRecNo(int Value) override;
  bool BookmarkValid(const TBookmark& Bookmark) override;
  // Whether the bookmark's record is still there (a deleted record's bookmark stays valid).
  bool BookmarkExists(const TBookmark& Bookmark);
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  bool GetFieldData(TField* Field, void* Buffer) override;
  void SetFieldData(TField* Field, const void* Buffer) override;
  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
  bool IsSequenced() override { return !Filtered(); }
  bool IsIndexField(TField* Field) override;

  // The buffer that belongs to the current state; false when there is none.
  virtual bool CurrentRecordBuffer(TRecordBuffer& Buffer);
  // Copies a buffer into the stored record at Index.
  virtual void StoreRecordData(TRecordBuffer Buffer, int Index);
  // Writes the auto-increment counter into every auto-increment field of the buffer.
  virtual void FillAutoIncFields(TRecordBuffer Buffer);
  virtual int CompareRecordsByKey(TMemoryRecord* Item1, TMemoryRecord* Item2);

  // The blob slot of a blob field in a buffer, and of the stored record at Index.
  std::string& BlobSlot(TRecordBuffer Buffer, TField* Field);
  const std::string& StoredBlob(int Index, TField* Field) const;
  int CursorIndex() const { return FRecordPos; }
  int AutoIncValue() const { return FAutoInc; }

protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  int GetRecordSize() override { return FRecordSize; }
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() override { return FActive; }
  void InternalInitFieldDefs() override {}
  void InternalFirst() override { FRecordPos = -1; }
  void InternalLast() override { FRecordPos = static_cast<int>(FRecords.size()); }
  void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
  void InternalDelete() override;
  void InternalPost() override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void InitRecord(TRecordBuffer Buffer) override;
  void ClearCalcFields(TRecordBuffer Buffer) override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void InternalGotoBookmark(const void* Bookmark) override;
  void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void CloseBlob(TField* Field) override;
  void SetFilteredImpl(bool Value) override;
  void SetOnFilterRecordImpl(const TFilterRecordEvent& Value) override;

private:
  friend class TMemoryRecord;
  friend class TMemBlobStream;
  void ClearRecords();
  TMemoryRecord* AddRecord();
  TMemoryRecord* InsertRecord(int Index);
  int IndexOfID(int32_t ID) const;
  bool RecordFilter();
  void CopyRecordToBuffer(const TMemoryRecord& Rec, TRecordBuffer Buffer);
  void ComputeLayout();
  int DefIndexOf(TField* Field) const;
  int BlobIndexOf(TField* Field) const;
  bool FieldMatches(TField* Field, const Variant& Value, TLocateOptions Options);
  bool RecordMatches(int Index, const std::vector<TField*>& Fields, const TVariantArray& Values,
                     TLocateOptions Options);
  void QuickSort(int L, int R);

  std::vector<TMemoryRecord*> FRecords;
  std::vector<uint16_t> FOffsets;  // per field definition
  std::vector<int> FBlobIndex;     // per field definition; -1 when not a blob
  std::vector<TField*> FKeyFields;
  int FRecordPos = -1;
  int FRecordSize = 0;
  int FBookmarkOfs = 0;
  int FBlobOfs = 0;
  int FBlobCount = 0;
  int FBufferSize = 0;
  int32_t FLastID;
  int32_t FAutoInc = 1;
  bool FActive = false;
  bool FCaseInsensitiveSort = false;
  bool FDescendingSort = false;
};

// A stream over one blob field of the table's current buffer.
class TMemBlobStream : public TStream {
public:
  TMemBlobStream(TField* Field, TBlobStreamMode Mode);
  ~TMemBlobStream() override;
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override;
  void SetSize(int64_t NewSize) override;
  void Truncate();

private:
  const std::string* Source();
  TField* FField;
  TVxMemoryData* FDataSet;
  TRecordBuffer FBuffer = nullptr;
  TBlobStreamMode FMode;
  int64_t FPosition = 0;
  bool FOpened = false;
  bool FModified = false;
  bool FCached = false;
};
