// The data-aware tree list: columns bound to the fields of a dataset, the abstract data-aware
// control (field map, editing, inserting and searching through the dataset, a selection list of
// nodes, summaries), and the concrete tree list that builds its node tree from a key field and a
// parent-key field and follows the dataset both ways.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/dataset.h"
#include "treelist/tl_control.h"

class TCustomvmDBTreeListControl;
class TvmDBTreeListNode;

// String-table texts of the data-aware tree list.
extern const char* const SvmDBConfirm;           // 38803 "Confirm"
extern const char* const SvmDBDeleteRecord;      // 38804 "Delete record?"
extern const char* const SvmDBDeleteSelected;    // 38805 "Delete all selected records?"
extern const char* const SvmDBDefaultFieldsSet;  // 38811 "DefaultFields property should be set to False"

enum TvmSummaryType { cstNone, cstSum, cstMin, cstMax, cstCount, cstAvg };

// A node's value of one column, kept beside its cell text.
struct TNodeVariantData {
  bool ValueAssigned = false;
  bool LookupAssigned = false;
  Variant Value;
  Variant LookupResult;
};

// The summary text of a footer (Form 1) or of a group row (Form 0).
std::string FormatSummaryText(TvmSummaryType SummaryType, const std::string& Fmt, TFieldType DataType, int Form,
                              long double Value);

// A stand-alone mask editor a column makes for typing a filter.
class TCustomvmFilterEdit : public TvmInplaceMaskEdit {
  VM_CLASS(TCustomvmFilterEdit, TvmInplaceMaskEdit)
public:
  using TvmInplaceMaskEdit::TvmInplaceMaskEdit;
  static bool IsInplace() { return false; }
};

class TvmInplaceDBTreeListMaskEdit : public TvmInplaceMaskEdit {
  VM_CLASS(TvmInplaceDBTreeListMaskEdit, TvmInplaceMaskEdit)
public:
  using TvmInplaceMaskEdit::TvmInplaceMaskEdit;
};

class TvmDBTreeListColumn;
using TColumnGetText = std::function<void(TObject* Sender, TvmTreeListNode* ANode, std::string& AText)>;
using TCustomDrawEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TvmTreeListNode* ANode,
                                            TvmDBTreeListColumn* AColumn, const std::string& AText, TFont* AFont,
                                            TColor& AColor, bool ASelected, bool AFocused, bool& ADone)>;
using TCustomDrawHeaderEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect& ARect, TvmDBTreeListColumn* AColumn, bool& ADone)>;
using TvmSummaryEvent = std::function<void(TObject* Sender, TDataSet* DataSet, long double& Value)>;
using TvmDrawSummaryFooter = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, std::string& AText,
                                                TAlignment& AAlignment, TFont* AFont, TColor& AColor, bool& ADone)>;

// A column bound to a dataset field by name.
class TvmDBTreeListColumn : public TvmTreeListColumn {
  VM_CLASS(TvmDBTreeListColumn, TvmTreeListColumn)
public:
  explicit TvmDBTreeListColumn(TComponent* AOwner);
  ~TvmDBTreeListColumn() override;

