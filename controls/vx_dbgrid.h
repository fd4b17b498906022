// The data grid: one row per record of a dataset (through a data source), one column per field
// or per listed column. Beyond a plain data grid it shows glyphs for blob-like fields, keeps a
// multi-row selection with marks in the indicator column, fixed data columns, a settable row
// height, title cells that act as buttons with sort markers, scrolls the dataset with the mouse
// wheel, appends a record when the user moves down past the last one, confirms deletes, and
// keeps its column layout in the settings file through a form placement's link.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/dataset.h"
#include "platform/set.h"

class TFormPlacement;
class TIniLink;
class TVxDBGrid;

enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;
enum TSortMarker { smNone, smDown, smUp };

using TCheckTitleBtnEvent = std::function<void(TObject* Sender, int ACol, TField* Field, bool& Enabled)>;
using TTitleClickEvent = std::function<void(TObject* Sender, int ACol, TField* Field)>;
using TGetBtnParamsEvent = std::function<void(TObject* Sender, TField* Field, TFont* AFont, TColor& Background,
                                              TSortMarker& SortMarker, bool IsDown)>;
using TGetCellParamsEvent =
    std::function<void(TObject* Sender, TField* Field, TFont* AFont, TColor& Background, bool Highlight)>;
using TGetCellPropsEvent = std::function<void(TObject* Sender, TField* Field, TFont* AFont, TColor& Background)>;
using TDBEditShowEvent = std::function<void(TObject* Sender, TField* Field, bool& AllowEdit)>;

// One column of the grid: a field by name, its width in pixels, visibility and title.
class TColumn {
public:
  explicit TColumn(TVxDBGrid* Grid) : FGrid(Grid) {}
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  // The dataset's field of that name, or none.
  TField* Field() const;
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // The title text: the caption set, else the field's display label, else the field name.
  std::string TitleCaption() const;
  void SetTitleCaption(const std::string& Value);
  int Index() const;
  void SetIndex(int Value);

private:
  friend class TVxDBGrid;
  TVxDBGrid* FGrid;
  std::string FFieldName;
  std::string FTitle;
  int FWidth = 64;
  bool FVisible = true;
};

// The grid's columns. Persistent columns are the ones added by the program; without them the
// grid shows one column per visible field of the dataset, made anew when its layout changes.
class TDBGridColumns {
public:
  explicit TDBGridColumns(TVxDBGrid* Grid) : FGrid(Grid) {}
  int Count() const { return static_cast<int>(FItems.size()); }
  TColumn* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
  TColumn* operator[](int Index) const { return Items(Index); }
  // Adds a persistent column.
  TColumn* Add();
  void Clear();
  // The grid keeps these columns (they were added by the program).
  bool Persistent() const { return FPersistent; }

private:
  friend class TVxDBGrid;
  friend class TColumn;
  void Move(int From, int To);
  TVxDBGrid* FGrid;
  std::vector<std::unique_ptr<TColumn>> FItems;
  bool FPersistent = false;
};

class TVxDBGrid : public TCustomControl {
  VM_CLASS(TVxDBGrid, TCustomControl)
public:
  explicit TVxDBGrid(TComponent* AOwner);
  ~TVxDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TDBGridColumns* Columns() const { return FColumns.get(); }
  TDataLink* DataLink() const;

