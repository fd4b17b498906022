// The lookup editor: a drop-down editor for a dataset lookup field. The cell shows the text of
// the looked-up record, the drop-down lists the records of the lookup dataset, typing searches
// that dataset incrementally, and choosing a record writes its key into the edited record's key
// field. Without a lookup field it lists a data source of its own (list-source mode).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "inspector/vm_dropdown.h"
#include "platform/dataset.h"

class TvmInplaceLookupEdit;

// The popup list of a lookup editor: a data-aware list of its list source's records. Each row
// shows the list fields (ListField, names separated by ";") side by side, with the record's key
// beside it. The list follows the dataset while it is shown: changed, added and deleted records
// show at once, and when the dataset moves to another record, that record's row is selected.
class TPopupDBLookupListBox : public TvmPopupListBox {
  VM_CLASS(TPopupDBLookupListBox, TvmPopupListBox)
public:
  explicit TPopupDBLookupListBox(TComponent* AOwner);
  ~TPopupDBLookupListBox() override;
  std::string KeyField;
  std::string ListField;
  int RowCount = 7;
  TDataSource* ListSource() const;
  // Attaches the list to the source and reads its records (the dataset's current record stays);
  // a field name the dataset lacks raises the framework's field-not-found error.
  void SetListSource(TDataSource* Value);
  Variant KeyValue() const;
  void SetKeyValue(const Variant& Value);
  int RecordCount() const { return static_cast<int>(FKeys.size()); }
  const Variant& KeyAt(int Index) const { return FKeys[static_cast<size_t>(Index)]; }
  // The shown list fields and a row's text of one of them.
  int ListFieldCount() const { return static_cast<int>(FColumnChars.size()); }
  std::string CellText(int Row, int Column) const;
  // The left edge of each list field's column in a list Width pixels wide.
  std::vector<int> ColumnLefts(int Width);

protected:
  void PaintClient() override;

private:
  class TListLink;
  friend class TListLink;
  void ReadRecords(bool FollowDataSet);
  void FollowCurrent();

  std::unique_ptr<TListLink> FLink;
  std::vector<Variant> FKeys;
  std::vector<TBookmark> FMarks;
  std::vector<std::vector<std::string>> FCells;  // per row, per list field
  std::vector<int> FColumnChars;                 // each list field's display width
  std::vector<std::string> FFieldNames;
  Variant FPendingKey;
  TBookmark FSeen;  // the dataset's current record when the rows were read
  bool FReading = false;
};

// Follows the list data source of a lookup editor.
class TvmListSourceLink : public TDataLink {
public:
  explicit TvmListSourceLink(TvmInplaceLookupEdit* AEdit) : FEdit(AEdit) {}
  void Detach() { FEdit = nullptr; }

protected:
  void ActiveChanged() override;
  void LayoutChanged() override;
  void DataSetChanged() override;

private:
  TvmInplaceLookupEdit* FEdit;
};

using TvmLookupCloseUpHook = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

class TvmInplaceLookupEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplaceLookupEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplaceLookupEdit(TComponent* AOwner);
  ~TvmInplaceLookupEdit() override;

  bool CanDeleteText() const { return FCanDeleteText; }
  void SetCanDeleteText(bool Value) { FCanDeleteText = Value; }
  uint16_t ClearKey() const { return FClearKey; }
  void SetClearKey(uint16_t Value) { FClearKey = Value; }
  TField* Field() const { return FField; }
  void SetField(TField* Value);
  const std::string& ListFieldName() const { return FListFieldName; }
  void SetListFieldName(const std::string& Value) { FListFieldName = Value; }
  const std::string& KeyFieldSpec() const { return FKeyFieldSpec; }
  void SetKeyFieldSpec(const std::string& Value);
  TDataSource* ListSource() const;
  void SetListSource(TDataSource* Value);
  const Variant& KeyValue() const { return FKeyValue; }
  bool LookupFieldMode() const { return FLookupFieldMode; }
  void SetLookupFieldMode(bool Value);
  bool SearchRunning() const { return FSearchRunning; }
  const std::string& TypedPrefix() const { return FTypedPrefix; }
  TPopupDBLookupListBox* PopupList() const { return FList; }
  TvmLookupCloseUpHook LookupCloseUpHook;

  // The edited field, the field of the edited dataset that takes the key, and the list field.
  TField* EditedField() const { return FField; }
  TField* DataKeyField() const;
  TField* ListFieldObject() const;

  virtual void ClearValue();
  virtual void ListDataSetChanged() {}
  virtual bool SetLookupValue(const Variant& Value);
  virtual void ListLinkChanged();
  void StoreKeyValue(const Variant& Value);
  void ResetSearch();
  bool CanDropDown() const;
  std::string GetLookupDisplayText(bool FromList);
  std::string GetListDisplayText(const Variant& Key);

  void SetEditValue(const Variant& Value) override;
  void ReadBindingProperties() override;
  void SetActive(bool Value) override;
  bool IsEditable() const override { return false; }
  bool IsBindingReadOnly() const override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DropDown() override;
  void CloseUp(bool Accept) override;
  void StepValue(int Delta, bool Cycle) override;
  void FindListText(const std::string& Text) override;

  // Keys and characters as the user types them (tests and the owning row call these).
  void LookupKeyDown(uint16_t& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void LookupKeyPress(char& Key) { KeyPress(Key); }

protected:
  void DoSetReadOnly(bool Value) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void PrepareList();
  void SearchStep();
  bool SearchContext(TDataSet*& DataSet, std::string& FieldName, TField*& Field, std::string& KeyFields) const;
  bool WholeTextSelected() const;

  bool FCanDeleteText = false;
  uint16_t FClearKey = 0;
  TPopupDBLookupListBox* FList = nullptr;
  TField* FField = nullptr;
  bool FSearchRunning = false;
  std::string FTypedPrefix;
  std::string FKeyFieldSpec;
  std::string FListFieldName;
  std::unique_ptr<TvmListSourceLink> FListLink;
  bool FCacheValid = false;
  std::string FCacheText;
  Variant FKeyValue;
  bool FLookupFieldMode = true;
  std::unique_ptr<TDataSource> FOwnSource;
  bool FSearchLock = false;
};

// The inspector's lookup editor: the lookup editor without changes.
class TvmInspectorLookupEdit : public TvmInplaceLookupEdit {
  VM_CLASS(TvmInspectorLookupEdit, TvmInplaceLookupEdit)
public:
  using TvmInplaceLookupEdit::TvmInplaceLookupEdit;
};
