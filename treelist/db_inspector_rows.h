// Field-bound inspector rows: rows whose value is a field of a dataset. Each row kind of the
// inspector has a field-bound twin that names its field by FieldName, shows its display text,
// edits its text and reports its caption, size, edit mask, read-only state and valid characters.
// They take their field from a data-aware inspector (TvmDBInspector); in any other inspector
// they have no field.
#pragma once

#include <memory>
#include <string>

#include "inspector/vm_inspector.h"
#include "inspector/vm_inspector_rows.h"
#include "platform/dataset.h"
#include "treelist/db_lookup_edit.h"

class TvmDBInspector;

// The inspector of one record of a dataset: its rows read and write the fields of the current
// record, and it repaints when the record changes or moves.
class TvmDBInspector : public TvmInspector {
  VM_CLASS(TvmDBInspector, TvmInspector)
public:
  explicit TvmDBInspector(TComponent* AOwner);
  ~TvmDBInspector() override;
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDataLink* DataLink() const { return FDataLink.get(); }
  TDataSet* DataSet() const { return FDataLink->DataSet(); }
  // Hands every field-bound row its field again (the dataset opened or closed).
  void RebindRows();
  // With AutoCreateRows the inspector makes its rows itself: one row per visible field of the
  // dataset, of the class registered for the field's type (GetDefaultRowClassForField), made
  // again whenever the dataset opens or its fields change, as long as the rows are the ones it
  // made. Off by default: the rows are the program's.
  bool AutoCreateRows() const { return FAutoCreateRows; }
  void SetAutoCreateRows(bool Value);
  // Replaces the rows with one row per visible field of the dataset (none when it is closed).
  void CreateFieldRows();

private:
  class TLink;
  void DataLinkChanged();
  std::unique_ptr<TDataLink> FDataLink;
  bool FAutoCreateRows = false;
  int FAutoRowCount = -1;  // the number of rows the inspector made itself, -1: none
};

// The field binding every field-bound row repeats.
template <class Base>
class TvmFieldRow : public Base {
public:
  using Base::Base;
  TField* GetField() const { return FField; }
  const std::string& GetFieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Name);
  const std::string& FieldName() const { return FFieldName; }
  void SetDataObject(TField* Data) { FField = Data; }
  // The row has a data-aware inspector whose link is active.
  bool DataActive() const;
  TDataSet* RowDataSet() const;

  void GetDisplayText(std::string& S) override;
  void GetEditText(std::string& S) override;
  void SetEditText(const std::string& S) override;
  int GetDataMaxLength() override { return FieldMaxLength(); }
  int GetDefaultMaxLength() override { return FieldMaxLength(); }
  void GetDataEditMask(std::string& S) override;
  void GetDefaultCaption(std::string& S) override { S = FField ? FField->DisplayName() : FFieldName; }
  bool GetDefaultReadOnly() override { return FField && FField->ReadOnly(); }
  bool CanModify() override { return FieldCanModify(true); }
  bool IsValidChar(char Key) override { return DataActive() && FField && FField->IsValidChar(Key); }
  void Assign(TPersistent* Source) override;

protected:
  int FieldMaxLength() const {
    return FField && (FField->DataType() == ftString || FField->DataType() == ftWideString) ? FField->Size() : 0;
  }
  bool FieldCanModify(bool BlobClause);
  // Puts the record into edit state before a value is written.
  bool BeginFieldEdit();

  TField* FField = nullptr;
  std::string FFieldName;
};

// The key-field check: the field's key fields exist and can all be modified.
bool KeyFieldsCanModify(TField* Field);

#define VM_DB_ROW(Name, Base)             \
  class Name : public TvmFieldRow<Base> { \
    VM_CLASS(Name, Base)                  \
  public:                                 \
    using TvmFieldRow<Base>::TvmFieldRow; \
  };

class TvmInspectorDBRow : public TvmFieldRow<TvmInspectorRow> {
  VM_CLASS(TvmInspectorDBRow, TvmInspectorRow)
public:
  using TvmFieldRow<TvmInspectorRow>::TvmFieldRow;
  TvmInplaceEditClass GetEditClass() override { return TvmInplaceTextEdit::StaticClass(); }
};

class TvmInspectorDBMaskRow : public TvmFieldRow<TvmInspectorMaskRow> {
  VM_CLASS(TvmInspectorDBMaskRow, TvmInspectorMaskRow)
public:
  using TvmFieldRow<TvmInspectorMaskRow>::TvmFieldRow;
  std::string GetDefaultEditMask() const override { return FField ? FField->EditMask() : std::string(); }
};

class TvmInspectorDBDateRow : public TvmFieldRow<TvmInspectorDateRow> {
  VM_CLASS(TvmInspectorDBDateRow, TvmInspectorDateRow)
public:
  using TvmFieldRow<TvmInspectorDateRow>::TvmFieldRow;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  bool IsValueUnchanged(const Variant& Value) override;
  bool IsValueRequired() const override { return FField && FField->Required(); }
};

class TvmInspectorDBTimeRow : public TvmFieldRow<TvmInspectorTimeRow> {
  VM_CLASS(TvmInspectorDBTimeRow, TvmInspectorTimeRow)
public:
  using TvmFieldRow<TvmInspectorTimeRow>::TvmFieldRow;
  void GetEditText(std::string& S) override;
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  bool IsValueUnchanged(const Variant& Value) override;
};

// The value range a field offers to spin and currency rows: an integer field's MinValue and
// MaxValue; a float field's rounded to its Precision significant digits; 0 otherwise.
double FieldLimit(TField* Field, bool Max);