  TDBGridOptions Options() const;
  void SetOptions(TDBGridOptions Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ClearSelection() const { return FClearSelection; }
  void SetClearSelection(bool Value) { FClearSelection = Value; }
  bool AutoAppend() const { return FAutoAppend; }
  void SetAutoAppend(bool Value) { FAutoAppend = Value; }
  bool ShowGlyphs() const { return FShowGlyphs; }
  void SetShowGlyphs(bool Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
  bool TitleButtons() const { return FTitleButtons; }
  void SetTitleButtons(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  int RowsHeight() const { return FRowHeight; }
  void SetRowsHeight(int Value);
  TFormPlacement* IniStorage() const;
  void SetIniStorage(TFormPlacement* Value);

  // The column of the focused cell (an index of Columns).
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  // The multi-selection: bookmarks of the selected records.
  int SelectedCount() const { return static_cast<int>(FSelected.size()); }
  bool RowSelected(const TBookmark& Bookmark) const { return FSelected.count(Bookmark) != 0; }
  // Whether the current record is selected; setting it adds or removes it.
  bool CurrentRowSelected() const;
  void SetCurrentRowSelected(bool Value);
  void SelectAll();
  void UnselectAll();
  // Deletes the selected records (or the current one when none is), after the confirmation.
  void DeleteRecords();

  // Layout: rows that fit, their height, the title rows, the first row's top.
  int VisibleRowCount() const;
  int TitleRowCount() const;
  int TitleHeight() const;
  int DataTop() const;
  // The rectangle of a data cell (row of the window, column index); empty when it is not shown.
  TRect CellRect(int Row, int Column) const;
  // Row of the window (-1: the titles, -2: below the rows) and column (-1: the indicator, -2:
  // none) under a client point.
  void MouseCell(int X, int Y, int& Row, int& Column) const;
  // The first column index that scrolls (after the fixed ones), and the leftmost one shown.
  int LeftCol() const { return FLeftCol; }
  // Whether the in-place editor is showing, and its text.
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  const std::string& EditorText() const { return FEditText; }
  // The glyph of a field (-1: its text is drawn).
  int FieldGlyph(TField* Field) const;
  std::string DefaultSectionName() const;

  // Saves or restores the column layout in the open settings of IniStorage (the link's events).
  void SaveLayout();
  void RestoreLayout();

  TCheckTitleBtnEvent OnCheckButton;
  TTitleClickEvent OnTitleBtnClick;
  TGetBtnParamsEvent OnGetBtnParams;
  TGetCellParamsEvent OnGetCellParams;
  TGetCellPropsEvent OnGetCellProps;
  TDBEditShowEvent OnShowEditor;
  TNotifyEvent OnEditChange;
  TNotifyEvent OnTopLeftChanged;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void Resize() override;
  void Scrolled(int Kind, int Position) override;
  void FontChanged() override;
  void DoExit() override;

private:
  friend class TDBGridColumns;
  friend class TColumn;
  class TGridDataLink;
  bool AcquireFocus();
  bool DataActive() const;
  bool CanEditCell() const;
  bool CanModifyData() const;
  void LinkActiveChanged();
  void DataChanged();
  void LayoutChanged();
  void BuildDefaultColumns();
  void UpdateRows();
  void UpdateScrollBar();
  void KeepColumnVisible();
  int FirstVisibleColumn() const;
  int ColumnLeft(int Column) const;
  int IndicatorWidth() const;
  int LineWidth() const;
  int RowLineWidth() const;
  void MoveRecord(int Distance, TShiftState Shift);
  void SelectRecord(bool Value);
  void ClearRowSelection();
  void CommitEditor();
  void CancelEditor();
  void MoveColumn(int Delta, bool Wrap);
  void PaintTitle(int Column, const TRect& R);
  void PaintCell(int Row, int Column, const TRect& R, bool Current);
  void PaintIndicator(int Row, const TRect& R, bool Current);
  void WriteLayout(TObject* Sender);
  void ReadLayout(TObject* Sender);
  std::string LayoutSection() const;
  int TitleColumnAtEdge(int X) const;

  std::unique_ptr<TGridDataLink> FDataLink;
  std::unique_ptr<TDBGridColumns> FColumns;
  std::unique_ptr<TIniLink> FIniLink;
  TDBGridOptions FOptions;
  bool FMultiSelect = false;
  bool FClearSelection = true;
  bool FAutoAppend = true;
  bool FShowGlyphs = true;
  bool FDefaultDrawing = true;
  bool FTitleButtons = false;
  bool FReadOnly = false;
  int FFixedCols = 0;
  int FRowHeight = 0;
  bool FRowHeightSet = false;
  int FSelectedIndex = 0;
  int FLeftCol = 0;
  std::set<TBookmark> FSelected;
  TBookmark FAnchor;
  bool FSelecting = false;
  // Title buttons and column sizing.
  bool FTracking = false;
  int FPressedCol = -1;
  bool FPressed = false;
  int FSizingCol = -1;
  int FSizingOfs = 0;
  int FMovingCol = -1;        // a title dragged to move its column
  bool FMoveByRight = false;  // the drag started with the right button
  // The in-place editor.
  bool FEditorMode = false;
  std::string FEditText;
  bool FInLayout = false;
  int FTopRecord = -1;  // the record number - 1 of the first row, for OnTopLeftChanged
};

// "Delete record?" and "Delete all selected records?".
extern const char* const SDeleteRecordQuestion;
extern const char* const SDeleteMultipleRecordsQuestion;
