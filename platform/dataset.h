// The dataset framework: datasets with a cursor, record buffers, fields, bookmarks, data links.
//
// TDataSet is abstract: a concrete dataset supplies record storage through the protected
// virtual methods (buffers, fetching, posting, deleting, bookmarks, field data); the framework
// keeps the state, the active record buffer, the Bof/Eof flags, the events and the links.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/component.h"
#include "platform/exceptions.h"
#include "platform/set.h"
#include "platform/streams.h"
#include "platform/types.h"

class TDataSet;
class TDataSource;
class TDataLink;
class TField;

class EDatabaseError : public Exception {
public:
  using Exception::Exception;
};

[[noreturn]] void DatabaseError(const std::string& Message);
[[noreturn]] void DatabaseErrorFmt(const std::string& Fmt, const std::string& Arg);

// The framework's message texts.
extern const char* const SFieldNotFound;       // "Field '%s' not found"
extern const char* const SNotEditing;          // "Dataset not in edit or insert mode"
extern const char* const SDataSetClosed;       // "Cannot perform this operation on a closed dataset"
extern const char* const SDataSetOpen;         // "Cannot perform this operation on an open dataset"
extern const char* const SDataSetEmpty;        // "Cannot perform this operation on an empty dataset"
extern const char* const SDataSetReadOnly;     // "Cannot modify a read-only dataset"
extern const char* const SFieldReadOnly;       // "Field '%s' cannot be modified"
extern const char* const SFieldRequired;       // "Field '%s' must have a value"
extern const char* const SUnknownFieldType;    // "Field '%s' is of an unknown type"
extern const char* const SNoDataFound;         // "No data found"
extern const char* const SFieldTypeMismatch;   // "Type mismatch for field '%s', expecting: %s actual: %s"
extern const char* const SFieldAccessError;    // "Cannot access field '%s' as type %s"
extern const char* const SDuplicateFieldName;  // "Duplicate field name '%s'"
extern const char* const SNotABlob;            // "Field '%s' is not a blob field"

// A value of any field type, as the toolkit's variant: null, Boolean, integer, float or text.
class Variant {
public:
  Variant() = default;
  Variant(bool v) : V(v) {}
  Variant(int v) : V(int64_t(v)) {}
  Variant(int64_t v) : V(v) {}
  Variant(double v) : V(v) {}
  Variant(const char* v) : V(std::string(v)) {}
  Variant(std::string v) : V(std::move(v)) {}

  bool IsNull() const { return V.index() == 0; }
  bool IsNumeric() const { return V.index() == 2 || V.index() == 3; }
  bool IsString() const { return V.index() == 4; }
  double AsFloat() const;
  int64_t AsInteger() const;
  std::string AsString() const;
  // Null equals only null; numbers compare by value; a text compares with the other's text.
  bool operator==(const Variant& Other) const;

  std::variant<std::monostate, bool, int64_t, double, std::string> V;
};
using TVariantArray = std::vector<Variant>;

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd
};
bool IsBlobType(TFieldType T);
const char* FieldTypeName(TFieldType T);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening
};

enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };
enum TDataAction { daFail, daAbort, daRetry };

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

using TRecordBuffer = uint8_t*;
using TBookmark = std::string;  // the bookmark bytes; empty = none

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const std::string& Text)>;
using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

// ---------------------------------------------------------------------------------------------
// Field definitions

class TFieldDefs;

class TFieldDef {
public:
  TFieldDef(TFieldDefs* AOwner, const std::string& AName, TFieldType ADataType, int ASize, bool ARequired,
            int AFieldNo);
  const std::string& Name() const { return FName; }
  TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  bool Required() const { return FRequired; }
  int FieldNo() const { return FFieldNo; }

private:
  std::string FName;
  TFieldType FDataType;
  int FSize;
  bool FRequired;
  int FFieldNo;
};