  bool DisableGrouping() const { return FDisableGrouping; }
  void SetDisableGrouping(bool Value);
  const std::string& FieldName() const { return FFieldName; }
  virtual void SetFieldName(const std::string& Name);
  TField* Field() const { return FField; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  TvmSummaryType SummaryFooterType() const { return FSummaryFooterType; }
  void SetSummaryFooterType(TvmSummaryType Value);
  std::string SummaryFooterFormat;
  std::string SummaryFooterField;
  TField* SummarySourceField = nullptr;
  long double SummaryValue = 0;
  bool SummaryValid = false;

  TColumnGetText OnGetText;
  TvmSummaryEvent OnSummaryFooter;
  TCustomDrawEvent OnCustomDraw;
  TCustomDrawHeaderEvent OnCustomDrawHeader;
  TvmDrawSummaryFooter OnDrawSummaryFooter;

  // The data-aware control the column belongs to (an invalid-cast error in another tree list).
  TCustomvmDBTreeListControl* DBControl() const;

  virtual bool StoresNodeValue() const { return false; }
  virtual void LoadNodeValue(TvmTreeListNode* Node);
  TCustomvmFilterEdit* CreateFilterEdit(TComponent* Owner);
  virtual TvmInplaceEditClass GetFilterEditClass() const { return TCustomvmFilterEdit::StaticClass(); }
  virtual void GetFilterEditValue(TvmInplaceMaskEdit* Control, Variant& Value, std::string& Text);
  virtual void SetFilterEditValue(TvmInplaceMaskEdit* Edit, const Variant& Value);
  virtual void GetNodeCellValue(TvmTreeListNode* Node, Variant& Value);
  virtual void GetNodeCellValueText(TvmTreeListNode* Node, Variant& Value, std::string& Text);
  virtual void ConvertCellText(const std::string& S, std::string& Text) { Text = S; }
  virtual void GetSummaryFooterText(std::string& Text);
  virtual void VariantToText(const Variant& Value, std::string& Text) { Text = Value.AsString(); }
  virtual int GetValueVarType() const;
  virtual bool EditsFieldValue() const { return false; }
  virtual bool IsFieldValueEqual(const Variant& Value);
  virtual void InitFilterEdit(TvmInplaceMaskEdit* Edit);
  virtual bool CanEditAcceptKey(char Key);
  // Writes the editor's text into the field; Value becomes the node's cell value.
  virtual void ApplyEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Edit, Variant& Value);
  // Loads the field's text into the editor.
  virtual void LoadEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Control, Variant& Value);

  void GetDisplayText(TvmTreeListNode* Node, std::string& Text) override;
  int GetDefaultWidth() const override;
  std::string GetDefaultCaption() const override;
  TAlignment GetDefaultAlignment() const override;
  virtual int GetDefaultMaxLength() const;
  virtual bool GetDefaultReadOnly() const;
  bool IsCustomDrawAssigned() const override {
    return TvmTreeListColumn::IsCustomDrawAssigned() || static_cast<bool>(OnCustomDraw);
  }
  // Best fit measures the row's own text.
  int GetBestFitWidth(TCanvas* Canvas, TvmTreeListNode* Node) override;
  // OnCustomDraw first; the tree list column's own drawing event when it left the cell undone.
  void DoCustomDrawCell(TvmTreeListDrawInfo& Info) override;
  void SetIndex(int NewIndex) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

  // Re-resolves the field from the control's dataset (the dataset opened or closed).
  void ResolveField();
  // A rename tells the control (ColumnRenamed), except while the control renames its columns.
  void SetName(const std::string& NewName) override;

protected:
  bool FDisableGrouping = false;
  std::string FFieldName;
  TField* FField = nullptr;
  int FGroupIndex = -1;
  TvmSummaryType FSummaryFooterType = cstNone;

private:
  friend class TCustomvmDBTreeListControl;
  bool FQuietRename = false;
};

class TvmDBTreeListMaskColumn : public TvmDBTreeListColumn {
  VM_CLASS(TvmDBTreeListMaskColumn, TvmDBTreeListColumn)
public:
  using TvmDBTreeListColumn::TvmDBTreeListColumn;
  std::string EditMask() const;
  void SetEditMask(const std::string& Value);
  bool EditMaskStored() const;
  bool IgnoreMaskBlank = false;

  TvmInplaceEditClass GetEditClass() const override { return TvmInplaceDBTreeListMaskEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Editor) override;
  void ApplyEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Edit, Variant& Value) override;
  void LoadEditValue(TvmTreeListNode* Node, TvmInplaceEdit* Control, Variant& Value) override;
  bool IsFieldValueEqual(const Variant& Value) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;

private:
  std::string FEditMask;
  bool FEditMaskAssigned = false;
};

