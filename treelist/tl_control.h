// The tree list with bands and column components: bands (column groups), columns (components
// in a band row), text nodes holding one string per column, node-flag selection, sorting by
// one or several columns, and storing the arrangement in the registry or an INI file.
#pragma once

#include "platform/collection.h"
#include "platform/bitmap.h"
#include "platform/component.h"
#include "treelist/tl_treelist.h"

class TCustomvmTreeListControl;
class TvmRegIniWrapper;
class TCustomIniFile;

enum TzoViraBandFixed { bfNone, bfLeft, bfRight };

class TvmTreeListColumn;
class TvmTreeListBand;

// Drawing events: a handler may change the text, colour, font and alignment the default drawing
// uses, or draw the element itself and set ADone.
using TvmTLCustomDrawCell =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvmTreeListNode* ANode,
                       TvmTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow, std::string& AText,
                       TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TvmTLCustomDrawHeader = std::function<void(TObject* Sender, TvmTreeListColumn* AColumn, TCanvas* ACanvas,
                                                 const TRect& ARect, std::string& AText, TColor& AColor, TFont* AFont,
                                                 TAlignment& AAlignment, TvmTreeListColumnSort& ASorted, bool& ADone)>;
using TvmTLDrawBandEvent =
    std::function<void(TObject* Sender, TvmTreeListBand* ABand, TCanvas* ACanvas, const TRect& ARect,
                       std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TvmTLDrawPreviewEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvmTreeListNode* ANode, bool ASelected,
                       std::string& AText, TColor& AColor, TColor& ATextColor, TFont* AFont, bool& ADone)>;