class TFieldDefs : public TPersistent {
  VM_CLASS(TFieldDefs, TPersistent)
public:
  explicit TFieldDefs(TDataSet* ADataSet) : FDataSet(ADataSet) {}
  ~TFieldDefs() override;
  // Raises "Duplicate field name '%s'" when the name is taken (letter case ignored).
  TFieldDef* Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TFieldDef* Items(int Index) const;
  int IndexOf(const std::string& Name) const;
  TFieldDef* Find(const std::string& Name) const;  // raises "Field '%s' not found"
  TDataSet* DataSet() const { return FDataSet; }

private:
  TDataSet* FDataSet;
  std::vector<std::unique_ptr<TFieldDef>> FItems;
};

// ---------------------------------------------------------------------------------------------
// Fields

class TField : public TComponent {
  VM_CLASS(TField, TComponent)
public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  TDataSet* DataSet() const { return FDataSet; }
  // Adds the field to the dataset's field list (the dataset must be closed).
  void SetDataSet(TDataSet* Value);
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value) { FFieldName = Value; }
  std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const std::string& Value) { FDisplayLabel = Value; }
  std::string DisplayName() const { return DisplayLabel(); }
  std::string FullName() const { return FFieldName; }
  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value) { FFieldKind = Value; }
  int FieldNo() const { return FFieldNo; }
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  // Bytes of the value in a record buffer.
  virtual int DataSize() const { return 0; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  // Characters a grid column of the field shows (default: the size of a string, else 10).
  int DisplayWidth() const;
  void SetDisplayWidth(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // The place in the dataset's field list; setting it moves the field (a layout change).
  int Index() const;
  void SetIndex(int Value);
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  bool Calculated() const { return FFieldKind == fkCalculated; }
  bool IsBlob() const { return IsBlobType(FDataType); }
  // Offset in the calculated-field area (calculated fields only).
  int Offset() const { return FOffset; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  bool IsNull();
  void Clear();
  virtual std::string GetAsString();
  virtual void SetAsString(const std::string& Value);
  virtual int32_t GetAsInteger();
  virtual void SetAsInteger(int32_t Value);
  virtual double GetAsFloat();
  virtual void SetAsFloat(double Value);
  virtual bool GetAsBoolean();
  virtual void SetAsBoolean(bool Value);
  virtual double GetAsDateTime();
  virtual void SetAsDateTime(double Value);
  virtual Variant GetAsVariant();
  virtual void SetAsVariant(const Variant& Value);

  std::string AsString() { return GetAsString(); }
  int32_t AsInteger() { return GetAsInteger(); }
  double AsFloat() { return GetAsFloat(); }
  bool AsBoolean() { return GetAsBoolean(); }
  double AsDateTime() { return GetAsDateTime(); }
  Variant Value() { return GetAsVariant(); }
  void SetValue(const Variant& V) { SetAsVariant(V); }
  // The text shown (DisplayText) or edited; through OnGetText when assigned.
  std::string Text();
  std::string DisplayText();
  // Through OnSetText when assigned, else AsString.
  void SetText(const std::string& Value);

  // The edit mask and alignment that controls editing and showing the field use.
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value) { FEditMask = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  // The lookup definition of a lookup field (FieldKind fkLookup): its value is LookupResultField
  // of the record of LookupDataSet whose LookupKeyFields equal this dataset's KeyFields (names
  // separated by ";"). It is computed with the calculated fields.
  bool Lookup() const { return FFieldKind == fkLookup; }
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value) { FLookupDataSet = Value; }
  const std::string& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
  const std::string& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
  const std::string& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }
  // Whether the value can be changed: a data field that is not read-only, in a dataset that can be
  // modified.
  virtual bool CanModify();
  // Whether a typed character suits the field (digits and signs for numbers, anything for texts).
  virtual bool IsValidChar(char Key);

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;
  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;

  // Raw access to the value bytes of the current record (DataSize bytes).
  bool GetData(void* Buffer);
  void SetData(const void* Buffer);  // nullptr clears
  // Called by the dataset before a value is stored.
  void Validate(const void* Buffer);
  // Called by the dataset after a value changed.
  void Change();

protected:
  virtual void GetText(std::string& Text, bool DisplayText);
  [[noreturn]] void AccessError(const char* TypeName);
  void SetDataType(TFieldType Value) { FDataType = Value; }

private:
  friend class TDataSet;
  TDataSet* FDataSet = nullptr;
  std::string FFieldName;
  std::string FDisplayLabel;
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  int FFieldNo = 0;
  int FSize = 0;
  int FOffset = 0;
  bool FReadOnly = false;
  bool FVisible = true;
  int FDisplayWidth = 0;  // 0: the default
  bool FRequired = false;
  bool FModified = false;
  std::string FEditMask;
  TAlignment FAlignment = taLeftJustify;
  TDataSet* FLookupDataSet = nullptr;
  std::string FKeyFields, FLookupKeyFields, FLookupResultField;
};