// The node of the data-aware tree list: the key of its record, its parent key, its bookmark, its
// preview text and one value record per column.
class TvmDBTreeListNode : public TvmTreeListTextNode {
public:
  explicit TvmDBTreeListNode(TCustomvmTreeList* AOwner) : TvmTreeListTextNode(AOwner) {}
  Variant KeyValue;
  Variant ParentValue;
  TBookmark Bookmark;
  std::string PreviewText;
  std::vector<TNodeVariantData> Values;  // by column data index
  std::string IndexKey;                  // the key as indexed ("" when not indexed)
  std::string WaitingFor;                // the parent key this root node waits for ("" when none)
  int32_t LoadIndex = -1;                // its place in the records while the whole tree is read
};

// The link of a data-aware tree list to its data source.
class TvmDBTreeListDataLink : public TDataLink {
public:
  explicit TvmDBTreeListDataLink(TCustomvmDBTreeListControl* AOwner) : FOwner(AOwner) {}
  TCustomvmDBTreeListControl* Owner() const { return FOwner; }
  // The field map: dataset field indexes (-1: a name without a field).
  std::vector<int> FieldMap;
  TField* MapField(int Index) const;
  bool RecordModified = false;
  void StoreEditorData() { UpdateRecord(); }

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void EditingChanged() override;
  void UpdateData() override;

private:
  TCustomvmDBTreeListControl* FOwner;
};

using TvmGetEditColorEvent =
    std::function<void(TObject* Sender, TvmTreeListNode* Node, TColor& Color, TvmDBTreeListColumn* Column)>;

// The abstract data-aware tree list.
class TCustomvmDBTreeListControl : public TCustomvmTreeListControl {
  VM_CLASS(TCustomvmDBTreeListControl, TCustomvmTreeListControl)
public:
  explicit TCustomvmDBTreeListControl(TComponent* AOwner);
  ~TCustomvmDBTreeListControl() override;

  const std::string& NodeKeyFieldName() const { return FNodeKeyFieldName; }
  TField* NodeKeyField() const { return FNodeKeyField; }
  const std::string& PreviewDataFieldName() const { return FPreviewDataFieldName; }
  void SetPreviewDataFieldName(const std::string& Value);
  TField* PreviewDataField() const { return FPreviewDataField; }
  int PreviewTextLimit = 0;
  int IndicatorColumnWidth = 12;
  Variant EditingValue;
  TvmGetEditColorEvent OnGetEditColor;
  TNotifyEvent OnFocusedRecordChanged;

  // Answered by the concrete control.
  virtual TvmDBTreeListDataLink* GetDataLink() const = 0;
  virtual TDataSource* GetDataSource() const = 0;
  virtual bool IsDefaultFields() const = 0;
  virtual bool IsCancelOnExit() const { return true; }
  virtual bool IsInsertAllowed() const = 0;
  virtual bool IsEditAllowed() const = 0;
  virtual bool IsNodeRangeSelection() const { return false; }
  virtual bool IsDataReadOnly() const = 0;
  virtual bool IsNodeSearch() const = 0;
  virtual bool IsFocusRangeSelection() const = 0;
  virtual void SetDataChangeLock(bool Value) = 0;