class TvmInspectorDBSpinRow : public TvmFieldRow<TvmInspectorSpinRow> {
  VM_CLASS(TvmInspectorDBSpinRow, TvmInspectorSpinRow)
public:
  using TvmFieldRow<TvmInspectorSpinRow>::TvmFieldRow;
  double GetDefaultMinValue() const override { return FieldLimit(FField, false); }
  double GetDefaultMaxValue() const override { return FieldLimit(FField, true); }
  TvmValueType GetValueType() const override {
    return FField && (dynamic_cast<TFloatField*>(FField) || FField->DataType() == ftBCD) ? vtFloat : vtInt;
  }
};

class TvmInspectorDBCurrencyRow : public TvmFieldRow<TvmInspectorCurrencyRow> {
  VM_CLASS(TvmInspectorDBCurrencyRow, TvmInspectorCurrencyRow)
public:
  using TvmFieldRow<TvmInspectorCurrencyRow>::TvmFieldRow;
  bool IsValidChar(char Key) override;
  Variant GetCurrencyValue() override { return FField ? FField->Value() : Variant(0); }
  double GetDefaultMinValue() const override { return FieldLimit(FField, false); }
  double GetDefaultMaxValue() const override { return FieldLimit(FField, true); }
  // The published Nullable and NullString of the row.
  bool GetNullable() const { return Nullable; }
  void SetNullable(bool Value) { Nullable = Value; }
  const std::string& GetNullString() const { return NullString; }
  void SetNullString(const std::string& Value) { NullString = Value; }
};

class TvmInspectorDBMemoRow : public TvmFieldRow<TvmInspectorMemoRow> {
  VM_CLASS(TvmInspectorDBMemoRow, TvmInspectorMemoRow)
public:
  using TvmFieldRow<TvmInspectorMemoRow>::TvmFieldRow;
  void GetEditText(std::string& S) override;
  bool CanModify() override { return FieldCanModify(false); }
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
};

// The blob row over a field: the popup and the cell read the field's value and write it back.
class TvmInspectorBlobRow : public TvmFieldRow<TvmInspectorCustomBlobRow> {
  VM_CLASS(TvmInspectorBlobRow, TvmInspectorCustomBlobRow)
public:
  using TvmFieldRow<TvmInspectorCustomBlobRow>::TvmFieldRow;
  bool CanModify() override { return FieldCanModify(false); }
  // The editing kind the blob popup takes for the field (its BlobKind, or by the field's type).
  TvmBlobEditKind GetBlobEditKind() override;
  void GetBlobValue(Variant& Value) override { Value = FField ? FField->Value() : Variant(std::string()); }
  void LoadEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
};

// The graphic row over a field: the cell paints the field's picture, the editor writes it back.
class TvmInspectorDBGraphicRow : public TvmFieldRow<TvmInspectorGraphicRow> {
  VM_CLASS(TvmInspectorDBGraphicRow, TvmInspectorGraphicRow)
public:
  using TvmFieldRow<TvmInspectorGraphicRow>::TvmFieldRow;
  bool CanModify() override { return FieldCanModify(false); }
  Variant GetPictureValue() override { return FField ? FField->Value() : Variant(std::string()); }
  void ApplyEditValue(TvmInplaceEdit* Edit, Variant& Value) override;
};

VM_DB_ROW(TvmInspectorDBCheckRow, TvmInspectorCheckRow)
VM_DB_ROW(TvmInspectorDBCalcRow, TvmInspectorCalcRow)
VM_DB_ROW(TvmInspectorDBButtonRow, TvmInspectorButtonRow)
VM_DB_ROW(TvmInspectorDBPickRow, TvmInspectorPickRow)
VM_DB_ROW(TvmInspectorDBImageRow, TvmInspectorImageRow)
VM_DB_ROW(TvmInspectorDBHyperLinkRow, TvmInspectorHyperLinkRow)
VM_DB_ROW(TvmInspectorDBPopupRow, TvmInspectorPopupRow)
VM_DB_ROW(TvmInspectorDBMRURow, TvmInspectorMRURow)
#undef VM_DB_ROW

using TvmInspectorPickColumnCloseUp = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

// The lookup-field row: the lookup editor over the field.
class TvmInspectorLookupRow : public TvmFieldRow<TvmInspectorDropDownRow> {
  VM_CLASS(TvmInspectorLookupRow, TvmInspectorDropDownRow)
public:
  using TvmFieldRow<TvmInspectorDropDownRow>::TvmFieldRow;
  uint16_t ClearKey = 0;
  std::string ListFieldName;
  int ListFieldIndex = 0;
  bool CanDeleteText = false;
  TvmInspectorPickColumnCloseUp OnCloseUp;
  int ListWidth() const { return DropDownWidth; }
  void SetListWidth(int Value) { DropDownWidth = Value; }
  TvmInplaceEditClass GetEditClass() override { return TvmInspectorLookupEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Edit) override;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;
};

// The row classes a data-aware inspector makes for a dataset's fields, by field type and for
// lookup fields, each with the priority of its proposal.
struct TvmDefaultRowClass {
  TvmInspectorRowClass RowClass = nullptr;
  int Priority = 0;
};
// The registered class for a field (its lookup entry for a lookup field).
TvmInspectorRowClass GetDefaultRowClassForField(TField* Field);
const TvmDefaultRowClass& DefaultRowClassEntry(TFieldType Type, bool Lookup);
// Offers each entry to Proposal, which may replace the class with a higher priority.
void RegisterDefaultRowClasses(
    const std::function<void(TFieldType Type, bool Lookup, TvmDefaultRowClass& Entry)>& Proposal);
// Start-up: the row classes with the class registry and their entries in the default table;
// shutdown: the table back to its first state.
void RegisterDBInspectorRows();
void ResetDefaultRowClasses();