class TStringField : public TField {
  VM_CLASS(TStringField, TField)
public:
  explicit TStringField(TComponent* AOwner);
  int DataSize() const override;
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  int32_t GetAsInteger() override;
  void SetAsInteger(int32_t Value) override { SetAsString(std::to_string(Value)); }
  double GetAsFloat() override;
  void SetAsFloat(double Value) override;
  bool GetAsBoolean() override;
  void SetAsBoolean(bool Value) override { SetAsString(Value ? "True" : "False"); }
  Variant GetAsVariant() override;
  // ftString (the default), ftFixedChar, ftWideString, ftGuid.
  void SetStringType(TFieldType Value) { SetDataType(Value); }
};

class TIntegerField : public TField {
  VM_CLASS(TIntegerField, TField)
public:
  explicit TIntegerField(TComponent* AOwner);
  int DataSize() const override;
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  int32_t GetAsInteger() override;
  void SetAsInteger(int32_t Value) override;
  double GetAsFloat() override { return GetAsInteger(); }
  void SetAsFloat(double Value) override;
  Variant GetAsVariant() override;
  // ftInteger (the default), ftSmallint, ftWord, ftDate, ftTime.
  void SetIntegerType(TFieldType Value) { SetDataType(Value); }
  // The value range controls offer (0 and 0: none). Stored only; values are not checked.
  int32_t MinValue() const { return FMinValue; }
  void SetMinValue(int32_t Value) { FMinValue = Value; }
  int32_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(int32_t Value) { FMaxValue = Value; }

private:
  int32_t FMinValue = 0, FMaxValue = 0;
};

class TAutoIncField : public TIntegerField {
  VM_CLASS(TAutoIncField, TIntegerField)
public:
  explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TField {
  VM_CLASS(TLargeintField, TField)
public:
  explicit TLargeintField(TComponent* AOwner);
  int DataSize() const override { return 8; }
  int64_t GetAsLargeInt();
  void SetAsLargeInt(int64_t Value);
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  int32_t GetAsInteger() override { return static_cast<int32_t>(GetAsLargeInt()); }
  void SetAsInteger(int32_t Value) override { SetAsLargeInt(Value); }
  double GetAsFloat() override { return static_cast<double>(GetAsLargeInt()); }
  Variant GetAsVariant() override;
};

class TFloatField : public TField {
  VM_CLASS(TFloatField, TField)
public:
  explicit TFloatField(TComponent* AOwner);
  int DataSize() const override { return 8; }
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  int32_t GetAsInteger() override;
  void SetAsInteger(int32_t Value) override { SetAsFloat(Value); }
  double GetAsFloat() override;
  void SetAsFloat(double Value) override;
  Variant GetAsVariant() override;
  // ftFloat (the default) or ftCurrency.
  void SetFloatType(TFieldType Value) { SetDataType(Value); }
  // The value range controls offer (0 and 0: none) and the significant digits of the value's
  // text. Stored only; values are not checked.
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }

private:
  double FMinValue = 0, FMaxValue = 0;
  int FPrecision = 15;
};

class TBooleanField : public TField {
  VM_CLASS(TBooleanField, TField)
public:
  explicit TBooleanField(TComponent* AOwner);
  int DataSize() const override { return 2; }
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  bool GetAsBoolean() override;
  void SetAsBoolean(bool Value) override;
  int32_t GetAsInteger() override { return GetAsBoolean() ? 1 : 0; }
  void SetAsInteger(int32_t Value) override { SetAsBoolean(Value != 0); }
  Variant GetAsVariant() override;
};