  TDataSet* DataSet() const;
  virtual void EditingValueCheck();
  virtual void EndEditing();
  virtual void ColumnFieldNameChanged(TvmDBTreeListColumn* Column) {}
  virtual void SetColumnGroupIndex(TvmDBTreeListColumn* Column, int Index) {}
  virtual void ResetSummaries();
  virtual void ColumnRenamed(const std::string& OldName, const std::string& NewName) {}
  virtual void LoadNodeValue(TvmTreeListNode* Node, TvmDBTreeListColumn* Column);
  virtual void LoadNodeFromRecord(TvmTreeListNode* Node);
  TvmDBTreeListColumn* CreateColumnOfClass(const TComponentMetaClass* ColumnClass);
  virtual void BuildFieldMap();
  virtual void FocusedRecordChanged();
  bool IsDataSetEmpty() const;
  // Raises "DefaultFields property should be set to False" while the columns follow the fields.
  TvmDBTreeListColumn* CreateColumn(const TComponentMetaClass* ColumnClass = nullptr, TComponent* Owner = nullptr);
  void CreateColumnsFromDataSet(TDataSet* DataSet, TComponent* Owner);
  void DestroyColumns();
  void LayoutRefresh() { LayoutChanged(); }
  virtual const TComponentMetaClass* GetDefaultColumnClass() const { return TvmDBTreeListColumn::StaticClass(); }
  virtual const TComponentMetaClass* GetColumnClassForField(TField*) const {
    return TvmDBTreeListColumn::StaticClass();
  }
  // Rebuilds the columns from the dataset (default fields) or re-resolves their fields.
  virtual void RefreshContent();
  TvmDBTreeListColumn* DBColumn(int Index) const;

  // Overrides of the tree list.
  TvmTreeListNode* CreateNode() override;
  bool CanEditModify() override;
  bool CanEditAcceptKey(char Key) override;
  bool IsReadOnly() override;
  // The editor's colour, which OnGetEditColor may change for the focused node and column.
  TColor GetEditColor() override;
  void DoEditing(TvmTreeListNode* Node, bool& Allow) override;
  void NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next, bool WasLast,
                   bool WasVisible) override;
  void RemoveColumnValue(TvmTreeListNode* Node, int Index) override;
  bool FocusNodeForCollapse(TvmTreeListNode* Node) override;
  void GetEditingCellText(int Index, std::string& S);
  std::string GetEditingCellText(int Column) override;
  // A row shows its own record's text, kept in the node (the column's display text is the
  // dataset's current record's).
  std::string GetCellText(TvmTreeListNode* Node, int Column) override;
  bool IsInsertingNode() const;
  int GetIndicatorKind(TvmTreeListNode* Node, bool Selected) override;
  // Sorting starts over: grouped columns keep their direction, the others lose theirs.
  void SortingChanged() override;
  // With automatic sorting a column that is not grouped and not added to a multi-column sort
  // replaces the earlier sort.
  void BeforeColumnSort(TvmTreeListColumn* Column) override;
  bool HasFooterCell(TvmDBTreeListColumn* Column) const { return Column->SummaryFooterType() != cstNone; }
  // Footer cells: a column with a summary type has one, showing its summary.
  bool HasFooterCell(int Column) override;
  void GetFooterCellText(TvmTreeListNode* Node, int Column, std::string& Text, int FooterIndex) override;
  // Computes a column's summary when it is not valid (the concrete control's way).
  virtual void ComputeSummary(TvmDBTreeListColumn* Column) {}
  // Header, cell and footer drawing: the columns' own events first.
  bool IsHeaderDrawAssigned(int Column) override;
  void DoDrawColumnHeader(TvmTreeListDrawInfo& Info) override;
  bool IsFooterDrawAssigned(TvmTreeListNode* Node, int Column, int FooterIndex) override;
  void DoDrawFooterCell(TvmTreeListDrawInfo& Info) override;
  // A record being edited is posted before a node drag starts.
  void DoNodeDragStart(TvmTreeListNode* Node) override;
  bool CanDragScroll() const;
  void ApplyEditorValue(TvmTreeListNode* Node, int Column, TvmInplaceEdit* Editor, Variant& Value) override;
  bool IsReadyForEditing() override;
  void DoInsert(bool& Done);
  void InsertRecord() {
    bool d = false;
    DoInsert(d);
  }
  void GetEditorValue(TvmTreeListNode* Node, TvmInplaceEdit* Editor, Variant& Value) override;
  int CompareNodes(TvmTreeListNode* Node1, TvmTreeListNode* Node2) override;
  // The incremental search over the dataset (Direction 0 forward from the current record, 1
  // backward from the previous one, 2 forward from the next one); the dataset stays on a match.
  bool LocateRecord(int Column, const std::string& Text, int Direction);
  bool IsLive(TvmTreeListNode* Node) const;
  // Only shown rows carry row metrics: a change of one record resets those, not every node.
  void ResetNodeMetrics() override;

  // The selection list: the selected nodes in address order, each once.
  const std::vector<TvmTreeListNode*>& SelectionList() const { return FSelectionList; }
  int GetSelectedCount() override { return static_cast<int>(FSelectionList.size()); }
  TvmTreeListNode* GetSelectedItem(int Index) override;
  bool IsNodeSelected(TvmTreeListNode* Node) override;
  void SetNodeSelected(TvmTreeListNode* Node, bool Value) override;
  void ClearSelection() override;
  // Range selection: the rows between the two nodes join the selection (nothing while the
  // dataset edits or without multi-select).
  void SelectNodes(TvmTreeListNode* FromNode, TvmTreeListNode* ToNode) override;
  // Selects every row that may join the selection (the focused node's level first).
  void SelectAll();

  // At design time the columns named after the control follow its new name.
  void SetName(const std::string& NewName) override;
  // Takes the focus when it can; true when the control or its editor has it (or cannot take it).
  bool EnsureFocused();
  // Horizontal scrolling by whole columns: Code is the scroll bar's (SB_LINELEFT, SB_LINERIGHT,
  // SB_THUMBPOSITION, SB_THUMBTRACK), Position the thumb's position; true when taken (other
  // codes, or no focus or no visible column: false, the bar moves by pixels).
  bool ScrollColumns(int Code, int Position);
  // The scroll position of each column's left edge in visible order on the first header row.
  std::vector<int> ColumnLeftEdges();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoExit() override;
  bool ScrollRequested(int Kind, int Code, int Position) override;
  void ResolvePreviewField();
  void SetNodeKeyFieldName(const std::string& Value) { FNodeKeyFieldName = Value; }
  void SetNodeKeyField(TField* Value) { FNodeKeyField = Value; }

  // Replaces the selection list by Nodes (sorted, without duplicates).
  void SetSelectionList(std::vector<TvmTreeListNode*> Nodes);
  void SelectionListChanged();

  std::vector<TvmTreeListNode*> FLiveNodes;
  std::vector<TvmTreeListNode*> FSelectionList;  // sorted by address
  // A one-entry lookup cache over the selection list for the concrete controls.
  std::string FSelectionCacheText;
  int FSelectionCacheIndex = -1;
  bool FInternalDestroying = false;
  bool FInKeyDown = false;
  std::string FNodeKeyFieldName;
  TField* FNodeKeyField = nullptr;
  std::string FPreviewDataFieldName;
  TField* FPreviewDataField = nullptr;
};