using TvmTLDrawFooterCellEvent = std::function<void(
    TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TvmTreeListNode* ANode, TvmTreeListColumn* AColumn,
    int AFooterIndex, std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TvmTLHasFooterCellEvent = std::function<void(TObject* Sender, TvmTreeListColumn* AColumn, bool& AExists)>;
// The text a dragged node's picture shows; Text comes in as the node's cell text.
using TvmTLGetDragTextEvent = std::function<void(TObject* Sender, TvmTreeListNode* Node, std::string& Text)>;
using TvmTLMeasureCellTextEvent = std::function<void(
    TObject* Sender, TvmTreeListNode* Node, TvmTreeListColumn* Column, const std::string& Text, int Width,
    int TextHeight, int MaxLineCount, bool CellFrame, bool GridLines, int& LineCount, int& Height, bool& Done)>;

// The colour of a level's cells in the compact draw style; Color comes in as GroupPanelColor.
using TvmTLGetLevelColorEvent = std::function<void(TObject* Sender, int Level, TColor& Color)>;

// Header and band customizing, clicks and sorting.
using TvmTLColumnEvent = std::function<void(TObject* Sender, TvmTreeListColumn* Column)>;
using TvmTLBandEvent = std::function<void(TObject* Sender, TvmTreeListBand* Band)>;
using TvmTLBandShownEvent = std::function<void(TObject* Sender, TvmTreeListBand* Band, int Index)>;
using TvmTLAllowColumnEvent = std::function<void(TObject* Sender, TvmTreeListColumn* Column, bool& Allow)>;
using TvmTLAllowBandEvent = std::function<void(TObject* Sender, TvmTreeListBand* Band, bool& Allow)>;
using TvmTLColumnSortStateEvent =
    std::function<void(TObject* Sender, TvmTreeListColumn* Column, TvmTreeListColumnSort& Sorted)>;
using TvmTLColumnMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
// A held band or header moving over the control: P (client) is where it would be dropped; Accept
// false shows that the drop would hide it.
using TvmTLBandDragOverEvent =
    std::function<void(TObject* Sender, TvmTreeListBand* Band, const TPoint& P, bool& Accept)>;
using TvmTLHeaderDragOverEvent =
    std::function<void(TObject* Sender, TvmTreeListColumn* Column, const TPoint& P, bool& Accept)>;

class TvmTreeListBand : public TCollectionItem {
  VM_CLASS(TvmTreeListBand, TCollectionItem)
public:
  explicit TvmTreeListBand(TCollection* Collection);
  ~TvmTreeListBand() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TzoViraBandFixed Fixed() const { return FFixed; }
  void SetFixed(TzoViraBandFixed Value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  bool Sizing() const { return FSizing; }
  void SetSizing(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  bool OnlyOwnColumns = false;
  bool DisableDragging = false;
  bool DisableCustomizing = false;

  void SetIndex(int Value) override;
  void Assign(TPersistent* Source) override;
  virtual void RestoreDefaults();
  TCustomvmTreeListControl* TreeList() const;

  // The band's place among the visible bands (-1 hidden or detached), the header rows its visible
  // columns use, and its columns in one header row (0 / nil without a control).
  int VisibleIndex() const;
  int UsedRowCount() const;
  int GetRowColumnCount(int Row) const;
  TvmTreeListColumn* GetRowColumn(int Row, int Position) const;

private:
  friend class TvmTreeListBands;
  friend class TCustomvmTreeListControl;
  TAlignment FAlignment = taCenter;
  std::string FCaption;
  TzoViraBandFixed FFixed = bfNone;
  int FMinWidth = 30;
  bool FSizing = true;
  bool FVisible = true;
  int FWidth = 250;
};

class TvmTreeListBands : public TCollection {
  VM_CLASS(TvmTreeListBands, TCollection)
public:
  explicit TvmTreeListBands(TCustomvmTreeListControl* AOwner);
  TvmTreeListBand* Add() { return static_cast<TvmTreeListBand*>(TCollection::Add()); }
  TvmTreeListBand* Items(int Index) const { return static_cast<TvmTreeListBand*>(TCollection::Items(Index)); }
  int VisibleCount() const;
  TvmTreeListBand* VisibleItems(int Position) const;
  int GetAbsoluteIndex(int Position) const;
  int GetVisibleIndex(int Index) const;
  TCustomvmTreeListControl* TreeList() const { return FTreeList; }
  void CheckFixedBands();

protected:
  TPersistent* GetOwner() override;
  void Update(TCollectionItem* Item) override;

private:
  TCustomvmTreeListControl* FTreeList;
};

enum TvmTreeListColumnValue { cvAlignment, cvCaption, cvReadOnly, cvWidth, cvColor, cvFont, cvMaxLength };
using TvmTreeListColumnValues = TSet<TvmTreeListColumnValue>;

class TvmTreeListColumn : public TComponent {
  VM_CLASS(TvmTreeListColumn, TComponent)
public:
  explicit TvmTreeListColumn(TComponent* AOwner);
  ~TvmTreeListColumn() override;

  TCustomvmTreeListControl* TreeList() const { return FTreeList; }
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  std::string Caption() const;
  void SetCaption(const std::string& Value);
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  // The column's own read-only value (ReadOnly also answers true for a read-only control).
  bool StoredReadOnly() const { return FAssignedValues.Contains(cvReadOnly) ? FReadOnly : false; }
  int Width() const;
  void SetWidth(int Value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  bool Sizing() const { return FSizing; }
  void SetSizing(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  bool DisableEditor = false;
  bool DisableCaption = false;
  bool DisableCustomizing = false;
  bool DisableDragging = false;
  TAlignment HeaderAlignment = taLeftJustify;
  int BandIndex() const { return FBandIndex; }
  void SetBandIndex(int Value);
  int RowIndex() const;
  void SetRowIndex(int Value);
  int StoredRowIndex() const { return FStoredRowIndex; }
  int ColIndex() const;
  void SetColIndex(int Value);
  TvmTreeListColumnSort Sorted() const { return FSorted; }
  void SetSorted(TvmTreeListColumnSort Value);
  const TvmTreeListColumnValues& AssignedValues() const { return FAssignedValues; }
  // The cells' own background; the control's Color until set.
  TColor Color() const;
  void SetColor(TColor Value);
  // The cells' own font; mirrors the control's font until set.
  TFont* Font();
  void SetFont(TFont* Value);
  // Editor and painting settings of the cells' text.
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  int MaxLength() const;
  void SetMaxLength(int Value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  // Where a one-line text sits in a taller cell.
  TTextLayout VertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TTextLayout Value);
  // A picture before the header caption: created on first read; assigning nil frees it.
  TBitmap* HeaderGlyph();
  bool HasHeaderGlyph() const { return FHeaderGlyph != nullptr; }
  void SetHeaderGlyph(TBitmap* Value);
  bool DisableFilterButton() const { return FDisableFilterButton; }
  void SetDisableFilterButton(bool Value);

  // The column's position in the control's column list (-1 detached).
  int Index() const;
  virtual void SetIndex(int NewIndex);
  int GetDataIndex() const { return Index(); }
  virtual int GetDefaultWidth() const { return 100; }
  virtual std::string GetDefaultCaption() const { return {}; }
  virtual TAlignment GetDefaultAlignment() const { return taLeftJustify; }
  virtual int GetDefaultMaxLength() const { return 0; }
  virtual void GetDisplayText(TvmTreeListNode* Node, std::string& Text);
  // Hooks of descendant columns; the base answers as a plain text column does.
  virtual void FormatDisplayText(TvmTreeListNode* Node, const std::string& Text, std::string& Result) { Result = Text; }
  // The pointer came onto one of the column's cells that hot tracking marks (PartIndex: the part
  // IsHotTrackCell named); the column may choose the pointer's cursor there.
  virtual void NodeHotTracked(TvmTreeListNode* Node, int PartIndex, TCursor& Cursor) {}
  // Whether the point over the node's cell makes it hot (PartIndex: which part of the cell).
  virtual bool IsHotTrackCell(int X, int Y, TvmTreeListNode* Node, int& PartIndex) { return false; }
  // The least height of the column's cells (rows are never lower).
  virtual int GetMinCellHeight(TCanvas* Canvas) { return 0; }
  virtual bool CanHeaderHotTrack(int X, int Y, int& State);
  // The header caption wraps onto several lines.
  virtual bool IsMultilineHeader() const { return false; }
  // A press on a cell opens the editor at once (with tlxImmediateEditor).
  virtual bool OpensEditorOnMouseDown(int X, int Y, bool WasFocused) { return false; }
  virtual int GetBestFitWidth(TCanvas* Canvas, TvmTreeListNode* Node);
  virtual void RestoreDefaults();
  // The editor class that edits this column's cells, and its set-up for one cell.
  virtual TvmInplaceEditClass GetEditClass() const { return TvmInplaceTreeListTextEdit::StaticClass(); }
  virtual void InitEditor(TvmInplaceEdit* Editor);
  bool CanEdit() const { return !DisableEditor; }
  // The editor's text changed / asks whether its value may be posted (not while it is set up).
  virtual void DoChange(TObject* Sender);
  virtual void DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept);
  TNotifyEvent OnChange;
  TvmEditValidateEvent OnValidate;
  TvmTLCustomDrawCell OnCustomDrawCell;
  TvmTLCustomDrawHeader OnCustomDrawColumnHeader;
  virtual bool IsCustomDrawAssigned() const { return static_cast<bool>(OnCustomDrawCell); }
  // Fires OnCustomDrawCell for one cell (the control's own events ran before).
  virtual void DoCustomDrawCell(TvmTreeListDrawInfo& Info);
  // Lines of header text; in the band's last header row the column spans that many rows (0: all).
  int HeaderMaxLineCount() const { return FHeaderMaxLineCount; }
  void SetHeaderMaxLineCount(int Value);
  void Assign(TPersistent* Source) override;
  void SetParentComponent(TComponent* Value) override;
  TComponent* GetParentComponent() const override;
  void DefineProperties(TFiler* Filer) override;
  bool HasParent() const override { return true; }

private:
  friend class TCustomvmTreeListControl;
  friend class TvmTreeListBand;
  friend class TvmTreeListBands;
  void Changed(bool Full);
  TCustomvmTreeListControl* FTreeList = nullptr;
  TvmTreeListColumnValues FAssignedValues;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  TAlignment FAlignment = taLeftJustify;
  std::string FCaption;
  bool FReadOnly = false;
  int FWidth = 100;
  int FMinWidth = 20;
  bool FSizing = true;
  bool FVisible = true;
  bool FTabStop = true;
  int FBandIndex = 0;
  int FRowIndex = 0;
  int FStoredRowIndex = 0;
  TvmTreeListColumnSort FSorted = csNone;
  int FSortOrder = -1;
  int FHeaderMaxLineCount = 1;
  TEditCharCase FCharCase = ecNormal;
  int FMaxLength = 0;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  TTextLayout FVertAlignment = tlTop;
  std::unique_ptr<TBitmap> FHeaderGlyph;
  bool FDisableFilterButton = false;
  bool FFollowingFont = false;
};

// A column whose cells are edited through an edit mask.
class TvmTreeListMaskColumn : public TvmTreeListColumn {
  VM_CLASS(TvmTreeListMaskColumn, TvmTreeListColumn)
public:
  using TvmTreeListColumn::TvmTreeListColumn;
  std::string EditMask;
  bool IgnoreMaskBlank = false;
  TvmInplaceEditClass GetEditClass() const override { return TvmInplaceTreeListMaskEdit::StaticClass(); }
  void InitEditor(TvmInplaceEdit* Editor) override;
  void RestoreDefaults() override;
  void Assign(TPersistent* Source) override;
};

class TCustomvmTreeListControl : public TCustomvmTreeList {
  VM_CLASS(TCustomvmTreeListControl, TCustomvmTreeList)
public:
  explicit TCustomvmTreeListControl(TComponent* AOwner);
  ~TCustomvmTreeListControl() override;

  TvmTreeListBands* Bands() const { return FBands.get(); }
  void SetBands(TvmTreeListBands* Value);
  void SetBandPanelFont(TFont* Value);
  void SetHeaderPanelFont(TFont* Value);
  void SetPreviewTextFont(TFont* Value);
  // Streaming: the columns are the control's children.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  int ColumnCount() const { return static_cast<int>(FColumns.size()); }
  // Raises ERangeError for an index outside the columns.
  TvmTreeListColumn* Columns(int Index) const;
  // A new column (of the given class) named after the control, "Column" and the first free number.
  TvmTreeListColumn* CreateColumn(const TComponentMetaClass* ColumnClass = nullptr);
  TvmTreeListColumn* ColumnByName(const std::string& Name) const;
  int HeaderPanelRowCount() const { return FHeaderPanelRowCount; }
  void SetHeaderPanelRowCount(int Value);
  int BandRowCount() const { return FBandRowCount; }
  void SetBandRowCount(int Value);
  // The most rows the header panel and the band panel may have, and the text lines of a header row.
  int HeaderPanelMaxRowCount() const { return FHeaderPanelMaxRowCount; }
  void SetHeaderPanelMaxRowCount(int Value);
  int BandMaxRowCount() const { return FBandMaxRowCount; }
  void SetBandMaxRowCount(int Value);
  int HeaderMinRowCount() const { return FHeaderMinRowCount; }
  void SetHeaderMinRowCount(int Value);
  // Replaces the columns by copies of Source's (same classes, names and settings).
  virtual void AssignColumns(TCustomvmTreeListControl* Source);
  void DestroyColumns();
  bool DefaultLayout() const { return FDefaultLayout; }
  void SetDefaultLayout(bool Value);
  int SortedColumnCount() const { return static_cast<int>(FSortedColumns.size()); }
  TvmTreeListColumn* SortedColumns(int Index) const { return FSortedColumns.at(Index); }

  TvmTreeListNode* AddNode(TvmTreeListNode* Parent, const std::vector<std::string>& Texts = {});

  // Layout storage.
  std::string RegistryPath;
  std::string IniFileName;
  std::string IniSectionPrefix;
  void SaveLayout(TObject* Storage, const std::string& Path);
  void LoadLayout(TObject* Storage, const std::string& Path);
  void SaveToRegistry(const std::string& Path);
  void LoadFromRegistry(const std::string& Path);
  void SaveToIniFile(const std::string& FileName);
  void LoadFromIniFile(const std::string& FileName);
  static std::string NormalizePath(const std::string& Path);

  // Answers for the abstract control.
  TvmTreeListNode* CreateNode() override;
  int GetImageIndex(TvmTreeListNode* Node) override;
  int GetSelectedIndex(TvmTreeListNode* Node) override;
  int GetStateIndex(TvmTreeListNode* Node) override;
  void SetImageIndex(TvmTreeListNode* Node, int Value) override;
  void SetSelectedIndex(TvmTreeListNode* Node, int Value) override;
  void SetStateIndex(TvmTreeListNode* Node, int Value) override;
  std::string GetNodeString(TvmTreeListNode* Node, int Column) override;
  void SetNodeString(TvmTreeListNode* Node, int Column, const std::string& Value) override;
  void SetNodeValue(TvmTreeListNode* Node, int Column, const Variant& Value) override;
  void GetNodeSortValue(TvmTreeListNode* Node, int Column, Variant& Value) override;
  void RemoveColumnValue(TvmTreeListNode* Node, int Index) override;
  void MoveColumnValues(int FromIndex, int ToIndex);

  int GetBandCount() override { return FBands->Count(); }
  int GetVisibleBandCount() override;
  int GetBandAbsoluteIndex(int VisibleIndex) override;
  int GetBandWidth(int VisibleIndex) override;
  int GetBandMinWidth(int VisibleIndex) override;
  std::string GetVisibleBandCaption(int VisibleIndex) override;
  int GetColumnCount() override { return ColumnCount(); }
  int GetHeaderRowCount() override { return std::max(1, FHeaderPanelRowCount); }
  int GetHeaderRowColumnCount(int VisibleBand, int Row) override;
  int GetHeaderColumn(int VisibleBand, int Row, int Position) override;
  int GetColumnWidth(int Column) override;
  int GetColumnMinWidth(int Column) override;
  bool IsColumnSizing(int Column) override;
  std::string GetColumnCaption(int Column) override;
  TAlignment GetColumnAlignment(int Column) override;
  bool GetColumnColor(int Column, TColor& Color) override;
  TFont* GetColumnFont(int Column) override;
  void FormatCellPaintText(TvmTreeListNode* Node, int Column, std::string& Text) override;
  TTextLayout GetColumnVertAlignment(int Column) override;
  TBitmap* GetColumnHeaderGlyph(int Column) override;
  // A header is hot only when its column agrees (one with DisableFilterButton never is).
  bool IsHeaderHotTrack(int X, int Y, int& HeaderState, int Column) override;
  int GetColumnMinCellHeight(TCanvas* Canvas, int Column) override;
  TvmTreeListColumnSort GetColumnSorted(int Column) override;
  bool IsColumnTabStop(int Column) override;
  std::string GetCellText(TvmTreeListNode* Node, int Column) override;
  void SetColumnWidth(int Column, int Width) override;
  void DoColumnClick(int Column, bool Shift, bool Ctrl = false) override;
  int GetSortedColumnCount() override { return SortedColumnCount(); }
  bool IsSortedColumnDescending(int Index) override;
  int GetSortedColumn(int Index) override;

  // Drawing hooks and footers, raised as the events below.
  bool IsCellDrawAssigned(TvmTreeListNode* Node, int Column) override;
  void DoDrawDataCell(TvmTreeListDrawInfo& Info) override;
  bool IsHeaderDrawAssigned(int Column) override;
  void DoDrawColumnHeader(TvmTreeListDrawInfo& Info) override;
  bool IsBandDrawAssigned(int VisibleBand) override { return static_cast<bool>(OnDrawBand); }
  void DoDrawBand(TvmTreeListDrawInfo& Info) override;
  bool IsPreviewDrawAssigned() override { return OnDrawPreview || OnDrawPreviewCell; }
  void DoDrawPreview(TvmTreeListDrawInfo& Info) override;
  bool IsFooterDrawAssigned(TvmTreeListNode* Node, int Column, int FooterIndex) override {
    return FooterIndex == -1 ? static_cast<bool>(OnDrawFooterCell) : static_cast<bool>(OnCustomDrawRowFooter);
  }
  void DoDrawFooterCell(TvmTreeListDrawInfo& Info) override;
  bool HasFooterCell(int Column) override;
  // A text tree list has no record behind its new-item row: editing there is refused, so the
  // editor never writes the new row's text into the focused node.
  void DoInsert(bool& Allow) override { Allow = false; }
  int GetLeftFixedBand() override;
  int GetRightFixedBand() override;
  TAlignment GetColumnHeaderAlignment(int Column) override;
  TAlignment GetBandAlignment(int VisibleBand) override;
  int GetHeaderCellRowSpan(int VisibleBand, int Row, int Position) override;
  bool CalcCellTextHeight(TvmTreeListNode* Node, int Column, const std::string& Text, int Width, int MaxLines,
                          int& LineCount, int& Height) override;
  TvmTLCustomDrawCell OnCustomDraw;
  TvmTLCustomDrawCell OnCustomDrawCell;
  TvmTLCustomDrawHeader OnCustomDrawColumnHeader;
  TvmTLDrawBandEvent OnDrawBand;
  TvmTLDrawPreviewEvent OnDrawPreview;
  TvmTLDrawPreviewEvent OnDrawPreviewCell;
  TvmTLDrawFooterCellEvent OnDrawFooterCell;
  TvmTLDrawFooterCellEvent OnCustomDrawRowFooter;  // the cells of node footers (FooterIndex >= 0)
  TvmTLHasFooterCellEvent OnHasFooterCell;
  TvmTLMeasureCellTextEvent OnMeasureCellText;

  // Level colours of the compact draw style.
  bool IsLevelColorAssigned() override { return static_cast<bool>(OnGetNodeLevelColor); }
  void DoGetLevelColor(int Level, TColor& Color) override {
    if (OnGetNodeLevelColor) OnGetNodeLevelColor(this, Level, Color);
  }
  TvmTLGetLevelColorEvent OnGetNodeLevelColor;

  // Sizing.
  void ScaleBandWidth(int VisibleBand, int Width) override;
  void SetBandWidthAuto(int VisibleBand, int Width) override;
  void SetColumnWidthAuto(int Column, int Width) override;
  void SetColumnWidthInBand(int Column, int Width) override;
  void SetBandRowCountFromSizing(int Rows) override { SetBandRowCount(Rows); }
  void SetHeaderPanelRowCountFromSizing(int Rows) override { SetHeaderPanelRowCount(Rows); }
  int GetBandRowCount() override { return FBandRowCount; }
  int GetHeaderMaxRowCount() override { return FHeaderPanelMaxRowCount; }
  int GetBandMaxRowCount() override { return FBandMaxRowCount; }
  int GetHeaderMinRowCount() override { return std::max(1, FHeaderMinRowCount); }
  bool IsBandSizing(int VisibleBand) override;

  // Header drags.
  bool CanDragColumn(int Column) override;
  bool CanDragBand(int VisibleBand) override;
  void MoveColumn(int Column, int VisibleBand, int Row, int Position) override;
  void HideColumn(int Column) override;
  void ShowColumn(int Column, int VisibleBand, int Row, int Position) override;
  bool IsColumnShown(int Column) override;
  void GetCustomizeItems(bool Bands, std::vector<int>& Indexes, std::vector<std::string>& Captions) override;
  std::string GetNodeDragText(TvmTreeListNode* Node, int Column) override;
  TvmTLGetDragTextEvent OnGetDragText;
  void MoveBand(int FromVisible, int ToVisible) override;
  void HideBand(int VisibleBand) override;
  void ShowBand(int Band, int VisiblePosition) override;
  void DoDragEndColumn(TPoint P, int Column, bool& Accept, TvmTreeListDropTarget& Target) override;
  void DoDragEndBand(TPoint P, int VisibleBand, bool& Accept, int& NewIndex, int OldIndex) override;

  TvmTLColumnEvent OnColumnHeaderClick;
  TvmTLAllowColumnEvent OnBeforeColumnSort;
  TvmTLColumnSortStateEvent OnGetColumnSortState;
  TvmTLAllowBandEvent OnCanDragBand, OnBandDragEnd;
  TvmTLAllowColumnEvent OnCanDragHeader, OnHeaderDragEnd;
  TvmTLBandShownEvent OnBandShown;
  TvmTLBandEvent OnBandHidden;
  TvmTLColumnEvent OnHeaderShown, OnHeaderHidden, OnHeaderRelocated;
  // A header dropped elsewhere in a one-band layout: its old and new places in its row.
  TvmTLColumnMovedEvent OnColumnMoved;
  TNotifyEvent OnColumnDragFinished;

  // Mouse: clicks on band cells and on the corner buttons, header and band drags starting and
  // moving, the columns' own hot-tracking and editor hooks.
  void DoBandClick(int VisibleBand) override;
  void DoBandButtonClick() override;
  void DoHeaderButtonClick() override;
  void StartBandDrag(int VisibleBand) override;
  void StartColumnDrag(int Column) override;
  void DoDragOverBand(TPoint P, int VisibleBand, bool& Accept) override;
  void DoDragOverColumn(TPoint P, int Column, bool& Accept) override;
  int GetHeaderHotState(int Column) override;
  bool IsHotTrackCell(int X, int Y, TvmTreeListNode* Node, int Column, int& PartIndex) override;
  void DoNodeHotTrack(const TvmTreeListHotTrackInfo& Info, TCursor& Cursor) override;
  bool OpensEditorOnMouseDown(int X, int Y, bool WasFocused, int Column) override;
  bool IsMultilineHeaderColumn(int Column) override;
  TvmTLBandEvent OnBandHeaderClick, OnStartDragBand;
  TNotifyEvent OnBandCornerClick, OnHeaderCornerClick;
  TvmTLColumnEvent OnStartDragHeader;
  TvmTLBandDragOverEvent OnBandDragOver;
  TvmTLHeaderDragOverEvent OnHeaderDragOver;

  // Editing through the focused column.
  void GetEditorValue(TvmTreeListNode* Node, TvmInplaceEdit* Editor, Variant& Value) override;
  void ApplyEditorValue(TvmTreeListNode* Node, int Column, TvmInplaceEdit* Editor, Variant& Value) override;
  void DoEditing(TvmTreeListNode* Node, bool& Allow) override;
  bool IsReadOnly() override;
  TvmInplaceEdit* CreateEditor(int Column) override;
  TvmInplaceEdit* FindEditor(int Column) override;
  void InitEditor(TvmInplaceEdit* Editor) override;
  void Loaded() override;

  // Selection kept in the nodes.
  int GetSelectedCount() override { return static_cast<int>(FSelected.size()); }
  TvmTreeListNode* GetSelectedItem(int Index) override;
  bool IsNodeSelected(TvmTreeListNode* Node) override { return Node && Node->FSelectedFlag; }
  void SetNodeSelected(TvmTreeListNode* Node, bool Value) override;
  void ClearSelection() override;
  void NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next, bool WasLast,
                   bool WasVisible) override;

  // Hooks of the bands and columns.
  void BandsChanged();
  void ColumnsChanged(TvmTreeListColumn* Column);
  void ColumnSortedChanged(TvmTreeListColumn* Column);
  // Sorts the nodes by the sorted columns (the first key first).
  void SortByColumns();
  void BeginSortLock() { ++FSortLock; }
  void EndSortLock() { --FSortLock; }
  bool SortLocked() const { return FSortLock > 0; }
  // True while a Shift+click adds a column to a multi-column sort.
  bool AddingSortColumn() const { return FAddingSortColumn; }
  // Sorting starts over: the sorted-column list is emptied.
  virtual void SortingChanged() { FSortedColumns.clear(); }
  // Runs before a column takes a sort direction (nothing here).
  virtual void BeforeColumnSort(TvmTreeListColumn* Column) {}

protected:
  virtual void SaveControlLayout(TvmRegIniWrapper& W, const std::string& Section);
  virtual void SaveColumnLayout(TvmRegIniWrapper& W, const std::string& Section, TvmTreeListColumn* Column);
  virtual void LoadControlLayout(TvmRegIniWrapper& W, const std::string& Section);
  virtual void LoadColumnLayout(TvmRegIniWrapper& W, const std::string& Section, TvmTreeListColumn* Column);
  void RebuildBandLists();
  // The band position and header row that show a column (false when it is not shown).
  bool FindColumnPlace(int Column, int& VisibleBand, int& Row);
  void AdjustHeaderPanelRowCount();
  void ResolveIniPath(std::string& Path);

private:
  // Set while a header dropped in a one-band layout moves: its place in its row before the drop.
  int FDroppedHeaderFrom = -1;
  friend class TvmTreeListColumn;
  friend class TvmTreeListBand;
  friend class TvmTreeListBands;
  void AttachColumn(TvmTreeListColumn* Column);
  void DetachColumn(TvmTreeListColumn* Column);

  std::unique_ptr<TvmTreeListBands> FBands;
  std::vector<TvmTreeListColumn*> FColumns;
  std::vector<TvmTreeListColumn*> FSortedColumns;
  std::vector<TvmTreeListNode*> FSelected;
  std::vector<TvmInplaceEdit*> FEditors;  // one per edit class, owned as components
  bool FLayoutLoaded = false, FLayoutSaved = false;
  // Cached per visible band and header row: the visible columns in list order.
  std::vector<int> FVisibleBands;
  std::vector<std::vector<std::vector<int>>> FBandRows;
  bool FBandListsValid = false;
  int FHeaderPanelRowCount = 1;
  int FBandRowCount = 1;
  int FHeaderPanelMaxRowCount = 5, FBandMaxRowCount = 5, FHeaderMinRowCount = 1;
  bool FDefaultLayout = true;
  int FSortLock = 0;
  bool FAddingSortColumn = false;
};

// Registers the column and tree-list classes a stored form names (once at start-up).
void RegisterTreeListClasses();
void UnregisterTreeListClasses();

// The published tree list.
class TvmTreeList : public TCustomvmTreeListControl {
  VM_CLASS(TvmTreeList, TCustomvmTreeListControl)
public:
  using TCustomvmTreeListControl::TCustomvmTreeListControl;
};