// A date-time as days from 1899-12-30 (8 bytes).
class TDateTimeField : public TField {
  VM_CLASS(TDateTimeField, TField)
public:
  explicit TDateTimeField(TComponent* AOwner);
  int DataSize() const override { return 8; }
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  double GetAsDateTime() override;
  void SetAsDateTime(double Value) override;
  double GetAsFloat() override { return GetAsDateTime(); }
  void SetAsFloat(double Value) override { SetAsDateTime(Value); }
  Variant GetAsVariant() override;
};

// Fixed-size binary values (BCD, bytes, variants...): stored, not interpreted.
class TBytesField : public TField {
  VM_CLASS(TBytesField, TField)
public:
  explicit TBytesField(TComponent* AOwner);
  int DataSize() const override;
  void SetBytesType(TFieldType Value) { SetDataType(Value); }
  std::string GetAsString() override;
};

class TBlobField : public TField {
  VM_CLASS(TBlobField, TField)
public:
  explicit TBlobField(TComponent* AOwner);
  std::string GetAsString() override;
  void SetAsString(const std::string& Value) override;
  Variant GetAsVariant() override { return IsNull() ? Variant() : Variant(GetAsString()); }
  // ftBlob (the default) or another blob type.
  void SetBlobType(TFieldType Value) { SetDataType(Value); }
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);

protected:
  void GetText(std::string& Text, bool DisplayText) override;
};

class TMemoField : public TBlobField {
  VM_CLASS(TMemoField, TBlobField)
public:
  explicit TMemoField(TComponent* AOwner);

protected:
  void GetText(std::string& Text, bool DisplayText) override;
};

// The fields of a dataset, in order.
class TFields {
public:
  int Count() const { return static_cast<int>(FList.size()); }
  TField* operator[](int Index) const { return FList.at(static_cast<size_t>(Index)); }
  TField* FindField(const std::string& Name) const;
  TField* FieldByName(const std::string& Name) const;  // raises "Field '%s' not found"
  TField* FieldByNumber(int FieldNo) const;
  int IndexOf(const TField* Field) const;

private:
  friend class TDataSet;
  friend class TField;
  std::vector<TField*> FList;
};

// ---------------------------------------------------------------------------------------------
// Data sources and links

class TDataLink {
public:
  TDataLink();
  virtual ~TDataLink();
  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const;
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  // Number of records the link shows (a grid: its rows). The dataset keeps a window of records
  // round the current one as large as its largest link asks.
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // The link's rows: how many hold a record now, and which one is the current record.
  int RecordCount() const;
  int ActiveRecord() const;
  // Makes row Value the record that the fields read (ActiveRecord: the current one again). A
  // control that reads other rows puts the current one back before it returns.
  void SetActiveRecord(int Value);
  // Asks the dataset to enter edit state; false when it cannot.
  bool Edit();
  void UpdateRecord();

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int /*Distance*/) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* /*Field*/) {}
  virtual void UpdateData() {}
  virtual void FocusControl(TField* /*Field*/) {}

private:
  friend class TDataSource;
  void DataEvent(TDataEvent Event, intptr_t Info);
  void SetActive(bool Value);
  void UpdateState();
  TDataSource* FDataSource = nullptr;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FUpdating = false;
};

class TDataSource : public TComponent {
  VM_CLASS(TDataSource, TComponent)
public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  TDataSetState State() const { return FState; }
  void Edit();

  TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnUpdateData;

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, intptr_t Info);
  void NotifyDataLinks(TDataEvent Event, intptr_t Info);
  void SetState(TDataSetState Value);
  void AddDataLink(TDataLink* L);
  void RemoveDataLink(TDataLink* L);
  TDataSet* FDataSet = nullptr;
  std::vector<TDataLink*> FDataLinks;
  TDataSetState FState = dsInactive;
  bool FEnabled = true;
  bool FAutoEdit = true;
};

// ---------------------------------------------------------------------------------------------
// The dataset