// The tree list of a dataset: each record is a node; KeyField identifies a record and
// ParentField holds the key of its parent. A record whose parent is missing, is itself, or would
// close a cycle is a top-level node. The dataset's changes, moves and filters are followed one
// record at a time; the control's focus, edits, inserts and deletes go to the dataset.
class TvmDBTreeList : public TCustomvmDBTreeListControl {
  VM_CLASS(TvmDBTreeList, TCustomvmDBTreeListControl)
public:
  explicit TvmDBTreeList(TComponent* AOwner);
  ~TvmDBTreeList() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  const std::string& KeyField() const { return FNodeKeyFieldName; }
  void SetKeyField(const std::string& Value);
  const std::string& ParentField() const { return FParentFieldName; }
  void SetParentField(const std::string& Value);
  bool DefaultFields() const { return FDefaultFields; }
  void SetDefaultFields(bool Value);
  bool ReadOnly = false;
  bool CanInsert = true;
  bool ConfirmDelete = true;

  // Nodes by record.
  TvmDBTreeListNode* FindNodeByKey(const Variant& Key) const;
  TvmDBTreeListNode* FindRecordNode() const;  // the node of the current record
  int IndexedCount() const { return static_cast<int>(FByBookmark.size()); }
  // Reads the whole dataset again.
  void LoadAll();
  // Deletes the focused node's record (asks first when ConfirmDelete).
  bool DeleteFocusedRecord();
  // Deletes the records of the selected nodes (asks first when ConfirmDelete); with fewer than
  // two selected, the focused record.
  bool DeleteSelectedRecords();