class TDataSet : public TComponent {
  VM_CLASS(TDataSet, TComponent)
public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // Opening and closing
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }
  TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
  void SetFieldDefs(TFieldDefs* Value);
  TFields& Fields() { return FFields; }
  int FieldCount() const { return FFields.Count(); }
  TField* FindField(const std::string& Name) const { return FFields.FindField(Name); }
  TField* FieldByName(const std::string& Name) const { return FFields.FieldByName(Name); }
  // Whether the fields were made from the definitions at opening (no persistent fields).
  bool DefaultFields() const { return FDefaultFields; }
  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
  bool ObjectView() const { return FObjectView; }
  void SetObjectView(bool Value) { FObjectView = Value; }

  // Navigation
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return Active() && FHasRecord == false && FState == dsBrowse; }
  void First();
  void Last();
  void Next();
  void Prior();
  // Steps Distance records (negative: back); returns the steps made.
  int MoveBy(int Distance);
  virtual int RecordCount();
  virtual int RecNo();
  virtual void SetRecNo(int Value);

  // Reads the records again from the storage (the current record stays when it still exists).
  void Refresh();

  // Editing
  virtual bool CanModify() { return true; }
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();
  void UpdateRecord();
  bool Modified() const { return FModified; }

  // Bookmarks
  TBookmark GetBookmark();
  void GotoBookmark(const TBookmark& Bookmark);
  TBookmark Bookmark() { return GetBookmark(); }
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
  virtual bool BookmarkValid(const TBookmark& Bookmark);
  virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);

  // Searching
  virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  virtual bool Locate(const std::string& KeyFields, const TVariantArray& KeyValues, TLocateOptions Options);
  // The value of ResultField in the record whose KeyFields equal KeyValues (null when none); the
  // current record stays and no control is told.
  virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultField);
  // The fields named in a list separated by ";" (raises "Field '%s' not found").
  void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;

  // Filtering
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value) { SetFilteredImpl(Value); }
  const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
  void SetOnFilterRecord(const TFilterRecordEvent& Value) { SetOnFilterRecordImpl(Value); }

  // Links
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }

  virtual TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);
  // Reads the value bytes of a field from the current buffer; false when it has no value.
  virtual bool GetFieldData(TField* Field, void* Buffer) = 0;
  // Writes them (nullptr: no value).
  virtual void SetFieldData(TField* Field, const void* Buffer) = 0;
  // The active record buffer (nullptr when there is none).
  TRecordBuffer ActiveBuffer() const {
    if (FDisplayBuffer) return FDisplayBuffer;
    return FHasRecord || FState == dsInsert || FState == dsEdit ? FBuffer : nullptr;
  }

  // The record window: the records round the current one that data-aware controls show at once
  // (a grid's rows), as many as the largest BufferCount of the links. The current record keeps
  // its row while it moves inside the window; leaving it scrolls the window just enough. An
  // inserted record takes the current record's row (appended: the last row), the rows after it
  // move down. The window is read again when it is next asked for after a change.
  int WindowSize();
  int WindowRecordCount();
  int ActiveRecord();
  // Fields read row Index of the window (-1 or the active row: the current record again).
  void SetDisplayRecord(int Index);
  void InvalidateRecordWindow() {
    FWindowValid = false;
    FDisplayBuffer = nullptr;
  }
  virtual bool IsSequenced() { return true; }
  virtual bool IsIndexField(TField* /*Field*/) { return false; }

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;
  TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;

  // Used by fields and blob streams.
  void DataEvent(TDataEvent Event, intptr_t Info);
  int CalcFieldsSize() const { return FCalcFieldsSize; }
  int BookmarkSize() const { return FBookmarkSize; }

protected:
  // Record storage, supplied by the concrete dataset.
  virtual TRecordBuffer AllocRecordBuffer() = 0;
  virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
  virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
  virtual int GetRecordSize() = 0;
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() = 0;
  virtual void InternalInitFieldDefs() = 0;
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append) = 0;
  virtual void InternalDelete() = 0;
  virtual void InternalPost() = 0;
  virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;
  virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;
  virtual void InternalGotoBookmark(const void* Bookmark) = 0;
  virtual void GetBookmarkData(TRecordBuffer Buffer, void* Data) = 0;
  virtual void SetBookmarkData(TRecordBuffer Buffer, const void* Data) = 0;
  virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
  virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;
  virtual void InternalHandleException();
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  virtual void InternalCancel() {}
  virtual void InternalRefresh() {}
  virtual void InitRecord(TRecordBuffer Buffer);
  virtual void ClearCalcFields(TRecordBuffer /*Buffer*/) {}
  virtual void CloseBlob(TField* /*Field*/) {}
  virtual void SetFilteredImpl(bool Value) { FFiltered = Value; }
  virtual void SetOnFilterRecordImpl(const TFilterRecordEvent& Value) { FOnFilterRecord = Value; }
  virtual void DoOnNewRecord();

  // Framework services for concrete datasets.
  void CheckActive() const;
  void CheckInactive() const;
  void SetState(TDataSetState Value);
  // Enters a temporary state (calculated fields, filter); returns the previous one.
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);
  void CreateFields();
  void DestroyFields();
  void BindFields(bool Binding);
  // Computes the calculated fields of a buffer (OnCalcFields in the calc-fields state).
  void GetCalcFields(TRecordBuffer Buffer);
  void ClearBuffers();
  // Refetches the current record (after posting, deleting, sorting...).
  void Resync();
  // Puts the storage's cursor on the active record.
  void UpdateCursorPos();
  // Recreates the record buffers (the buffer list is freed and allocated again).
  void SetBufferCount(int Value);
  int BufferCount() const { return FBufferCount; }
  TRecordBuffer TempBuffer() const { return FTempBuffer; }
  TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
  void SetCalcBuffer(TRecordBuffer Value) { FCalcBuffer = Value; }
  bool HasActiveRecord() const { return FHasRecord; }
  void SetBofEof(bool Bof, bool Eof) {
    FBof = Bof;
    FEof = Eof;
  }
  void SetBookmarkSize(int Value) { FBookmarkSize = Value; }
  bool HasPersistentFields() const { return FFields.Count() > 0 && !FDefaultFields; }
  // Rebuilds the definitions from the persistent fields.
  void InitFieldDefsFromFields();
  void DoBeforeScroll() {
    if (BeforeScroll) BeforeScroll(this);
  }
  void DoAfterScroll() {
    if (AfterScroll) AfterScroll(this);
  }
  void CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent);
  // The class of field made for a definition's type; nullptr for unsupported types.
  virtual TField* CreateFieldForType(TFieldType Type);

private:
  friend class TField;
  friend class TDataSource;
  void OpenCursor();
  void CloseCursor();
  void AllocateBuffers();
  void FreeBuffers();
  void FreeFieldBuffers();
  void AddField(TField* Field);
  void RemoveField(TField* Field);
  void AddDataSource(TDataSource* S);
  void RemoveDataSource(TDataSource* S);
  bool FetchInto(TGetMode Mode);
  void BeginInsertAppend();
  void EndInsertAppend();
  void RefreshRecordWindow();
  void FreeWindowBuffers();

  TDataSetState FState = dsInactive;
  std::unique_ptr<TFieldDefs> FFieldDefs;
  TFields FFields;
  std::vector<TDataSource*> FDataSources;
  TRecordBuffer FBuffer = nullptr;      // the active record
  TRecordBuffer FTempBuffer = nullptr;  // filter state and scratch
  TRecordBuffer FCalcBuffer = nullptr;
  int FBufferCount = 0;
  int FCalcFieldsSize = 0;
  int FBookmarkSize = 0;
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  bool FHasRecord = false;
  bool FBof = true;
  bool FEof = true;
  bool FFiltered = false;
  bool FModified = false;
  bool FDefaultFields = false;
  bool FAutoCalcFields = true;
  bool FObjectView = false;
  bool FInternalCalcFields = false;
  TFilterRecordEvent FOnFilterRecord;
  // The record window.
  std::vector<TRecordBuffer> FWindowBuffers;  // owned, the rows other than the current one
  std::vector<TRecordBuffer> FRows;           // the rows, FBuffer among them
  TRecordBuffer FDisplayBuffer = nullptr;     // the row the fields read instead of FBuffer
  int FActiveRow = 0;
  int FLastRecNo = 0;
  bool FWindowValid = false;
};