  // The filter edit: records whose field of the column starts with the text (letter case
  // ignored) stay; an empty text shows all.
  TCustomvmFilterEdit* FilterEdit() const { return FFilterEdit; }
  TCustomvmFilterEdit* ShowFilterEdit(int Column);
  void ApplyFilterText(int Column, const std::string& Text);
  const std::string& FilterText() const { return FFilterText; }

  TvmDBTreeListDataLink* GetDataLink() const override { return FDataLink.get(); }
  TDataSource* GetDataSource() const override { return DataSource(); }
  bool IsDefaultFields() const override { return FDefaultFields; }
  bool IsInsertAllowed() const override { return CanInsert; }
  bool IsEditAllowed() const override { return FOptions.Contains(tloEditing); }
  bool IsDataReadOnly() const override { return ReadOnly; }
  bool IsNodeSearch() const override { return false; }
  bool IsFocusRangeSelection() const override { return false; }
  void SetDataChangeLock(bool Value) override { FDataChangeLock = Value; }

  void DoChangeNode(TvmTreeListNode* OldNode, TvmTreeListNode* Node) override;
  void RefreshContent() override;
  // Summaries over the loaded records (the nodes) of the column bound to the summary field; a
  // summary field no column shows gives an empty footer cell.
  void ComputeSummary(TvmDBTreeListColumn* Column) override;
  TvmTreeListNode* CreateNode() override;
  void NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next, bool WasLast,
                   bool WasVisible) override;

  // Link notifications.
  void LinkActiveChanged();
  void LinkDataSetChanged();
  void LinkScrolled();
  void LinkRecordChanged(TField* Field);
  void LinkEditingChanged();

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void Loaded() override;

private:
  std::string KeyOf(const Variant& Value) const;
  std::string ParentKeyOf(const Variant& Value) const;
  void ReadKeys(TvmDBTreeListNode* N);
  void IndexNode(TvmDBTreeListNode* N);
  void UnindexNode(TvmDBTreeListNode* N);
  void AdoptOrphans(TvmDBTreeListNode* N);
  void PlaceNode(TvmDBTreeListNode* N);
  void RecordPosted();
  void RecordDeleted(const TBookmark& Bookmark);
  // The selected records while the nodes are built again, and their nodes afterwards.
  struct TSelectedRecord {
    TBookmark Bookmark;
    std::string Key;
  };
  std::vector<TSelectedRecord> SelectedRecords() const;
  void ReselectRecords(const std::vector<TSelectedRecord>& Records);
  void SyncFocus();
  void RememberCurrent();

  std::unique_ptr<TvmDBTreeListDataLink> FDataLink;
  std::string FParentFieldName;
  TField* FParentField = nullptr;
  bool FDefaultFields = false;
  bool FDataChangeLock = false;
  int FOwnChange = 0;  // the control itself moves the dataset
  int FSyncing = 0;    // the control follows the dataset
  bool FWasEditing = false;
  TBookmark FCurBookmark;  // the record last seen as current
  std::unordered_map<std::string, TvmDBTreeListNode*> FByKey;
  std::unordered_map<TBookmark, TvmDBTreeListNode*> FByBookmark;
  std::unordered_multimap<std::string, TvmDBTreeListNode*> FOrphans;
  TvmDBTreeListNode* FStaged = nullptr;
  TCustomvmFilterEdit* FFilterEdit = nullptr;
  int FFilterColumn = -1;
  std::string FFilterText;
  TFilterRecordEvent FPriorFilter;
  bool FFilterInstalled = false;
};

// Registers the data-aware tree list and its column classes (at start-up).
void RegisterDBTreeListClasses();
